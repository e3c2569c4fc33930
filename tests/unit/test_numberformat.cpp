// The number texts every frequency and offset is shown, saved and sent with, and the
// channel row cells built from a channel and read back from the grid.

#include <cmath>
#include <limits>

#include <QtTest>

#include "channelrow.h"
#include "numberformat.h"

using namespace vardo;

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void twoDecimalText_data();
    void twoDecimalText();
    void shortestText_data();
    void shortestText();
    void leadingNumber_data();
    void leadingNumber();
    void narrowToFloat();

    void cellsFromChannel_data();
    void cellsFromChannel();
    void channelFromCells_data();
    void channelFromCells();
};

void TestNumberFormat::twoDecimalText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("24 offset steps") << 24 * 0.000625f << "0.02";
    QTest::newRow("0.015 literal") << 0.015f << "0.02";
    QTest::newRow("-0.015") << -0.015f << "-0.02";
    QTest::newRow("whole kHz") << 14195.0f << "14195.00";
    QTest::newRow("half kHz") << 7050.5f << "7050.50";
    QTest::newRow("receive frequency") << 7001.5f << "7001.50";
    QTest::newRow("negative half") << -0.5f << "-0.50";
    QTest::newRow("-9.99") << -9.99f << "-9.99";
    QTest::newRow("zero") << 0.0f << "0.00";
    QTest::newRow("negative zero") << -0.0f << "0.00";
    QTest::newRow("tiny positive") << 1e-9f << "0.00";
    QTest::newRow("tiny negative rounds to zero") << -0.004f << "0.00";
    QTest::newRow("one offset step") << 0.000625f << "0.00";
    QTest::newRow("minus one step") << -0.000625f << "0.00";
    QTest::newRow("half up") << 0.005f << "0.01";
    QTest::newRow("half away from zero") << -0.005f << "-0.01";
    QTest::newRow("2.675 from its decimal text") << 2.675f << "2.68";
    QTest::newRow("1.005") << 1.005f << "1.01";
    QTest::newRow("carry into whole") << 9.995f << "10.00";
    QTest::newRow("carry into new digit") << 99.995f << "100.00";
    QTest::newRow("seven digits") << 14025.55f << "14025.55";
    QTest::newRow("top of the record") << 167772.15f << "167772.20";
    QTest::newRow("no thousands separator") << 1234567.0f << "1234567.00";
    QTest::newRow("beyond seven digits") << 123456789.0f << "123456800.00";
    QTest::newRow("largest float") << std::numeric_limits<float>::max() << "340282300000000000000000000000000000000.00";
}

void TestNumberFormat::twoDecimalText()
{
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(TwoDecimalText(value), expected);
}

void TestNumberFormat::shortestText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 14195.0f << "14195";
    QTest::newRow("half") << 1.5f << "1.5";
    QTest::newRow("negative") << -2.0f << "-2";
    QTest::newRow("0.1") << 0.1f << "0.1";
    QTest::newRow("30001.5") << 30001.5f << "30001.5";
    QTest::newRow("seven digits at most") << 1.0f / 3.0f << "0.3333333";
    QTest::newRow("step") << 0.000625f << "0.000625";
    QTest::newRow("no exponent small") << 1e-9f << "0.000000001";
    QTest::newRow("no exponent large") << 1e10f << "10000000000";
    QTest::newRow("eight digits rounded") << 16777217.0f << "16777220";
    QTest::newRow("negative zero") << -0.0f << "0";
}

void TestNumberFormat::shortestText()
{
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(ShortestText(value), expected);
}

void TestNumberFormat::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("grid frequency") << "14195.00  " << 14195.0;
    QTest::newRow("masked frequency") << "14195.00* " << 14195.0;
    QTest::newRow("leading blanks") << "   7050.5" << 7050.5;
    QTest::newRow("plus sign") << "+1.50" << 1.5;
    QTest::newRow("minus sign") << "-0.50" << -0.5;
    QTest::newRow("no leading digit") << "-.5" << -0.5;
    QTest::newRow("stops at second point") << "1.2.3" << 1.2;
    QTest::newRow("stops at comma") << "1,5" << 1.0;
    QTest::newRow("stops at letter") << "12kHz" << 12.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blank inside ends it") << "1 2" << 1.0;
    QTest::newRow("underflow") << "0." + QString(400, '0') + "1" << 0.0;
    QTest::newRow("overflow") << QString(400, '9') << HUGE_VAL;
    QTest::newRow("negative overflow") << "-" + QString(400, '9') << -HUGE_VAL;
}

void TestNumberFormat::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(LeadingNumber(text), expected);
}

