// SPDX-License-Identifier: GPL-3.0-or-later
// The number texts every frequency and offset is shown, saved and sent with, and the
// channel row cells built from a channel and read back from the grid.

#include <cmath>
#include <limits>

#include <QtTest>

#include "channelrow.h"
#include "numberformat.h"
#include "rowreader.h"

using namespace vardo;

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void numberTexts_data();
    void numberTexts();
    void cellNumber_data();
    void cellNumber();
    void cells_data();
    void cells();
};

// The two-decimal text rounds the shortest text, so the two are checked side by side.
void TestNumberFormat::numberTexts_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("shortest");
    QTest::addColumn<QString>("twoDecimals");
    QTest::newRow("24 offset steps") << 24 * 0.000625f << "0.015" << "0.02";
    QTest::newRow("half away from zero") << -0.005f << "-0.005" << "-0.01";
    QTest::newRow("2.675 from its decimal text") << 2.675f << "2.675" << "2.68";
    QTest::newRow("carry into new digit") << 99.995f << "99.995" << "100.00";
    QTest::newRow("seven digits at most") << 1.0f / 3.0f << "0.3333333" << "0.33";
    QTest::newRow("top of the record") << 167772.15f << "167772.2" << "167772.20";
    QTest::newRow("no exponent small") << 1e-9f << "0.000000001" << "0.00";
    QTest::newRow("largest float") << std::numeric_limits<float>::max() << "340282300000000000000000000000000000000"
                                   << "340282300000000000000000000000000000000.00";
    QTest::newRow("negative zero") << -0.0f << "0" << "0.00";
    QTest::newRow("tiny negative rounds to zero") << -0.004f << "-0.004" << "0.00";
}

void TestNumberFormat::numberTexts()
{
    QFETCH(float, value);
    QFETCH(QString, shortest);
    QFETCH(QString, twoDecimals);
    QCOMPARE(ShortestText(value), shortest);
    QCOMPARE(TwoDecimalText(value), twoDecimals);
}

// A number typed into a grid cell, as the program reads it: the leading number, narrowed to
// single precision.
void TestNumberFormat::cellNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("expected");
    constexpr float kInf = std::numeric_limits<float>::infinity();
    QTest::newRow("leading blanks") << "   7050.5" << 7050.5f;
    QTest::newRow("plus sign") << "+1.50" << 1.5f;
    QTest::newRow("no leading digit") << "-.5" << -0.5f;
    QTest::newRow("stops at second point") << "1.2.3" << 1.2f;
    QTest::newRow("stops at comma") << "1,5" << 1.0f;
    QTest::newRow("no number") << "abc" << 0.0f;
    QTest::newRow("empty") << "" << 0.0f;
    QTest::newRow("just above the largest float") << "340282347000000000000000000000000000000"
                                                  << std::numeric_limits<float>::max();
    QTest::newRow("overflow") << QString(400, '9') << kInf;
    QTest::newRow("negative overflow") << "-" + QString(400, '9') << -kInf;
}

void TestNumberFormat::cellNumber()
{
    QFETCH(QString, text);
    QFETCH(float, expected);
    QCOMPARE(NarrowToFloat(LeadingNumber(text)), expected);
}

// A grid row's frequency and offset cells read back into a channel (frequency, mask, offset,
// sign), and the cells that channel shows again.
void TestNumberFormat::cells_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("shown");
    QTest::newRow("unmasked") << "14195.00  |0.00" << "14195|  |0|" << "14195.00  |0.00";
    QTest::newRow("masked") << "14195.00* |+1.50" << "14195|* |1.5|+" << "14195.00* |+1.50";
    QTest::newRow("negative offset") << "7000.50  |-0.50" << "7000.5|  |-0.5|" << "7000.50  |-0.50";
    QTest::newRow("empty row") << "|" << "0|  |0|" << "0.00  |0.00";
    QTest::newRow("typed mark without blank") << "14025.00*|1" << "14025|* |1|+" << "14025.00* |+1.00";
    QTest::newRow("mark not at the end") << "14025*.00  |0" << "14025|  |0|" << "14025.00  |0.00";
    QTest::newRow("24 offset steps") << "100.00  |0.015" << "100|  |0.015|+" << "100.00  |+0.02";
}

void TestNumberFormat::cells()
{
    QFETCH(QString, typed);
    QFETCH(QString, read);
    QFETCH(QString, shown);
    const QString freq = typed.section('|', 0, 0), offset = typed.section('|', 1);
    RowCells cells{freq, "CW (lsb)", "Thru", "6.0K", "Rx (A)", "OFF", "ON", offset, "-RPT"};
    const Channel c = test::ChannelFromCells(cells);
    QCOMPARE(QStringList({ShortestText(c.Freq), c.Mask, ShortestText(c.Offset), c.OffsetSign}).join('|'), read);
    cells[CellIndex(ColFreq)] = shown.section('|', 0, 0);
    cells[CellIndex(ColOffset)] = shown.section('|', 1);
    QCOMPARE(CellsFromChannel(c), cells);
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "numberformat_test.moc"
