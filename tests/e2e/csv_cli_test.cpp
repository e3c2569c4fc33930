// SPDX-License-Identifier: GPL-3.0-or-later
// vardo-cli export and import through the real program: its exit statuses, its messages and
// the files it leaves (and the ones it must leave alone).
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "filebytes.h"
#include "processrun.h"

using namespace vardo::test;

namespace {

QString Cli()
{
    return qEnvironmentVariable("VARDO_BIN") + QStringLiteral("/vardo-cli");
}

// The kind of node at `path` (file, folder, pipe, device, link), as the system sees it.
mode_t NodeKind(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

ProcessRun Run(const QTemporaryDir& dir, const QStringList& args)
{
    return RunProcess(Cli(), QStringList{"--data-dir", dir.path()} + args);
}

// A Pms.txt with two channels (a masked one with a comma in its comment), a comment without a
// channel and empty rows.
const QByteArray kPms = "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8, \"20m\"\r\n"
                        "29620.00*:FM:Thru:6.0K:A:OFF:OFF:0.00:-RPT:repeater\r\n"
                        ":::::::::band edge\r\n"
                        ":::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n";
const QByteArray kHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                           "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

}  // namespace

class CsvCliTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportThenImport();
    void importMergesAndNamesEveryChange();
    void nothingWritten_data();
    void nothingWritten();
    void exportRefusesTarget_data();
    void exportRefusesTarget();
};

// Export names the comment it cannot carry; import of the export gives the same saved file,
// and leaves the backup as it was since there is nothing new to save.
void CsvCliTest::exportThenImport()
{
    QTemporaryDir dir;
    QVERIFY(PutFile(dir.filePath("Pms.txt"), kPms));
    QVERIFY(PutFile(dir.filePath("Pms.bak"), "older"));
    const QString csvPath = dir.filePath("pms.csv");
    const ProcessRun exported = Run(dir, {"export", "pms", "--csv", csvPath});
    QCOMPARE(exported.status, 3);
    QCOMPARE(exported.out, QStringLiteral("2 channels exported to %1\n").arg(QDir::toNativeSeparators(csvPath)));
    QCOMPARE(exported.err, QStringLiteral("vardo-cli: P3 \"band edge\": it has a comment but no frequency, so %1 has no row for it\n")
                               .arg(QDir::toNativeSeparators(csvPath)));
    QCOMPARE(FileBytes(csvPath),
             kHeader + "\r\n1,\"FT8, \"\"20m\"\"\",14.074000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,100W,\"FT8, \"\"20m\"\"\",,,,\r\n"
                       "2,repeater,29.620000,-,0.100000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,100W,repeater,,,,\r\n");

    const ProcessRun imported = Run(dir, {"import", "pms", "--csv", csvPath});
    QCOMPARE(imported.status, 0);
    QCOMPARE(imported.err, QString());
    QCOMPARE(FileBytes(dir.filePath("Pms.txt")), kPms);
    QCOMPARE(FileBytes(dir.filePath("Pms.bak")), QByteArray("older"));
}

// A CHIRP file replaces only the channels its taken rows name; each value it changes and each
// row it leaves out is named, and the status says the import was partial.
void CsvCliTest::importMergesAndNamesEveryChange()
{
    QTemporaryDir dir;
    QVERIFY(PutFile(dir.filePath("Pms.txt"), kPms));
    QVERIFY(PutFile(dir.filePath("in.csv"), "# CHIRP export\r" + kHeader + "\r"
                                            "1,DV,14.2,,0.6,,88.5,88.5,023,NN,023,Tone->Tone,DV,5.00,,50W,,,,,\r"
                                            "# 2 m\r"
                                            "5,APRS,144.390000,,0.6,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,50W,,,,,\r"
                                            "4,Rep,29.62,+,0.6,TSQL,88.5,100.0,023,NN,023,Tone->Tone,NAM,5.00,P,50W,10m FM,,,,\r"));
    const ProcessRun run = Run(dir, {"import", "pms", "--csv", dir.filePath("in.csv")});
    QCOMPARE(run.status, 3);
    const QString in = QDir::toNativeSeparators(dir.filePath("in.csv"));
    QCOMPARE(run.err, QStringLiteral("vardo-cli: %1 line 3: the mode \"DV\" has no equivalent on this radio, left out\n"
                                     "vardo-cli: %1 line 5: the frequency 144.390000 MHz is outside what the radio can be set "
                                     "to (0.100000-99.999990 MHz), left out\n"
                                     "vardo-cli: %1 line 6: the mode \"NAM\" was taken as AM (env)\n"
                                     "vardo-cli: %1 line 6: the duplex offset 0.6 MHz was taken as the radio's repeater shift, 0.100000 MHz\n"
                                     "vardo-cli: %1 line 6: the tone mode \"TSQL\" was dropped: a channel here holds no tone\n"
                                     "vardo-cli: %1 line 6: the Skip \"P\" was taken as not skipped\n")
                          .arg(in));
    QCOMPARE(run.out, QStringLiteral("1 channels imported into %1\n").arg(QDir::toNativeSeparators(dir.filePath("Pms.txt"))));
    QCOMPARE(FileBytes(dir.filePath("Pms.txt")),
             QByteArray(kPms).replace(":::::::::band edge\r\n:::::::::\r\n",
                                      ":::::::::band edge\r\n29620.00:AM (env):Thru:6.0K:A:OFF:OFF:0.00:+RPT:Rep - 10m FM\r\n"));
    QCOMPARE(FileBytes(dir.filePath("Pms.bak")), kPms);
}

