// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli print VIEW --pdf FILE as a user runs it, without any display: a saved file becomes
// a PDF listing whose text, read back with pdftotext, holds every channel line in order with
// its fields in their columns; a bad request (a saved file that is a pipe, a PDF that cannot be
// written) ends with a message that says why, and no PDF.

#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

#include "filebytes.h"
#include "pdftext.h"
#include "processrun.h"
#include "savedfilenames.h"

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

// Modes of every width the listing aligns differently, with the column each one starts on.
constexpr std::pair<const char*, int> kModes[] = {{"USB", 18}, {"FM", 19}, {"AM (sync)", 16}, {"CW (usb)", 16},
                                                  {"RTTY (lsb)", 15}};

// Channel i of a test file: a frequency from 100.00 kHz up, every seventh one masked.
QString Freq(int i) { return QString::number(100 + (i - 1) * 251) + ".00"; }
bool Masked(ViewKind view, int i) { return view != ViewKind::Qmb && i % 7 == 3; }
const std::pair<const char*, int>& Mode(int i) { return kModes[(i - 1) % std::size(kModes)]; }
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

QByteArray SavedFile(ViewKind view)
{
    QString text;
    for (int i = 1; i <= RowCount(view); ++i)
        text += Freq(i) + (Masked(view, i) ? "*:" : ":") + Mode(i).first + ":2.4K:2.0K:A:OFF:OFF:0.00:OFF:" + Comment(i)
            + "\r\n";
    return text.toUtf8();
}

}  // namespace

class PrintCliTest : public QObject {
    Q_OBJECT
private slots:
    void listing_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("title");
        QTest::newRow("all") << ViewKind::All << "all" << "All Memory Channels  (page %1)";
        QTest::newRow("99") << ViewKind::Ch99 << "99" << "Memory Channels 1 to 99  (page %1)";
        QTest::newRow("pms") << ViewKind::Pms << "pms" << "PMS Memory Channels";
        QTest::newRow("qmb") << ViewKind::Qmb << "qmb" << "QMB Memory Channels";
    }
    void listing()
    {
        QFETCH(ViewKind, view);
        QFETCH(QString, word);
        QFETCH(QString, title);
        QTemporaryDir dir;
        QVERIFY(PutFile(dir.filePath(SavedFileName(view)), SavedFile(view)));
        const auto run = RunCli({"print", word, "--pdf", "DIR/out.pdf"}, dir.path());
        QVERIFY2(run.status == 0, qPrintable(run.err));

        const QList<QStringList> pages = ListingPdfPages(dir.filePath("out.pdf"));
        QCOMPARE(pages.size(), RowCount(view) > 57 ? 2 : 1);
        QCOMPARE(pages[0].size() - 3, std::min(57, RowCount(view)));
        QStringList lines;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            QCOMPARE(pages[p].value(0).trimmed(), title.contains('%') ? title.arg(p + 1) : title);
            QCOMPARE(pages[p].value(1).mid(90), QStringLiteral("Comments"));
            QCOMPARE(pages[p].value(2).size(), 120);
            lines << pages[p].mid(3);
        }
        QCOMPARE(lines.size(), RowCount(view));
        for (int i = 1; i <= RowCount(view); ++i) {
            const auto& [mode, modeColumn] = Mode(i);
            const std::tuple<int, QString> fields[] = {
                {1, ChannelLabel(ChannelOfRow(view, i)).rightJustified(3)},
                {5, Freq(i).rightJustified(9) + (Masked(view, i) ? "*" : " ")},
                {modeColumn, QString(mode).leftJustified(25 - modeColumn)},
                {25, "  2.4K     2.0K     A    OFF   OFF   0.00  OFF  " + Comment(i)}};
            for (const auto& [first, text] : fields)
                QCOMPARE(lines[i - 1].mid(first - 1, text.size()), text);
            QCOMPARE(lines[i - 1].size(), 72 + Comment(i).size());
        }
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("pms");  // Pms.txt; empty: no file
        // Made before the run, in DIR: "pipe NAME", "folder NAME", "read-only NAME", "device NAME",
        // "link NAME TARGET"
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QByteArray good = QByteArray("7000.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:x\r\n").repeated(9);
        const auto print = [](const QString& pdf) { return QStringList{"print", "pms", "--pdf", "DIR/" + pdf}; };
        const QString cannot = "Could not write \"DIR/%1\": %2.";
        const QString own = "it is the program's own saved file \"%1\"; choose another name";
        QTest::newRow("never saved") << QByteArray() << "" << print("out.pdf") << 1 << "has never been saved";
        QTest::newRow("first row empty") << ":::::::::\r\n" + good << "" << print("out.pdf") << 1 << "Nothing to print!";
        QTest::newRow("bad line") << "7000.00:USB:2.4K\r\n" + good << "" << print("out.pdf") << 1 << "line 1";
        QTest::newRow("PDF in a missing folder") << good << "" << print("no/out.pdf") << 1
                                                 << cannot.arg("no/out.pdf", "No such file or directory");
        QTest::newRow("PDF onto a folder") << good << "folder out.pdf" << print("out.pdf") << 1
                                           << cannot.arg("out.pdf", "it is a folder, not a file");
        QTest::newRow("PDF in a read-only folder") << good << "read-only ro" << print("ro/out.pdf") << 1
                                                   << cannot.arg("ro/out.pdf", "Permission denied");
        QTest::newRow("PDF onto the saved file") << good << "" << print("Pms.txt") << 1
                                                 << cannot.arg("Pms.txt", own.arg("Pms.txt"));
        QTest::newRow("PDF onto a backup by another spelling") << good << "" << print("./Pms.bak") << 1
                                                               << cannot.arg("./Pms.bak", own.arg("Pms.bak"));
        QTest::newRow("PDF onto a link to a saved file") << good << "link out.pdf AllMem.txt" << print("out.pdf") << 1
                                                         << cannot.arg("out.pdf", own.arg("AllMem.txt"));
        QTest::newRow("no --pdf") << good << "" << QStringList{"print", "pms"} << 2 << "--pdf";
