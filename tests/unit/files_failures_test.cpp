// SPDX-License-Identifier: GPL-3.0-or-later
// A refused save or upgrade leaves every file as it was; a killed save leaves each one whole.

#include <QtTest>

#include <unistd.h>

#include "filebytes.h"
#include "processrun.h"

using namespace vardo::test;
using Files = QMap<QString, QByteArray>;

namespace {

// 113 lines of about 6 kB: two pages of a tmpfs.
QByteArray Content(const char* tag)
{
    QByteArray bytes;
    for (int i = 1; i <= 113; ++i)
        bytes += QByteArray::number(7000 + i) + ".00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:" + tag + " line\r\n";
    return bytes;
}

Files Snapshot(const QString& dir, const QStringList& names)
{
    Files files;
    for (const QString& name : names)
        files[name] = FileBytes(dir + "/" + name);
    return files;
}

}  // namespace

class TestFilesFailures : public QObject {
    Q_OBJECT
    QString m_tool;
    bool m_unshare = false;  // mounts go into a namespace of their own
    QString m_noMount;       // why the test cannot mount; empty when it can
    bool m_strace = false;
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_d, m_fix, m_out;

    // `put` copies FILES from FIX into D; NOBODY drops root, which ignores file modes.
    ProcessRun script(const QString& body, const QString& files = {})
    {
        const QString nobody = ::getuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
        const QStringList env{"D=" + m_d, "FIX=" + m_fix, "OUT=" + m_out, "TOOL=" + m_tool, "FILES=" + files,
                              "NOBODY=" + nobody};
        const QString all = "trap 'umount \"$D\" 2>/dev/null || true; chmod -R u+rwX \"$D\"' EXIT\n"
                            "put() { for f in $FILES; do cp \"$FIX/$f\" \"$D/\"; done; }\n" + body;
        if (m_unshare && body.contains("mount"))
            return RunProcess("unshare", {"-rm", "sh", "-ec", all}, env);
        return RunProcess("sh", {"-ec", all}, env);
    }
    Files fixtures(const QString& files) const { return Snapshot(m_fix, files.split(' ', Qt::SkipEmptyParts)); }

private slots:
    void initTestCase()
    {
        m_tool = QCoreApplication::applicationDirPath() + "/files_savetool";
        QVERIFY2(QFileInfo(m_tool).isExecutable(), qPrintable(m_tool));
        m_strace = RunProcess("strace", {"-f", "-qq", "-o", "/dev/null", "true"}).status == 0;
        init();
        m_unshare = true;
        const auto viaUnshare = script("mount -t tmpfs tmpfs \"$D\"");
        m_unshare = viaUnshare.status == 0;
        if (m_unshare)
            return;
        const auto direct = ::getuid() == 0 ? script("mount -t tmpfs tmpfs \"$D\"") : ProcessRun{-1, {}, {}, "not root"};
        if (direct.status != 0)
            m_noMount = "cannot mount (unshare -rm: " + viaUnshare.err.trimmed() + "; mount: " + direct.err + ")";
    }

    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        QVERIFY(QFile::setPermissions(m_tmp->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                         | QFile::ReadOther | QFile::ExeOther));  // for "nobody"
        m_d = m_tmp->filePath("data");
        m_fix = m_tmp->filePath("fixtures");
        m_out = m_tmp->filePath("out");
        for (const QString& dir : {m_d, m_fix, m_out})
            QVERIFY(QDir().mkpath(dir));
        QVERIFY(PutFile(m_fix + "/new", Content("new")));
        QVERIFY(PutFile(m_fix + "/AllMem.txt", Content("old")));
        QVERIFY(PutFile(m_fix + "/AllMem.bak", Content("previous")));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("setup");  // shell
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");  // %1: D
        const QString tmpfs = "mount -t tmpfs -o size=%1 tmpfs \"$D\"; put";
        const QString readOnly = "put; mount --bind \"$D\" \"$D\"; mount -o remount,bind,ro \"$D\"";
        const QString eio = "put; AS='strace -f -qq -o /dev/null -e inject=rename:error=EIO:when=%1'";
        const QString both = "AllMem.txt AllMem.bak";
        const QString save = "save \"$D\" \"$FIX/new\"";
        const QString txt = "Could not write \"%1/AllMem.txt\": ", bak = "Could not write \"%1/AllMem.bak\": ";
        const QString kept = " The saved file and its backup are as they were.", full = "No space left on device." + kept;
        const QString eioText = "Input/output error." + kept, notWritable = "Existing file %1/AllMem.txt is not writable." + kept;
        QTest::newRow("full disk: no room for the new file") << tmpfs.arg("16k") << both << save << txt + full;
        QTest::newRow("full disk: no room for the backup") << tmpfs.arg("24k") << both << save << bak + full;
        QTest::newRow("full disk: no backup yet") << tmpfs.arg("16k") << "AllMem.txt" << save << bak + full;
        // The disk fills part-way through a file: Qt has no text for that, the system has.
        QTest::newRow("full disk part-way through the new file") << tmpfs.arg("20k") << both << save << txt + full;
        QTest::newRow("full disk part-way through the backup") << tmpfs.arg("28k") << both << save << bak + full;
        QTest::newRow("read-only: save over a saved file") << readOnly << both << save << txt + notWritable;
        QTest::newRow("read-only: first save") << readOnly << "AllMem.bak" << save << txt + "Read-only file system." + kept;
        QTest::newRow("read-only: upgrade") << readOnly << "AllMem.txt" << "upgrade \"$D\"" << txt + "Existing file %1/AllMem.txt is not writable.";
        QTest::newRow("nobody: folder and saved file not writable")
            << "put; AS=$NOBODY; chmod 555 \"$D\"; chmod 444 \"$D/AllMem.txt\"" << both << save << txt + notWritable;
        QTest::newRow("nobody: folder not writable") << "put; AS=$NOBODY; chmod 555 \"$D\"; chmod 666 \"$D\"/*" << both << save
                                                     << txt + "Permission denied." + kept;
        QTest::newRow("nobody: saved file not readable")
            << "put; AS=$NOBODY; chmod 777 \"$D\"; chmod 222 \"$D/AllMem.txt\"" << both << save
            << "Could not read \"%1/AllMem.txt\": Permission denied." + kept;
        QTest::newRow("EIO putting the backup in place") << eio.arg(1) << both << save << bak + eioText;
        QTest::newRow("EIO putting the saved file in place") << eio.arg(2) << both << save << txt + eioText;
    }
    void refused()
    {
        QFETCH(QString, setup);
        QFETCH(QString, files);
        QFETCH(QString, command);
        if (setup.contains("mount") && !m_noMount.isEmpty())
            QSKIP(qPrintable(m_noMount));
        if (setup.contains("strace") && !m_strace)
            QSKIP("strace cannot trace here (is ptrace allowed?)");
        if (command.startsWith("upgrade"))
            QVERIFY(PutFile(m_fix + "/AllMem.txt", QByteArray("7000.00,USB,,,,,,0.00,,\r\n").repeated(113)));
        const auto run = script("AS=\n" + setup + "\nstatus=0; $AS \"$TOOL\" " + command
                                   + " 2>\"$OUT/message\" || status=$?\necho $status >\"$OUT/status\"\n"
                                     "chmod -R u+rwX \"$D\" 2>/dev/null || true\ncp -r \"$D\" \"$OUT/after\"\n",
                               files);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(FileBytes(m_out + "/status"), QByteArray("1\n"));
        QFETCH(QString, message);
        QCOMPARE(QString::fromUtf8(FileBytes(m_out + "/message")), message.arg(m_d) + "\n");
        QCOMPARE(Snapshot(m_out + "/after", FileListing(m_out + "/after")), fixtures(files));
    }

    void killed_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("step");
        // A save's system calls in order: both files' data written, then the backup, then the saved
        // file each synced, linked in under its scratch name and renamed over the old one.
        const std::tuple<const char*, const char*, QStringList> saves[] = {
            {"saved file and backup", "AllMem.txt AllMem.bak",
             {"write:1", "write:2", "fdatasync:1", "linkat:1", "rename:1", "fdatasync:2", "linkat:2", "rename:2"}},
            {"no backup yet", "AllMem.txt", {"write:2", "linkat:1", "rename:1", "fdatasync:2", "linkat:2", "rename:2"}},
            {"first save", "", {"write:1", "fdatasync:1", "linkat:1", "rename:1"}}};
        for (const auto& [name, files, steps] : saves)
            for (const QString& step : steps)
                QTest::addRow("%s, killed at %s", name, qPrintable(step)) << QString(files) << step;
    }
    void killed()
    {
        if (!m_strace)
            QSKIP("strace cannot trace here (is ptrace allowed?)");
        QFETCH(QString, files);
        QFETCH(QString, step);
        QCOMPARE(script("put", files).status, 0);
        const QString spec = "inject=" + step.section(':', 0, 0) + ":signal=KILL:when=" + step.section(':', 1);
        const auto run = RunProcess("strace", {"-f", "-qq", "-o", "/dev/null", "-e", spec, m_tool, "save", m_d, m_fix + "/new"});
        QVERIFY2(run.crashed || run.status == 128 + 9, qPrintable("not killed: " + run.err));
        QCOMPARE(RunProcess(m_tool, {"clean", m_d}).status, 0);  // the next start removes the kill's leftovers
        const Files before = fixtures(files), after = Snapshot(m_d, FileListing(m_d));
        const QByteArray oldTxt = before.value("AllMem.txt", "<missing>"), txt = after.value("AllMem.txt", "<missing>");
        const QByteArray bak = after.value("AllMem.bak", "<missing>");
        QVERIFY2(txt == oldTxt || txt == Content("new"), txt.left(60));
        QVERIFY2(bak == before.value("AllMem.bak", "<missing>") || bak == oldTxt, bak.left(60));
        QCOMPARE(after.keys().filter(QRegularExpression("^(?!AllMem\\.(txt|bak)$)")), QStringList());  // no leftovers
    }
};

QTEST_GUILESS_MAIN(TestFilesFailures)
#include "files_failures_test.moc"
