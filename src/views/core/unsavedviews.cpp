// SPDX-License-Identifier: GPL-3.0-or-later
#include "unsavedviews.h"

#include <QStringList>

#include "viewdescriptor.h"

namespace vardo {
namespace {

[[nodiscard]] std::size_t Slot(ViewKind kind) { return static_cast<std::size_t>(kind); }

// "A", "A and B", "A, B and C".
[[nodiscard]] QString Joined(const QStringList& names)
{
    if (names.size() < 2)
        return names.value(0);
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last();
}

}  // namespace

QString UnsavedQuestion(const QList<ViewKind>& views)
{
    QStringList names;
    for (ViewKind kind : views)
        names << QString::fromLatin1(Descriptor(kind).optionText);
    return QStringLiteral("The channels of %1 are not saved. Save them before you exit?").arg(Joined(names));
}

UnsavedViews::UnsavedViews(const ViewFamily& family, QObject* parent) : QObject(parent), m_family(family)
{
    for (ViewKind kind : kAllViews) {
        const ChannelTable& table = family.table(kind);
        m_saved[Slot(kind)] = table.rows();  // the empty rows of start-up
        connect(&table, &ChannelTable::dataChanged, this, [this, kind] { recheck(kind); });
        connect(&table, &ChannelTable::modelReset, this, [this, kind] { recheck(kind); });
    }
}

void UnsavedViews::setSavedRows(ViewKind kind, std::vector<RowCells> rows)
{
    m_saved[Slot(kind)] = std::move(rows);
    recheck(kind);
}

bool UnsavedViews::unsaved(ViewKind kind) const
{
    return m_unsaved[Slot(kind)];
}

QList<ViewKind> UnsavedViews::unsavedViews() const
{
    QList<ViewKind> views;
    for (ViewKind kind : kAllViews)
        if (unsaved(kind))
            views << kind;
    return views;
}

QList<ViewKind> UnsavedViews::toAskAbout() const
{
    const auto savable = [this](ViewKind kind) { return m_family.table(kind).hasData(1); };
    const auto heldByMirrors = [&](ViewKind kind) {
        const ChannelTable& table = m_family.table(kind);
        for (int row = 1; row <= table.channelRows(); ++row) {
            if (!table.hasData(row))
                continue;
            const int channel = ChannelOfRow(kind, row);
            const ViewKind mirror = MirrorView(kind, channel);
            const int mirrorRow = ViewFamily::MirrorRow(kind, row);
            if (mirrorRow == 0 || !savable(mirror) || m_family.table(mirror).row(mirrorRow) != table.row(row))
                return false;
        }
        return true;
    };
    QList<ViewKind> views;
    for (ViewKind kind : unsavedViews())
        if (savable(kind) || !heldByMirrors(kind))
            views << kind;
    return views;
}

void UnsavedViews::recheck(ViewKind kind)
{
    const bool now = m_family.table(kind).rows() != m_saved[Slot(kind)];
    if (now == m_unsaved[Slot(kind)])
        return;
    m_unsaved[Slot(kind)] = now;
    Q_EMIT unsavedChanged(kind, now);
}

}  // namespace vardo
