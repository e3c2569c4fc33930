// Save and upgrade when the disk says no: a full file system, a read-only directory, missing
// permissions, a save killed at each step, and failures injected into single system calls.
// After every failure the files are byte for byte as they were; after every kill the saved
// file and its backup are each whole, old or new.
//
// The save runs in files_savetool, in another process: inside a mount namespace of its own
// (unshare -rm, or plain mount when running as root without one), as user "nobody" through
// setpriv when running as root, or under strace.

#include <QtTest>

#include "filebytes.h"

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace vardo::test;

namespace {

// 113 lines of about 6 kB: two pages of a tmpfs.
QByteArray Content(const char* tag)
{
    QByteArray bytes;
    for (int i = 1; i <= 113; ++i)
        bytes += QByteArray::number(7000 + i) + ".00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:" + tag + " line\r\n";
    return bytes;
}

struct Run {
    int status = -1;
    bool crashed = false;
    QString stderrText;
};

Run Execute(const QString& program, const QStringList& args, const QStringList& env = {})
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& kv : env)
        e.insert(kv.section('=', 0, 0), kv.section('=', 1));
    p.setProcessEnvironment(e);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        p.kill();
    return {p.exitCode(), p.exitStatus() == QProcess::CrashExit, QString::fromUtf8(p.readAllStandardError())};
}

enum class MountMode { None, Unshare, Root };

}  // namespace

class TestFilesFailures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void fullDisk_data();
    void fullDisk();
    void readOnlyDirectory_data();
    void readOnlyDirectory();
    void permission_data();
    void permission();
    void killed_data();
    void killed();
    void injected_data();
    void injected();

private:
    // Runs a shell script where it may mount; D, FIX, OUT and TOOL are set for it.
    Run mounted(const QString& script, const QStringList& env = {});
    void putFixtures(const QString& dir, bool txt, bool bak);
    QString save(const QString& dir) const;

    QString m_tool;
    MountMode m_mount = MountMode::None;
    QString m_mountWhyNot;
    bool m_root = false;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_d, m_fix, m_out;
};

void TestFilesFailures::initTestCase()
{
    m_tool = QCoreApplication::applicationDirPath() + "/files_savetool";
    QVERIFY2(QFileInfo(m_tool).isExecutable(), qPrintable(m_tool));
    m_root = ::getuid() == 0;
    init();
    const QString probe = u"mount -t tmpfs -o size=16k tmpfs \"$D\"; umount \"$D\""_s;
    m_mount = MountMode::Unshare;
    const Run viaUnshare = mounted(probe);
    if (viaUnshare.status == 0 && !viaUnshare.crashed)
        return;
    m_mount = MountMode::Root;
    const Run direct = m_root ? mounted(probe) : Run{};
    if (m_root && direct.status == 0)
        return;
    m_mount = MountMode::None;
    m_mountWhyNot = "cannot mount: unshare -rm said \"" + viaUnshare.stderrText.trimmed() + "\""
        + (m_root ? ", mount as root said \"" + direct.stderrText.trimmed() + "\"" : ", and not running as root");
}

void TestFilesFailures::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    // "nobody" must reach the files when the tool runs without privileges.
    QFile::setPermissions(m_tmp->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                             | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    m_d = m_tmp->filePath("data");
    m_fix = m_tmp->filePath("fixtures");
    m_out = m_tmp->filePath("out");
    for (const QString& dir : {m_d, m_fix, m_out})
        QVERIFY(QDir().mkpath(dir));
    QVERIFY(PutFile(m_fix + "/new", Content("new")));
    QVERIFY(PutFile(m_fix + "/AllMem.txt", Content("old")));
    QVERIFY(PutFile(m_fix + "/AllMem.bak", Content("previous")));
}

