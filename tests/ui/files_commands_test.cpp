// SPDX-License-Identifier: GPL-3.0-or-later
// Save, Load and Print against the emulator, and the File menu: CSV (never a write to the radio), History.

#include <optional>

#include <QListWidget>
#include <QPrintDialog>
#include <QStatusBar>
#include <QtTest>

#include "csvcommands.h"
#include "filebytes.h"
#include "historyfiles.h"
#include "messageboxhelper.h"
#include "pdftext.h"
#include "printcommands.h"
#include "savedfilenames.h"
#include "savedfiletext.h"
#include "tablesteps.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

const QByteArray kHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                           "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// Two snapshots of the PMS view as the program names them; the older one's P1 is off the radio's 1800.00.
const QString kOlder = QStringLiteral("Pms 000001 2026-12-09 21-00-00 read.txt");
const QString kNewer = QStringLiteral("Pms 000002 2026-12-10 05-12-03 load verified.txt");
const QByteArray kOlderBytes = "1810.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:top band\r\n"
                               "2000.00*:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n"
                               + QByteArray(":::::::::\r\n").repeated(7);
const QByteArray kNewerBytes = QByteArray("3500.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:\r\n").repeated(9);

// The program with the CSV file dialog and the printer set-up answered by the test.
struct FileApp : AppHarness {
    explicit FileApp(const QString& dataDir = {}) : AppHarness(sim::Timing::Fast, {}, {}, dataDir)
    {
        for (ViewKind kind : kAllViews)
            view(kind).findChild<CsvCommands*>()->setFileChooser([this](QWidget*, bool saving, const QString&) {
                asked << saving;
                return chosen;
            });
        app->printCommands().setPrinterSetup([this](QPrinter& printer, QWidget* parent) {
            ++setups;
            setupParent = parent;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
    }
    QString file(const QString& name) const { return app->dataDir() + "/" + name; }
    // Presses a command and waits until the program is idle again.
    bool run(MemoryView& v, const char* command) { press(v, command); return idle(); }

    QString chosen;  // what the CSV dialog answers; empty: Cancel
    QList<bool> asked;
    QString pdf;
    int setups = 0;
    QWidget* setupParent = nullptr;
};

// The demo radio's PMS channels as a saved file, lines replaced by number.
QByteArray PmsFile(const QMap<int, QString>& replaced)
{
    QStringList lines = kDemoPmsLines;
    for (auto it = replaced.begin(); it != replaced.end(); ++it)
        lines[it.key() - 1] = it.value();
    return CrLfLines(lines);
}

}  // namespace

class TestFilesCommands : public QObject {
    Q_OBJECT
private slots:
    void saveThenLoad_data()
    {
        // told: after the Load (empty: a beep); count: the channels a read, a save and a QMB load name
        Columns<ViewKind, QString, int, int, QString, QString>("kind", "file", "firstWritten", "lastWritten", "told",
            "count");
        QStringList blank;  // the demo radio's blank channels, whose 0.00 kHz no command can send
        for (int ch = 78; ch <= 99; ++ch)
            blank << QString::number(ch);
        const QString notWritten = "22 channels were not written (the radio keeps what they held):\r" + blank.join(", ")
                                 + ": frequency 0.00 cannot be sent to the radio";
        QTest::newRow("frmAll") << ViewKind::All << "AllMem.txt" << 1 << 108 << notWritten << "113 channels";
        QTest::newRow("frmPms") << ViewKind::Pms << "Pms.txt" << 100 << 108 << "" << "9 channels";
        QTest::newRow("frmQmb sends nothing") << ViewKind::Qmb << "Qmb.txt" << 0 << -1 << "" << "5 channels";
    }
    void saveThenLoad()
    {
        QFETCH(ViewKind, kind); QFETCH(QString, file); QFETCH(QString, count); QFETCH(QString, told);
        QFETCH(int, firstWritten); QFETCH(int, lastWritten);
        FileApp h;
        MemoryView* v = OpenAndRead(h, kind);
        QVERIFY(v);
        QCOMPARE(v->statusBar()->currentMessage(), count + " read");
        const int last = RowCount(kind);
        const QString comment = QStringLiteral("net: Sunday, Bodø");
        h.app->family().setCell(kind, last, ColComment, comment);
        const ChannelTable& table = h.table(kind);
        const QString lastFreq = table.cell(last, ColFreq);
        // The current row stays through Save and Load (set as the arrow keys do: a click would load the channel).
        const auto toRow3 = [v] { v->grid()->setCurrentIndex(v->grid()->model()->index(2, ColMode)); };
        toRow3();
        int beeps = h.beeps;
        QVERIFY(h.run(*v, "cmdSave") && v->grid()->currentIndex().row() == 2 && h.beeps == beeps + 1);
        QCOMPARE(v->statusBar()->currentMessage(), count + " saved to " + file);
        const QStringList lines = SplitSavedLines(DecodeSavedText(FileBytes(h.file(file))));
        QVERIFY(lines.size() == last && lines.last().endsWith(":" + comment));

        // The frames a Load must send: each channel with data stored, then masked or not.
        QStringList expected;
        for (int ch = firstWritten; ch <= lastWritten; ++ch) {
            const QString freq = h.table(ViewKind::All).cell(ch, ColFreq);
            const QString n = QStringLiteral("%1 03").arg(ch, 2, 16, QLatin1Char('0')).toUpper();
            if (!freq.startsWith("0.00"))
                expected << "00 00 00 " + n << (freq.endsWith("* ") ? "00 00 01 " : "00 00 02 ") + n;
        }
        // Another radio's memory: the tables emptied, then Load.
        h.app->family().clear(kind);
        h.app->family().clear(ViewKind::All);
        toRow3();
        h.radio->clearLog();
        beeps = h.beeps;
        QStringList shownWhenWritten;  // each row shows the file once its channel is in the radio
        QObject::connect(&h.app->radio(), &RadioClient::channelWritten, v, [&](int channel) {
            shownWhenWritten << QStringLiteral("%1: %2").arg(ChannelLabel(channel), DataRows(table));
        });
        MessageBoxHelper boxes;
        QVERIFY(h.run(*v, "cmdLoad"));
        // A beep when every channel went into the radio; otherwise the ones that did not.
        QTRY_COMPARE_WITH_TIMEOUT(h.beeps, beeps + (kind == ViewKind::Qmb || !told.isEmpty() ? 0 : 1), kWaitMs);
        QCOMPARE(boxes.texts(), told.isEmpty() ? QStringList() : QStringList{told});
        QCOMPARE(v->statusBar()->currentMessage(),
                 kind == ViewKind::Qmb ? count + " loaded from Qmb.txt"
                                       : QStringLiteral("%1 channels loaded from %2 into the radio").arg(expected.size() / 2).arg(file));
        QCOMPARE(table.cell(last, ColComment), comment);
        QCOMPARE(table.cell(last, ColFreq), kind == ViewKind::Qmb ? lastFreq.chopped(2) + "  " : lastFreq);
        const ViewKind mirror = MirrorView(kind, ChannelOfRow(kind, last));
        QCOMPARE(h.table(mirror).cell(RowOfChannel(mirror, ChannelOfRow(kind, last)), ColComment), comment);
        QCOMPARE(SentFrames(*h.radio).filter(QRegularExpression(" 03$")), expected);  // stores and masks
        QVERIFY(kind != ViewKind::Qmb || h.radio->frameLog().empty());
        QCOMPARE(v->grid()->currentIndex().row() + 1, 3);
        if (kind == ViewKind::Pms)
            QCOMPARE(shownWhenWritten, QStringList({"P1: 1", "P2: 1-2", "P3: 1-3", "P4: 1-4", "P5: 1-5", "P6: 1-6",
                                                    "P7: 1-7", "P8: 1-8", "P9: 1-9"}));

        // Saving again asks first: No keeps the file as it is, Yes keeps it as the backup.
        const QByteArray saved = FileBytes(h.file(file));
        h.app->family().setCell(kind, 1, ColComment, "second");
        boxes.clear();
        boxes.setAnswer(QMessageBox::No);
        QVERIFY(h.run(*v, "cmdSave") && FileListing(h.app->dataDir()) == QStringList{file});
        QCOMPARE(boxes.texts(), QStringList{"Do you want to overwrite the existing saved file?"});
        QVERIFY(boxes.seen().first().buttons == (QMessageBox::Yes | QMessageBox::No) && FileBytes(h.file(file)) == saved);
        boxes.setAnswer(QMessageBox::Yes);
        QVERIFY(h.run(*v, "cmdSave") && FileBytes(h.file(file.chopped(4) + ".bak")) == saved);
        QVERIFY(FileBytes(h.file(file)).contains(":second\r\n"));
    }

