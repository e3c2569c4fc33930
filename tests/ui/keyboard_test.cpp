// SPDX-License-Identifier: GPL-3.0-or-later
// The views without a mouse: Enter and F2, the row's context menu, Tab.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>

#include "messageboxhelper.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// What the operator sees happen, and where the keyboard is then: "sent 00 00 00 66 06 | Grid".
QString Outcome(AppHarness& h, MemoryView& v, const MessageBoxHelper& boxes)
{
    QString seen = QStringLiteral("nothing");
    const QStringList frames = SentFrames(*h.radio);
    const ViewState& state = h.app->viewState();
    if (!boxes.texts().isEmpty())
        seen = QStringLiteral("refused ") + boxes.texts().join(u'|');
    else if (!frames.isEmpty())
        seen = QStringLiteral("sent ") + frames.join(u'|');
    else if (ChannelEditor* e = h.app->editorCommands().editor())
        seen = QStringLiteral("editor") + e->findChild<QLabel*>(QStringLiteral("lblChanges"))->text();
    else if (auto* caption = v.findChild<QLabel*>(QStringLiteral("lblComments")); caption->isVisible())
        seen = QStringLiteral("comment ") + caption->text();
    else if (state.ScanMode)
        seen = QStringLiteral("scan ") + v.findChild<QLabel*>(QStringLiteral("lblScan"))->text();
    else if (state.SortMode)
        seen = QStringLiteral("picked ") + SelectedCells(v);
    // A window that a message box left is active again on a desktop, not offscreen.
    const QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : v.focusWidget();
    return seen + QStringLiteral(" | ") + (focus ? focus->objectName() : QString());
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keysActLikeClicks_data()
    {
        Columns<ViewKind, int, int, int, QString>("kind", "row", "column", "key", "outcome");
        QTest::newRow("Enter on Mode") << ViewKind::Pms << 3 << 2 << int(Qt::Key_Return) << "sent 00 00 00 66 06 | Grid";
        QTest::newRow("F2 on a refused cell") << ViewKind::All << 110 << 2 << int(Qt::Key_F2)
                                              << "refused Cannot load QMB memory channels into VFO-A! | Grid";
        QTest::newRow("Enter on a setting") << ViewKind::Ch99 << 12 << 8 << int(Qt::Key_Enter)
                                            << "editor Enter changes desired for Memory Channel 12:  | txtFreq";
        QTest::newRow("F2 on Comments") << ViewKind::Qmb << 2 << 10 << int(Qt::Key_F2)
                                        << "comment Edit comments for QMB memory channel 2: | txtComments";
        QTest::newRow("Enter on Ch#") << ViewKind::Ch99 << 7 << 0 << int(Qt::Key_Return) << "picked 7:0-10 | Grid";
    }
    void keysActLikeClicks()
    {
        QFETCH(ViewKind, kind); QFETCH(int, row); QFETCH(int, column); QFETCH(int, key); QFETCH(QString, outcome);
        AppHarness h;
        MemoryView* v = h.openFilled(kind);
        QVERIFY(v);
        h.radio->clearLog();
        MessageBoxHelper boxes;
        v->grid()->setFocus();
        v->setCurrentCell(row, column);
        QTest::keyClick(v->grid(), Qt::Key(key));
        QVERIFY(h.idle());
        QTRY_COMPARE(Outcome(h, *v, boxes), outcome);
    }

    void rowMenu_data()
    {
        // state: of the row or the view: empty, sort, scan; how: Shift+F10, Menu, right click;
        // chosen: the entry then triggered; -1: none
        Columns<ViewKind, int, QString, QString, QStringList, int, QString>("kind", "row", "state", "how", "entries",
            "chosen", "outcome");
        const QString pick = QStringLiteral("&Pick for Moving\tEnter on Ch#");
        const QString vfo = QStringLiteral("Load into &VFO-A\tEnter on Mode");
        const QString edit = QStringLiteral("&Edit Channel...\tEnter on a setting");
        const QString comment = QStringLiteral("Edit &Comment...\tEnter on Comments");
        QTest::newRow("a row with data") << ViewKind::Ch99 << 12 << "" << "Shift+F10" << QStringList{pick, vfo, edit, comment}
                                         << 1 << "sent 00 00 00 0C 06 | Grid";
        QTest::newRow("an empty row") << ViewKind::Pms << 4 << "empty" << "right click"
                                      << QStringList{"No action on this row"} << -1 << "nothing | Grid";
        QTest::newRow("a QMB row") << ViewKind::All << 110 << "" << "right click" << QStringList{comment} << 0
                                   << "comment Edit comments for QMB memory channel 2: | txtComments";
        QTest::newRow("the row picked for moving")
            << ViewKind::Ch99 << 10 << "sort" << "Shift+F10"
            << QStringList{vfo, "Move &Up\tAlt+U", "Move &Down\tAlt+D", "&Ok, Done Moving\tAlt+O"} << 1
            << "picked 9:0-10 | Grid";
        QTest::newRow("the scan's range") << ViewKind::All << 5 << "scan" << "Menu" << QStringList{"Pick for the &Scan\tEnter"}
                                          << 0 << "scan Click on the memory channel row to end the scan at | Grid";
    }
    void rowMenu()
    {
        QFETCH(ViewKind, kind); QFETCH(int, row); QFETCH(QString, state); QFETCH(QString, how);
        QFETCH(QStringList, entries); QFETCH(int, chosen); QFETCH(QString, outcome);
        AppHarness h;
        MemoryView* v = h.openFilled(kind);
        QVERIFY(v);
        ChannelGrid* grid = v->grid();
        grid->setFocus();
        if (state == "empty")
            h.app->family().setRow(kind, row, RowCells{});
        if (state == "sort") {
            v->setCurrentCell(10, ColLabel);
            QTest::keyClick(grid, Qt::Key_Return);
        }
        if (state == "scan")
            h.press(*v, "cmdScan");
        h.radio->clearLog();
        MessageBoxHelper boxes;
        if (how == "right click") {
            // The press and release do nothing of a left click's; the menu comes with the press.
            const QModelIndex cell = grid->model()->index(row - 1, ColAnt);
            grid->scrollTo(cell);
            const QPoint at = grid->visualRect(cell).center();
            QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, at);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
            QApplication::sendEvent(grid->viewport(), &event);
        } else {
            grid->setFocus();
            v->setCurrentCell(row, ColAnt);
            QTest::keyClick(grid, how == "Menu" ? Qt::Key_Menu : Qt::Key_F10, how == "Menu" ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        QStringList texts;
        for (const QAction* action : menu->actions())
            texts << action->text();
        QCOMPARE(texts, entries);
        if (chosen >= 0)
            menu->setActiveAction(menu->actions().at(chosen));
        QTest::keyClick(menu, chosen < 0 ? Qt::Key_Escape : Qt::Key_Return);
        QTRY_VERIFY(!QApplication::activePopupWidget() && h.idle());
        QTRY_COMPARE(Outcome(h, *v, boxes), outcome);
    }

    // Tab goes from the grid through the options and the commands and back, never from cell
    // to cell; the options are one stop, among which the arrows move.
    void tabOrder()
    {
        const QStringList order{"Grid", "optAll", "cmdRead", "cmdSave", "cmdLoad", "cmdClear", "cmdScan", "cmdPrint",
                                "cmdExit", "Grid"};
        AppHarness h;
        MemoryView* v = h.openFilled(ViewKind::Ch99);
        QVERIFY(v);
        v->grid()->setFocus();
        QStringList visited;
        for (qsizetype i = 0; i < order.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            visited << (focus ? focus->objectName() : QString());
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(visited, order);
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