Run TestFilesFailures::mounted(const QString& script, const QStringList& env)
{
    const QStringList vars = QStringList{"D=" + m_d, "FIX=" + m_fix, "OUT=" + m_out, "TOOL=" + m_tool} + env;
    // Unmounts even when the script fails half-way (only needed outside a namespace).
    const QString body = u"trap 'umount \"$D\" 2>/dev/null || true' EXIT\n"_s + script;
    if (m_mount == MountMode::Unshare)
        return Execute("unshare", {"-rm", "sh", "-ec", body}, vars);
    return Execute("sh", {"-ec", body}, vars);
}

void TestFilesFailures::putFixtures(const QString& dir, bool txt, bool bak)
{
    if (txt)
        QVERIFY(QFile::copy(m_fix + "/AllMem.txt", dir + "/AllMem.txt"));
    if (bak)
        QVERIFY(QFile::copy(m_fix + "/AllMem.bak", dir + "/AllMem.bak"));
}

QString TestFilesFailures::save(const QString& dir) const
{
    return QStringList{"\"$TOOL\"", "save", dir, "all", "\"$FIX/new\""}.join(' ');
}

void TestFilesFailures::fullDisk_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("bak");
    QTest::newRow("no room for the new file") << "16k" << true;
    QTest::newRow("room for the new file, not for the backup") << "24k" << true;
    QTest::newRow("no backup yet, no room for it") << "16k" << false;
}

void TestFilesFailures::fullDisk()
{
    if (m_mount == MountMode::None)
        QSKIP(qPrintable(m_mountWhyNot));
    QFETCH(QString, size);
    QFETCH(bool, bak);
    const QString script = u"mount -t tmpfs -o size=$SIZE tmpfs \"$D\"\n"
                           "cp \"$FIX/AllMem.txt\" \"$D\"/\n"
                           "if [ \"$BAK\" = 1 ]; then cp \"$FIX/AllMem.bak\" \"$D\"/; fi\n"
                           "status=0; \"$TOOL\" save \"$D\" all \"$FIX/new\" 2>\"$OUT/message\" || status=$?\n"
                           "echo $status >\"$OUT/status\"\n"
                           "ls -A \"$D\" >\"$OUT/listing\"\n"
                           "cp \"$D\"/AllMem.* \"$OUT\"/\n"_s;
    const Run run = mounted(script, {"SIZE=" + size, QStringLiteral("BAK=%1").arg(bak ? 1 : 0)});
    QVERIFY2(run.status == 0, qPrintable(run.stderrText));
    QCOMPARE(FileBytes(m_out + "/status"), QByteArray("1\n"));
    const QString message = QString::fromUtf8(FileBytes(m_out + "/message"));
    QVERIFY2(message.startsWith("Could not write \"" + m_d + "/AllMem."), qPrintable(message));
    QVERIFY2(message.contains("No space left on device"), qPrintable(message));
    QVERIFY2(message.contains("The saved file and its backup are as they were."), qPrintable(message));
    QCOMPARE(FileBytes(m_out + "/AllMem.txt"), Content("old"));
    QCOMPARE(FileBytes(m_out + "/AllMem.bak"), bak ? Content("previous") : QByteArray("<missing>"));
    QCOMPARE(FileBytes(m_out + "/listing"), bak ? QByteArray("AllMem.bak\nAllMem.txt\n") : QByteArray("AllMem.txt\n"));
}

void TestFilesFailures::readOnlyDirectory_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("txt");
    QTest::addColumn<QString>("message");
    QTest::newRow("save over a saved file") << "save" << true
                                            << "Could not write \"%1/AllMem.txt\": Existing file %1/AllMem.txt "
                                               "is not writable. The saved file and its backup are as they were.\n";
    QTest::newRow("first save") << "save" << false
                                << "Could not write \"%1/AllMem.txt\": Read-only file system. "
                                   "The saved file and its backup are as they were.\n";
    QTest::newRow("upgrade") << "upgrade" << true << "Could not write \"%1/Temp.txt\": Read-only file system.\n";
}

