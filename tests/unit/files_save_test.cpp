// Save with its overwrite question and backup, the checked read that Load starts from, and
// the clean-up of an interrupted save, on a real directory.

#include <QtTest>

#include "filebytes.h"

#include "safefile.h"
#include "savedfilenames.h"
#include "savedfilestore.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// Answers the overwrite question and counts how often it was asked.
struct Answer {
    bool yes = true;
    int asked = 0;
    OverwriteQuestionFn fn() { return [this] { ++asked; return yes; }; }
};

}  // namespace

class TestFilesSave : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); m_path = m_dir.path(); }
    void cleanup() { QVERIFY(QDir(m_path).removeRecursively()); QDir().mkpath(m_path); }

    void firstSaveAsksNothing_data();
    void firstSaveAsksNothing();
    void backupRotation();
    void answerNoChangesNothing();
    void txtWithoutBackup();
    void otherLetterCaseIsNotTheFile();
    void viewsAreIndependent();
    void fileBytes();
    void loadMessages_data();
    void loadMessages();
    void strayTemporaries();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestFilesSave::firstSaveAsksNothing_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QString>("file");
    QTest::newRow("frmAll") << ViewKind::All << "AllMem.txt";
    QTest::newRow("frmCh99") << ViewKind::Ch99 << "99Mem.txt";
    QTest::newRow("frmPms") << ViewKind::Pms << "Pms.txt";
    QTest::newRow("frmQmb") << ViewKind::Qmb << "Qmb.txt";
}

void TestFilesSave::firstSaveAsksNothing()
{
    QFETCH(ViewKind, view);
    QFETCH(QString, file);
    Answer answer;
    QCOMPARE(SaveWithBackup(m_path, view, "one\r\n", answer.fn()).outcome, SaveOutcome::Saved);
    QCOMPARE(answer.asked, 0);
    QCOMPARE(FileListing(m_path), QStringList{file});
    QCOMPARE(FileBytes(m_path + "/" + file), QByteArray("one\r\n"));
}

void TestFilesSave::backupRotation()
{
    Answer answer;
    for (const QByteArray content : {"first", "second", "third"})
        QCOMPARE(SaveWithBackup(m_path, ViewKind::All, content, answer.fn()).message, QString());
    QCOMPARE(answer.asked, 2);
    QCOMPARE(FileListing(m_path), QStringList({"AllMem.bak", "AllMem.txt"}));
    QCOMPARE(FileBytes(m_path + "/AllMem.txt"), QByteArray("third"));
    QCOMPARE(FileBytes(m_path + "/AllMem.bak"), QByteArray("second"));
}

void TestFilesSave::answerNoChangesNothing()
{
    QVERIFY(PutFile(m_path + "/Pms.txt", "saved"));
    QVERIFY(PutFile(m_path + "/Pms.bak", "backup"));
    Answer answer{false};
    QCOMPARE(SaveWithBackup(m_path, ViewKind::Pms, "new", answer.fn()).outcome, SaveOutcome::Declined);
    QCOMPARE(answer.asked, 1);
    QCOMPARE(FileBytes(m_path + "/Pms.txt"), QByteArray("saved"));
    QCOMPARE(FileBytes(m_path + "/Pms.bak"), QByteArray("backup"));
    QCOMPARE(FileListing(m_path), QStringList({"Pms.bak", "Pms.txt"}));
}

void TestFilesSave::txtWithoutBackup()
{
    QVERIFY(PutFile(m_path + "/AllMem.txt", "saved"));
    Answer answer;
    QCOMPARE(SaveWithBackup(m_path, ViewKind::All, "new", answer.fn()).outcome, SaveOutcome::Saved);
    QCOMPARE(answer.asked, 1);
    QCOMPARE(FileBytes(m_path + "/AllMem.bak"), QByteArray("saved"));
    QCOMPARE(FileBytes(m_path + "/AllMem.txt"), QByteArray("new"));
}

