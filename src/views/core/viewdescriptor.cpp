// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewdescriptor.h"

#include "channelrow.h"

namespace vardo {
namespace {

constexpr int kWideGrid = 10920;
constexpr int kNarrowGrid = 10943;
constexpr int kWideComments = 3682;
constexpr int kNarrowComments = 3952;

constexpr std::array<ViewDescriptor, 4> kDescriptors{{
    {ViewKind::All, "frmAll", "All Memory Channels", "optAll", "All Memories",
     kWideGrid, kWideComments, true, true},
    {ViewKind::Ch99, "frmCh99", "Memory Channels 1-99", "optCh99", "Memories 1-99",
     kWideGrid, kWideComments, true, true},
    {ViewKind::Pms, "frmPms", "PMS Memory Channels", "optPms", "PMS Memories",
     kNarrowGrid, kNarrowComments, true, false},
    {ViewKind::Qmb, "frmQmb", "Quick Memory Banks", "optQmb", "QMB Memories",
     kNarrowGrid, kNarrowComments, false, false},
}};

}  // namespace

const ViewDescriptor& Descriptor(ViewKind kind)
{
    return kDescriptors[static_cast<std::size_t>(kind)];
}

int ColumnTwips(ViewKind kind, int column)
{
    if (column == ColComment)
        return Descriptor(kind).commentTwips;
    if (column < 0 || column >= int(kColumnTwips.size()))
        return 0;
    return kColumnTwips[std::size_t(column)];
}

}  // namespace vardo