    void refused_data()
    {
        // bytes: the view's file (null: none); told: %1 stands for the view's file, %2 for the history folder
        Columns<ViewKind, QString, bool, QString, QByteArray, QStringList>("kind", "command", "read", "dataDir", "bytes",
            "told");
        const QString never = "Cannot load because the \"%1\" data file has never been saved!";
        const QString bad = "Cannot load \"%1\": line ";
        QTest::newRow("frmAll never saved") << ViewKind::All << "cmdLoad" << true << "" << QByteArray()
                                            << QStringList{never.arg("All.Mem.txt")};
        QTest::newRow("frmPms never saved") << ViewKind::Pms << "cmdLoad" << true << "" << QByteArray()
                                            << QStringList{never.arg("Pms.txt")};
        QTest::newRow("setting") << ViewKind::Pms << "cmdLoad" << true << ""
                                 << PmsFile({{3, "7003.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:+RTP:"}})
                                 << QStringList{bad + "3 has an unknown RPT setting (\"+RTP\")."};
        QTest::newRow("binary") << ViewKind::Pms << "cmdLoad" << true << ""
                                << QByteArray("\x00\x01\xFF\xFE\x89PNG\r\n\x1A\n", 11).repeated(9)
                                << QStringList{bad + "1 has fewer than nine colons."};
        QTest::newRow("nothing to save") << ViewKind::Pms << "cmdSave" << false << "" << QByteArray()
                                         << QStringList{"Nothing to save!"};
        QTest::newRow("nothing to print") << ViewKind::All << "cmdPrint" << false << "" << QByteArray()
                                          << QStringList{"Nothing to Print!"};
        QTest::newRow("nothing to print, QMB") << ViewKind::Qmb << "cmdPrint" << false << "" << QByteArray()
                                               << QStringList{"Nothing to print!"};
        // The read's snapshot has no folder either: told, and the read stands.
        QTest::newRow("data folder missing")
            << ViewKind::Pms << "cmdSave" << true << "no-such-folder" << QByteArray()
            << QStringList{"No snapshot was kept in the history: Could not write \"%2\": No such file or directory.",
                           "Could not write \"%1\": No such file or directory. The saved file and its backup are as "
                           "they were."};
    }
    // A refused Load, Save or Print says why, with no beep or printer, and changes no row, file or radio channel.
    void refused()
    {
        QFETCH(ViewKind, kind); QFETCH(QString, command); QFETCH(bool, read); QFETCH(QString, dataDir);
        QFETCH(QByteArray, bytes); QFETCH(QStringList, told);
        QTemporaryDir other;
        FileApp h(dataDir.isEmpty() ? dataDir : other.filePath(dataDir));
        QVERIFY(h.started());
        MemoryView& v = h.open(kind);
        MessageBoxHelper boxes;
        QVERIFY(!read || h.read(v));
        QVERIFY(bytes.isNull() || PutFile(h.file(SavedFileName(kind)), bytes));
        const QStringList files = FileListing(h.app->dataDir());
        const Tables before = AllTables(h);
        const int beeps = h.beeps;
        h.radio->clearLog();
        QVERIFY(h.run(v, qPrintable(command)));
        for (QString& text : told)
            text.replace("%1", QDir::toNativeSeparators(h.file(SavedFileName(kind))))
                .replace("%2", QDir::toNativeSeparators(h.file("history")));
        QCOMPARE(boxes.texts(), told);
        QVERIFY(boxes.seen().first().icon == QMessageBox::Warning && h.beeps == beeps && h.setups == 0);
        QVERIFY(AllTables(h) == before && h.radio->frameLog().empty() && FileListing(h.app->dataDir()) == files);
    }

