// vardo-cli print VIEW --pdf FILE as a user runs it: a saved file in a data folder becomes a
// PDF listing whose text, read back with pdftotext, holds every channel line in order with
// its fields in their columns; bad requests end with a message and no PDF.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "channelindex.h"
#include "pdftext.h"

using namespace vardo;
using namespace vardo::test;

Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

constexpr int kRunMs = 60000;

struct Run {
    int exitCode = -1;
    QString err;
};

Run RunCli(const QStringList& arguments, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(qEnvironmentVariable("VARDO_BIN") + QStringLiteral("/vardo-cli"), arguments);
    if (!cli.waitForFinished(kRunMs))
        return {};
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            QString::fromUtf8(cli.readAllStandardError())};
}

// Modes of every length the listing aligns differently, with their first and last columns.
struct ModeAt {
    const char* text;
    int first;
    int last;
};
constexpr ModeAt kModes[] = {{"USB", 18, 20}, {"FM", 19, 20}, {"AM (sync)", 16, 24}, {"CW (usb)", 16, 23},
                             {"RTTY (lsb)", 15, 24}};

// Channel i of a test file: a frequency from 100.00 kHz up, every seventh one masked.
QString Freq(int i) { return QString::number(100 + (i - 1) * 251) + QStringLiteral(".00"); }
bool Masked(ViewKind view, int i) { return view != ViewKind::Qmb && i % 7 == 3; }
const ModeAt& Mode(int i) { return kModes[(i - 1) % std::size(kModes)]; }
QString Comment(int i) { return QStringLiteral("channel %1: net").arg(i); }

void WriteSavedFile(const QString& path, ViewKind view)
{
    QByteArray bytes;
    for (int i = 1; i <= RowCount(view); ++i)
        bytes += (Freq(i) + (Masked(view, i) ? "*" : "") + ':' + QString::fromLatin1(Mode(i).text)
                  + QStringLiteral(":2.4K:2.0K:A:OFF:OFF:0.00:OFF:") + Comment(i) + QStringLiteral("\r\n"))
                     .toUtf8();
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString SavedName(ViewKind view)
{
    static const char* kNames[] = {"AllMem.txt", "99Mem.txt", "Pms.txt", "Qmb.txt"};
    return QString::fromLatin1(kNames[int(view)]);
}

// Characters first..last (counted from 1) of a line.
QString Columns(const QString& line, int first, int last) { return line.mid(first - 1, last - first + 1); }

}  // namespace

class PrintCliTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savedFileBecomesListing_data();
    void savedFileBecomesListing();
    void headlessWithoutDisplay();
    void refusals_data();
    void refusals();
};

void PrintCliTest::savedFileBecomesListing_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("all") << ViewKind::All << "all"
                         << QStringList{"All Memory Channels  (page 1)", "All Memory Channels  (page 2)"};
    QTest::newRow("1-99") << ViewKind::Ch99 << "99"
                          << QStringList{"Memory Channels 1 to 99  (page 1)", "Memory Channels 1 to 99  (page 2)"};
    QTest::newRow("pms") << ViewKind::Pms << "pms" << QStringList{"PMS Memory Channels"};
    QTest::newRow("qmb") << ViewKind::Qmb << "qmb" << QStringList{"QMB Memory Channels"};
}

