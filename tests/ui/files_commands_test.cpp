// SPDX-License-Identifier: GPL-3.0-or-later
// Save, Load and Print in the real views against the emulator: files, frames, refusals, the PDF.

#include <QPrintDialog>
#include <QStatusBar>
#include <QtTest>

#include "filebytes.h"
#include "messageboxhelper.h"
#include "pdftext.h"
#include "printcommands.h"
#include "savedfilenames.h"
#include "savedfiletext.h"
#include "ui_steps.h"

using namespace vardo;
using namespace vardo::test;

namespace {

struct FileHarness : AppHarness {
    explicit FileHarness(const QString& dataDir = {}) : AppHarness(sim::Timing::Fast, {}, {}, dataDir) {}
    QString file(const QString& name) const { return app->dataDir() + "/" + name; }
    // Presses a command and waits until the program is idle again.
    bool run(MemoryView& v, const char* command) { press(v, command); return idle(); }
    MemoryView* ready(ViewKind kind) { return OpenAndRead(*this, kind); }
};

// The program with Print attached; the printer set-up answers for the operator.
struct PrintApp : FileHarness {
    PrintApp()
    {
        app->printCommands().setPrinterSetup([this](QPrinter& printer, QWidget* parent) {
            ++setups;
            setupParent = parent;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
    }

    QString pdf;
    int setups = 0;
    QWidget* setupParent = nullptr;
};

// A Pms.txt of nine good lines with line `number` replaced.
QByteArray PmsFile(int number = 0, const char* line = "")
{
    QStringList lines;
    for (int i = 1; i <= 9; ++i)
        lines << QStringLiteral("%1.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:line %2").arg(7000 + i).arg(i);
    if (number)
        lines[number - 1] = line;
    return EncodeSavedLines(lines);
}

}  // namespace

class TestFilesCommands : public QObject {
    Q_OBJECT
private slots:
    void saveThenLoad_data()
    {
        // told: after the Load; empty: nothing, and a beep;
        // count: the channels a read, a save and a load of the QMB name
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
        FileHarness h;
        MemoryView* v = h.ready(kind);
        QVERIFY(v);
        QCOMPARE(v->statusBar()->currentMessage(), count + " read");
        const int last = RowCount(kind);
        const QString comment = QStringLiteral("net: Sunday, Bodø");
        h.app->family().setCell(kind, last, ColComment, comment);
        const ChannelTable& table = h.table(kind);
        const QString lastFreq = table.cell(last, ColFreq);
        // The operator's current row stays through Save and Load (moved there as the arrow keys
        // move it: a click on a row would load its channel).
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
        QStringList storeAndMask;
        for (const auto& f : h.radio->frameLog())
            if (f.bytes[4] == 0x03)
                storeAndMask << f.toHex();
        QCOMPARE(storeAndMask, expected);
        QVERIFY(kind != ViewKind::Qmb || h.radio->frameLog().empty());
        QCOMPARE(v->grid()->currentIndex().row() + 1, 3);
        if (kind == ViewKind::Pms)
            QCOMPARE(shownWhenWritten, QStringList({"P1: 1", "P2: 1-2", "P3: 1-3", "P4: 1-4", "P5: 1-5", "P6: 1-6",
                                                    "P7: 1-7", "P8: 1-8", "P9: 1-9"}));
    }

    void refused_data()
    {
        // bytes: the view's file; null: none; message: %1: the file
        Columns<ViewKind, QByteArray, QString>("kind", "bytes", "message");
        const QString never = "Cannot load because the \"%1\" data file has never been saved!";
        QTest::newRow("frmAll never saved") << ViewKind::All << QByteArray() << never.arg("All.Mem.txt");
        QTest::newRow("frmPms never saved") << ViewKind::Pms << QByteArray() << never.arg("Pms.txt");
        const QString bad = "Cannot load \"%1\": line ";
        QTest::newRow("setting") << ViewKind::Pms << PmsFile(3, "7003.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:+RTP:")
                                 << bad + "3 has an unknown RPT setting (\"+RTP\").";
        QTest::newRow("binary") << ViewKind::Pms << QByteArray("\x00\x01\xFF\xFE\x89PNG\r\n\x1A\n", 11).repeated(9)
                                << bad + "1 has fewer than nine colons.";
    }
    void refused()
    {
        QFETCH(ViewKind, kind); QFETCH(QByteArray, bytes); QFETCH(QString, message);
        FileHarness h;
        MemoryView* v = h.ready(kind);
        QVERIFY(v);
        h.app->family().setCell(kind, 1, ColComment, "kept");
        const Tables before = AllTables(h);
        if (!bytes.isNull())
            QVERIFY(PutFile(h.file(SavedFileName(kind)), bytes));
        h.radio->clearLog();
        MessageBoxHelper boxes;
        QVERIFY(h.run(*v, "cmdLoad"));
        QCOMPARE(boxes.texts(), QStringList{message.arg(QDir::toNativeSeparators(h.file(SavedFileName(kind))))});
        QVERIFY(AllTables(h) == before && h.radio->frameLog().empty());
    }

