// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Operator steps the widget tests share on top of the harness: a view opened and read, the
// rows of every table, a comment typed, an editor box filled, a menu item chosen.

#include <vector>

#include <QAction>
#include <QLineEdit>

#include "app_harness.h"
#include "channeleditor.h"
#include "editorcommands.h"

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace vardo::test {

using Tables = QList<std::vector<RowCells>>;

// A data table's columns in one line: Columns<int, QString>("row", "message").
template <typename... T, typename... Names>
void Columns(Names... names)
{
    static_assert(sizeof...(T) == sizeof...(Names));
    (QTest::addColumn<T>(names), ...);
}

// Every row of every table, frmAll first.
[[nodiscard]] inline Tables AllTables(const AppHarness& h)
{
    Tables all;
    for (ViewKind kind : kAllViews)
        all << h.table(kind).rows();
    return all;
}

// Started, `kind` open and read from the radio; null if not.
[[nodiscard]] inline MemoryView* OpenAndRead(AppHarness& h, ViewKind kind)
{
    if (!h.started())
        return nullptr;
    MemoryView& v = h.open(kind);
    return h.read(v) ? &v : nullptr;
}

// The commands of sort mode all shown, or all hidden.
[[nodiscard]] inline bool MoveCommandsAre(MemoryView& v, bool shown)
{
    for (const char* name : {"cmdUp", "cmdDown", "cmdOK"})
        if (v.button(QString::fromLatin1(name))->isVisible() != shown)
            return false;
    return true;
}

[[nodiscard]] inline QAction* Action(QWidget& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

[[nodiscard]] inline QLineEdit* CommentBox(MemoryView& v)
{
    return v.findChild<QLineEdit*>(QStringLiteral("txtComments"));
}

// A click on the row's comment, `typed` added, Return.
inline void TypeComment(const AppHarness& h, MemoryView& v, int row, const QString& typed)
{
    h.clickCell(v, row, ColComment);
    QTest::keyClicks(CommentBox(v), typed);
    QTest::keyClick(CommentBox(v), Qt::Key_Return);
}

[[nodiscard]] inline ChannelEditor* Editor(const AppHarness& h)
{
    return h.app->editorCommands().editor();
}

// Replaces the text of an editor box as the operator does: all selected, then typed over.
inline void SetText(QWidget& editor, const char* box, const QString& text)
{
    auto* edit = editor.findChild<QLineEdit*>(QString::fromLatin1(box));
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace vardo::test