void PrintCliTest::savedFileBecomesListing()
{
    QFETCH(ViewKind, view);
    QFETCH(QString, word);
    QFETCH(QStringList, titles);
    QTemporaryDir dir;
    WriteSavedFile(dir.filePath(SavedName(view)), view);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));

    const Run run = RunCli({QStringLiteral("print"), word, QStringLiteral("--pdf"), pdf, QStringLiteral("--data-dir"),
                            dir.path()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    const QList<QStringList> pages = ListingPdfPages(pdf);
    QCOMPARE(pages.size(), titles.size());
    QStringList lines;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        QCOMPARE(pages[p].value(0).trimmed(), titles[p]);
        QCOMPARE(pages[p].value(1).mid(90, 8), QStringLiteral("Comments"));
        QCOMPARE(pages[p].value(2).size(), 120);
        lines << pages[p].mid(3);
    }
    if (pages.size() == 2)
        QCOMPARE(pages[0].size() - 3, 57);  // rows 1-57 on page 1

    QCOMPARE(lines.size(), RowCount(view));
    for (int i = 1; i <= RowCount(view); ++i) {
        const QString& line = lines[i - 1];
        const QString label = ChannelLabel(ChannelOfRow(view, i));
        QCOMPARE(Columns(line, 1, 3).trimmed(), label);
        QCOMPARE(Columns(line, 3, 3), label.right(1));
        QCOMPARE(Columns(line, 5, 13).trimmed(), Freq(i));
        QCOMPARE(Columns(line, 13, 13), Freq(i).right(1));
        QCOMPARE(Columns(line, 14, 14), QString(Masked(view, i) ? QStringLiteral("*") : QStringLiteral(" ")));
        const ModeAt& mode = Mode(i);
        QCOMPARE(Columns(line, mode.first, mode.last), QString::fromLatin1(mode.text));
        QCOMPARE(Columns(line, 27, 30), QStringLiteral("2.4K"));
        QCOMPARE(Columns(line, 36, 39), QStringLiteral("2.0K"));
        QCOMPARE(Columns(line, 45, 45), QStringLiteral("A"));
        QCOMPARE(Columns(line, 62, 65), QStringLiteral("0.00"));
        QCOMPARE(Columns(line, 68, 70), QStringLiteral("OFF"));
        QCOMPARE(line.mid(72), Comment(i));
    }
}

void PrintCliTest::headlessWithoutDisplay()
{
    QTemporaryDir dir;
    WriteSavedFile(dir.filePath(SavedName(ViewKind::Pms)), ViewKind::Pms);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    const Run run = RunCli({QStringLiteral("--data-dir"), dir.path(), QStringLiteral("print"), QStringLiteral("pms"),
                            QStringLiteral("--pdf"), pdf},
                           env);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(ListingPdfPages(pdf).value(0).size(), 3 + 9);
}

void PrintCliTest::refusals_data()
{
    QTest::addColumn<QString>("fileText");  // Pms.txt; empty: no file
    QTest::addColumn<QStringList>("arguments");  // before --data-dir; "OUT" stands for the PDF path
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString good = QStringLiteral("7000.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:x\r\n").repeated(9);
    const QStringList pms{"print", "pms", "--pdf", "OUT"};
    QTest::newRow("never saved") << "" << pms << 1 << "has never been saved";
    QTest::newRow("first row empty") << QString(9, QLatin1Char(':')) + QStringLiteral("\r\n") + good << pms << 1 << "Nothing to print!";
    QTest::newRow("bad line") << QStringLiteral("7000.00:USB:2.4K\r\n") + good << pms << 1 << "line 1";
    QTest::newRow("unknown view") << good << QStringList{"print", "vfo", "--pdf", "OUT"} << 2 << "VIEW";
    QTest::newRow("no view") << good << QStringList{"print", "--pdf", "OUT"} << 2 << "VIEW";
    QTest::newRow("no pdf") << good << QStringList{"print", "pms"} << 2 << "--pdf";
    QTest::newRow("unwritable pdf") << good << QStringList{"print", "pms", "--pdf", "OUT/missing/out.pdf"} << 1
                                    << "could not be started";
}

void PrintCliTest::refusals()
{
    QFETCH(QString, fileText);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    if (!fileText.isEmpty()) {
        QFile file(dir.filePath(SavedName(ViewKind::Pms)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fileText.toUtf8());
    }
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    arguments.replaceInStrings(QStringLiteral("OUT"), pdf);
    const Run run = RunCli(arguments + QStringList{QStringLiteral("--data-dir"), dir.path()});
    QCOMPARE(run.exitCode, exitCode);
    // Qt may add its own warnings; the program's own line names what went wrong.
    const qsizetype own = run.err.indexOf(QStringLiteral("vardo-cli: "));
    QVERIFY2(own >= 0 && run.err.indexOf(message, own) > own, qPrintable(run.err));
    QVERIFY(!QFile::exists(pdf));
}

QTEST_MAIN(PrintCliTest)
#include "print_cli_test.moc"