    // A channel no command can send is left out and named, the radio keeping it; a comment-only row loads.
    void loadLeavesUnsendableChannels()
    {
        FileApp h;
        MemoryView* v = OpenAndRead(h, ViewKind::Pms);
        QVERIFY(v && PutFile(h.file("Pms.txt"), PmsFile({{5, "0.00:LSB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:blank"},
                                                    {6, ":::::::::comment only"},
                                                    {8, "7008.00:AM (env):Thru:6.0K:A:OFF:OFF:+12.50:OFF:"}})));
        const Record p8 = h.radio->memory(107);
        h.radio->clearLog();
        MessageBoxHelper boxes;
        const int beeps = h.beeps;
        QVERIFY(h.run(*v, "cmdLoad") && boxes.waitForCount(1, std::chrono::milliseconds(kWaitMs)));
        QCOMPARE(boxes.texts(), QStringList{"2 channels were not written (the radio keeps what they held):\r"
                                            "P5: frequency 0.00 cannot be sent to the radio\r"
                                            "P8: offset +12.50 cannot be sent to the radio"});
        QVERIFY(boxes.seen().first().icon == QMessageBox::Warning && h.beeps == beeps && h.radio->memory(107) == p8);
        QCOMPARE(h.table(ViewKind::Pms).row(6), RowCells({"", "", "", "", "", "", "", "", "", "comment only"}));
        // Stored: P1-P4, P7, P9.
        QCOMPARE(SentFrames(*h.radio).filter(QRegularExpression("^00 00 00 .. 03$")),
                 QStringList({"00 00 00 64 03", "00 00 00 65 03", "00 00 00 66 03", "00 00 00 67 03", "00 00 00 6A 03",
                              "00 00 00 6C 03"}));
    }

