// The channel editor window driven as the operator does: what it shows for a row, where its
// controls stand, the tab order, Load refusing with the rule's message and focus, Load
// handing over the checked edit, and Cancel.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "channeleditor.h"
#include "messageboxhelper.h"

Q_DECLARE_METATYPE(vardo::EditTexts)
Q_DECLARE_METATYPE(vardo::SettingCells)

using namespace vardo;
using vardo::test::MessageBoxHelper;

namespace {

const QString kCaption = QStringLiteral(" Enter changes desired for Memory Channel 12: ");

SettingCells Cells(const QString& freq = QStringLiteral("14025.00  "), const QString& offset = QStringLiteral("0.00"),
                   const QString& mode = QStringLiteral("USB"), const QString& rx = QStringLiteral("OFF"))
{
    return {freq, mode, "2.4K", "2.0K", "A", rx, "OFF", offset, "OFF"};
}

QPointer<ChannelEditor> Open(const SettingCells& cells = Cells())
{
    auto* editor = new ChannelEditor(kCaption, cells);
    editor->show();
    return editor;
}

template <typename T>
T* Child(QWidget* editor, const QString& name)
{
    return editor->findChild<T*>(name);
}

// Twips at the screen's resolution, unrounded.
QRectF Twips(const QWidget* w, int left, int top, int width, int height)
{
    const double x = w->logicalDpiX() / 1440.0;
    const double y = w->logicalDpiY() / 1440.0;
    return {left * x, top * y, width * x, height * y};
}

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT
private slots:
    void window();
    void layout_data();
    void layout();
    void lists_data();
    void lists();
    void tabOrder();
    void fill_data();
    void fill();
    void loadRefused_data();
    void loadRefused();
    void loadAccepted();
    void cancel();
};

void EditorTest::window()
{
    QPointer<ChannelEditor> editor = Open();
    QCOMPARE(editor->objectName(), QStringLiteral("frmChanges"));
    QCOMPARE(editor->windowTitle(), QStringLiteral("Memory Channel Editor"));
    QVERIFY(editor->isWindow());
    QVERIFY(!editor->isModal());
    QCOMPARE(Child<QLabel>(editor, "lblChanges")->text(), kCaption);
    QCOMPARE(Child<QPushButton>(editor, "cmdOK")->text(), QStringLiteral("&Load"));
    QCOMPARE(Child<QPushButton>(editor, "CmdCancel")->text(), QStringLiteral("&Cancel"));
    editor->close();
}

void EditorTest::layout_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("labelLeft");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("txtFreq") << "txtFreq" << "lblFreq" << "Freq (kHz)" << 240 << QRect(240, 720, 855, 285);
    QTest::newRow("lstMode") << "lstMode" << "lblMode" << "Mode" << 1680 << QRect(1440, 720, 975, 2205);
    QTest::newRow("lst82Filt") << "lst82Filt" << "lbl82Filt" << "8.2 Filter" << 2760 << QRect(2760, 720, 615, 1035);
    QTest::newRow("lst455Filt") << "lst455Filt" << "lbl455Filt" << "455 Filter" << 3720 << QRect(3720, 720, 615, 1035);
    QTest::newRow("lstAnt") << "lstAnt" << "lblAnt" << "Ant" << 4800 << QRect(4680, 720, 615, 840);
    QTest::newRow("lstRxRit") << "lstRxRit" << "lblRxRit" << "Rx RIT" << 5640 << QRect(5640, 720, 615, 450);
    QTest::newRow("lstTxRit") << "lstTxRit" << "lblTxRit" << "Tx RIT" << 6600 << QRect(6600, 720, 615, 450);
    QTest::newRow("txtOffset") << "txtOffset" << "lblOffset" << "Offset" << 7560 << QRect(7560, 720, 495, 285);
    QTest::newRow("lstRpt") << "lstRpt" << "lblRpt" << "RPT" << 8400 << QRect(8400, 720, 495, 645);
    QTest::newRow("cmdOK") << "cmdOK" << "" << "" << 0 << QRect(3720, 2280, 975, 375);
    QTest::newRow("CmdCancel") << "CmdCancel" << "" << "" << 0 << QRect(5040, 2280, 975, 375);
}

