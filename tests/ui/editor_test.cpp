// SPDX-License-Identifier: GPL-3.0-or-later
// The channel editor: its window on its own (what it shows for a row, where its controls
// stand, the tab order, Load refusing with the rule's message and focus), then in the
// program: Load rewriting the row and its mirror and writing the channel into the emulator,
// Cancel, Esc and a view switch changing nothing, one editor at a time, a change to the
// edited row closing it, a busy radio and a silent one.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QStatusBar>

#include "app_harness.h"
#include "catframe.h"
#include "channeleditor.h"
#include "csvcommands.h"
#include "codec.h"
#include "editorcommands.h"
#include "filebytes.h"
#include "historycommands.h"
#include "messageboxhelper.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)
Q_DECLARE_METATYPE(vardo::EditTexts)
Q_DECLARE_METATYPE(vardo::RowCells)

namespace {

constexpr char kComment[] = "net on Sundays";

const QString kCaption = QStringLiteral(" Enter changes desired for Memory Channel 12: ");

RowCells Cells(const QString& freq = QStringLiteral("14025.00  "), const QString& offset = QStringLiteral("0.00"),
               const QString& mode = QStringLiteral("USB"), const QString& rx = QStringLiteral("OFF"))
{
    return {freq, mode, "2.4K", "2.0K", "A", rx, "OFF", offset, "OFF"};
}

QPointer<ChannelEditor> Open(const RowCells& cells = Cells())
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

// The program with the editor attached as it runs, and the writes it reports.
struct EditorApp : AppHarness {
    [[nodiscard]] ChannelEditor* editor() const { return app->editorCommands().editor(); }
    [[nodiscard]] bool written() const
    {
        return QTest::qWaitFor([this] { return writes.count() > 0 && !app->busyState().busy(); }, kWaitMs);
    }
    [[nodiscard]] QList<std::vector<RowCells>> allRows() const
    {
        QList<std::vector<RowCells>> all;
        for (ViewKind kind : kAllViews)
            all << table(kind).rows();
        return all;
    }

    // Opens `kind`, reads it and clicks the editor open on a row; null when a step fails.
    [[nodiscard]] ChannelEditor* editRow(ViewKind kind, int row, int column)
    {
        if (!started())
            return nullptr;
        MemoryView& v = open(kind);
        if (!read(v))
            return nullptr;
        clickCell(v, row, column);
        return editor();
    }

