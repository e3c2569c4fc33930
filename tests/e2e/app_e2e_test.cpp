// SPDX-License-Identifier: GPL-3.0-or-later
// The programs as a user installs and starts them (vardo as vardo-test, which reports its windows
// and answers its message boxes), and vardo-cli's file commands without a display.

#include <QImage>
#include <QtTest>

#include <filesystem>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "filebytes.h"
#include "pdftext.h"
#include "processrun.h"
#include "savedfilenames.h"
#include "simprocess.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// vardo-cli on the data folder `dir` with no display at all; "DIR" in an argument stands for it.
ProcessRun RunCli(QStringList arguments, const QString& dir)
{
    return RunProcess(qEnvironmentVariable("VARDO_BIN") + "/vardo-cli",
                      arguments.replaceInStrings("DIR", dir) + QStringList{"--data-dir", dir},
                      {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
}

// Channel i of a test file: every seventh masked, modes of every width the listing aligns.
QString Freq(int i) { return QString::number(100 + (i - 1) * 251) + ".00"; }
bool Masked(int i) { return i % 7 == 3; }
QString Mode(int i) { return QStringList{"USB", "FM", "AM (sync)", "CW (usb)", "RTTY (lsb)"}[(i - 1) % 5]; }
QString Comment(int i) { return QStringLiteral("channel %1: net").arg(i); }

// Each entry of `dir` as "name type bytes", links not followed, so a replaced node shows.
QStringList NodeListing(const QString& dir)
{
    namespace fs = std::filesystem;
    QStringList nodes;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(dir.toStdString()))) {
        const QString name = QString::fromStdString(entry.path().filename().string());
        const auto type = static_cast<int>(entry.symlink_status().type());
        const QByteArray bytes = entry.is_regular_file() && !entry.is_symlink() ? FileBytes(dir + "/" + name) : "";
        nodes << QStringLiteral("%1 %2 %3").arg(name).arg(type).arg(QString::fromLatin1(bytes.toHex()));
    }
    nodes.sort();
    return nodes;
}

// A Pms.txt with two channels (a masked one with a comma in its comment), a comment without a
// channel and empty rows.
const QByteArray kPms = "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8, \"20m\"\r\n"
                        "29620.00*:FM:Thru:6.0K:A:OFF:OFF:0.00:-RPT:repeater\r\n"
                        ":::::::::band edge\r\n"
                        ":::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n";
const QByteArray kHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                           "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

QByteArray SavedFile()
{
    QString text;
    for (int i = 1; i <= kChannelCount; ++i)
        text += Freq(i) + (Masked(i) ? "*:" : ":") + Mode(i) + ":2.4K:2.0K:A:OFF:OFF:0.00:OFF:" + Comment(i)
            + "\r\n";
    return text.toUtf8();
}

}  // namespace