void EditorTest::layout()
{
    QFETCH(QString, control);
    QFETCH(QString, label);
    QFETCH(QString, caption);
    QFETCH(int, labelLeft);
    QFETCH(QRect, twips);
    QPointer<ChannelEditor> editor = Open(Cells("30009.99* ", "-9.99"));
    // One stretch for the whole window (1 when the font fits the twips layout), read off
    // two controls far from the origin.
    const QRectF unit = Twips(editor, 8400, 2280, 0, 0);
    const double sx = Child<QWidget>(editor, "lstRpt")->x() / unit.x();
    const double sy = Child<QWidget>(editor, "cmdOK")->y() / unit.y();
    QVERIFY(sx >= 1.0 && sy >= 1.0);
    const QRectF expected = Twips(editor, twips.x(), twips.y(), twips.width(), twips.height());
    const QRect actual = Child<QWidget>(editor, control)->geometry();
    QVERIFY(qAbs(actual.x() - expected.x() * sx) <= 1.0);
    QVERIFY(qAbs(actual.y() - expected.y() * sy) <= 1.0);
    QVERIFY(qAbs(actual.width() - expected.width() * sx) <= 1.0);
    QVERIFY(qAbs(actual.height() - expected.height() * sy) <= 1.0);
    QVERIFY(editor->rect().contains(actual));
    if (auto* list = Child<QListWidget>(editor, control)) {  // every item whole, no scrolling
        const QRect last = list->visualItemRect(list->item(list->count() - 1));
        QVERIFY(last.bottom() < list->viewport()->height());
        QVERIFY(list->sizeHintForColumn(0) <= list->viewport()->width());
    }
    if (auto* box = Child<QLineEdit>(editor, control))  // the widest value shows whole
        QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) < box->contentsRect().width());
    if (!label.isEmpty()) {
        auto* lbl = Child<QLabel>(editor, label);
        QCOMPARE(lbl->text(), caption);
        const QRectF at = Twips(editor, labelLeft, 480, 0, 0);
        QVERIFY(qAbs(lbl->x() - at.x() * sx) <= 1.0);
        QVERIFY(qAbs(lbl->y() - at.y() * sy) <= 1.0);
    }
    editor->close();
}

void EditorTest::lists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("lstMode") << "lstMode"
                             << QStringList{"LSB", "USB", "CW (usb)", "CW (lsb)", "AM (env)", "AM (sync)", "FM",
                                            "RTTY (lsb)", "RTTY (usb)", "PKT (lsb)", "PKT (fm)"};
    QTest::newRow("lst82Filt") << "lst82Filt" << QStringList{"250", "500", "2.0K", "2.4K", "Thru"};
    QTest::newRow("lst455Filt") << "lst455Filt" << QStringList{"250", "500", "2.0K", "2.4K", "6.0K"};
    QTest::newRow("lstAnt") << "lstAnt" << QStringList{"A", "B", "Rx (A)", "Rx (B)"};
    QTest::newRow("lstRxRit") << "lstRxRit" << QStringList{"OFF", "ON"};
    QTest::newRow("lstTxRit") << "lstTxRit" << QStringList{"OFF", "ON"};
    QTest::newRow("lstRpt") << "lstRpt" << QStringList{"OFF", "+RPT", "-RPT"};
}

void EditorTest::lists()
{
    QFETCH(QString, list);
    QFETCH(QStringList, items);
    QPointer<ChannelEditor> editor = Open();
    auto* widget = Child<QListWidget>(editor, list);
    QStringList shown;
    for (int i = 0; i < widget->count(); ++i)
        shown << widget->item(i)->text();
    QCOMPARE(shown, items);
    editor->close();
}

void EditorTest::tabOrder()
{
    QPointer<ChannelEditor> editor = Open();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    Child<QWidget>(editor, "txtFreq")->setFocus();
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"txtFreq", "lstMode", "lst82Filt", "lst455Filt", "lstAnt", "lstRxRit",
                                   "lstTxRit", "txtOffset", "lstRpt", "cmdOK", "CmdCancel"}));
    editor->close();
}

void EditorTest::fill_data()
{
    QTest::addColumn<SettingCells>("cells");
    QTest::addColumn<EditTexts>("texts");
    QTest::newRow("masked keeps its *") << Cells("14025.00* ")
                                        << EditTexts{"14025.00*", "0.00", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "OFF"};
    QTest::newRow("offset +1.50") << Cells("7050.00  ", "+1.50", "CW (lsb)", "ON")
                                  << EditTexts{"7050.00", "+1.50", "CW (lsb)", "2.4K", "2.0K", "A", "ON", "OFF", "OFF"};
    QTest::newRow("unknown texts select nothing") << SettingCells{"3573.00  ", "usb", "", "6.0K", "C", "OFF", "x", "0.00", "+RPT"}
                                                  << EditTexts{"3573.00", "0.00", "", "", "6.0K", "", "OFF", "", "+RPT"};
}