    // While the radio is busy Print does nothing; frmCh99 prints on two pages, the operator's place kept
    // (the listing itself is checked without windows).
    void print()
    {
        FileApp h;
        MessageBoxHelper boxes;
        MemoryView* v = OpenAndRead(h, ViewKind::Ch99);
        QVERIFY(v);
        const QString comment = QStringLiteral("20 m net, Sundays 1400 UTC");
        h.app->family().setCell(ViewKind::Ch99, 2, ColComment, comment);
        h.pdf = h.dir.filePath("no such folder/listing.pdf");
        QVERIFY(h.app->radio().scan(1, 10, 255, h.app.get(), {}, {}));
        h.press(*v, "cmdPrint");
        QVERIFY(h.setups == 0 && boxes.count() == 0);
        h.app->radio().stopScan();
        QVERIFY(h.idle());
        h.press(*v, "cmdPrint");
        QCOMPARE(boxes.texts(), QStringList{"The PDF file \"" + h.pdf + "\" cannot be written: No such file or "
                                            "directory.\rNothing was printed."});
        QVERIFY(!QApplication::overrideCursor() && !h.app->busyState().busy());
        h.pdf = h.dir.filePath("listing.pdf");
        QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
        v->setTopRow(35);
        v->setCurrentCell(40, ColMode);
        h.press(*v, "cmdPrint");
        QVERIFY(v->currentRow() == 40 && v->currentColumn() == ColMode && TopRow(*v) == 35);
        QVERIFY(h.setups == 2 && h.setupParent == v && boxes.count() == 1);
        QVERIFY(busy.count() == 2 && !QApplication::overrideCursor());  // the hourglass came and went
        const QList<QStringList> pages = ListingPdfPages(h.pdf);
        QVERIFY(pages.size() == 2 && pages[0].size() == 3 + 57 && pages[1].size() == 3 + 42);
        QCOMPARE(pages[0][0].trimmed(), QStringLiteral("Memory Channels 1 to 99  (page 1)"));
        QCOMPARE(pages[0][4].trimmed().left(2) + pages[0][4].mid(72), "2 " + comment);  // after the headings
        // The platform's printer dialog, without page ranges; its Cancel prints nothing.
        QVERIFY(QFile::remove(h.pdf));
        std::optional<bool> pageRanges;  // set only by a QPrintDialog
        h.app->printCommands().setPrinterSetup([&](QPrinter& printer, QWidget* parent) {
            QTimer::singleShot(0, parent, [&] {
                if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                    pageRanges = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
                    dialog->reject();
                }
            });
            return AskForPrinter(printer, parent);
        });
        boxes.clear();
        busy.clear();
        h.press(*v, "cmdPrint");
        QVERIFY(pageRanges == false && busy.isEmpty() && boxes.count() == 0 && !QApplication::overrideCursor());
        QVERIFY(FileListing(h.dir.path()).filter(".pdf").isEmpty());
    }