void TestFilesFailures::readOnlyDirectory()
{
    if (m_mount == MountMode::None)
        QSKIP(qPrintable(m_mountWhyNot));
    QFETCH(QString, command);
    QFETCH(bool, txt);
    QFETCH(QString, message);
    putFixtures(m_d, txt, true);
    const QByteArray before = command == "upgrade" ? QByteArray("7000.00,USB,,,,,,0.00,,\r\n").repeated(113)
                                                   : Content("old");
    if (txt)
        QVERIFY(PutFile(m_d + "/AllMem.txt", before));
    const QString act = command == "upgrade" ? u"\"$TOOL\" upgrade \"$D\""_s : save(u"\"$D\""_s);
    const QString script = u"mount --bind \"$D\" \"$D\"\nmount -o remount,bind,ro \"$D\"\n"
                           "status=0; "_s + act + u" 2>\"$OUT/message\" || status=$?\necho $status >\"$OUT/status\"\n"_s;
    const Run run = mounted(script);
    QVERIFY2(run.status == 0, qPrintable(run.stderrText));
    QCOMPARE(FileBytes(m_out + "/status"), QByteArray("1\n"));
    QCOMPARE(QString::fromUtf8(FileBytes(m_out + "/message")), message.arg(m_d));
    QCOMPARE(FileBytes(m_d + "/AllMem.txt"), txt ? before : QByteArray("<missing>"));
    QCOMPARE(FileBytes(m_d + "/AllMem.bak"), Content("previous"));
    QCOMPARE(FileListing(m_d), txt ? QStringList({"AllMem.bak", "AllMem.txt"}) : QStringList{"AllMem.bak"});
}

void TestFilesFailures::permission_data()
{
    QTest::addColumn<bool>("dirWritable");
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<bool>("fileReadable");
    QTest::addColumn<QString>("message");
    const QString unchanged = " The saved file and its backup are as they were.\n";
    QTest::newRow("directory and saved file not writable")
        << false << false << true
        << "Could not write \"%1/AllMem.txt\": Existing file %1/AllMem.txt is not writable." + unchanged;
    QTest::newRow("directory not writable") << false << true << true
                                            << "Could not write \"%1/AllMem.txt\": Permission denied." + unchanged;
    QTest::newRow("saved file not readable") << true << true << false
                                             << "Could not read \"%1/AllMem.txt\": Permission denied." + unchanged;
}

