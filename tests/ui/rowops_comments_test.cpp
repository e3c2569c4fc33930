// Channel comments: the box over the view, its caption per view and row, every keystroke in
// both grids, Enter and leaving the box, and the refusal on an empty row.

#include <QLabel>
#include <QLineEdit>

#include "commentrules.h"
#include "messageboxhelper.h"
#include "rowops_harness.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

struct CommentBench {
    RowOpsHarness h;
    MemoryView* view = nullptr;
    QLabel* caption = nullptr;
    QLineEdit* box = nullptr;

    bool openOn(ViewKind kind)
    {
        if (!h.started())
            return false;
        h.fillRows(ViewKind::All, 1, kLastQmb);
        view = &h.open(kind);
        caption = view->label(QStringLiteral("lblComments"));
        box = view->textBox(QStringLiteral("txtComments"));
        return QTest::qWaitForWindowActive(view);
    }
    [[nodiscard]] QString cell(ViewKind kind, int row) const { return h.table(kind).cell(row, ColComment); }
};

}  // namespace

class CommentsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typing_data();
    void typing();
    void enterCloses();
    void leavingCloses();
    void contextMenuKeepsItOpen();
    void emptyingTheBox();
    void nothingToComment();
};

void CommentsTest::typing_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<ViewKind>("mirror");
    QTest::addColumn<int>("mirrorRow");

    QTest::newRow("all 7") << ViewKind::All << 7 << "Edit comments for memory channel 7:" << ViewKind::Ch99 << 7;
    QTest::newRow("all 100") << ViewKind::All << 100 << "Edit comments for PMS memory channel 1:" << ViewKind::Pms << 1;
    QTest::newRow("all 110") << ViewKind::All << 110 << "Edit comments for QMB memory channel 2:" << ViewKind::Qmb << 2;
    QTest::newRow("ch99 7") << ViewKind::Ch99 << 7 << "Edit comments for memory channel 7:" << ViewKind::All << 7;
    QTest::newRow("pms 3") << ViewKind::Pms << 3 << "Edit comments for PMS memory channel 3:" << ViewKind::All << 102;
    QTest::newRow("qmb 2") << ViewKind::Qmb << 2 << "Edit comments for QMB memory channel 2:" << ViewKind::All << 110;
}

// The box starts with the comment there, and each key reaches both grids at once.
void CommentsTest::typing()
{
    QFETCH(ViewKind, view);
    QFETCH(int, row);
    QFETCH(QString, caption);
    QFETCH(ViewKind, mirror);
    QFETCH(int, mirrorRow);

    CommentBench b;
    QVERIFY(b.openOn(view));
    const QString old = b.cell(view, row);
    b.h.clickCell(*b.view, row, ColComment);
    QVERIFY(b.caption->isVisible());
    QVERIFY(b.box->isVisible());
    QCOMPARE(b.caption->text(), caption);
    QCOMPARE(b.box->text(), old);
    QCOMPARE(b.view->focusWidget(), b.box);
    QCOMPARE(b.h.app->viewState().CommentRow, row);
    QCOMPARE(b.h.app->viewState().CommentCol, int(ColComment));

    QString typed = old;
    for (const QChar key : QStringLiteral(" 4U")) {
        QTest::keyClick(b.box, key.toLatin1());
        typed += key;
        QCOMPARE(b.cell(view, row), typed);
        QCOMPARE(b.cell(mirror, mirrorRow), typed);
    }
    QTest::keyClick(b.box, Qt::Key_Backspace);
    typed.chop(1);
    QCOMPARE(b.cell(view, row), typed);
    QCOMPARE(b.cell(mirror, mirrorRow), typed);
    // The rest of the row and the neighbours are untouched.
    QCOMPARE(b.h.table(view).cell(row, ColFreq), QStringLiteral("7050.%1").arg(ChannelOfRow(view, row)));
    const int neighbour = row == 1 ? 2 : row - 1;
    QCOMPARE(b.cell(view, neighbour), QStringLiteral("comment %1").arg(ChannelOfRow(view, neighbour)));
}

