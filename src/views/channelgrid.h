// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid of a view: a read-only table of one ChannelTable with the row labels in a
// header-like first column that marks the current row, sized from the column widths in twips;
// it takes the room its window gives it, the extra width going to Comments. Tab leaves it for
// the next control; Enter and F2 act on the current cell as a click does, and the row's
// context menu opens by a right click, the Menu key or Shift+F10.

#include <QTableView>

#include "channelindex.h"

namespace vardo {

class ChannelTable;

// Pixels per twip: the screen's scale, raised where a column would be too narrow for the
// longest text it can hold in `font`, so the proportions stay and nothing is clipped.
[[nodiscard]] qreal GridScale(ViewKind kind, const QFont& font, qreal dpi);

class ChannelGrid : public QTableView {
    Q_OBJECT
public:
    ChannelGrid(ChannelTable& table, QWidget* parent = nullptr);

    // Column widths, row height and the grid's width for the current font and screen.
    void layOutColumns();
    // Height that shows `rows` channel rows under the header.
    [[nodiscard]] int heightForRows(int rows) const;
    // On a screen too small for the window (a large scale on a small screen): gives up
    // `overflow` of its minimum size, in whole rows downwards; it then scrolls sideways too.
    void yieldRoom(QSize overflow);
    // Whether the current-row marker stands on grid row `row` (from 1).
    [[nodiscard]] bool marksRow(int row) const;

Q_SIGNALS:
    void escapePressed();
    // Enter or F2 on the cell at grid row `row` (from 1) and `column`.
    void cellActivated(int row, int column);
    // The context menu of grid row `row`, to open at `globalPos`.
    void rowMenuRequested(int row, const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    ViewKind m_kind;
};

}  // namespace vardo
