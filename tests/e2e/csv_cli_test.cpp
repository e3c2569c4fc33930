// vardo-cli export and import: a view's saved file as CHIRP CSV and back through the real
// program, with its exit statuses, its messages and the files it leaves.
#include <QtTest>

#include "filebytes.h"
#include "processrun.h"

using namespace vardo::test;

namespace {

QString Cli()
{
    return qEnvironmentVariable("VARDO_BIN") + QStringLiteral("/vardo-cli");
}

// A Pms.txt with two channels, a masked one with a comma in its comment, and empty rows.
const QByteArray kPms = "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8, \"20m\"\r\n"
                        "29620.00*:FM:Thru:6.0K:A:OFF:OFF:0.00:-RPT:repeater\r\n"
                        ":::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n";

}  // namespace

class CsvCliTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportThenImport();
    void importLeavesOutWhatTheRadioCannotHold();
    void refusedFileTouchesNothing_data();
    void refusedFileTouchesNothing();
};

// Export then import gives the same saved file back; the old file becomes the backup.
void CsvCliTest::exportThenImport()
{
    QTemporaryDir dir;
    QVERIFY(PutFile(dir.filePath("Pms.txt"), kPms));
    const ProcessRun exported = RunProcess(Cli(), {"--data-dir", dir.path(), "export", "pms", "--csv", dir.filePath("pms.csv")});
    QCOMPARE(exported.status, 0);
    QVERIFY2(exported.out.startsWith("2 channels exported to "), qPrintable(exported.out));
    const QByteArray csv = FileBytes(dir.filePath("pms.csv"));
    QVERIFY(csv.contains("\r\n1,\"FT8, \"\"20m\"\"\",14.074000,,0.000000,"));
    QVERIFY(csv.contains("\r\n2,repeater,29.620000,-,0.100000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,,repeater,,,,\r\n"));

    const ProcessRun imported = RunProcess(Cli(), {"--data-dir", dir.path(), "import", "pms", "--csv", dir.filePath("pms.csv")});
    QCOMPARE(imported.status, 0);
    QCOMPARE(imported.err, QString());
    QCOMPARE(FileBytes(dir.filePath("Pms.txt")), kPms);
    QCOMPARE(FileBytes(dir.filePath("Pms.bak")), kPms);
}

// Rows the radio cannot hold are named with their line and left out, the rest is saved and
// the status says the import was partial.
void CsvCliTest::importLeavesOutWhatTheRadioCannotHold()
{
    QTemporaryDir dir;
    QVERIFY(PutFile(dir.filePath("in.csv"), "Location,Name,Frequency,Duplex,Mode,Skip,Comment\n"
                                            "1,Beacon,28.2,,CW,,\n2,APRS,144.390,,FM,,\n3,M17,14.2,,M17,,\n"));
    const ProcessRun run = RunProcess(Cli(), {"--data-dir", dir.path(), "import", "qmb", "--csv", dir.filePath("in.csv")});
    QCOMPARE(run.status, 3);
    const QString in = QDir::toNativeSeparators(dir.filePath("in.csv"));
    QCOMPARE(run.err, QStringLiteral("vardo-cli: %1 line 3: the frequency 144.390000 MHz is outside the radio's 0.1-30 MHz, left out\n"
                                     "vardo-cli: %1 line 4: the mode \"M17\" has no equivalent on this radio, left out\n")
                          .arg(in));
    QCOMPARE(FileBytes(dir.filePath("Qmb.txt")),
             QByteArray("28200.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:Beacon\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n"));
}

void CsvCliTest::refusedFileTouchesNothing_data()
{
    QTest::addColumn<QByteArray>("content");  // empty: no such file
    QTest::addColumn<QString>("says");
    QTest::newRow("a saved memory file") << kPms << "is not a CHIRP CSV file";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << "is not a CHIRP CSV file: it is not a text file";
    QTest::newRow("no such file") << QByteArray() << "in.csv";
}

// A file that is not CSV of this kind: status 1, a message, and the saved file and its
// folder as they were.
void CsvCliTest::refusedFileTouchesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, says);
    QTemporaryDir dir;
    QVERIFY(PutFile(dir.filePath("Pms.txt"), kPms));
    if (!content.isEmpty())
        QVERIFY(PutFile(dir.filePath("in.csv"), content));
    const QStringList before = FileListing(dir.path());
    const ProcessRun run = RunProcess(Cli(), {"--data-dir", dir.path(), "import", "pms", "--csv", dir.filePath("in.csv")});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(says), qPrintable(run.err));
    QCOMPARE(FileBytes(dir.filePath("Pms.txt")), kPms);
    QCOMPARE(FileListing(dir.path()), before);
}

QTEST_GUILESS_MAIN(CsvCliTest)
#include "csv_cli_test.moc"
