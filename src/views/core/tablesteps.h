// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Undo and Redo over the four tables: one QUndoStack for the program. A step keeps the rows
// of every table it changed, before and after, so undoing it puts back the mirror rows too,
// and nothing but the tables: the radio never hears of an undo. A change that wrote the radio
// ends the history (forget()), since the tables then show what the radio holds.

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QObject>
#include <QUndoStack>

#include "channelrow.h"
#include "viewfamily.h"

namespace vardo {

// The rows of the four tables, by view.
using FamilyRows = std::array<std::vector<RowCells>, 4>;

class TableSteps : public QObject {
    Q_OBJECT
public:
    explicit TableSteps(ViewFamily& family, QObject* parent = nullptr);

    [[nodiscard]] const QUndoStack& stack() const { return m_stack; }

    // Opens a step named `text` ("Read", "Comment on 42"): whatever the tables change until
    // end() is one step. An open step is closed first, under its own name.
    void begin(const QString& text);
    // Closes the open step; it is kept only if some table changed.
    void end();
    // begin(text), change(), end().
    void record(const QString& text, const std::function<void()>& change);
    // The tables now show what the radio holds: every step goes, and the tables as they
    // stand are the start of the next one.
    void forget();

    // Puts `rows` into view `kind` (mirror rows too) as one step named `what`.
    void replaceRows(ViewKind kind, const std::vector<RowCells>& rows, const QString& what);

    void undo();
    void redo();

Q_SIGNALS:
    // A step is about to open or be undone or redone: an edit still under way (the comment
    // box) ends first, as its own step.
    void stepStarting();
    // What Undo and Redo would do changed (their texts, whether there is anything).
    void changed();

private:
    [[nodiscard]] FamilyRows currentRows() const;
    void settle();

    ViewFamily& m_family;
    QUndoStack m_stack;
    FamilyRows m_start;                // the tables where the open step (or the next) starts
    std::optional<QString> m_open;     // the open step's name
    bool m_settling = false;
};

}  // namespace vardo