void TestFilesFailures::permission()
{
    QFETCH(bool, dirWritable);
    QFETCH(bool, fileWritable);
    QFETCH(bool, fileReadable);
    QFETCH(QString, message);
    putFixtures(m_d, true, true);
    const auto read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    const auto exec = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(m_d, read | exec | (dirWritable ? write : QFile::Permissions())));
    QVERIFY(QFile::setPermissions(m_d + "/AllMem.txt", (fileReadable ? read : QFile::Permissions())
                                                           | (fileWritable ? write : QFile::Permissions())));
    // Root ignores file modes, so the tool runs as "nobody" then.
    QStringList command{m_tool, "save", m_d, "all", m_fix + "/new"};
    if (m_root)
        command = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + command;
    const Run run = Execute(m_root ? "setpriv" : m_tool, m_root ? command : command.mid(1));
    QVERIFY(QFile::setPermissions(m_d, read | write | exec));
    QVERIFY(QFile::setPermissions(m_d + "/AllMem.txt", QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(run.status, 1);
    QCOMPARE(run.stderrText, message.arg(m_d));
    QCOMPARE(FileBytes(m_d + "/AllMem.txt"), Content("old"));
    QCOMPARE(FileBytes(m_d + "/AllMem.bak"), Content("previous"));
    QCOMPARE(FileListing(m_d), QStringList({"AllMem.bak", "AllMem.txt"}));
}

void TestFilesFailures::killed_data()
{
    QTest::addColumn<bool>("txt");
    QTest::addColumn<bool>("bak");
    QTest::addColumn<QString>("inject");

    // The system calls of a save, in order: the new file's data and the backup's data are
    // written (write, write); the backup is synced, linked in under a temporary name and
    // renamed over the old backup (fdatasync, linkat x2, rename); then the same for the
    // saved file. Without a previous file the first linkat puts it in place at once.
    const QStringList withBoth{"write:1", "write:2", "fdatasync:1", "linkat:1", "linkat:2", "rename:1",
                               "fdatasync:2", "linkat:3", "linkat:4", "rename:2"};
    for (const QString& step : withBoth)
        QTest::addRow("saved file and backup, killed at %s", qPrintable(step)) << true << true << step;
    for (const QString& step : {"write:2", "linkat:1", "fdatasync:2", "linkat:2", "linkat:3", "rename:1"})
        QTest::addRow("no backup yet, killed at %s", qPrintable(step)) << true << false << QString(step);
    for (const QString& step : {"write:1", "fdatasync:1", "linkat:1"})
        QTest::addRow("first save, killed at %s", qPrintable(step)) << false << false << QString(step);
}

void TestFilesFailures::killed()
{
    if (Execute("strace", {"-f", "-qq", "-o", "/dev/null", "true"}).status != 0)
        QSKIP("strace cannot trace here (is ptrace allowed?)");
    QFETCH(bool, txt);
    QFETCH(bool, bak);
    QFETCH(QString, inject);
    putFixtures(m_d, txt, bak);
    const QString spec = "inject=" + inject.section(':', 0, 0) + ":signal=KILL:when=" + inject.section(':', 1);
    const Run run = Execute("strace", {"-f", "-qq", "-o", "/dev/null", "-e", spec, m_tool, "save", m_d, "all",
                                       m_fix + "/new"});
    QVERIFY2(run.crashed || run.status == 128 + 9, qPrintable(u"not killed: "_s + run.stderrText));

    const QByteArray savedAfter = FileBytes(m_d + "/AllMem.txt");
    const QByteArray backupAfter = FileBytes(m_d + "/AllMem.bak");
    const QByteArray savedBefore = txt ? Content("old") : QByteArray("<missing>");
    const QByteArray backupBefore = bak ? Content("previous") : QByteArray("<missing>");
    QVERIFY2(savedAfter == savedBefore || savedAfter == Content("new"), savedAfter.left(60));
    QVERIFY2(backupAfter == backupBefore || backupAfter == savedBefore, backupAfter.left(60));

    // The next start removes what the killed save left behind.
    QCOMPARE(Execute(m_tool, {"clean", m_d}).status, 0);
    QStringList expected;
    if (backupAfter != "<missing>")
        expected << "AllMem.bak";
    if (savedAfter != "<missing>")
        expected << "AllMem.txt";
    QCOMPARE(FileListing(m_d), expected);
}

void TestFilesFailures::injected_data()
{
    QTest::addColumn<QString>("inject");
    QTest::addColumn<QString>("message");
    QTest::newRow("backup cannot be put in place") << "rename:1" << "AllMem.bak";
    QTest::newRow("saved file cannot be put in place") << "rename:2" << "AllMem.txt";
}

void TestFilesFailures::injected()
{
    if (Execute("strace", {"-f", "-qq", "-o", "/dev/null", "true"}).status != 0)
        QSKIP("strace cannot trace here (is ptrace allowed?)");
    QFETCH(QString, inject);
    QFETCH(QString, message);
    putFixtures(m_d, true, true);
    const QString spec = "inject=" + inject.section(':', 0, 0) + ":error=EIO:when=" + inject.section(':', 1);
    const Run run = Execute("strace", {"-f", "-qq", "-o", "/dev/null", "-e", spec, m_tool, "save", m_d, "all",
                                       m_fix + "/new"});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.stderrText.startsWith("Could not write \"" + m_d + "/" + message + "\""), qPrintable(run.stderrText));
    QVERIFY2(run.stderrText.contains("The saved file and its backup are as they were."), qPrintable(run.stderrText));
    QCOMPARE(FileBytes(m_d + "/AllMem.txt"), Content("old"));
    QCOMPARE(FileBytes(m_d + "/AllMem.bak"), Content("previous"));
    QCOMPARE(FileListing(m_d), QStringList({"AllMem.bak", "AllMem.txt"}));
}

QTEST_GUILESS_MAIN(TestFilesFailures)
#include "files_failures_test.moc"
