#pragma once
// The four views' tables and the one place that knows which views show a channel. Every
// write that must reach a channel's row in both of its views (a read, an edit, a comment, a
// move, a load from file) goes through here, so no view reaches into another's cells.

#include <array>
#include <memory>

#include <QObject>

#include "channeltable.h"

namespace vardo {

class ViewFamily : public QObject {
    Q_OBJECT
public:
    explicit ViewFamily(QObject* parent = nullptr);

    [[nodiscard]] ChannelTable& table(ViewKind kind);
    [[nodiscard]] const ChannelTable& table(ViewKind kind) const;

    // Writes columns 1..9 of `channel` into the `current` view's row first, then into the
    // other view that shows the channel (the row filling of a read: frmAll plus the block view).
    void fillRow(ViewKind current, int channel, const SettingCells& cells);

    // Writes one cell of grid row `row` of `kind` and the same cell of the mirror row.
    void setCell(ViewKind kind, int row, int column, const QString& text);

    // Exchanges columns 1..10 of two rows of `kind` and of their mirror rows.
    void swapRows(ViewKind kind, int rowA, int rowB);

    // Empties one view and lays it out again; the other views keep their rows.
    void clear(ViewKind kind);

    // Grid row of the mirror of row `row` of `kind` (0 when there is none).
    [[nodiscard]] static int MirrorRow(ViewKind kind, int row);

private:
    std::array<std::unique_ptr<ChannelTable>, 4> m_tables;
};

}  // namespace vardo