    void overwriteQuestion()
    {
        FileHarness h;
        MemoryView* v = h.ready(ViewKind::Qmb);
        QVERIFY(v);
        QVERIFY(h.run(*v, "cmdSave"));
        const QByteArray first = FileBytes(h.file("Qmb.txt"));
        h.app->family().setCell(ViewKind::Qmb, 1, ColComment, "second");
        MessageBoxHelper boxes(QMessageBox::No);
        QVERIFY(h.run(*v, "cmdSave"));
        QCOMPARE(boxes.texts(), QStringList{"Do you want to overwrite the existing saved file?"});
        QCOMPARE(boxes.seen().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(FileListing(h.app->dataDir()) == QStringList{"Qmb.txt"} && FileBytes(h.file("Qmb.txt")) == first);
        boxes.setAnswer(QMessageBox::Yes);
        QVERIFY(h.run(*v, "cmdSave"));
        QCOMPARE(FileBytes(h.file("Qmb.bak")), first);
        QVERIFY(FileBytes(h.file("Qmb.txt")).contains(":second\r\n"));
    }

    void saveRefused_data()
    {
        // message: %1: the file
        Columns<bool, QString>("missingFolder", "message");
        QTest::newRow("nothing to save") << false << "Nothing to save!";
        QTest::newRow("data folder missing") << true << "Could not write \"%1\": No such file "
                                                "or directory. The saved file and its backup are as they were.";
    }
    void saveRefused()
    {
        QFETCH(bool, missingFolder); QFETCH(QString, message);
        QTemporaryDir other;
        FileHarness h(missingFolder ? other.filePath("no-such-folder") : QString());
        QVERIFY(h.started());
        MemoryView& v = h.open(ViewKind::Pms);
        MessageBoxHelper boxes;
        QVERIFY(!missingFolder || h.read(v));
        const int beeps = h.beeps;
        QVERIFY(h.run(v, "cmdSave"));
        // The read's snapshot has no folder either: told, and the read stands.
        QStringList told;
        if (missingFolder)
            told << "No snapshot was kept in the history: Could not write \""
                        + QDir::toNativeSeparators(h.file("history")) + "\": No such file or directory.";
        told << message.arg(QDir::toNativeSeparators(h.file("Pms.txt")));
        QCOMPARE(boxes.texts(), told);
        QVERIFY(boxes.seen().first().icon == QMessageBox::Warning && h.beeps == beeps);
        QCOMPARE(FileListing(h.app->dataDir()), QStringList());
    }

    // A channel with a value no command can send is left out whole and named, and the radio keeps
    // what it held; a row with a comment and no channel data loads with its comment; no beep.
    void loadLeavesUnsendableChannels()
    {
        FileHarness h;
        MemoryView* v = h.ready(ViewKind::Pms);
        QVERIFY(v);
        QByteArray file = PmsFile(5, "0.00:LSB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:blank");
        file.replace("7006.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:line 6", ":::::::::comment only");
        file.replace("7008.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:line 8", "7008.00:AM (env):Thru:6.0K:A:OFF:OFF:+12.50:OFF:");
        QVERIFY(PutFile(h.file("Pms.txt"), file));
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
        QStringList stored;
        for (const auto& f : h.radio->frameLog())
            if (f.bytes[3] != 0 && f.bytes[4] == 0x03 && f.bytes[2] == 0)
                stored << ChannelLabel(f.bytes[3]);
        QCOMPARE(stored, QStringList({"P1", "P2", "P3", "P4", "P7", "P9"}));
    }

    // frmCh99, two pages: the listing code itself is checked view by view without windows.
    void printsTheViewsTable()
    {
        PrintApp h;
        MemoryView* v = h.ready(ViewKind::Ch99);
        QVERIFY(v);
        const QString comment = QStringLiteral("20 m net, Sundays 1400 UTC");
        h.app->family().setCell(ViewKind::Ch99, 2, ColComment, comment);
        h.pdf = h.dir.filePath("listing.pdf");
        QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
        MessageBoxHelper boxes;
        // The operator's place in the grid stays where it was.
        v->setTopRow(35);
        v->setCurrentCell(40, ColMode);
        h.press(*v, "cmdPrint");
        QVERIFY(v->currentRow() == 40 && v->currentColumn() == ColMode && TopRow(*v) == 35);
        QVERIFY(h.setups == 1 && h.setupParent == v && boxes.count() == 0);
        QVERIFY(busy.count() == 2 && !QApplication::overrideCursor());  // the hourglass came and went

        const QList<QStringList> pages = ListingPdfPages(h.pdf);
        QVERIFY(pages.size() == 2 && pages[0].size() == 3 + 57 && pages[1].size() == 3 + 42);
        QCOMPARE(pages[0][0].trimmed(), QStringLiteral("Memory Channels 1 to 99  (page 1)"));
        QCOMPARE(pages[1][0].trimmed(), QStringLiteral("Memory Channels 1 to 99  (page 2)"));
        QVERIFY2(pages[0][4].trimmed().startsWith(QStringLiteral("2 ")), qPrintable(pages[0][4]));  // after the headings
        QCOMPARE(pages[0][4].mid(72), comment);
    }

    // An empty view says so (frmAll in its own words); while the radio is busy Print does nothing;
    // a PDF that cannot be written says why; then it prints; the printer dialog's Cancel does not.
    void refusedThenPrints()
    {
        PrintApp h;
        MessageBoxHelper boxes;
        QVERIFY(h.started());
        h.press(h.open(ViewKind::All), "cmdPrint");
        h.press(h.open(ViewKind::Qmb), "cmdPrint");
        QCOMPARE(boxes.texts(), (QStringList{"Nothing to Print!", "Nothing to print!"}));
        QVERIFY(boxes.seen().first().icon == QMessageBox::Warning && h.setups == 0);
        MemoryView* v = &h.view(ViewKind::Qmb);
        QVERIFY(h.read(*v));
        boxes.clear();
        h.pdf = h.dir.filePath("no such folder/listing.pdf");
        QVERIFY(h.app->radio().scan(1, 10, 255, h.app.get(), {}, {}));
        h.press(*v, "cmdPrint");
        QVERIFY(h.setups == 0 && boxes.count() == 0);
        h.app->radio().stopScan();
        QVERIFY(h.idle());
        h.press(*v, "cmdPrint");
        QCOMPARE(boxes.lastText(), "The PDF file \"" + h.pdf + "\" cannot be written: No such file or directory.\r"
                                   "Nothing was printed.");
        QVERIFY(!QApplication::overrideCursor() && !h.app->busyState().busy());
        h.pdf = h.dir.filePath("listing.pdf");
        h.press(*v, "cmdPrint");
        QCOMPARE(ListingPdfPages(h.pdf).size(), 1);
        // The platform's printer dialog, without page ranges; its Cancel prints nothing.
        QVERIFY(QFile::remove(h.pdf));
        QString dialogClass;
        bool pageRanges = true;
        h.app->printCommands().setPrinterSetup([&](QPrinter& printer, QWidget* parent) {
            QTimer::singleShot(0, parent, [&] {
                if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                    dialogClass = dialog->metaObject()->className();
                    pageRanges = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
                    dialog->reject();
                }
            });
            return AskForPrinter(printer, parent);
        });
        boxes.clear();
        QSignalSpy busy(&h.app->busyState(), &BusyState::busyChanged);
        h.press(*v, "cmdPrint");
        QCOMPARE(dialogClass, QStringLiteral("QPrintDialog"));
        QVERIFY(!pageRanges && busy.isEmpty() && boxes.count() == 0 && !QApplication::overrideCursor());
        QVERIFY(FileListing(h.dir.path()).filter(".pdf").isEmpty());
    }
};

QTEST_MAIN(TestFilesCommands)
#include "files_commands_test.moc"
