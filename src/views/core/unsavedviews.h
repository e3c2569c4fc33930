// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which views hold work that is in no saved file: a view is unsaved when its rows differ, cell
// for cell, from those of its last Save or Load (empty rows when it has had neither). Undoing
// back to the saved rows makes it saved again.

#include <array>
#include <vector>

#include <QList>
#include <QObject>

#include "channelrow.h"
#include "viewfamily.h"

namespace vardo {

// "The channels of All Memories and PMS Memories are not saved. Save them before you exit?"
[[nodiscard]] QString UnsavedQuestion(const QList<ViewKind>& views);

class UnsavedViews : public QObject {
    Q_OBJECT
public:
    explicit UnsavedViews(const ViewFamily& family, QObject* parent = nullptr);

    // The view's rows are those of its saved file now (a Save, or a Load of the file).
    void setSavedRows(ViewKind kind, std::vector<RowCells> rows);

    [[nodiscard]] bool unsaved(ViewKind kind) const;
    // The unsaved views, in menu order.
    [[nodiscard]] QList<ViewKind> unsavedViews() const;
    // Those of them a question on Exit asks about: a view Save refuses (its first row is
    // empty) is left out when each of its rows with data is also held, cell for cell, by its
    // mirror row in a view whose Save keeps it (frmAll after a PMS Read): saving that view
    // keeps them. Any other view stays, and its Save says why it cannot.
    [[nodiscard]] QList<ViewKind> toAskAbout() const;

Q_SIGNALS:
    void unsavedChanged(vardo::ViewKind kind, bool unsaved);

private:
    void recheck(ViewKind kind);

    const ViewFamily& m_family;
    std::array<std::vector<RowCells>, 4> m_saved;
    std::array<bool, 4> m_unsaved{};
};

}  // namespace vardo
