// The start-up upgrade of saved files still in the old layout.

#include <QtTest>

#include "filebytes.h"

#include "savedfiletext.h"
#include "upgrade.h"

using namespace vardo;
using namespace vardo::test;

namespace {

// `count` lines in the given separator; the comment holds a comma after the ninth one.
QStringList Lines(int count, QChar separator)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringList{QString::number(7000 + i) + ".00", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "0.00",
                             "OFF", QStringLiteral("net, %1").arg(i)}
                     .join(separator);
    return lines;
}

QByteArray OldFile(int count, const char* lineEnd = "\r\n")
{
    return Lines(count, ',').join(lineEnd).toUtf8() + lineEnd;
}

}  // namespace

class TestFilesUpgrade : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new QTemporaryDir); QVERIFY(m_dir->isValid()); m_path = m_dir->path(); }

    void converted_data();
    void converted();
    void leftAsItWas_data();
    void leftAsItWas();
    void eachFileOnItsOwn();
    void windows1252Comment();
    void noFiles();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestFilesUpgrade::converted_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<int>("count");

    QTest::newRow("AllMem.txt") << "AllMem.txt" << OldFile(113) << 113;
    QTest::newRow("99Mem.txt, LF line ends") << "99Mem.txt" << OldFile(99, "\n") << 99;
    QTest::newRow("Pms.txt, lines beyond the count dropped") << "Pms.txt" << OldFile(12) << 9;
    QTest::newRow("Qmb.txt") << "Qmb.txt" << OldFile(5) << 5;
}

void TestFilesUpgrade::converted()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, old);
    QFETCH(int, count);
    QVERIFY(PutFile(m_path + "/" + file, old));
    QVERIFY(PutFile(m_path + "/Temp.txt", "an older scratch file"));
    QCOMPARE(UpgradeSavedFiles(m_path), QStringList());
    QCOMPARE(FileBytes(m_path + "/" + file), EncodeSavedLines(Lines(count, QLatin1Char(':'))));
    QVERIFY(FileBytes(m_path + "/" + file).contains(":OFF:net, 1\r\n"));
    QCOMPARE(QDir(m_path).entryList(QDir::Files), QStringList{file});
}

void TestFilesUpgrade::leftAsItWas_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");

    QTest::newRow("current layout") << "AllMem.txt" << EncodeSavedLines(Lines(113, ':')) << "";
    QTest::newRow("current layout, bad later lines")
        << "Pms.txt" << EncodeSavedLines(Lines(1, ':') << "a,b,c,d,e,f,g,h,i,j") << "";
    QTest::newRow("other letter case") << "allmem.txt" << OldFile(113) << "";
    QTest::newRow("short old file") << "99Mem.txt" << OldFile(40)
                                    << "\"%1/99Mem.txt\" is in the old layout but has 40 of its 99 lines; "
                                       "it was left as it was.";
    QTest::newRow("empty file") << "Qmb.txt" << QByteArray()
                                << "\"%1/Qmb.txt\" is in the old layout but has 0 of its 5 lines; it was left as it was.";
}

void TestFilesUpgrade::leftAsItWas()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    QVERIFY(PutFile(m_path + "/" + file, bytes));
    const QStringList expected = problem.isEmpty() ? QStringList() : QStringList{problem.arg(m_path)};
    QCOMPARE(UpgradeSavedFiles(m_path), expected);
    QCOMPARE(FileBytes(m_path + "/" + file), bytes);
    QCOMPARE(QDir(m_path).entryList(QDir::Files), QStringList{file});
}

void TestFilesUpgrade::eachFileOnItsOwn()
{
    const QByteArray current99 = EncodeSavedLines(Lines(99, ':'));
    const QByteArray currentQmb = Lines(5, ':').join('\n').toUtf8();
    QVERIFY(PutFile(m_path + "/AllMem.txt", OldFile(113)));
    QVERIFY(PutFile(m_path + "/99Mem.txt", current99));
    QVERIFY(PutFile(m_path + "/Pms.txt", OldFile(9)));
    QVERIFY(PutFile(m_path + "/Qmb.txt", currentQmb));
    QCOMPARE(UpgradeSavedFiles(m_path), QStringList());
    QCOMPARE(FileBytes(m_path + "/AllMem.txt"), EncodeSavedLines(Lines(113, ':')));
    QCOMPARE(FileBytes(m_path + "/99Mem.txt"), current99);
    QCOMPARE(FileBytes(m_path + "/Pms.txt"), EncodeSavedLines(Lines(9, ':')));
    QCOMPARE(FileBytes(m_path + "/Qmb.txt"), currentQmb);
}

void TestFilesUpgrade::windows1252Comment()
{
    QByteArray old = OldFile(5);
    old.replace("net, 3", "Troms\xF8 \x80");
    QVERIFY(PutFile(m_path + "/Qmb.txt", old));
    QCOMPARE(UpgradeSavedFiles(m_path), QStringList());
    QVERIFY(FileBytes(m_path + "/Qmb.txt").contains("7003.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:Troms\xC3\xB8 \xE2\x82\xAC\r\n"));
}

void TestFilesUpgrade::noFiles()
{
    QCOMPARE(UpgradeSavedFiles(m_path), QStringList());
    QCOMPARE(QDir(m_path).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestFilesUpgrade)
#include "files_upgrade_test.moc"