    QSignalSpy writes{&app->editorCommands(), &EditorCommands::writeEnded};
};

void SetText(ChannelEditor& e, const char* box, const QString& text)
{
    auto* edit = e.findChild<QLineEdit*>(QString::fromLatin1(box));
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Picks a list item the way the operator does: a click on it.
void Pick(ChannelEditor& e, const char* list, const QString& text)
{
    auto* l = e.findChild<QListWidget*>(QString::fromLatin1(list));
    const QList<QListWidgetItem*> items = l->findItems(text, Qt::MatchExactly);
    QVERIFY2(!items.isEmpty(), qPrintable(text));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(items.first()).center());
}

QString Caption(ChannelEditor* e)
{
    return e->findChild<QLabel*>(QStringLiteral("lblChanges"))->text();
}

// The settings but the antenna, which has no command: the channel stores VFO-A's antenna.
// The comment is not the radio's either.
RowCells SettingsWithoutAntenna(RowCells cells)
{
    cells[CellIndex(ColAnt)].clear();
    cells[CellIndex(ColComment)].clear();
    return cells;
}

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void window()
    {
        QPointer<ChannelEditor> editor = Open();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QCOMPARE(editor->objectName(), QStringLiteral("frmChanges"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("Memory Channel Editor"));
        QVERIFY(editor->isWindow() && !editor->isModal());
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

    // Every control where its twips put it, one stretch for the whole window (1 when the font
    // fits the twips layout); every list item whole without scrolling, the widest value whole.
    void layout()
    {
        const QList<std::pair<QString, QRect>> twips{
            {"txtFreq", {240, 720, 855, 285}},    {"lstMode", {1440, 720, 975, 2205}},
            {"lst82Filt", {2760, 720, 615, 1035}}, {"lst455Filt", {3720, 720, 615, 1035}},
            {"lstAnt", {4680, 720, 615, 840}},     {"lstRxRit", {5640, 720, 615, 450}},
            {"lstTxRit", {6600, 720, 615, 450}},   {"txtOffset", {7560, 720, 495, 285}},
            {"lstRpt", {8400, 720, 495, 645}},     {"cmdOK", {3720, 2280, 975, 375}},
            {"CmdCancel", {5040, 2280, 975, 375}}};
        QPointer<ChannelEditor> editor = Open(Cells("30009.99* ", "-9.99"));
        const double x = editor->logicalDpiX() / 1440.0;
        const double y = editor->logicalDpiY() / 1440.0;
        const double sx = Child<QWidget>(editor, "lstRpt")->x() / (8400 * x);
        const double sy = Child<QWidget>(editor, "cmdOK")->y() / (2280 * y);
        QVERIFY(sx >= 1.0 && sy >= 1.0);
        for (const auto& [name, at] : twips) {
            const QRect actual = Child<QWidget>(editor, name)->geometry();
            const QRectF expected(at.x() * x * sx, at.y() * y * sy, at.width() * x * sx, at.height() * y * sy);
            QVERIFY2(qAbs(actual.x() - expected.x()) <= 1.0 && qAbs(actual.y() - expected.y()) <= 1.0
                         && qAbs(actual.width() - expected.width()) <= 1.0
                         && qAbs(actual.height() - expected.height()) <= 1.0 && editor->rect().contains(actual),
                     qPrintable(name));
            if (auto* list = Child<QListWidget>(editor, name)) {
                QVERIFY(list->visualItemRect(list->item(list->count() - 1)).bottom() < list->viewport()->height());
                QVERIFY(list->sizeHintForColumn(0) <= list->viewport()->width());
            }
            if (auto* box = Child<QLineEdit>(editor, name))
                QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) < box->contentsRect().width());
        }
        editor->close();
    }

    void fill_data()
    {
        QTest::addColumn<RowCells>("cells");
        QTest::addColumn<EditTexts>("texts");
        QTest::newRow("masked keeps its *") << Cells("14025.00* ")
                                            << EditTexts{"14025.00*", "0.00", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "OFF"};
        QTest::newRow("offset +1.50") << Cells("7050.00  ", "+1.50", "CW (lsb)", "ON")
                                      << EditTexts{"7050.00", "+1.50", "CW (lsb)", "2.4K", "2.0K", "A", "ON", "OFF", "OFF"};
        QTest::newRow("unknown texts select nothing") << RowCells{"3573.00  ", "usb", "", "6.0K", "C", "OFF", "x", "0.00", "+RPT"}
                                                      << EditTexts{"3573.00", "0.00", "", "", "6.0K", "", "OFF", "", "+RPT"};
    }
    void fill()
    {
        QFETCH(RowCells, cells);
        QFETCH(EditTexts, texts);
        QPointer<ChannelEditor> editor = Open(cells);
        QCOMPARE(editor->texts(), texts);
        editor->close();
    }

