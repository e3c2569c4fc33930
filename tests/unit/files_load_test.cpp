// A whole saved file checked before a Load touches anything, and what the Load then does:
// the cells of every row and the batch of channel writes.

#include <QtTest>

#include "restoreplan.h"
#include "savedfileparse.h"
#include "savedfiletext.h"

using namespace vardo;

namespace {

QString GoodLine(int i)
{
    return QStringLiteral("%1.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:line %2").arg(7000 + i).arg(i);
}

QStringList GoodLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << GoodLine(i);
    return lines;
}

// The lines with line `number` (1-based) replaced.
QByteArray WithLine(QStringList lines, int number, const QString& line)
{
    lines[number - 1] = line;
    return EncodeSavedLines(lines);
}

}  // namespace

class TestFilesLoad : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void refusalMessage();
    void accepted_data();
    void accepted();
    void planWrites_data();
    void planWrites();
    void planCells();
    void emptyRowIsNotWritten();
    void frequencyTheRadioCannotTake();
};

void TestFilesLoad::refused_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("badLine");
    QTest::addColumn<QString>("problem");

    const QStringList all = GoodLines(113);
    QTest::newRow("empty file") << ViewKind::All << QByteArray() << 1 << "is missing: the file has 0 of its 113 lines";
    QTest::newRow("truncated") << ViewKind::All << EncodeSavedLines(all.mid(0, 40)) << 41
                               << "is missing: the file has 40 of its 113 lines";
    QTest::newRow("PMS one line short") << ViewKind::Pms << EncodeSavedLines(GoodLines(8)) << 9
                                        << "is missing: the file has 8 of its 9 lines";
    QTest::newRow("eight colons") << ViewKind::All << WithLine(all, 57, "7000.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF")
                                  << 57 << "has fewer than nine colons";
    QTest::newRow("old layout line") << ViewKind::Qmb
                                     << WithLine(GoodLines(5), 5, "7000.00,USB,2.4K,2.0K,A,OFF,OFF,0.00,OFF,")
                                     << 5 << "has fewer than nine colons";
    QTest::newRow("frequency") << ViewKind::Ch99 << WithLine(GoodLines(99), 99, "x:USB:2.4K:2.0K:A:OFF:OFF:0.00:OFF:")
                               << 99 << "has a frequency that is not a number (\"x\")";
    QTest::newRow("offset") << ViewKind::Pms << WithLine(GoodLines(9), 1, "7000.00:USB:2.4K:2.0K:A:OFF:OFF:+:OFF:")
                            << 1 << "has an offset that is not a number (\"+\")";
    QTest::newRow("setting") << ViewKind::All << WithLine(all, 113, "7000.00:USB:2.4K:2.0K:A:OFF:OFF:0.00:+RTP:")
                             << 113 << "has an unknown RPT setting (\"+RTP\")";
    QTest::newRow("binary") << ViewKind::Qmb << QByteArray("\x00\x01\x02\xFF\xFE\n\x89PNG\r\n\x1A\n\x00\x00\n\n\n", 19)
                            << 1 << "has fewer than nine colons";
}

void TestFilesLoad::refused()
{
    QFETCH(ViewKind, view);
    QFETCH(QByteArray, bytes);
    const SavedFileRows parsed = ParseSavedFile(bytes, view);
    QVERIFY(!parsed.ok());
    QVERIFY(parsed.rows.empty());
    QTEST(parsed.badLine, "badLine");
    QTEST(parsed.problem, "problem");
}

void TestFilesLoad::refusalMessage()
{
    const SavedFileRows parsed = ParseSavedFile(EncodeSavedLines(GoodLines(3)), ViewKind::Qmb);
    QCOMPARE(RefusalMessage("/data/Qmb.txt", parsed),
             "Cannot load \"/data/Qmb.txt\": line 4 is missing: the file has 3 of its 5 lines.");
}

void TestFilesLoad::accepted_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("emptyRow");

    QTest::newRow("CR LF") << ViewKind::All << EncodeSavedLines(GoodLines(113)) << 113 << 0;
    QTest::newRow("LF only") << ViewKind::Ch99 << GoodLines(99).join('\n').toUtf8() << 99 << 0;
    QTest::newRow("no end on the last line") << ViewKind::Pms << GoodLines(9).join("\r\n").toUtf8() << 9 << 0;
    QTest::newRow("lines beyond the count are ignored")
        << ViewKind::Qmb << EncodeSavedLines(GoodLines(5) << "garbage" << "") << 5 << 0;
    QTest::newRow("empty rows") << ViewKind::All << WithLine(GoodLines(113), 100, ":::::::::") << 113 << 100;
}