void CsvCliTest::nothingWritten_data()
{
    QTest::addColumn<QByteArray>("csv");    // empty: no such file
    QTest::addColumn<QByteArray>("saved");  // empty: no saved file
    QTest::addColumn<QString>("says");      // the end of standard error; %1 the saved file, %2 the CSV
    const QByteArray refused = "1,,144.39,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,5W,,,,,\r\n";
    QTest::newRow("every row refused") << kHeader + "\r\n" + refused << kPms
        << "vardo-cli: %2 line 2: the frequency 144.390000 MHz is outside what the radio can be set to "
           "(0.100000-99.999990 MHz), left out\nvardo-cli: nothing imported; %1 was left as it was\n";
    QTest::newRow("header only, CR line ends") << kHeader + "\r" << kPms << "vardo-cli: nothing imported; %1 was left as it was\n";
    QTest::newRow("header only, no saved file") << kHeader + "\n" << QByteArray() << "vardo-cli: nothing imported; %1 was left as it was\n";
    QTest::newRow("a saved memory file") << kPms << kPms
        << "vardo-cli: %2 is not a CHIRP CSV file: its first line is not a CHIRP header with Location, Frequency and Mode "
           "columns. Nothing was written.\n";
    QTest::newRow("no such file") << QByteArray() << kPms << "%2\": No such file or directory.\n";
    QTest::newRow("saved file that cannot be loaded")
        << kHeader + "\r\n1,,7.074,,0,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,5W,,,,,\r\n"
        << QByteArray("14074.00:USB\r\n") + kPms << "Nothing was imported; %1 was left as it was.\n";
}

// Whatever stops an import, nothing in the data folder changes and the status is 1.
void CsvCliTest::nothingWritten()
{
    QFETCH(QByteArray, csv);
    QFETCH(QByteArray, saved);
    QFETCH(QString, says);
    QTemporaryDir dir;
    if (!saved.isEmpty())
        QVERIFY(PutFile(dir.filePath("Pms.txt"), saved));
    if (!csv.isEmpty())
        QVERIFY(PutFile(dir.filePath("in.csv"), csv));
    const QStringList before = FileListing(dir.path());
    const ProcessRun run = Run(dir, {"import", "pms", "--csv", dir.filePath("in.csv")});
    QCOMPARE(run.status, 1);
    const QString expected = QString(says)
                                 .replace("%1", QDir::toNativeSeparators(dir.filePath("Pms.txt")))
                                 .replace("%2", QDir::toNativeSeparators(dir.filePath("in.csv")));
    QVERIFY2(run.err.endsWith(expected), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(FileListing(dir.path()), before);
    if (!saved.isEmpty())
        QCOMPARE(FileBytes(dir.filePath("Pms.txt")), saved);
}

void CsvCliTest::exportRefusesTarget_data()
{
    QTest::addColumn<QString>("target");  // inside the data folder, made by the test
    QTest::addColumn<QString>("reason");
    QTest::newRow("named pipe") << "pipe" << "it is a named pipe, not a file";
    QTest::newRow("folder") << "folder" << "it is a folder, not a file";
    QTest::newRow("device") << "null" << "it is a device, not a file";
    QTest::newRow("the view's file through a link") << "link.csv" << "it is the program's own saved file \"Pms.txt\"";
    QTest::newRow("the view's file spelt otherwise") << "folder/../././Pms.txt" << "it is the program's own saved file \"Pms.txt\"";
    QTest::newRow("a backup") << "Qmb.bak" << "it is the program's own saved file \"Qmb.bak\"";
}

// Export refuses, before it writes anything, a target that is not a plain file or that is one
// of the program's own files; the target stays what it was, and nothing blocks.
void CsvCliTest::exportRefusesTarget()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(PutFile(dir.filePath("Pms.txt"), kPms));
    QVERIFY(PutFile(dir.filePath("Qmb.bak"), "qmb backup"));
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
    QVERIFY(QFile::link(dir.filePath("Pms.txt"), dir.filePath("link.csv")));
    if (target == "null") {
        if (::geteuid() != 0)
            QSKIP("making a device node needs root");
        QCOMPARE(::mknod(QFile::encodeName(dir.filePath("null")).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    const QStringList before = FileListing(dir.path());
    const mode_t kind = NodeKind(dir.filePath(target));
    const ProcessRun run = Run(dir, {"export", "pms", "--csv", dir.filePath(target)});  // bounded: a pipe cannot hang it
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.startsWith("vardo-cli: ") && run.err.contains(reason) && run.err.contains(target), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(FileListing(dir.path()), before);
    QCOMPARE(FileBytes(dir.filePath("Pms.txt")), kPms);
    QCOMPARE(FileBytes(dir.filePath("Qmb.bak")), QByteArray("qmb backup"));
    QCOMPARE(NodeKind(dir.filePath(target)), kind);
    QCOMPARE(NodeKind(dir.filePath("link.csv")), mode_t(S_IFLNK));
    QVERIFY(QDir(dir.filePath("folder")).isEmpty());
}

QTEST_GUILESS_MAIN(CsvCliTest)
#include "csv_cli_test.moc"