void CommentsTest::enterCloses()
{
    CommentBench b;
    QVERIFY(b.openOn(ViewKind::Ch99));
    b.h.clickCell(*b.view, 12, ColComment);
    b.box->selectAll();
    QTest::keyClicks(b.box, QStringLiteral("net at 19z"));
    QTest::keyClick(b.box, Qt::Key_Return);
    QCOMPARE(b.cell(ViewKind::Ch99, 12), QStringLiteral("net at 19z"));
    QCOMPARE(b.cell(ViewKind::All, 12), QStringLiteral("net at 19z"));
    QVERIFY(!b.box->isVisible());
    QVERIFY(!b.caption->isVisible());
    QCOMPARE(b.view->focusWidget(), b.view->button(QStringLiteral("cmdSave")));
    // Keys after closing go nowhere near the cell.
    QTest::keyClick(b.view->button(QStringLiteral("cmdSave")), Qt::Key_X);
    QCOMPARE(b.cell(ViewKind::Ch99, 12), QStringLiteral("net at 19z"));
}

void CommentsTest::leavingCloses()
{
    CommentBench b;
    QVERIFY(b.openOn(ViewKind::Pms));
    b.h.clickCell(*b.view, 4, ColComment);
    QTest::keyClicks(b.box, QStringLiteral("!"));
    b.view->grid()->setFocus(Qt::MouseFocusReason);
    QVERIFY(!b.box->isVisible());
    QVERIFY(!b.caption->isVisible());
    QCOMPARE(b.cell(ViewKind::Pms, 4), QStringLiteral("comment 103!"));
    QCOMPARE(b.cell(ViewKind::All, 103), QStringLiteral("comment 103!"));
    // Another Comments cell opens the box there, with that row's comment.
    b.h.clickCell(*b.view, 6, ColComment);
    QCOMPARE(b.caption->text(), QStringLiteral("Edit comments for PMS memory channel 6:"));
    QCOMPARE(b.box->text(), QStringLiteral("comment 105"));
}

// The box's own context menu takes the focus for a moment; that is not leaving the box.
void CommentsTest::contextMenuKeepsItOpen()
{
    CommentBench b;
    QVERIFY(b.openOn(ViewKind::Qmb));
    b.h.clickCell(*b.view, 3, ColComment);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(b.box, &popup);
    QVERIFY(b.box->isVisible());
    QTest::keyClicks(b.box, QStringLiteral("x"));
    QCOMPARE(b.cell(ViewKind::All, 111), QStringLiteral("comment 111x"));
}

void CommentsTest::emptyingTheBox()
{
    CommentBench b;
    QVERIFY(b.openOn(ViewKind::All));
    b.h.clickCell(*b.view, 108, ColComment);
    b.box->selectAll();
    QTest::keyClick(b.box, Qt::Key_Delete);
    QCOMPARE(b.box->text(), QString());
    QCOMPARE(b.cell(ViewKind::All, 108), QString());
    QCOMPARE(b.cell(ViewKind::Pms, 9), QString());
    QTest::keyClick(b.box, Qt::Key_Enter);
    QCOMPARE(b.cell(ViewKind::Pms, 9), QString());
    QCOMPARE(b.h.table(ViewKind::Pms).cell(9, ColFreq), QStringLiteral("7050.108"));
}

void CommentsTest::nothingToComment()
{
    CommentBench b;
    QVERIFY(b.openOn(ViewKind::All));
    b.h.app->family().clear(ViewKind::All);
    MessageBoxHelper boxes;
    b.h.clickCell(*b.view, 110, ColComment);
    QVERIFY(boxes.waitForCount(1));
    QCOMPARE(boxes.lastText(), QString::fromLatin1(kNothingToComment));
    QCOMPARE(boxes.seen().last().icon, QMessageBox::Warning);
    QVERIFY(!b.box->isVisible());
    QVERIFY(!b.caption->isVisible());
    QCOMPARE(b.view->focusWidget(), b.view->button(QStringLiteral("cmdLoad")));
    QCOMPARE(b.cell(ViewKind::Qmb, 2), QStringLiteral("comment 110"));  // the mirror keeps its row
}

QTEST_MAIN(CommentsTest)
#include "rowops_comments_test.moc"