void TestFilesSave::otherLetterCaseIsNotTheFile()
{
    QVERIFY(PutFile(m_path + "/allmem.txt", "other case"));
    Answer answer;
    QVERIFY(!ExactFileExists(m_path, "AllMem.txt"));
    QCOMPARE(SaveWithBackup(m_path, ViewKind::All, "new", answer.fn()).outcome, SaveOutcome::Saved);
    QCOMPARE(answer.asked, 0);
    QVERIFY(!ExactFileExists(m_path, "AllMem.bak"));
    QCOMPARE(FileBytes(m_path + "/AllMem.txt"), QByteArray("new"));
    QCOMPARE(LoadSavedFile(m_path, ViewKind::Qmb).message, NeverSavedMessage(ViewKind::Qmb));
}

void TestFilesSave::viewsAreIndependent()
{
    QVERIFY(PutFile(m_path + "/99Mem.txt", "99"));
    QVERIFY(PutFile(m_path + "/Qmb.txt", "qmb"));
    Answer answer;
    QCOMPARE(SaveWithBackup(m_path, ViewKind::All, "all", answer.fn()).outcome, SaveOutcome::Saved);
    QCOMPARE(answer.asked, 0);
    QCOMPARE(FileListing(m_path), QStringList({"99Mem.txt", "AllMem.txt", "Qmb.txt"}));
    QCOMPARE(FileBytes(m_path + "/99Mem.txt"), QByteArray("99"));
}

void TestFilesSave::fileBytes()
{
    std::vector<RowCells> rows(5);
    rows[0] = {"7050.00* ", "LSB", "2.4K", "2.0K", "A", "OFF", "OFF", "0.00", "OFF", "Bodø"};
    QCOMPARE(SavedFileBytes(ViewKind::All, rows),
             QByteArray("7050.00*:LSB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:Bod\xC3\xB8\r\n"
                        ":::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n"));
    QVERIFY(SavedFileBytes(ViewKind::Qmb, rows).startsWith("7050.00:LSB"));
}

void TestFilesSave::loadMessages_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QString>("shown");  // frmAll has always named its file "All.Mem.txt"
    QTest::newRow("frmAll") << ViewKind::All << "All.Mem.txt";
    QTest::newRow("frmCh99") << ViewKind::Ch99 << "99Mem.txt";
    QTest::newRow("frmPms") << ViewKind::Pms << "Pms.txt";
    QTest::newRow("frmQmb") << ViewKind::Qmb << "Qmb.txt";
}

void TestFilesSave::loadMessages()
{
    QFETCH(ViewKind, view);
    QFETCH(QString, shown);
    QCOMPARE(LoadSavedFile(m_path, view).message,
             "Cannot load because the \"" + shown + "\" data file has never been saved!");
    QVERIFY(PutFile(m_path + "/" + SavedFileName(view), "7000.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:\r\n"));
    const QString refusal = QStringLiteral("Cannot load \"%1\": line 2 is missing: the file has 1 of its %2 lines.")
                                .arg(QDir::toNativeSeparators(m_path + "/" + SavedFileName(view)))
                                .arg(RowCount(view));
    QCOMPARE(LoadSavedFile(m_path, view).message, refusal);
}

void TestFilesSave::strayTemporaries()
{
    const QStringList stray{"AllMem.txt.AbCdEf", "AllMem.bak.x1Y2z3", "Qmb.txt.qwerty", "Temp.txt", "Temp.txt.ZZZZZZ"};
    const QStringList kept{"AllMem.txt", "AllMem.bak", "allmem.txt.AbCdEf", "AllMem.txt.AbCdEfG", "AllMem.txt.old",
                           "Pms.txt.ab-def", "notes.txt", "temp.txt"};
    for (const QString& name : stray + kept)
        QVERIFY(PutFile(m_path + "/" + name, "x"));
    QCOMPARE(RemoveStraySaveTemporaries(m_path), QStringList());
    QStringList expected = kept;
    expected.sort();
    QCOMPARE(FileListing(m_path), expected);
}

QTEST_GUILESS_MAIN(TestFilesSave)
#include "files_save_test.moc"
