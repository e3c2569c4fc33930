// SPDX-License-Identifier: GPL-3.0-or-later
// The channel editor on its own, then Load writing grids and radio, and every way it closes without a write.

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QStatusBar>

#include "codec.h"
#include "csvcommands.h"
#include "filebytes.h"
#include "historycommands.h"
#include "messageboxhelper.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;


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
    [[nodiscard]] bool written() const
    {
        return QTest::qWaitFor([this] { return writes.count() > 0 && !app->busyState().busy(); }, kWaitMs);
    }
    // Opens `kind`, reads it and clicks the editor open on a row; null when a step fails.
    [[nodiscard]] ChannelEditor* editRow(ViewKind kind, int row, int column)
    {
        MemoryView* v = OpenAndRead(*this, kind);
        if (!v)
            return nullptr;
        clickCell(*v, row, column);
        return Editor(*this);
    }

    QSignalSpy writes{&app->editorCommands(), &EditorCommands::writeEnded};
};

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
    // The editor on its own: not modal, the tab order, the row's texts (the mask mark kept), a
    // list keeps its choice.
    void window()
    {
        const QStringList controls{"txtFreq", "lstMode", "lst82Filt", "lst455Filt", "lstAnt", "lstRxRit",
                                   "lstTxRit", "txtOffset", "lstRpt", "cmdOK", "CmdCancel"};
        QPointer<ChannelEditor> editor = Open(Cells("30009.99* ", "-9.99"));
        QCOMPARE(editor->texts(), (EditTexts{"30009.99*", "-9.99", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "OFF"}));
        QVERIFY(QTest::qWaitForWindowActive(editor) && !editor->isModal());
        QCOMPARE(editor->windowTitle(), QStringLiteral("Memory Channel Editor"));
        Child<QWidget>(editor, "txtFreq")->setFocus();
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, controls);
        // A list the operator has chosen from cannot be emptied again, by Ctrl+click or Ctrl+Space.
        auto* list = Child<QListWidget>(editor, QStringLiteral("lstMode"));
        QListWidgetItem* usb = list->findItems(QStringLiteral("USB"), Qt::MatchExactly).first();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(usb).center());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(editor->texts().mode, QStringLiteral("USB"));
        editor->close();
        QPointer<ChannelEditor> unknown = Open(RowCells{"3573.00  ", "usb", "", "6.0K", "C", "OFF", "x", "0.00", "+RPT"});
        QCOMPARE(unknown->texts(), (EditTexts{"3573.00", "0.00", "", "", "6.0K", "", "OFF", "", "+RPT"}));  // none picked
        unknown->close();
    }

    // A refused value: told why, the editor stays with the text as typed, the focus on the box to mend.
    void loadRefused()
    {
        MessageBoxHelper boxes;
        QPointer<ChannelEditor> editor = Open();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QSignalSpy loaded(editor.data(), &ChannelEditor::loaded);
        Child<QLineEdit>(editor, "txtOffset")->setText(QStringLiteral("1.234"));
        Child<QPushButton>(editor, "cmdOK")->setFocus();
        QTest::mouseClick(Child<QPushButton>(editor, "cmdOK"), Qt::LeftButton);
        QVERIFY(boxes.waitForCount(1));
        QCOMPARE(boxes.lastText(), QStringLiteral("Either there are too many decimal points in the Offset box\r"
                                                  "or there are too many digits after it (only 2 are allowed)."));
        QVERIFY(boxes.seen().last().icon == QMessageBox::Warning && boxes.seen().last().buttons == QMessageBox::Ok);
        QVERIFY(editor && editor->isVisible() && loaded.isEmpty());
        QCOMPARE(editor->focusWidget()->objectName(), QStringLiteral("txtOffset"));
        QCOMPARE(Child<QLineEdit>(editor, "txtOffset")->text(), QStringLiteral("1.234"));
        editor->close();
    }

    void loadWritesGridsAndRadio_data()
    {
        // caption: naming the channel as " Enter changes desired for %1: "; mode: empty: as the row had it
        Columns<ViewKind, int, QString, QString, QString, QString, QString, QString, QString, QString, QString>("view",
            "row", "caption", "freq", "offset", "mode", "rxRit", "freqCell", "offsetCell", "freqFrame", "maskFrame");
        QTest::newRow("PMS row 3 is channel 0x66") << ViewKind::Pms << 3 << "PMS Memory Channel P3" << "3525" << "0"
                                                   << "" << "OFF" << "3525.00  " << "0.00" << "00 25 35 00 0A"
                                                   << "00 00 02 66 03";
        QTest::newRow("masked stays masked") << ViewKind::All << 21 << "Memory Channel 21" << "14025.00*" << "0" << ""
                                             << "OFF" << "14025.00* " << "0.00" << "00 25 40 01 0A" << "00 00 01 15 03";
        QTest::newRow("mask removed") << ViewKind::Ch99 << 21 << "Memory Channel 21" << "14025.00" << "0" << ""
                                      << "OFF" << "14025.00  " << "0.00" << "00 25 40 01 0A" << "00 00 02 15 03";
        QTest::newRow("offset +1.5, LSB, Rx RIT on") << ViewKind::Ch99 << 13 << "Memory Channel 13" << "14026.50"
                                                    << "+1.5" << "LSB" << "ON" << "14026.50  " << "+1.50"
                                                    << "00 25 40 01 0A" << "00 00 02 0D 03";
    }
    // Load rewrites the row and its mirror (the comment stays) and writes the channel: VFO-A
    // saved, eight settings, store and mask, VFO-A given back; the channel reads back as shown.
    void loadWritesGridsAndRadio()
    {
        QFETCH(ViewKind, view); QFETCH(int, row); QFETCH(QString, caption); QFETCH(QString, freq);
        QFETCH(QString, offset); QFETCH(QString, mode); QFETCH(QString, rxRit); QFETCH(QString, freqFrame);
        QFETCH(QString, maskFrame);
        const int channel = ChannelOfRow(view, row);
        const ViewKind mirror = MirrorView(view, channel);
        EditorApp h;
        MemoryView* v = OpenAndRead(h, view);
        QVERIFY(v);
        h.app->family().setCell(view, row, ColComment, QString::fromLatin1(kComment));
        const Record vfoA = h.radio->vfoA();
        h.clickCell(*v, row, Col455);
        ChannelEditor* e = Editor(h);
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
        QVERIFY(h.written() && h.writes.at(0).at(0).toInt() == channel && h.writes.at(0).at(1).toBool());
        QVERIFY(boxes.texts().isEmpty() && QTest::qWaitFor([&] { return !Editor(h); }, kWaitMs));
        // Its own Load is no change under it (the Read's note stays).
        QVERIFY(!v->statusBar()->currentMessage().startsWith(QStringLiteral("The editor was closed")));
        const RowCells cells = h.table(view).row(row);
        QTEST(cells[CellIndex(ColFreq)], "freqCell");
        QTEST(cells[CellIndex(ColOffset)], "offsetCell");
        QVERIFY(cells[CellIndex(ColRxRit)] == rxRit && cells[CellIndex(ColComment)] == QString::fromLatin1(kComment));
        QCOMPARE(h.table(mirror).row(RowOfChannel(mirror, channel)), cells);
        const QStringList frames = SentFrames(*h.radio);
        QVERIFY(frames.size() > 11 && frames.at(0) == u"00 00 00 02 10");
        QVERIFY(frames.mid(1, 8).contains(freqFrame));
        QCOMPARE(frames.mid(9, 2), (QStringList{"00 00 00" + maskFrame.mid(8), maskFrame}));
        QCOMPARE(h.radio->vfoA(), vfoA);
        QCOMPARE(SettingsWithoutAntenna(CellsFromChannel(DecodeRecord(h.radio->memory(channel)))),
                 SettingsWithoutAntenna(cells));
        QTRY_COMPARE(v->focusWidget(), v->button(QStringLiteral("cmdSave")));
    }

    // One editor at a time: the same row again keeps the edit under way, another row gives it
    // up for a new editor on that row.
    void oneEditorAtATime()
    {
        EditorApp h;
        QPointer<ChannelEditor> first = h.editRow(ViewKind::Pms, 4, ColOffset);
        QVERIFY(first);
        MemoryView& pms = h.view(ViewKind::Pms);
        QCOMPARE(Caption(first), QStringLiteral(" Enter changes desired for PMS Memory Channel P4: "));
        SetText(*first, "txtFreq", QStringLiteral("3600"));
        h.clickCell(pms, 4, ColRpt);
        QCOMPARE(Editor(h), first.data());
        QCOMPARE(Child<QLineEdit>(first, "txtFreq")->text(), QStringLiteral("3600"));
        h.clickCell(pms, 6, ColAnt);
        QVERIFY(QTest::qWaitFor([&] { return !first; }, kWaitMs));
        QCOMPARE(Caption(Editor(h)), QStringLiteral(" Enter changes desired for PMS Memory Channel P6: "));
        QCOMPARE(Child<QLineEdit>(Editor(h), "txtFreq")->text(), h.table(ViewKind::Pms).cell(6, ColFreq).trimmed());
        QVERIFY(h.writes.isEmpty());
    }

    void closingWritesNothing_data()
    {
        // noted: the status bar says the row changed under the editor
        Columns<QString, bool, bool>("how", "closes", "noted");
        QTest::newRow("Cancel") << "cancel" << true << false;
        QTest::newRow("Esc in a box") << "esc txtOffset" << true << false;
        QTest::newRow("Esc in a list") << "esc lstMode" << true << false;
        QTest::newRow("Esc on Load") << "esc cmdOK" << true << false;
        QTest::newRow("another view") << "switch" << true << false;
        // Picking a row for moving ends the edit before any row moves.
        QTest::newRow("a move") << "move" << true << false;
        QTest::newRow("Clear") << "clear" << true << true;
        QTest::newRow("Read over another value") << "read" << true << true;
        QTest::newRow("Undo") << "undo" << true << true;
        QTest::newRow("Redo") << "redo" << true << true;
        QTest::newRow("the mirror row written") << "mirror" << true << true;
        QTest::newRow("Import CSV") << "csv" << true << true;
        QTest::newRow("History Open") << "history" << true << true;
        QTest::newRow("file Load") << "load" << true << true;
        QTest::newRow("a comment") << "comment" << false << false;
        QTest::newRow("another row") << "other" << false << false;
    }
    // Every way the editor closes without a write (its Load must never write over what the table
    // was just given); a comment or another row leave it open.
    void closingWritesNothing()
    {
        QFETCH(QString, how); QFETCH(bool, closes); QFETCH(bool, noted);
        EditorApp h;
        MemoryView* v = OpenAndRead(h, ViewKind::Ch99);
        QVERIFY(v);
        const QString other = QStringLiteral("7001.00  ");
        if (how == "load")
            h.press(*v, "cmdSave");
        // The Read, the snapshot the Read kept and the saved file bring back the radio's value.
        if (how == "read" || how == "history" || how == "load")
            h.app->family().setCell(ViewKind::Ch99, 12, ColFreq, other);
        if (how == "undo" || how == "redo")
            h.app->tableSteps().record(QStringLiteral("Edit"),
                                       [&] { h.app->family().setCell(ViewKind::Ch99, 12, ColFreq, other); });
        if (how == "redo")
            Action(*v, "actUndo")->trigger();
        const QString csv = h.dir.filePath("in.csv");
        QVERIFY(PutFile(csv, "Location,Name,Frequency,Duplex,Offset,Mode,Skip,Comment\n12,,7.1,,,USB,,\n"));
        v->findChild<CsvCommands*>()->setFileChooser([&](QWidget*, bool, const QString&) { return csv; });
        h.clickCell(*v, 12, Col455);
        QPointer<ChannelEditor> e = Editor(h);
        QVERIFY(e);
        SetText(*e, "txtFreq", QStringLiteral("3600"));
        const Tables before = AllTables(h);
        h.radio->clearLog();
        MessageBoxHelper boxes(QMessageBox::Yes);
        const QHash<QString, const char*> presses{{"clear", "cmdClear"}, {"load", "cmdLoad"}};
        const QHash<QString, const char*> actions{{"undo", "actUndo"}, {"redo", "actRedo"}, {"csv", "itmImportCsv"}};
        if (how == "cancel") {
            h.press(*e, "CmdCancel");
        } else if (how == "switch") {
            h.choose(*v, "optAll");
        } else if (how.startsWith("esc ")) {
            Child<QWidget>(e, how.mid(4))->setFocus();
            QTest::keyClick(Child<QWidget>(e, how.mid(4)), Qt::Key_Escape);
        } else if (how == "move") {
            h.clickCell(*v, 13, ColLabel);
            QTRY_VERIFY(!e);
            h.press(*v, "cmdUp");
        } else if (presses.contains(how)) {
            h.press(*v, presses[how]);
        } else if (actions.contains(how)) {
            Action(*v, actions[how])->trigger();
        } else if (how == "read") {
            QVERIFY(h.read(*v));
        } else if (how == "history") {
            v->findChild<HistoryCommands*>()->openSnapshot(1);
        } else if (how == "comment") {
            h.app->family().setComment(ViewKind::All, 12, QStringLiteral("net"));
        } else if (how == "mirror") {
            h.app->family().setCell(ViewKind::All, 12, ColRpt, QStringLiteral("ON"));
        } else {
            h.app->family().setCell(ViewKind::Ch99, 13, ColFreq, other);
        }
        QVERIFY(h.idle());
        QTest::qWait(50);
        QCOMPARE(!e || !e->isVisible(), closes);
        // The note stays beside a Read's own.
        QCOMPARE(v->statusBar()->currentMessage().endsWith(
                     QStringLiteral("The editor was closed: channel 12 changed in the table.")),
                 noted);
        QVERIFY(h.writes.isEmpty() && h.table(ViewKind::Ch99).cell(12, ColFreq) != QStringLiteral("3600.00  "));
        for (const auto& f : h.radio->frameLog())  // no store, no mask but the file's own Load
            QVERIFY2(how == "load" || f.bytes[4] != 0x03, qPrintable(f.toHex()));
        if (how == "cancel" || how.startsWith("esc") || how == "switch")
            QCOMPARE(AllTables(h), before);
        if (how == "cancel")
            QTRY_COMPARE(v->focusWidget(), v->button(QStringLiteral("cmdSave")));
    }

    // A scan holds the radio: Load says so and keeps the editor and every row as they were;
    // once the scan has ended, the same Load goes through.
    void busyRadioKeepsEditorOpen()
    {
        EditorApp h;
        ChannelEditor* e = h.editRow(ViewKind::Ch99, 8, Col455);
        QVERIFY(e);
        SetText(*e, "txtFreq", QStringLiteral("21080"));
        const Tables before = AllTables(h);
        QVERIFY(h.app->radio().scan(1, 10, 255, h.app.get(), {}, {}));
        MessageBoxHelper boxes;
        h.press(*e, "cmdOK");
        QCOMPARE(boxes.texts(), QStringList{"The radio is busy with another operation.\rNothing has been changed: "
                                            "press Load again when it has ended."});
        QVERIFY(Editor(h) == e && e->isVisible() && h.writes.isEmpty());
        QCOMPARE(Child<QLineEdit>(e, "txtFreq")->text(), QStringLiteral("21080"));
        QCOMPARE(AllTables(h), before);
        h.app->radio().stopScan();
        QVERIFY(h.idle());
        h.press(*e, "cmdOK");
        QVERIFY(h.written());
        QCOMPARE(h.table(ViewKind::All).cell(8, ColFreq), QStringLiteral("21080.00  "));
    }

    // While the radio is asked the views are busy (the hourglass, clicks do nothing); a silent
    // radio leaves the edit in the grids and says the radio may not hold it.
    void silentRadioSaysTableAndRadioDiffer()
    {
        EditorApp h;
        ChannelEditor* e = h.editRow(ViewKind::All, 100, Col82);
        QVERIFY(e);
        const Record stored = h.radio->memory(100);
        SetText(*e, "txtFreq", QStringLiteral("1810"));
        sim::Faults silent;
        silent.silent = true;
        h.radio->setFaults(silent);
        MessageBoxHelper boxes;
        h.press(*e, "cmdOK");
        QVERIFY(h.app->busyState().busy() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        h.clickCell(h.view(ViewKind::All), 101, Col82);
        QVERIFY(!Editor(h) || !Editor(h)->isVisible());
        QVERIFY(h.written() && !h.writes.at(0).at(1).toBool() && !QApplication::overrideCursor());
        QVERIFY(boxes.waitForCount(1));
        const QString text = boxes.lastText();
        QVERIFY2(text.startsWith(QStringLiteral("The radio did not answer the request for the VFO-A record.")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\r\rThe table shows your changes, but the radio's memory channel P1 "
                                              "may not hold them.")),
                 qPrintable(text));
        QCOMPARE(h.table(ViewKind::Pms).cell(1, ColFreq), QStringLiteral("1810.00  "));
        QCOMPARE(h.radio->memory(100), stored);
    }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