    // Export leaves the view's own saved file, under another spelling, as it was, and names rows a CSV cannot carry.
    void exportRefusesTheSavedFile()
    {
        FileApp h;
        QVERIFY(h.started());
        MemoryView& pms = h.open(ViewKind::Pms);
        QVERIFY(h.read(pms));
        h.app->family().setRow(ViewKind::Pms, 9, RowCells{"", "", "", "", "", "", "", "", "", "spare"});
        MessageBoxHelper boxes;
        QVERIFY(PutFile(h.dir.filePath("Pms.txt"), "saved"));
        h.chosen = h.dir.filePath("./Pms.txt");
        Action(pms, "itmExportCsv")->trigger();
        QCOMPARE(FileBytes(h.dir.filePath("Pms.txt")), QByteArray("saved"));
        h.chosen = h.dir.filePath("pms.csv");
        Action(pms, "itmExportCsv")->trigger();
        QVERIFY(FileBytes(h.chosen).startsWith(kHeader + "\r\n1,") && h.asked == QList<bool>({true, true}));
        QCOMPARE(boxes.texts(), QStringList({QStringLiteral("Could not write \"%1\": it is the program's own saved file "
                                                            "\"Pms.txt\"; choose another name.").arg(h.dir.filePath("./Pms.txt")),
                                             "These channels are not in pms.csv:\rP9 \"spare\": it has a comment but no frequency"}));
    }
    void import_data()
    {
        // csv: the chosen file (null: Cancel); replaced: P2 and its mirror row take the file's row 2
        Columns<QByteArray, QMessageBox::StandardButton, QStringList, bool>("csv", "answer", "told", "replaced");
        const QByteArray net = "Location,Name,Frequency,Duplex,Offset,Mode,Skip,Comment\n"
                               "2,Net,29.6,+,0.6,NFM,,Sunday\n3,APRS,144.39,,,FM,,\n";
        const QString question = "Import %1 of in.csv into PMS Memories? The channels at those locations are "
                                 "replaced; the others are kept.";
        const QString none = "No row of in.csv could be imported; nothing was changed.";
        QTest::newRow("No") << net + "4,,7.1,,,USB,,\n" << QMessageBox::No << QStringList{question.arg("2 rows")} << false;
        QTest::newRow("Yes") << net << QMessageBox::Yes
            << QStringList{question.arg("1 row"), "These rows of in.csv were left out:\r"
                                     "line 3: the frequency 144.390000 MHz is outside what the radio can be set to "
                                     "(0.100000-99.999990 MHz)\r"
                                     "These values of in.csv were taken otherwise:\r"
                                     "line 2: the mode \"NFM\" was taken as FM\r"
                                     "line 2: the duplex offset 0.6 MHz was taken as the radio's repeater shift, "
                                     "0.100000 MHz"}
            << true;
        QTest::newRow("location outside the view")
            << "# CHIRP\r" + kHeader + "\r0,,7.0,,0,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,5W,,,,,\r"
            << QMessageBox::Yes
            << QStringList{none + "\rThese rows were left out:\rline 3: location \"0\" is outside this view (1-9)"}
            << false;
        QTest::newRow("not CHIRP CSV") << QByteArray("14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n") << QMessageBox::Yes
                                       << QStringList{"in.csv is not a CHIRP CSV file: its first line is not a CHIRP header "
                                                      "with Location, Frequency and Mode columns.\rNothing was changed."}
                                       << false;
        QTest::newRow("Cancel") << QByteArray() << QMessageBox::Yes << QStringList{} << false;
    }
    // Only Yes replaces the rows taken and their mirror rows, with a beep; all else stays, and nothing goes to the radio.
    void import()
    {
        QFETCH(QByteArray, csv); QFETCH(QMessageBox::StandardButton, answer); QFETCH(QStringList, told); QFETCH(bool, replaced);
        FileApp h;
        MemoryView* pms = h.openFilled(ViewKind::Pms);
        QVERIFY(pms);
        Tables expected = AllTables(h);
        h.chosen = csv.isNull() ? QString() : h.dir.filePath("in.csv");
        QVERIFY(csv.isNull() || PutFile(h.chosen, csv));
        const int beeps = h.beeps;
        h.radio->clearLog();
        MessageBoxHelper boxes(answer);
        Action(*pms, "itmImportCsv")->trigger();
        QCOMPARE(boxes.texts(), told);
        QVERIFY(h.radio->frameLog().empty() && h.beeps == beeps + int(replaced));
        if (replaced) {
            const RowCells net{"29600.00  ", "FM", "Thru", "6.0K", "A", "OFF", "OFF", "0.00", "+RPT", "Net - Sunday"};
            expected[int(ViewKind::Pms)][1] = net;
            expected[int(ViewKind::All)][100] = net;
            QCOMPARE(pms->statusBar()->currentMessage(), QStringLiteral("1 channel imported from in.csv"));
        }
        QCOMPARE(AllTables(h), expected);
    }