void TestFilesLoad::accepted()
{
    QFETCH(ViewKind, view);
    QFETCH(QByteArray, bytes);
    const SavedFileRows parsed = ParseSavedFile(bytes, view);
    QVERIFY2(parsed.ok(), qPrintable(parsed.problem));
    QTEST(int(parsed.rows.size()), "rows");
    QFETCH(int, emptyRow);
    for (std::size_t i = 0; i < parsed.rows.size(); ++i)
        QCOMPARE(parsed.rows[i].has_value(), int(i) + 1 != emptyRow);
    QCOMPARE(parsed.rows.back()->CommentText, QStringLiteral("line %1").arg(parsed.rows.size()));
}

void TestFilesLoad::planWrites_data()
{
    QTest::addColumn<ViewKind>("view");
    QTest::addColumn<QList<int>>("channelNumbers");

    QList<int> upTo108;
    for (int i = 1; i <= 108; ++i)
        upTo108 << i;
    QTest::newRow("frmAll writes 1..108, not the QMB lines") << ViewKind::All << upTo108;
    QTest::newRow("frmCh99 writes 1..99") << ViewKind::Ch99 << upTo108.mid(0, 99);
    QTest::newRow("frmPms writes 100..108") << ViewKind::Pms << upTo108.mid(99);
    QTest::newRow("frmQmb writes nothing") << ViewKind::Qmb << QList<int>();
}

void TestFilesLoad::planWrites()
{
    QFETCH(ViewKind, view);
    QFETCH(QList<int>, channelNumbers);
    const SavedFileRows parsed = ParseSavedFile(EncodeSavedLines(GoodLines(RowCount(view))), view);
    const RestorePlan plan = PlanRestore(view, parsed.rows);
    QCOMPARE(int(plan.rows.size()), RowCount(view));
    QList<int> written;
    for (const ChannelWrite& w : plan.writes)
        written << w.ChannelNo;
    QCOMPARE(written, channelNumbers);
    if (!plan.writes.isEmpty())
        QCOMPARE(plan.writes.first().channel.Freq, 7001.0f);
}

void TestFilesLoad::planCells()
{
    QStringList lines = GoodLines(9);
    lines[0] = "7050.00*:CW (usb):500:250:B:ON:OFF:+1.25:-RPT:a: b";
    lines[1] = "14250,00:USB:2.4K:2.0K:A:OFF:OFF:-0,5:OFF:";
    lines[2] = "3573.00:::::::0.00::";
    const RestorePlan plan = PlanRestore(ViewKind::Pms, ParseSavedFile(EncodeSavedLines(lines), ViewKind::Pms).rows);
    QCOMPARE(plan.rows[0], RowCells({"7050.00* ", "CW (usb)", "500", "250", "B", "ON", "OFF", "+1.25", "-RPT", "a: b"}));
    QCOMPARE(plan.rows[1], RowCells({"14250.00  ", "USB", "2.4K", "2.0K", "A", "OFF", "OFF", "-0.50", "OFF", ""}));
    QCOMPARE(plan.rows[2], RowCells({"3573.00  ", "", "", "", "", "", "", "0.00", "", ""}));
    QCOMPARE(plan.writes[0].ChannelNo, 100);
    QCOMPARE(plan.writes[0].MaskCode, 1);
    QCOMPARE(plan.writes[1].MaskCode, 2);
    QCOMPARE(plan.writes[8].ChannelNo, 108);
}

void TestFilesLoad::emptyRowIsNotWritten()
{
    const QByteArray bytes = WithLine(GoodLines(99), 12, ":::::::::");
    const RestorePlan plan = PlanRestore(ViewKind::Ch99, ParseSavedFile(bytes, ViewKind::Ch99).rows);
    QCOMPARE(plan.rows[11], RowCells{});
    QCOMPARE(plan.writes.size(), 98);
    QCOMPARE(plan.writes[11].ChannelNo, 13);
}

void TestFilesLoad::frequencyTheRadioCannotTake()
{
    QStringList lines = GoodLines(9);
    lines[3] = "0.00:LSB:Thru:6.0K:A:OFF:OFF:0.00:OFF:blank channel";
    const RestorePlan plan = PlanRestore(ViewKind::Pms, ParseSavedFile(EncodeSavedLines(lines), ViewKind::Pms).rows);
    QCOMPARE(plan.rows[3][0], QStringLiteral("0.00  "));
    QCOMPARE(plan.writes.size(), 8);
    QCOMPARE(plan.writes[3].ChannelNo, 104);
    QCOMPARE(plan.unsendable, QList<int>{103});
}

QTEST_APPLESS_MAIN(TestFilesLoad)
#include "files_load_test.moc"
