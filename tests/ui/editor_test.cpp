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

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The editor on its own: not modal, the tab order, the row's texts (the mask mark kept).
    void window()
    {
        QPointer<ChannelEditor> editor =
            new ChannelEditor(kCaption, {"30009.99* ", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "-9.99", "OFF"});
        editor->show();
        QCOMPARE(editor->texts(), (EditTexts{"30009.99*", "-9.99", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "OFF"}));
        QVERIFY(QTest::qWaitForWindowActive(editor) && !editor->isModal());
        QCOMPARE(editor->windowTitle(), QStringLiteral("Memory Channel Editor"));
        editor->findChild<QWidget*>(QStringLiteral("txtFreq"))->setFocus();
        QStringList visited;
        for (int i = 0; i < 11; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            visited << QApplication::focusWidget()->objectName();
        QCOMPARE(visited, (QStringList{"txtFreq", "lstMode", "lst82Filt", "lst455Filt", "lstAnt", "lstRxRit", "lstTxRit",
                                       "txtOffset", "lstRpt", "cmdOK", "CmdCancel"}));
        // A list the operator has chosen from cannot be emptied again, by Ctrl+click or Ctrl+Space.
        auto* list = editor->findChild<QListWidget*>(QStringLiteral("lstMode"));
        QListWidgetItem* usb = list->findItems(QStringLiteral("USB"), Qt::MatchExactly).first();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualItemRect(usb).center());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(editor->texts().mode, QStringLiteral("USB"));
        editor->close();
        const ChannelEditor unknown(kCaption, {"3573.00  ", "usb", "", "6.0K", "C", "OFF", "x", "0.00", "+RPT"});
        QCOMPARE(unknown.texts(), (EditTexts{"3573.00", "0.00", "", "", "6.0K", "", "OFF", "", "+RPT"}));  // none picked
    }

    void loadWritesGridsAndRadio_data()
    {
        // typed: Freq|Offset|Mode|Rx RIT (no Mode: as the row had it); shown: Freq|Offset; frames: freq|mask
        Columns<ViewKind, int, QString, QString, QString, QString>("view", "row", "caption", "typed", "shown", "frames");
        QTest::newRow("PMS row 3 is channel 0x66") << ViewKind::Pms << 3 << "PMS Memory Channel P3" << "3525|0||OFF"
                                                   << "3525.00  |0.00" << "00 25 35 00 0A|00 00 02 66 03";
        QTest::newRow("masked stays masked") << ViewKind::All << 21 << "Memory Channel 21" << "14025.00*|0||OFF"
                                             << "14025.00* |0.00" << "00 25 40 01 0A|00 00 01 15 03";
        QTest::newRow("mask removed") << ViewKind::Ch99 << 21 << "Memory Channel 21" << "14025.00|0||OFF"
                                      << "14025.00  |0.00" << "00 25 40 01 0A|00 00 02 15 03";
        QTest::newRow("offset +1.5, LSB, Rx RIT on") << ViewKind::Ch99 << 13 << "Memory Channel 13"
                                                    << "14026.50|+1.5|LSB|ON" << "14026.50  |+1.50"
                                                    << "00 25 40 01 0A|00 00 02 0D 03";
    }
    // Load writes row, mirror and channel (VFO-A saved and given back); the channel reads back as shown.
    void loadWritesGridsAndRadio()
    {
        QFETCH(ViewKind, view); QFETCH(int, row); QFETCH(QString, caption); QFETCH(QString, typed);
        QFETCH(QString, shown); QFETCH(QString, frames);
        const int channel = ChannelOfRow(view, row);
        const ViewKind mirror = MirrorView(view, channel);
        EditorApp h;
        ChannelEditor* e = h.editRow(view, row, Col455);
        QVERIFY(e && QTest::qWaitForWindowExposed(e));
        MemoryView* v = &h.view(view);
        h.app->family().setCell(view, row, ColComment, QString::fromLatin1(kComment));  // no change under the edit
        const Record vfoA = h.radio->vfoA();
        QCOMPARE(e->findChild<QLabel*>(QStringLiteral("lblChanges"))->text(),
                 QStringLiteral(" Enter changes desired for %1: ").arg(caption));
        const QStringList texts = typed.split(u'|');
        SetText(*e, "txtFreq", texts[0]);
        SetText(*e, "txtOffset", texts[1]);
        if (!texts[2].isEmpty())
            Pick(*e, "lstMode", texts[2]);
        Pick(*e, "lstRxRit", texts[3]);
        h.radio->clearLog();
        MessageBoxHelper boxes;
        h.press(*e, "cmdOK");
        QVERIFY(h.written() && h.writes.at(0).at(0).toInt() == channel && h.writes.at(0).at(1).toBool());
        QVERIFY(boxes.texts().isEmpty() && QTest::qWaitFor([&] { return !Editor(h); }, kWaitMs));
        // Its own Load is no change under it (the Read's note stays).
        QVERIFY(!v->statusBar()->currentMessage().startsWith(QStringLiteral("The editor was closed")));
        const RowCells cells = h.table(view).row(row);
        QCOMPARE(cells[CellIndex(ColFreq)] + u'|' + cells[CellIndex(ColOffset)], shown);
        QVERIFY(cells[CellIndex(ColRxRit)] == texts[3] && cells[CellIndex(ColComment)] == QString::fromLatin1(kComment));
        QCOMPARE(h.table(mirror).row(RowOfChannel(mirror, channel)), cells);
        const QStringList sent = SentFrames(*h.radio);
        const QString maskFrame = frames.section(u'|', 1);
        QVERIFY(sent.size() > 11 && sent.at(0) == u"00 00 00 02 10" && sent.mid(1, 8).contains(frames.section(u'|', 0, 0)));
        QCOMPARE(sent.mid(9, 2), (QStringList{"00 00 00" + maskFrame.mid(8), maskFrame}));
        QCOMPARE(h.radio->vfoA(), vfoA);
        RowCells stored = CellsFromChannel(DecodeRecord(h.radio->memory(channel)));
        for (Column notStored : {ColAnt, ColComment})  // no command sets the antenna: the channel keeps VFO-A's
            stored[CellIndex(notStored)] = cells[CellIndex(notStored)];
        QCOMPARE(stored, cells);
        QTRY_COMPARE(v->focusWidget(), v->button(QStringLiteral("cmdSave")));
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
        QTest::newRow("Clear") << "cmdClear" << true << true;
        QTest::newRow("Read over another value") << "cmdRead" << true << true;
        QTest::newRow("Undo") << "actUndo" << true << true;
        QTest::newRow("Redo") << "actRedo" << true << true;
        QTest::newRow("the mirror row written") << "mirror" << true << true;
        QTest::newRow("Import CSV") << "itmImportCsv" << true << true;
        QTest::newRow("History Open") << "history" << true << true;
        QTest::newRow("file Load") << "cmdLoad" << true << true;
        // One editor at a time: another row's gives up the edit, the same row's keeps it.
        QTest::newRow("a click on another row") << "click 14" << true << false;
        QTest::newRow("a click on the same row") << "click 12" << false << false;
        QTest::newRow("a comment") << "comment" << false << false;
        QTest::newRow("another row changed") << "other" << false << false;
    }
    // Every way the editor closes without a write: its Load must never write over what the table was just given.
    void closingWritesNothing()
    {
        QFETCH(QString, how); QFETCH(bool, closes); QFETCH(bool, noted);
        EditorApp h;
        MemoryView* v = OpenAndRead(h, ViewKind::Ch99);
        QVERIFY(v);
        const QString other = QStringLiteral("7001.00  ");
        if (how == "cmdLoad")
            h.press(*v, "cmdSave");
        // The Read, the snapshot the Read kept and the saved file bring back the radio's value.
        if (how == "cmdRead" || how == "history" || how == "cmdLoad")
            h.app->family().setCell(ViewKind::Ch99, 12, ColFreq, other);
        if (how == "actUndo" || how == "actRedo")
            h.app->tableSteps().record(QStringLiteral("Edit"),
                                       [&] { h.app->family().setCell(ViewKind::Ch99, 12, ColFreq, other); });
        if (how == "actRedo")
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
        if (how == "cancel") {
            h.press(*e, "CmdCancel");
        } else if (how == "switch") {
            h.choose(*v, "optAll");
        } else if (how.startsWith("esc ")) {
            e->findChild<QWidget*>(how.mid(4))->setFocus();
            QTest::keyClick(e->findChild<QWidget*>(how.mid(4)), Qt::Key_Escape);
        } else if (how == "move") {
            h.clickCell(*v, 13, ColLabel);
            QTRY_VERIFY(!e);
            h.press(*v, "cmdUp");
        } else if (how.startsWith("cmd")) {
            h.press(*v, qPrintable(how));
        } else if (how.startsWith("act") || how.startsWith("itm")) {
            Action(*v, qPrintable(how))->trigger();
        } else if (how == "history") {
            v->findChild<HistoryCommands*>()->openSnapshot(1);
        } else if (how.startsWith("click ")) {
            h.clickCell(*v, how.mid(6).toInt(), ColRpt);
        } else if (how == "comment") {
            h.app->family().setComment(ViewKind::All, 12, QStringLiteral("net"));
        } else if (how == "mirror") {
            h.app->family().setCell(ViewKind::All, 12, ColRpt, QStringLiteral("ON"));
        } else {
            h.app->family().setCell(ViewKind::Ch99, 13, ColFreq, other);
        }
        QVERIFY(h.idle());
        QCoreApplication::processEvents();  // what the step queued has run: an editor that stays, stays
        QTRY_COMPARE(!e || !e->isVisible(), closes);
        QVERIFY(closes || e->findChild<QLineEdit*>(QStringLiteral("txtFreq"))->text() == u"3600");
        QVERIFY(how != "click 14" || (Editor(h) && Editor(h) != e));
        // The note stays beside a Read's own.
        QCOMPARE(v->statusBar()->currentMessage().endsWith("The editor was closed: channel 12 changed in the table."), noted);
        QVERIFY(h.writes.isEmpty() && h.table(ViewKind::Ch99).cell(12, ColFreq) != QStringLiteral("3600.00  "));
        for (const auto& f : h.radio->frameLog())  // no store, no mask but the file's own Load
            QVERIFY2(how == "cmdLoad" || f.bytes[4] != 0x03, qPrintable(f.toHex()));
        if (how == "cancel" || how.startsWith("esc") || how == "switch")
            QCOMPARE(AllTables(h), before);
        if (how == "cancel")
            QTRY_COMPARE(v->focusWidget(), v->button(QStringLiteral("cmdSave")));
    }

    void loadNotWritten_data()
    {
        // message: what the operator is told, as "start|end" where the middle names the link's failure
        Columns<QString, QString, QString, QString>("box", "typed", "fault", "message");
        QTest::newRow("three decimals in Offset") << "txtOffset" << "1.234" << ""
            << "Either there are too many decimal points in the Offset box\r"
               "or there are too many digits after it (only 2 are allowed).";
        QTest::newRow("a scan holds the radio") << "txtFreq" << "21080" << "scan"
            << "The radio is busy with another operation.\rNothing has been changed: press Load again when it has ended.";
        QTest::newRow("a silent radio") << "txtFreq" << "1810" << "silent"
            << "The radio did not answer the request for the VFO-A record.|\r\rThe table shows your changes, but the "
               "radio's memory channel P1 may not hold them.";
    }
    // A refused Load keeps the editor, the text as typed and every row; after the scan the same Load goes through.
    // While a silent radio is asked clicks do nothing; then the edit stays in the grids, and the operator is told.
    void loadNotWritten()
    {
        QFETCH(QString, box); QFETCH(QString, typed); QFETCH(QString, fault); QFETCH(QString, message);
        EditorApp h;
        QPointer<ChannelEditor> e = h.editRow(ViewKind::All, 100, Col455);
        QVERIFY(e);
        SetText(*e, qPrintable(box), typed);
        const Tables before = AllTables(h);
        const Record stored = h.radio->memory(100);
        QVERIFY(fault != u"scan" || h.app->radio().scan(1, 10, 255, h.app.get(), {}, {}));
        if (fault == u"silent")
            h.radio->setFaults({.ident = {}, .silent = true});
        MessageBoxHelper boxes;
        h.press(*e, "cmdOK");
        if (fault == u"silent") {
            QVERIFY(h.app->busyState().busy() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
            h.clickCell(h.view(ViewKind::All), 101, Col82);
            QVERIFY(!Editor(h) || !Editor(h)->isVisible());
            QVERIFY(h.written() && !h.writes.at(0).at(1).toBool() && !QApplication::overrideCursor());
        }
        QVERIFY(boxes.waitForCount(1) && boxes.count() == 1);
        const QString text = boxes.lastText();
        QVERIFY2(text.startsWith(message.section(u'|', 0, 0)) && text.endsWith(message.section(u'|', -1)), qPrintable(text));
        QVERIFY(boxes.seen().last().icon == QMessageBox::Warning && boxes.seen().last().buttons == QMessageBox::Ok);
        QCOMPARE(h.radio->memory(100), stored);
        if (fault != u"silent") {
            QVERIFY(Editor(h) == e && e->isVisible() && h.writes.isEmpty() && AllTables(h) == before);
            QCOMPARE(e->findChild<QLineEdit*>(box)->text(), typed);
            QVERIFY(!fault.isEmpty() || e->focusWidget()->objectName() == box);
        }
        if (fault.isEmpty())
            return;
        if (fault == u"scan") {
            h.app->radio().stopScan();
            QVERIFY(h.idle());
            h.press(*e, "cmdOK");
            QVERIFY(h.written());
        }
        QCOMPARE(h.table(ViewKind::Pms).cell(1, ColFreq), typed + ".00  ");
    }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