#ifdef Q_OS_UNIX
        QTest::newRow("saved file a named pipe") << QByteArray() << "pipe Pms.txt" << print("out.pdf") << 1
                                                 << "Pms.txt\": it is a named pipe, not a file.";
        QTest::newRow("PDF onto a named pipe") << good << "pipe out.pdf" << print("out.pdf") << 1
                                               << cannot.arg("out.pdf", "it is a named pipe, not a file");
        QTest::newRow("PDF onto a device") << good << "device out.pdf" << print("out.pdf") << 1
                                           << cannot.arg("out.pdf", "it is a device, not a file");
#endif
    }
    void refused()
    {
        QFETCH(QByteArray, pms);
        QFETCH(QString, setup);
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir dir;
        if (!pms.isEmpty())
            QVERIFY(PutFile(dir.filePath("Pms.txt"), pms));
        const QString what = setup.section(' ', 0, 0);
        const QString node = dir.filePath(setup.section(' ', 1, 1));
        if (what == "folder" || what == "read-only")
            QVERIFY(QDir().mkdir(node));
        if (what == "read-only") {
            QVERIFY(QFile::setPermissions(node, QFile::ReadOwner | QFile::ExeOwner));
            if (PutFile(node + "/probe", "x"))
                QSKIP("a read-only folder is still writable for this user (root)");
        }
        if (what == "link")
            QVERIFY(QFile::link(setup.section(' ', 2, 2), node));
#ifdef Q_OS_UNIX
        if (what == "pipe")
            QVERIFY(::mkfifo(QFile::encodeName(node).constData(), 0600) == 0);
        // The character device /dev/full, made in the test's own folder.
        if (what == "device" && ::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            QSKIP("making a device node needs root");
#endif
        const QStringList before = NodeListing(dir.path());
        const auto run = RunCli(arguments, dir.path());
        QTEST(run.status, "exitCode");
        // Qt may add warnings of its own; the program's line names what went wrong.
        const qsizetype own = run.err.indexOf("vardo-cli: ");
        message.replace("DIR", dir.path());
        QVERIFY2(own >= 0 && run.err.indexOf(message, own) > own, qPrintable(run.err));
        // Nothing made, removed or replaced: every node is still what it was, with its bytes.
        QCOMPARE(NodeListing(dir.path()), before);
    }
};

QTEST_MAIN(PrintCliTest)
#include "print_cli_test.moc"