void TestNumberFormat::narrowToFloat()
{
    constexpr float kMax = std::numeric_limits<float>::max();
    QCOMPARE(NarrowToFloat(14195.0), 14195.0f);
    QCOMPARE(NarrowToFloat(1e39), std::numeric_limits<float>::infinity());
    QCOMPARE(NarrowToFloat(-1e39), -std::numeric_limits<float>::infinity());
    QCOMPARE(NarrowToFloat(double(kMax) * (1 + 1e-9)), kMax);
    QVERIFY(std::isnan(NarrowToFloat(std::nan(""))));
}

void TestNumberFormat::cellsFromChannel_data()
{
    QTest::addColumn<float>("freq");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<float>("offset");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("freqCell");
    QTest::addColumn<QString>("offsetCell");
    QTest::newRow("plain") << 14195.0f << "  " << 0.0f << " " << "14195.00  " << "0.00";
    QTest::newRow("masked") << 14195.0f << "* " << 0.0f << " " << "14195.00* " << "0.00";
    QTest::newRow("positive offset") << 7001.5f << "  " << 1.5f << "+" << "7001.50  " << "+1.50";
    QTest::newRow("negative offset") << 7000.0f << "  " << -0.5f << "" << "7000.00  " << "-0.50";
    QTest::newRow("24 steps") << 100.0f << "  " << 0.015f << "+" << "100.00  " << "+0.02";
}

void TestNumberFormat::cellsFromChannel()
{
    QFETCH(float, freq);
    QFETCH(QString, mask);
    QFETCH(float, offset);
    QFETCH(QString, sign);
    QFETCH(QString, freqCell);
    QFETCH(QString, offsetCell);
    Channel c;
    c.Freq = freq;
    c.Mask = mask;
    c.Offset = offset;
    c.OffsetSign = sign;
    c.Mode = "CW (lsb)";
    c.Filt82 = "Thru";
    c.Filt455 = "6.0K";
    c.Ant = "Rx (A)";
    c.RxRit = "ON";
    c.TxRit = "OFF";
    c.Rpt = "";
    const SettingCells cells = CellsFromChannel(c);
    const SettingCells expected{freqCell, "CW (lsb)", "Thru", "6.0K", "Rx (A)", "ON", "OFF", offsetCell, ""};
    QCOMPARE(cells, expected);
    QCOMPARE(OffsetCell(c), offsetCell);
}

void TestNumberFormat::channelFromCells_data()
{
    QTest::addColumn<QString>("freqCell");
    QTest::addColumn<QString>("offsetCell");
    QTest::addColumn<float>("freq");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<float>("offset");
    QTest::addColumn<QString>("sign");
    QTest::newRow("unmasked") << "14195.00  " << "0.00" << 14195.0f << "  " << 0.0f << "";
    QTest::newRow("masked") << "14195.00* " << "+1.50" << 14195.0f << "* " << 1.5f << "+";
    QTest::newRow("negative offset") << "7000.50  " << "-0.50" << 7000.5f << "  " << -0.5f << "";
    QTest::newRow("empty row") << "" << "" << 0.0f << "  " << 0.0f << "";
    QTest::newRow("typed mark without blank") << "14025.00*" << "1" << 14025.0f << "* " << 1.0f << "+";
    QTest::newRow("mark not at the end") << "14025*.00  " << "0" << 14025.0f << "  " << 0.0f << "";
}

void TestNumberFormat::channelFromCells()
{
    QFETCH(QString, freqCell);
    QFETCH(QString, offsetCell);
    QFETCH(float, freq);
    QFETCH(QString, mask);
    QFETCH(float, offset);
    QFETCH(QString, sign);
    const SettingCells cells{freqCell, "USB", "2.4K", "500", "B", "OFF", "ON", offsetCell, "-RPT"};
    const Channel c = ChannelFromCells(cells);
    QCOMPARE(c.Freq, freq);
    QCOMPARE(c.Mask, mask);
    QCOMPARE(c.Offset, offset);
    QCOMPARE(c.OffsetSign, sign);
    QCOMPARE(c.Mode, QStringLiteral("USB"));
    QCOMPARE(c.Filt82, QStringLiteral("2.4K"));
    QCOMPARE(c.Filt455, QStringLiteral("500"));
    QCOMPARE(c.Ant, QStringLiteral("B"));
    QCOMPARE(c.RxRit, QStringLiteral("OFF"));
    QCOMPARE(c.TxRit, QStringLiteral("ON"));
    QCOMPARE(c.Rpt, QStringLiteral("-RPT"));
    // What a row shows is what it reads back as.
    if (freqCell == TwoDecimalText(freq) + mask && offsetCell == OffsetCell(c))
        QCOMPARE(CellsFromChannel(c), cells);
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "test_numberformat.moc"