    // With Read Before Load (off by default) a Load first keeps what the channels held in a snapshot.
    void readAndLoadKeepTheirSnapshots()
    {
        FileApp h;
        MemoryView* v = OpenAndRead(h, ViewKind::Pms);
        QVERIFY(v);
        const QDir history(h.dir.filePath("history"));
        // The file's P2 differs, and the radio ignores a store into P2.
        QStringList file = kDemoPmsLines;
        file[1] = "2010.00:LSB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:edge";
        QVERIFY(PutFile(h.file("Pms.txt"), CrLfLines(file)));
        h.radio->setFaults({.ident = {}, .dropStore = 101});
        MessageBoxHelper boxes;
        h.press(*v, "cmdLoad");
        QVERIFY(boxes.waitForCount(1) && h.idle() && boxes.count() == 1);  // the Load's own message, no other
        QStringList names = history.entryList(QDir::Files, QDir::Name);
        QCOMPARE(WithoutTimes(names.join('|')), "Pms 000001 WHEN read.txt|Pms 000002 WHEN load differs P2.txt");
        QCOMPARE(FileBytes(history.filePath(names[0])), CrLfLines(kDemoPmsLines));
        QCOMPARE(FileBytes(history.filePath(names[1])), CrLfLines(file));
        QAction* readFirst = Action(*v, "actReadBeforeLoad");
        QVERIFY(readFirst && readFirst->isCheckable() && !readFirst->isChecked());
        readFirst->trigger();
        h.radio->setFaults({});
        boxes.clear();
        const int beeps = h.beeps;
        h.press(*v, "cmdLoad");
        QVERIFY(QTest::qWaitFor([&] { return h.beeps > beeps && h.idle(); }, kWaitMs));
        QVERIFY2(boxes.seen().isEmpty(), qPrintable(boxes.seen().value(0).text));
        names = history.entryList(QDir::Files, QDir::Name).mid(2);
        QCOMPARE(WithoutTimes(names.join('|')), "Pms 000003 WHEN read.txt|Pms 000004 WHEN load verified.txt");
        const QList<QByteArray> held = FileBytes(history.filePath(names[0])).split('\n');
        QVERIFY2(held.value(0).startsWith("1800.00:CW (usb):500:500:") && held.value(1).startsWith("2000.00:LSB:"),
                 held.value(1).constData());
    }