class AppE2eTest : public QObject {
    Q_OBJECT
    QTemporaryDir prefix_;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(prefix_.isValid());
        const ProcessRun run = RunProcess(QStringLiteral("cmake"), {"--install", qEnvironmentVariable("VARDO_BIN") + "/..",
                                                                    "--prefix", prefix_.path()});
        QVERIFY2(run.status == 0, qPrintable(run.err));
    }

    // Each file: its first bytes (empty: any), a line it holds, and a PNG icon's size.
    void installedFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("begins");
        QTest::addColumn<QByteArray>("holds");
        QTest::addColumn<int>("iconSize");
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            QTest::addRow("icon %d", size) << QStringLiteral("share/icons/hicolor/%1x%1/apps/org.vardo.Vardo.png").arg(size)
                                           << QByteArray("\x89PNG") << QByteArray() << size;
        const auto row = [](const char* name, const char* path, const QByteArray& begins, const QByteArray& holds = {}) {
            QTest::newRow(name) << QString::fromLatin1(path) << begins << holds << 0;
        };
        row("scalable icon", "share/icons/hicolor/scalable/apps/org.vardo.Vardo.svg", {});
        row("readme", "share/doc/vardo/README.md", "# Vardo\n");
        row("copyright is the licence", "share/doc/vardo/copyright",
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/", "\nLicense: GPL-3.0+\n");
        const QByteArray gzip("\x1f\x8b");
        for (const char* page : {"vardo", "vardo-cli", "vardo-sim"})
            QTest::addRow("manual %s", page) << QStringLiteral("share/man/man1/%1.1.gz").arg(page) << gzip << QByteArray() << 0;
        row("changelog", "share/doc/vardo/changelog.gz", gzip);
        row("menu entry", "share/applications/org.vardo.Vardo.desktop", "[Desktop Entry]\n");
        row("metainfo", "share/metainfo/org.vardo.Vardo.metainfo.xml", "<?xml ");
    }
    void installedFile()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, begins);
        QFETCH(QByteArray, holds);
        QFETCH(int, iconSize);
        const QByteArray bytes = FileBytes(prefix_.filePath(path));
        QVERIFY2(!bytes.isEmpty(), qPrintable(path));
        QVERIFY2(bytes.startsWith(begins), qPrintable(path));
        QVERIFY2(bytes.contains(holds), bytes.constData());
        if (iconSize)
            QCOMPARE(QImage::fromData(bytes).size(), QSize(iconSize, iconSize));
    }

    void savedFilesFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("buildTree");
        QTest::addColumn<QString>("expected");  // "user", "own" or "chosen" (by --data-dir)
        for (const char* program : {"vardo", "vardo-cli"}) {
            const QString name = QString::fromLatin1(program);
            QTest::addRow("%s installed", program) << name << false << "user";
            QTest::addRow("%s in its build tree", program) << name << true << "own";
            QTest::addRow("%s in its build tree, --data-dir", program) << name << true << "chosen";
        }
    }
    void savedFilesFolder()
    {
        QFETCH(QString, program);
        QFETCH(bool, buildTree);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        const QString bin = tmp.filePath("bin");
        QVERIFY(QDir().mkpath(bin));
        const bool windowed = program == "vardo";
        const QString built = windowed ? QCoreApplication::applicationDirPath() + "/vardo-test"
                                       : qEnvironmentVariable("VARDO_BIN") + "/" + program;
        QVERIFY(QFile::copy(built, bin + "/" + program));
        if (buildTree)
            QVERIFY(PutFile(bin + "/" VARDO_BUILD_TREE_MARKER, {}));
        const QMap<QString, QString> folders{
            {"user", tmp.filePath("xdg/Vardo")}, {"own", bin}, {"chosen", tmp.filePath("chosen")}};
        // vardo makes its data folder, finds no radio on a missing port and ends; vardo-cli saves
        // the emulator's channels into its folder.
        QStringList args = expected == "chosen" ? QStringList{"--data-dir", folders["chosen"]} : QStringList{};
        args << (windowed ? QStringList{"--port", tmp.filePath("no-such-port")} : QStringList{"--simulate", "read", "99"});
        const ProcessRun run = RunProcess(bin + "/" + program, args, {"XDG_DATA_HOME=" + tmp.filePath("xdg")});
        QVERIFY2(!run.crashed && run.status >= 0, qPrintable(run.err));

        for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
            if (windowed && it.key() == "own")
                continue;  // there anyway: that no other folder is made tells
            const bool used = windowed ? QFileInfo(it.value()).isDir() : QFileInfo::exists(it.value() + "/99Mem.txt");
            QVERIFY2(used == (it.key() == expected), qPrintable(it.key() + ": " + run.err));
        }
    }

    // vardo finds the radio after a missing port, or says why and ends without a window; the saved
    // files are upgraded once it looks for the radio.
    void startUp_data()
    {
        QTest::addColumn<QStringList>("sim");   // vardo-sim's arguments
        QTest::addColumn<QStringList>("args");  // PTY: the emulator's port, MISSING: one that is not there
        QTest::addColumn<QString>("platform");  // QT_QPA_PLATFORM; DISPLAY and WAYLAND_DISPLAY are never set
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");      // in standard error; ending in a newline: all of it
        const QStringList radio{"--fast"};
        QTest::newRow("the radio after a port that is not there")
            << radio << QStringList{"--port", "MISSING", "--port", "PTY"} << "offscreen" << 0 << "vardo: radio found on PTY";
        QTest::newRow("-platform chosen") << radio << QStringList{"-platform", "offscreen", "--port", "PTY"} << ""
                                          << 0 << "vardo: radio found on PTY";
        // Off Windows the ports are not COM ports; the port tried is named with its fault.
        QTest::newRow("a wrong identification")
            << QStringList{"--fast", "--ident", "0000"} << QStringList{"--port", "PTY"} << "offscreen" << 1
            << "vardo: message: I couldn't find the FT-1000MP on any serial port\nPorts tried:\nPTY answered, but not as the FT-1000MP";
        QTest::newRow("no display, no platform chosen")
            << radio << QStringList{"--port", "PTY"} << "" << 1
            << "vardo: needs a display (neither DISPLAY nor WAYLAND_DISPLAY is set); use vardo-cli for the "
               "command-line face, or vardo -platform vnc to see the windows in a VNC viewer\n";
        QTest::newRow("a bad option") << radio << QStringList{"--no-such-option"} << "offscreen" << 2 << "no-such-option";
    }
    void startUp()
    {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, args);
        QFETCH(QString, platform);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        SimProcess radio(sim);
        QVERIFY(!radio.pty().isEmpty());
        QTemporaryDir dir;
        QVERIFY(PutFile(dir.filePath("Qmb.txt"), QByteArray("14250.00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,net, daily\r\n").repeated(5)));
        args.replaceInStrings("MISSING", dir.filePath("no-such-port")).replaceInStrings("PTY", radio.pty());
        const QString platformVariable = platform.isEmpty() ? "QT_QPA_PLATFORM" : "QT_QPA_PLATFORM=" + platform;
        const ProcessRun run = RunProcess(QCoreApplication::applicationDirPath() + "/vardo-test",
                                          args + QStringList{"--data-dir", dir.path()}, {"DISPLAY", "WAYLAND_DISPLAY", platformVariable});
        QCOMPARE(run.status, exitCode);
        says.replace("PTY", radio.pty());
        QVERIFY2(says.endsWith('\n') ? run.err == says : run.err.contains(says), qPrintable(run.err));
        QCOMPARE(run.err.contains("vardo: shown vovAzidi"), exitCode == 0);
        QCOMPARE(run.err.contains("vardo: message:"), says.startsWith("vardo: message:"));
        if (exitCode != 2 && !says.endsWith('\n'))
            QVERIFY(FileBytes(dir.filePath("Qmb.txt")).startsWith("14250.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:net, daily\r\n"));
    }

    // Every channel reaches the PDF in order; the layout and page split are the listing's unit test's.
    void listing()
    {
        QTemporaryDir dir;
        QVERIFY(PutFile(dir.filePath("AllMem.txt"), SavedFile()));
        const auto run = RunCli({"print", "all", "--pdf", "DIR/out.pdf"}, dir.path());
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QList<QStringList> pages = ListingPdfPages(dir.filePath("out.pdf"));
        QCOMPARE(pages.size(), 2);
        QStringList lines;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QCOMPARE(pages[p].value(0).trimmed(), QStringLiteral("All Memory Channels  (page %1)").arg(p + 1));
            lines << pages[p].mid(3);
        }
        QCOMPARE(lines.size(), kChannelCount);
        for (int i = 1; i <= kChannelCount; ++i)
            QCOMPARE(lines[i - 1].left(14) + lines[i - 1].mid(14).simplified(),
                     ChannelLabel(i).rightJustified(3) + " " + Freq(i).rightJustified(9) + (Masked(i) ? "*" : " ") + Mode(i)
                         + " 2.4K 2.0K A OFF OFF 0.00 OFF " + Comment(i));
    }

    // Export names the comment it cannot carry; import of the export gives the same saved file, and
    // leaves the backup as it was since there is nothing new to save.
    void exportAndImport()
    {
        QTemporaryDir dir;
        QVERIFY(PutFile(dir.filePath("Pms.txt"), kPms));
        QVERIFY(PutFile(dir.filePath("Pms.bak"), "older"));
        const QString csvPath = dir.filePath("pms.csv");
        const ProcessRun exported = RunCli({"export", "pms", "--csv", csvPath}, dir.path());
        QCOMPARE(Outcome(exported), QStringLiteral("3|2 channels exported to %1\n|vardo-cli: P3 \"band edge\": it has a comment "
                                                   "but no frequency, so %1 has no row for it\n").arg(QDir::toNativeSeparators(csvPath)));
        QCOMPARE(FileBytes(csvPath),
                 kHeader + "\r\n1,\"FT8, \"\"20m\"\"\",14.074000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,100W,\"FT8, \"\"20m\"\"\",,,,\r\n"
                           "2,repeater,29.620000,-,0.100000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,100W,repeater,,,,\r\n");

        const ProcessRun imported = RunCli({"import", "pms", "--csv", csvPath}, dir.path());
        QCOMPARE(Outcome(imported), "0|2 channels imported into " + QDir::toNativeSeparators(dir.filePath("Pms.txt")) + ", which already held them\n|");
        QCOMPARE(FileBytes(dir.filePath("Pms.txt")), kPms);
        QCOMPARE(FileBytes(dir.filePath("Pms.bak")), QByteArray("older"));

        // A CHIRP file replaces only the channels its rows name; what it changes or leaves out is named.
        QVERIFY(PutFile(dir.filePath("in.csv"), "# CHIRP export\r" + kHeader + "\r"
                                                "1,DV,14.2,,0.6,,88.5,88.5,023,NN,023,Tone->Tone,DV,5.00,,50W,,,,,\r"
                                                "# 2 m\r"
                                                "5,APRS,144.390000,,0.6,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,,,,,\r"
                                                "4,Rep,29.62,+,0.6,TSQL,88.5,100.0,023,NN,023,Tone->Tone,NAM,5.00,P,50W,10m FM,,,,\r"));
        const ProcessRun run = RunCli({"import", "pms", "--csv", "DIR/in.csv"}, dir.path());
        QCOMPARE(Outcome(run).section('|', 0, 1),
                 "3|1 channels imported into " + QDir::toNativeSeparators(dir.filePath("Pms.txt")) + "\n");
        const QString in = QDir::toNativeSeparators(dir.filePath("in.csv"));
        // The texts are the CHIRP reader's unit test's; here each reaches standard error with its line.
        QVERIFY2(run.err.startsWith("vardo-cli: " + in + " line 3: the mode \"DV\" has no equivalent on this radio, left out\n")
                     && run.err.count("vardo-cli: " + in + " line ") == 6, qPrintable(run.err));
        QCOMPARE(FileBytes(dir.filePath("Pms.txt")),
                 QByteArray(kPms).replace(":::::::::band edge\r\n:::::::::\r\n",
                                          ":::::::::band edge\r\n29620.00:AM (env):Thru:6.0K:A:OFF:OFF:0.00:+RPT:Rep - 10m FM\r\n"));
        QCOMPARE(FileBytes(dir.filePath("Pms.bak")), kPms);
    }

    void fileCommandRefused_data()
    {
        QTest::addColumn<QStringList>("args");  // DIR stands for the data folder
        QTest::addColumn<QByteArray>("pms");    // Pms.txt; empty: none, FIFO: a named pipe
        QTest::addColumn<QByteArray>("csv");    // in.csv; empty: none
        QTest::addColumn<QString>("message");   // in standard error; a usage error "(try --help)" has status 2
        const auto print = [](const char* name, const QByteArray& pms, const QString& pdf, const QString& message) {
            QTest::newRow(name) << QStringList{"print", "pms", "--pdf", "DIR/" + pdf} << pms << QByteArray() << message;
        };
        const QString cannot = "Could not write \"DIR/%1\": %2.";
        print("bad line", "7000.00:USB:2.4K\r\n" + kPms, "out.pdf", "line 1");
        print("PDF onto a folder", kPms, "folder", cannot.arg("folder", "it is a folder, not a file"));
        print("PDF onto a backup by another spelling", kPms, "./Pms.bak", cannot.arg("./Pms.bak", "it is the program's own saved file \"Pms.bak\"; choose another name"));
        print("saved file a named pipe", "FIFO", "out.pdf", "Pms.txt\": it is a named pipe, not a file.");
        print("PDF onto a named pipe", kPms, "pipe", cannot.arg("pipe", "it is a named pipe, not a file"));
        print("PDF onto a device", kPms, "null", cannot.arg("null", "it is a device, not a file"));
        QTest::newRow("no --pdf") << QStringList{"print", "pms"} << kPms << QByteArray()
                                  << "vardo-cli: print needs --pdf FILE (try --help)\n";

        const auto import = [](const char* name, const QByteArray& csv, const QByteArray& pms, const QString& message) {
            QTest::newRow(name) << QStringList{"import", "pms", "--csv", "DIR/in.csv"} << pms << csv << message;
        };
        const QString left = "vardo-cli: nothing imported; DIR/Pms.txt was left as it was\n";
        import("every row refused", kHeader + "\r\n1,,144.39,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5W,,,,,\r\n", kPms,
               "vardo-cli: DIR/in.csv line 2: the frequency 144.390000 MHz is outside what the radio can be set to "
               "(0.100000-99.999990 MHz), left out\n" + left);
        import("header only, no saved file", kHeader + "\n", {}, left);
        import("a saved memory file", kPms, kPms,
               "vardo-cli: DIR/in.csv is not a CHIRP CSV file: its first line is not a CHIRP header with Location, Frequency "
               "and Mode columns. Nothing was written.\n");
        import("no such file", {}, kPms, "DIR/in.csv\": No such file or directory.\n");
        import("saved file that cannot be loaded", kHeader + "\r\n1,,7.074,,0,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,5W,,,,,\r\n",
               "14074.00:USB\r\n" + kPms, "Nothing was imported; DIR/Pms.txt was left as it was.\n");
        // Export refuses a target that is no plain file or is the program's own; nothing blocks on a pipe.
        const QList<std::pair<const char*, QString>> targets{{"pipe", "it is a named pipe, not a file"},
                                                             {"link.csv", "it is the program's own saved file \"Pms.txt\""}};
        for (const auto& [target, reason] : targets)
            QTest::newRow(qPrintable(u"export to "_qs + target))
                << QStringList{"export", "pms", "--csv", u"DIR/"_qs + target} << kPms << QByteArray()
                << u"DIR/"_qs + target + "\": " + reason;
    }

    // Whatever stops a print, an import or an export, every node of the data folder keeps its bytes.
    void fileCommandRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, pms);
        QFETCH(QByteArray, csv);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const auto native = [&](const QString& name) { return QFile::encodeName(dir.filePath(name)); };
        QVERIFY(pms == "FIFO" ? ::mkfifo(native("Pms.txt").constData(), 0600) == 0
                              : pms.isEmpty() || PutFile(dir.filePath("Pms.txt"), pms));
        QVERIFY(csv.isEmpty() || PutFile(dir.filePath("in.csv"), csv));
        QVERIFY(PutFile(dir.filePath("Qmb.bak"), "qmb backup") && QDir(dir.path()).mkdir("folder"));
        QVERIFY(::mkfifo(native("pipe").constData(), 0600) == 0);
        QVERIFY(QFile::link(dir.filePath("Pms.txt"), dir.filePath("link.csv")));
        if (::mknod(native("null").constData(), S_IFCHR | 0666, makedev(1, 3)) != 0 && args.join(' ').contains("DIR/null"))
            QSKIP("making a device node needs root");
        const QStringList before = NodeListing(dir.path());
        const auto run = RunCli(args, dir.path());
        QCOMPARE(run.status, message.endsWith("(try --help)\n") ? 2 : 1);
        // Qt may add warnings of its own; the program's line names what went wrong.
        const qsizetype own = run.err.indexOf("vardo-cli: ");
        message.replace("DIR", QDir::toNativeSeparators(dir.path()));
        QVERIFY2(own >= 0 && run.err.indexOf(message, own) >= own, qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(NodeListing(dir.path()), before);
        QVERIFY(QDir(dir.filePath("folder")).isEmpty());
    }
};

QTEST_MAIN(AppE2eTest)
#include "app_e2e_test.moc"