void EditorTest::fill()
{
    QFETCH(SettingCells, cells);
    QFETCH(EditTexts, texts);
    QPointer<ChannelEditor> editor = Open(cells);
    QCOMPARE(editor->texts(), texts);
    editor->close();
}

void EditorTest::loadRefused_data()
{
    QTest::addColumn<QString>("freq");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");  // empty: the focus stays on cmdOK
    QTest::addColumn<QString>("freqAfter");
    QTest::addColumn<QString>("offsetAfter");
    QTest::newRow("offset blank") << "14025.00" << "" << "The Offset box is blank!" << "" << "14025.00" << "";
    QTest::newRow("offset comma kept, range") << "14025.00*" << "10,5"
                                              << "The RIT Offset must be within the\rrange of -9.99 to +9.99 kHz!" << ""
                                              << "14025.00*" << "10.5";
    QTest::newRow("mark dropped, non-numeric") << "14O25.00*" << "0"
                                               << "Frequency contains non-numeric character(s)!" << "txtFreq"
                                               << "14O25.00" << "0";
    QTest::newRow("offset three decimals") << "14025.00" << "1.234"
                                           << "Either there are too many decimal points in the Offset box\r"
                                              "or there are too many digits after it (only 2 are allowed)."
                                           << "txtOffset" << "14025.00" << "1.234";
}

void EditorTest::loadRefused()
{
    QFETCH(QString, freq);
    QFETCH(QString, offset);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(QString, freqAfter);
    QFETCH(QString, offsetAfter);
    MessageBoxHelper boxes;
    QPointer<ChannelEditor> editor = Open();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    QSignalSpy loaded(editor.data(), &ChannelEditor::loaded);
    Child<QLineEdit>(editor, "txtFreq")->setText(freq);
    Child<QLineEdit>(editor, "txtOffset")->setText(offset);
    auto* load = Child<QPushButton>(editor, "cmdOK");
    load->setFocus();
    QTest::mouseClick(load, Qt::LeftButton);
    QVERIFY(boxes.waitForCount(1));
    QCOMPARE(boxes.lastText(), message);
    QCOMPARE(boxes.seen().last().icon, QMessageBox::Warning);
    QCOMPARE(boxes.seen().last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(editor->focusWidget()->objectName(), focus.isEmpty() ? QStringLiteral("cmdOK") : focus);
    QCOMPARE(Child<QLineEdit>(editor, "txtFreq")->text(), freqAfter);
    QCOMPARE(Child<QLineEdit>(editor, "txtOffset")->text(), offsetAfter);
    editor->close();
}

void EditorTest::loadAccepted()
{
    MessageBoxHelper boxes;
    QPointer<ChannelEditor> editor = Open(Cells("14025.00* ", "0.00"));
    QSignalSpy loaded(editor.data(), &ChannelEditor::loaded);
    Child<QLineEdit>(editor, "txtFreq")->setText(QStringLiteral("14026,5*"));
    Child<QLineEdit>(editor, "txtOffset")->setText(QStringLiteral("+1.5"));
    Child<QListWidget>(editor, "lstRxRit")->setCurrentRow(1);  // ON
    QTest::mouseClick(Child<QPushButton>(editor, "cmdOK"), Qt::LeftButton);
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(loaded.count(), 1);
    const auto edit = loaded.first().first().value<ValidEdit>();
    QCOMPARE(edit.cells, (SettingCells{"14026.50* ", "USB", "2.4K", "2.0K", "A", "ON", "OFF", "+1.50", "OFF"}));
    QCOMPARE(edit.MaskCode(), 1);
    QTRY_VERIFY(!editor);  // closed and gone
}

void EditorTest::cancel()
{
    QPointer<ChannelEditor> editor = Open();
    QSignalSpy loaded(editor.data(), &ChannelEditor::loaded);
    QSignalSpy cancelled(editor.data(), &ChannelEditor::cancelled);
    Child<QLineEdit>(editor, "txtFreq")->setText(QStringLiteral("7000"));
    QTest::mouseClick(Child<QPushButton>(editor, "CmdCancel"), Qt::LeftButton);
    QCOMPARE(cancelled.count(), 1);
    QCOMPARE(loaded.count(), 0);
    QTRY_VERIFY(!editor);
}

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
