// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablesteps.h"

#include <utility>

#include <QUndoCommand>

namespace vardo {
namespace {

// Steps kept; the oldest goes first. A step holds at most a few hundred rows of short texts.
constexpr int kUndoLimit = 200;

[[nodiscard]] std::size_t Slot(ViewKind kind) { return static_cast<std::size_t>(kind); }

// One undoable change: the rows of each table it changed, before and after.
class TableStep : public QUndoCommand {
public:
    TableStep(ViewFamily& family, const QString& text, const FamilyRows& before, const FamilyRows& after)
        : QUndoCommand(text), m_family(family)
    {
        for (ViewKind kind : kAllViews)
            if (before[Slot(kind)] != after[Slot(kind)])
                m_changes.push_back({kind, before[Slot(kind)], after[Slot(kind)]});
    }

    [[nodiscard]] bool empty() const { return m_changes.empty(); }

    void undo() override
    {
        for (const Change& c : m_changes)
            m_family.putRows(c.kind, c.before);
    }
    // The first redo comes with the push, when the tables already hold the rows.
    void redo() override
    {
        for (const Change& c : m_changes)
            m_family.putRows(c.kind, c.after);
    }

private:
    struct Change {
        ViewKind kind;
        std::vector<RowCells> before;
        std::vector<RowCells> after;
    };
    ViewFamily& m_family;
    std::vector<Change> m_changes;
};

}  // namespace

TableSteps::TableSteps(ViewFamily& family, QObject* parent)
    : QObject(parent), m_family(family), m_start(currentRows())
{
    m_stack.setUndoLimit(kUndoLimit);
    connect(&m_stack, &QUndoStack::indexChanged, this, &TableSteps::changed);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &TableSteps::changed);
}

FamilyRows TableSteps::currentRows() const
{
    FamilyRows rows;
    for (ViewKind kind : kAllViews)
        rows[Slot(kind)] = m_family.table(kind).rows();
    return rows;
}

void TableSteps::settle()
{
    // Closing the comment box ends its step through end(); only once.
    if (std::exchange(m_settling, true))
        return;
    Q_EMIT stepStarting();
    m_settling = false;
    end();
}

void TableSteps::begin(const QString& text)
{
    settle();
    m_start = currentRows();
    m_open = text;
}

void TableSteps::end()
{
    const std::optional<QString> name = std::exchange(m_open, std::nullopt);
    FamilyRows now = currentRows();
    if (name) {
        auto step = std::make_unique<TableStep>(m_family, *name, m_start, now);
        if (!step->empty())
            m_stack.push(step.release());
    }
    // Changes made outside a step are not undoable: they start the next step.
    m_start = std::move(now);
}

void TableSteps::record(const QString& text, const std::function<void()>& change)
{
    begin(text);
    change();
    end();
}

void TableSteps::forget()
{
    m_open.reset();
    m_stack.clear();
    m_start = currentRows();
    Q_EMIT changed();
}

void TableSteps::replaceRows(ViewKind kind, const std::vector<RowCells>& rows, const QString& what)
{
    record(what, [&] {
        const int count = std::min(m_family.table(kind).channelRows(), int(rows.size()));
        for (int row = 1; row <= count; ++row)
            m_family.setRow(kind, row, rows[std::size_t(row - 1)]);
    });
}

void TableSteps::undo()
{
    settle();
    m_stack.undo();
    m_start = currentRows();
}

void TableSteps::redo()
{
    settle();
    m_stack.redo();
    m_start = currentRows();
}

}  // namespace vardo