    // Compare leaves the table alone; Open fills the rows without a frame to the radio; Undo takes them back.
    void compareThenOpenThenUndo()
    {
        FileApp h;
        const QString folder = h.dir.filePath(QStringLiteral("history"));
        QVERIFY(h.started() && QDir().mkpath(folder) && PutFile(folder + "/" + kOlder, kOlderBytes)
                && PutFile(folder + "/" + kNewer, kNewerBytes));
        MemoryView& pms = h.open(ViewKind::Pms);
        QVERIFY(QTest::qWaitForWindowActive(&pms));
        MessageBoxHelper boxes;
        Action(pms, "itmHistory")->trigger();
        auto* list = pms.findChild<QListWidget*>(QStringLiteral("lstHistory"));
        QVERIFY(list && QTest::qWaitFor([&] { return list->isVisible(); }, kWaitMs) && list->count() == 2);
        QVERIFY2(list->item(0)->text().startsWith("1  2026-12-10 05:12:03  load") && list->item(0)->text().endsWith(kNewer),
                 qPrintable(list->item(0)->text()));
        QVERIFY2(list->item(1)->text().startsWith("2  2026-12-09 21:00:00  read") && list->item(1)->text().endsWith(kOlder),
                 qPrintable(list->item(1)->text()));
        list->setCurrentRow(1);
        h.press(pms, "cmdCompareSnapshot");
        QVERIFY(QTest::qWaitFor([&] { return !boxes.seen().isEmpty() && h.idle(); }, kWaitMs));
        QCOMPARE(boxes.seen().constFirst().text, QStringLiteral("2 of 2 channels differ from the radio.\r"
                                                                "P1: frequency radio 1800.00, snapshot 1810.00\r"
                                                                "P2: mask radio off, snapshot on"));
        const ChannelTable& table = h.table(ViewKind::Pms);
        QVERIFY(table.markCount() == 0 && table.cell(1, ColFreq).isEmpty());
        const RowCells emptyP1 = table.row(1);
        const qsizetype framesBefore = h.radio->frameLog().size();
        h.press(pms, "cmdOpenSnapshot");
        const RowCells p1{"1810.00  ", "CW (usb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", "top band"};
        QVERIFY(table.row(1) == p1 && h.table(ViewKind::All).row(100) == p1 && table.cell(3, ColFreq).isEmpty());
        QCOMPARE(table.row(2), RowCells({"2000.00* ", "LSB", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "OFF", ""}));
        QCOMPARE(h.radio->frameLog().size(), framesBefore);
        h.app->tableSteps().undo();
        QVERIFY(table.row(1) == emptyP1 && h.table(ViewKind::All).row(100) == emptyP1);
    }
};

QTEST_MAIN(TestFilesCommands)
#include "files_commands_test.moc"
