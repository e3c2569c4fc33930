// SPDX-License-Identifier: GPL-3.0-or-later
#include "rowmenu.h"

#include <QMenu>
#include <QPushButton>

#include "channelgrid.h"
#include "channelrow.h"
#include "clickdispatch.h"
#include "memoryview.h"

namespace vardo {
namespace {

// An entry's text: after the tab, the menu shows the keys as it shows a shortcut.
[[nodiscard]] QString EntryText(ClickAction action)
{
    switch (action) {
    case ClickAction::PickRow: return QStringLiteral("&Pick for Moving\tEnter on Ch#");
    case ClickAction::LoadVfoA: return QStringLiteral("Load into &VFO-A\tEnter on Mode");
    case ClickAction::OpenEditor: return QStringLiteral("&Edit Channel...\tEnter on a setting");
    case ClickAction::EditComment: return QStringLiteral("Edit &Comment...\tEnter on Comments");
    case ClickAction::ScanPick: return QStringLiteral("Pick for the &Scan\tEnter");
    default: return {};
    }
}

// The moving commands, by the buttons that carry them.
struct MoveEntry {
    const char* button;
    const char* text;
};
constexpr MoveEntry kMoveEntries[] = {
    {"cmdUp", "Move &Up\tAlt+U"}, {"cmdDown", "Move &Down\tAlt+D"}, {"cmdOK", "&Ok, Done Moving\tAlt+O"}};

}  // namespace

void ShowRowMenu(MemoryView& view, int row, const QPoint& globalPos)
{
    auto* menu = new QMenu(view.grid());
    menu->setObjectName(QStringLiteral("mnuRow"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const ClickInput state = view.cellState(row, ColLabel);
    const bool picked = state.sortMode && row == view.pickedRow();
    for (const OfferedAction& offered : OfferedActions(state)) {
        if (picked && offered.action == ClickAction::PickRow)
            continue;  // picked already
        QObject::connect(menu->addAction(EntryText(offered.action)), &QAction::triggered, &view,
                         [&view, row, column = offered.column] { view.activateCell(row, column, true); });
    }
    if (picked) {
        for (const MoveEntry& entry : kMoveEntries)
            if (QPushButton* button = view.button(QString::fromLatin1(entry.button)))
                QObject::connect(menu->addAction(QString::fromLatin1(entry.text)), &QAction::triggered, button,
                                 &QPushButton::click);
    }
    if (menu->isEmpty())
        menu->addAction(QStringLiteral("No action on this row"))->setEnabled(false);
    menu->popup(globalPos);
}

}  // namespace vardo