    void loadRefused_data()
    {
        QTest::addColumn<QString>("freq");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");  // empty: the focus stays on cmdOK
        QTest::addColumn<QString>("freqAfter");
        QTest::addColumn<QString>("offsetAfter");
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
    void loadRefused()
    {
        QFETCH(QString, freq);
        QFETCH(QString, offset);
        QFETCH(QString, focus);
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
        QTEST(boxes.lastText(), "message");
        QCOMPARE(boxes.seen().last().icon, QMessageBox::Warning);
        QCOMPARE(boxes.seen().last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(editor);
        QVERIFY(editor->isVisible());
        QCOMPARE(loaded.count(), 0);
        QCOMPARE(editor->focusWidget()->objectName(), focus.isEmpty() ? QStringLiteral("cmdOK") : focus);
        QTEST(Child<QLineEdit>(editor, "txtFreq")->text(), "freqAfter");
        QTEST(Child<QLineEdit>(editor, "txtOffset")->text(), "offsetAfter");
        editor->close();
    }

    void loadWritesGridsAndRadio_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caption");  // naming the channel as " Enter changes desired for %1: "
        QTest::addColumn<QString>("freq");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("mode");  // empty: as the row had it
        QTest::addColumn<QString>("rxRit");
        QTest::addColumn<QString>("freqCell");
        QTest::addColumn<QString>("offsetCell");
        QTest::addColumn<QString>("freqFrame");
        QTest::addColumn<QString>("maskFrame");
        QTest::newRow("1-99 row 5, comma") << ViewKind::Ch99 << 5 << "Memory Channel 5" << "7050,5" << "0" << "LSB"
                                           << "OFF" << "7050.50  " << "0.00" << "50 50 70 00 0A" << "00 00 02 05 03";
        QTest::newRow("PMS row 3 is channel 0x66") << ViewKind::Pms << 3 << "PMS Memory Channel P3" << "3525" << "0"
                                                   << "" << "OFF" << "3525.00  " << "0.00" << "00 25 35 00 0A"
                                                   << "00 00 02 66 03";
        QTest::newRow("all row 104 is P5") << ViewKind::All << 104 << "PMS Memory Channel P5" << "7000.5" << "0" << ""
                                           << "OFF" << "7000.50  " << "0.00" << "50 00 70 00 0A" << "00 00 02 68 03";
        QTest::newRow("masked stays masked") << ViewKind::All << 21 << "Memory Channel 21" << "14025.00*" << "0" << ""
                                             << "OFF" << "14025.00* " << "0.00" << "00 25 40 01 0A" << "00 00 01 15 03";
        QTest::newRow("mask removed") << ViewKind::Ch99 << 21 << "Memory Channel 21" << "14025.00" << "0" << ""
                                      << "OFF" << "14025.00  " << "0.00" << "00 25 40 01 0A" << "00 00 02 15 03";
        QTest::newRow("offset +1.5 with Rx RIT on") << ViewKind::Ch99 << 13 << "Memory Channel 13" << "14026.50"
                                                    << "+1.5" << "USB" << "ON" << "14026.50  " << "+1.50"
                                                    << "00 25 40 01 0A" << "00 00 02 0D 03";
    }
    void loadWritesGridsAndRadio()
    {
        QFETCH(ViewKind, view);
        QFETCH(int, row);
        QFETCH(QString, caption);
        QFETCH(QString, freq);
        QFETCH(QString, offset);
        QFETCH(QString, mode);
        QFETCH(QString, rxRit);
        QFETCH(QString, freqFrame);
        const int channel = ChannelOfRow(view, row);
        const ViewKind mirror = MirrorView(view, channel);
        const int mirrorRow = RowOfChannel(mirror, channel);
        EditorApp h;
        QVERIFY(h.started());
        MemoryView& v = h.open(view);
        QVERIFY(h.read(v));
        h.app->family().setCell(view, row, ColComment, QString::fromLatin1(kComment));
        const Record vfoA = h.radio->vfoA();

        h.clickCell(v, row, Col455);
        ChannelEditor* e = h.editor();
        QVERIFY(e && QTest::qWaitForWindowExposed(e));
        QCOMPARE(Caption(e), QStringLiteral(" Enter changes desired for %1: ").arg(caption));
        SetText(*e, "txtFreq", freq);
        SetText(*e, "txtOffset", offset);
        if (!mode.isEmpty())
            Pick(*e, "lstMode", mode);
        Pick(*e, "lstRxRit", rxRit);
        h.radio->clearLog();
        MessageBoxHelper boxes;
        h.press(*e, "cmdOK");
        QVERIFY(h.written());
        QCOMPARE(h.writes.at(0).at(0).toInt(), channel);
        QVERIFY(h.writes.at(0).at(1).toBool());
        QCOMPARE(boxes.texts(), QStringList());
        QVERIFY(QTest::qWaitFor([&] { return !h.editor(); }, kWaitMs));
        // Its own Load is no change under it (the Read's note stays).
        QVERIFY(!v.statusBar()->currentMessage().startsWith(QStringLiteral("The editor was closed")));

        // Both rows show the edit; the comment stays.
        const RowCells cells = h.table(view).row(row);
        QTEST(cells[CellIndex(ColFreq)], "freqCell");
        QTEST(cells[CellIndex(ColOffset)], "offsetCell");
        QCOMPARE(cells[CellIndex(ColRxRit)], rxRit);
        QCOMPARE(cells[CellIndex(ColComment)], QString::fromLatin1(kComment));
        QCOMPARE(h.table(mirror).row(mirrorRow), cells);

        // On the wire: VFO-A saved, eight settings, store and mask, VFO-A given back.
        const QStringList frames = SentFrames(*h.radio);
        QVERIFY(frames.size() > 11);
        QCOMPARE(frames.at(0), Cat::VfoARequest().toHex());
        QVERIFY(frames.mid(1, 8).contains(freqFrame));
        QCOMPARE(frames.at(9), Cat::StoreVfoA(channel).toHex());
        QTEST(frames.at(10), "maskFrame");
        QCOMPARE(h.radio->vfoA(), vfoA);
        // The radio's channel reads back as the grid shows it.
        QCOMPARE(SettingsWithoutAntenna(CellsFromChannel(DecodeRecord(h.radio->memory(channel)))), SettingsWithoutAntenna(cells));
        QTRY_COMPARE(v.focusWidget(), v.button(QStringLiteral("cmdSave")));
    }

    // One editor at a time; Cancel and a view switch close it with nothing written anywhere.
    void cancelAndSwitchChangeNothing()
    {
        EditorApp h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        QVERIFY(h.read(pms));
        const QList<std::vector<RowCells>> before = h.allRows();
        h.radio->clearLog();
        h.clickCell(pms, 4, ColOffset);
        QPointer<ChannelEditor> first = h.editor();
        QVERIFY(first);
        QCOMPARE(Caption(first), QStringLiteral(" Enter changes desired for PMS Memory Channel P4: "));
        SetText(*first, "txtFreq", QStringLiteral("3600"));
        h.clickCell(pms, 4, ColRpt);  // the same row again keeps the edit under way
        QCOMPARE(h.editor(), first.data());
        QCOMPARE(first->findChild<QLineEdit*>(QStringLiteral("txtFreq"))->text(), QStringLiteral("3600"));
        h.clickCell(pms, 6, ColAnt);  // another row gives it up for a new editor on that row
        QVERIFY(QTest::qWaitFor([&] { return !first; }, kWaitMs));
        ChannelEditor* e = h.editor();
        QCOMPARE(Caption(e), QStringLiteral(" Enter changes desired for PMS Memory Channel P6: "));
        QCOMPARE(e->findChild<QLineEdit*>(QStringLiteral("txtFreq"))->text(),
                 h.table(ViewKind::Pms).cell(6, ColFreq).trimmed());
        SetText(*e, "txtFreq", QStringLiteral("3600"));
        Pick(*e, "lstMode", QStringLiteral("CW (lsb)"));
        h.press(*e, "CmdCancel");
        QVERIFY(QTest::qWaitFor([&] { return !h.editor(); }, kWaitMs));
        QTRY_COMPARE(pms.focusWidget(), pms.button(QStringLiteral("cmdSave")));

        h.clickCell(pms, 5, Col82);
        SetText(*h.editor(), "txtFreq", QStringLiteral("3600"));
        h.choose(pms, "optAll");
        QVERIFY(QTest::qWaitFor([&] { return !h.editor(); }, kWaitMs));
        QCOMPARE(h.allRows(), before);
        QCOMPARE(h.radio->frameLog().size(), std::size_t(0));
        QCOMPARE(h.writes.count(), 0);
    }

    void escapeIsCancel_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("in a box") << "txtOffset";
        QTest::newRow("in a list") << "lstMode";
        QTest::newRow("on Load") << "cmdOK";
    }
    // Esc, wherever the keyboard is, closes the editor and hands nothing on.
    void escapeIsCancel()
    {
        QFETCH(QString, focus);
        QPointer<ChannelEditor> e = Open();
        QVERIFY(QTest::qWaitForWindowActive(e));
        QSignalSpy loaded(e.data(), &ChannelEditor::loaded);
        QSignalSpy cancelled(e.data(), &ChannelEditor::cancelled);
        SetText(*e, "txtFreq", QStringLiteral("3600"));
        auto* control = Child<QWidget>(e, focus);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([&] { return !e; }, kWaitMs));
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(loaded.count(), 0);
    }

    void tableChangeClosesTheEditor_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("note");  // in the status bar
        const QString note = QStringLiteral("The editor was closed: channel 12 changed in the table.");
        QTest::newRow("Clear") << "clear" << true << note;
        QTest::newRow("Read over another value") << "read" << true << note;
        QTest::newRow("Undo") << "undo" << true << note;
        QTest::newRow("Redo") << "redo" << true << note;
        QTest::newRow("the mirror row written") << "mirror" << true << note;
        QTest::newRow("Import CSV") << "csv" << true << note;
        QTest::newRow("History Open") << "history" << true << note;
        QTest::newRow("file Load") << "load" << true << note;
        // Picking a row for moving ends the edit before any row moves.
        QTest::newRow("a move") << "move" << true << QString();
        QTest::newRow("a comment") << "comment" << false << QString();
        QTest::newRow("another row") << "other" << false << QString();
    }
    // A change to the edited row's settings closes the editor as Cancel: its Load must never
    // write its values over what the table was just given.
    void tableChangeClosesTheEditor()
    {
        QFETCH(QString, change);
        QFETCH(bool, closes);
        QFETCH(QString, note);
        EditorApp h;
        QVERIFY(h.started());
        MemoryView& v = h.open(ViewKind::Ch99);
        QVERIFY(h.read(v));
        MessageBoxHelper boxes(QMessageBox::Yes);
        const QString other = QStringLiteral("7001.00  ");
        QAction* undo = v.findChild<QAction*>(QStringLiteral("actUndo"));
        QAction* redo = v.findChild<QAction*>(QStringLiteral("actRedo"));
        if (change == "load")
            h.press(v, "cmdSave");
        // The Read, the snapshot the Read kept and the saved file bring back the radio's value.
        if (change == "read" || change == "history" || change == "load")
            h.app->family().setCell(ViewKind::Ch99, 12, ColFreq, other);
        if (change == "undo" || change == "redo")
            h.app->tableSteps().record(QStringLiteral("Edit"),
                                       [&] { h.app->family().setCell(ViewKind::Ch99, 12, ColFreq, other); });
        if (change == "redo")
            undo->trigger();
        const QString csv = h.dir.filePath("in.csv");
        QVERIFY(PutFile(csv, "Location,Name,Frequency,Duplex,Offset,Mode,Skip,Comment\n12,,7.1,,,USB,,\n"));
        v.findChild<CsvCommands*>()->setFileChooser([&](QWidget*, bool, const QString&) { return csv; });
        h.clickCell(v, 12, Col455);
        QPointer<ChannelEditor> e = h.editor();
        QVERIFY(e);
        SetText(*e, "txtFreq", QStringLiteral("3600"));
        const RowCells channel13 = h.table(ViewKind::Ch99).row(13);
        if (change == "clear")
            h.press(v, "cmdClear");
        else if (change == "read")
            QVERIFY(h.read(v));
        else if (change == "undo")
            undo->trigger();
        else if (change == "redo")
            redo->trigger();
        else if (change == "mirror")
            h.app->family().setCell(ViewKind::All, 12, ColRpt, QStringLiteral("ON"));
        else if (change == "csv")
            v.findChild<QAction*>(QStringLiteral("itmImportCsv"))->trigger();
        else if (change == "history")
            v.findChild<HistoryCommands*>()->openSnapshot(1);
        else if (change == "load")
            h.press(v, "cmdLoad");
        else if (change == "move") {
            h.clickCell(v, 13, ColLabel);
            QTRY_VERIFY(!e);
            h.press(v, "cmdUp");
        } else if (change == "comment")
            h.app->family().setComment(ViewKind::All, 12, QStringLiteral("net"));
        else
            h.app->family().setCell(ViewKind::Ch99, 13, ColFreq, other);
        QVERIFY(h.idle());
        // The editor closes at once (and goes soon after); its note follows a command's own.
        QCOMPARE(!e || !e->isVisible(), closes);
        const QString shown = v.statusBar()->currentMessage();
        if (note.isEmpty())
            QVERIFY2(!shown.contains(QStringLiteral("The editor was closed")), qPrintable(shown));
        else
            QVERIFY2(shown.endsWith(note), qPrintable(shown));
        QCOMPARE(h.writes.count(), 0);
        QVERIFY(h.table(ViewKind::Ch99).cell(12, ColFreq) != QStringLiteral("3600.00  "));
        if (change == "move")
            QCOMPARE(h.table(ViewKind::All).row(12), channel13);
    }

    void listKeepsItsChoice_data()
    {
        QTest::addColumn<bool>("byKey");  // Ctrl+Space on the chosen item, else Ctrl+click
        QTest::newRow("Ctrl+click") << false;
        QTest::newRow("Ctrl+Space") << true;
    }
    // A list the operator has chosen from cannot be emptied again.
    void listKeepsItsChoice()
    {
        QFETCH(bool, byKey);
        QPointer<ChannelEditor> e = Open();
        auto* list = Child<QListWidget>(e, QStringLiteral("lstMode"));
        QCOMPARE(e->texts().mode, QStringLiteral("USB"));
        QListWidgetItem* usb = list->findItems(QStringLiteral("USB"), Qt::MatchExactly).first();
        if (byKey) {
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        } else {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(usb).center());
        }
        QCOMPARE(e->texts().mode, QStringLiteral("USB"));
        Pick(*e, "lstMode", QStringLiteral("FM"));
        QCOMPARE(e->texts().mode, QStringLiteral("FM"));
        delete e;
    }

    void busyRadioKeepsEditorOpen()
    {
        EditorApp h;
        ChannelEditor* e = h.editRow(ViewKind::Ch99, 8, Col455);
        QVERIFY(e);
        SetText(*e, "txtFreq", QStringLiteral("21080"));
        const QList<std::vector<RowCells>> before = h.allRows();
        QVERIFY(h.app->radio().scan(1, 10, 255, h.app.get(), {}, {}));  // a scan started meanwhile holds the radio
        MessageBoxHelper boxes;
        h.press(*e, "cmdOK");
        QCOMPARE(boxes.texts(), QStringList{EditorBusyMessage()});
        QCOMPARE(h.editor(), e);
        QVERIFY(e->isVisible());
        QCOMPARE(e->findChild<QLineEdit*>(QStringLiteral("txtFreq"))->text(), QStringLiteral("21080"));
        QCOMPARE(h.allRows(), before);
        QCOMPARE(h.writes.count(), 0);
        // Once the scan has ended, the same Load goes through.
        h.app->radio().stopScan();
        QVERIFY(h.idle());
        h.press(*e, "cmdOK");
        QVERIFY(h.written());
        QCOMPARE(h.table(ViewKind::Ch99).cell(8, ColFreq), QStringLiteral("21080.00  "));
        QCOMPARE(h.table(ViewKind::All).cell(8, ColFreq), QStringLiteral("21080.00  "));
    }

    void silentRadioSaysTableAndRadioDiffer()
    {
        EditorApp h;
        QVERIFY(h.started());
        MemoryView& all = h.open(ViewKind::All);
        QVERIFY(h.read(all));
        const Record stored = h.radio->memory(100);
        h.clickCell(all, 100, Col82);
        ChannelEditor* e = h.editor();
        QVERIFY(e);
        SetText(*e, "txtFreq", QStringLiteral("1810"));
        sim::Faults silent;
        silent.silent = true;
        h.radio->setFaults(silent);
        MessageBoxHelper boxes;
        h.press(*e, "cmdOK");
        // While the radio is asked, the views are busy: the hourglass, and clicks do nothing.
        QVERIFY(h.app->busyState().busy());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        h.clickCell(all, 101, Col82);
        QVERIFY(!h.editor() || !h.editor()->isVisible());
        QVERIFY(h.written());
        QVERIFY(!h.writes.at(0).at(1).toBool());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(boxes.waitForCount(1));
        const QString text = boxes.lastText();
        QVERIFY2(text.startsWith(QStringLiteral("The radio did not answer the request for the VFO-A record.")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\r\rThe table shows your changes, but the radio's memory channel P1 "
                                              "may not hold them.")),
                 qPrintable(text));
        // The grids hold the edit, the radio does not.
        QCOMPARE(h.table(ViewKind::All).cell(100, ColFreq), QStringLiteral("1810.00  "));
        QCOMPARE(h.table(ViewKind::Pms).cell(1, ColFreq), QStringLiteral("1810.00  "));
        QCOMPARE(h.radio->memory(100), stored);
    }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
