// Memories as CHIRP CSV: the exported fields and modes, quoting, the headers older CHIRP
// versions wrote, every row an import leaves out or refuses, and the round trip.
#include <QtTest>

#include "chirpcsv.h"

using namespace vardo;

Q_DECLARE_METATYPE(vardo::RowCells)
Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

RowCells Row(const QString& freq, const QString& mode, const QString& rpt = "OFF", const QString& comment = {})
{
    return RowCells{freq, mode, "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", rpt, comment};
}

// The CSV of one row in the 99 view at row `row`, without the header line.
QString ExportedLine(const RowCells& cells, int row = 1)
{
    std::vector<RowCells> rows(99);
    rows[std::size_t(row - 1)] = cells;
    const QStringList lines = QString::fromUtf8(ChirpCsvFromRows(ViewKind::Ch99, rows)).split("\r\n");
    return lines.value(1);
}

QByteArray Csv(const QStringList& dataLines, const QString& header = ChirpHeader().join(','))
{
    return (QStringList{header} + dataLines).join("\r\n").toUtf8() + "\r\n";
}

// A data line in today's layout with only the columns the import reads filled in.
QString Line(const QString& location, const QString& freq, const QString& mode, const QString& duplex = {},
             const QString& skip = {}, const QString& name = {}, const QString& comment = {})
{
    return QStringList{location, name, freq, duplex, "0.000000", "", "88.5", "88.5", "023", "NN", "023",
                       "Tone->Tone", mode, "5.00", skip, "", comment, "", "", "", ""}.join(',');
}

const QString kTail = ",,88.5,88.5,023,NN,023,Tone->Tone,";

}  // namespace

class ChirpCsvTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportLine_data();
    void exportLine();
    void exportHeaderAndEmptyRows();
    void importRow_data();
    void importRow();
    void leftOut_data();
    void leftOut();
    void refused_data();
    void refused();
    void roundTrip();
};

void ChirpCsvTest::exportLine_data()
{
    QTest::addColumn<RowCells>("cells");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("line");
    QTest::newRow("USB, plain") << Row("14074.00  ", "USB") << 6 << "6,,14.074000,,0.000000" + kTail + "USB,5.00,,,,,,,";
    QTest::newRow("masked: Skip S") << Row("7047.50* ", "LSB") << 1 << "1,,7.047500,,0.000000" + kTail + "LSB,5.00,S,,,,,,";
    QTest::newRow("+RPT") << Row("29620.00  ", "FM", "+RPT") << 2 << "2,,29.620000,+,0.100000" + kTail + "FM,5.00,,,,,,,";
    QTest::newRow("-RPT") << Row("29680.00  ", "FM", "-RPT") << 2 << "2,,29.680000,-,0.100000" + kTail + "FM,5.00,,,,,,,";
    QTest::newRow("lowest frequency") << Row("100.00  ", "AM (env)") << 1 << "1,,0.100000,,0.000000" + kTail + "AM,5.00,,,,,,,";
    QTest::newRow("highest, 10 Hz exact") << Row("29999.99  ", "CW (lsb)") << 1 << "1,,29.999990,,0.000000" + kTail + "CWR,5.00,,,,,,,";
    QTest::newRow("name cut to 16, comment whole") << Row("10000.00  ", "AM (sync)", "OFF", "WWV time signal Fort Collins")
        << 1 << "1,WWV time signal ,10.000000,,0.000000" + kTail + "AM,5.00,,,WWV time signal Fort Collins,,,,";
    QTest::newRow("comma and quote quoted") << Row("3573.00  ", "PKT (lsb)", "OFF", "FT8, \"80m\"")
        << 1 << "1,\"FT8, \"\"80m\"\"\",3.573000,,0.000000" + kTail + "DIG,5.00,,,\"FT8, \"\"80m\"\"\",,,,";
    QTest::newRow("unknown mode stays empty") << Row("5357.00  ", "") << 1 << "1,,5.357000,,0.000000" + kTail + ",5.00,,,,,,,";
}

// The fields and the radio's modes in CHIRP's words.
void ChirpCsvTest::exportLine()
{
    QFETCH(RowCells, cells);
    QFETCH(int, row);
    QTEST(ExportedLine(cells, row), "line");
}

void ChirpCsvTest::exportHeaderAndEmptyRows()
{
    std::vector<RowCells> rows(5);
    rows[2] = Row("14230.00  ", "USB");
    const QByteArray csv = ChirpCsvFromRows(ViewKind::Qmb, rows);
    QCOMPARE(csv, QByteArray("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                             "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
                             "3,,14.230000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,,,,,,\r\n"));
}

void ChirpCsvTest::importRow_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<RowCells>("cells");  // what row 4 of the 99 view gets
    QTest::newRow("USB gets 2.4K filters")
        << Csv({Line("4", "14.074000", "USB")}) << RowCells{"14074.00  ", "USB", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "OFF", ""};
    QTest::newRow("CW gets 500, Skip S masks")
        << Csv({Line("4", "7.030", "CW", "", "S")}) << RowCells{"7030.00* ", "CW (usb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", ""};
    QTest::newRow("CWR, RTTY, RTTYR")
        << Csv({Line("4", "7.031", "CWR")}) << RowCells{"7031.00  ", "CW (lsb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", ""};
    QTest::newRow("RTTYR") << Csv({Line("4", "14.080", "RTTYR")})
                           << RowCells{"14080.00  ", "RTTY (usb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", ""};
    QTest::newRow("AM") << Csv({Line("4", "5.000", "AM")})
                        << RowCells{"5000.00  ", "AM (env)", "Thru", "6.0K", "A", "OFF", "OFF", "0.00", "OFF", ""};
    QTest::newRow("NFM taken as FM, + duplex")
        << Csv({Line("4", "29.620", "NFM", "+")}) << RowCells{"29620.00  ", "FM", "Thru", "6.0K", "A", "OFF", "OFF", "0.00", "+RPT", ""};
    QTest::newRow("DIG, - duplex") << Csv({Line("4", "3.573", "DIG", "-")})
                                   << RowCells{"3573.00  ", "PKT (lsb)", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "-RPT", ""};
    QTest::newRow("PKT") << Csv({Line("4", "29.25", "PKT")})
                         << RowCells{"29250.00  ", "PKT (fm)", "Thru", "6.0K", "A", "OFF", "OFF", "0.00", "OFF", ""};
    QTest::newRow("rounded to 10 Hz") << Csv({Line("4", "14.0740049", "USB")})
                                      << RowCells{"14074.00  ", "USB", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "OFF", ""};
    QTest::newRow("comment column wins over name")
        << Csv({Line("4", "10", "AM", "", "", "WWV", "time signal")}) << RowCells{"10000.00  ", "AM (env)", "Thru", "6.0K", "A", "OFF", "OFF", "0.00", "OFF", "time signal"};
    QTest::newRow("name when comment empty")
        << Csv({Line("4", "10", "AM", "", "", "WWV")}) << RowCells{"10000.00  ", "AM (env)", "Thru", "6.0K", "A", "OFF", "OFF", "0.00", "OFF", "WWV"};
    QTest::newRow("quoted comment with comma, quote and line break")
        << Csv({Line("4", "7.074", "USB", "", "", "", "\"FT8, \"\"40m\"\"\nnight\"")})
        << RowCells{"7074.00  ", "USB", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "OFF", "FT8, \"40m\"\nnight"};
    QTest::newRow("17-column header of older CHIRP, LF line ends")
        << QByteArray("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,"
                      "Skip,Comment,URCALL,RPT1CALL,RPT2CALL\n4,Beacon,28.200000,,0.000000,,88.5,88.5,023,NN,CW,5.00,,,,,\n")
        << RowCells{"28200.00  ", "CW (usb)", "500", "500", "A", "OFF", "OFF", "0.00", "OFF", "Beacon"};
    QTest::newRow("18-column header, decimal comma, byte-order mark")
        << QByteArray("\xEF\xBB\xBFLocation,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                      "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL\r\n"
                      "4,,\"14,230000\",,0,,88.5,88.5,023,NN,USB,5.00,,,SSTV,,,\r\n")
        << RowCells{"14230.00  ", "USB", "2.4K", "2.4K", "A", "OFF", "OFF", "0.00", "OFF", "SSTV"};
}

// Each taken row with the settings the CSV does not carry filled in for its mode.
void ChirpCsvTest::importRow()
{
    QFETCH(QByteArray, csv);
    QFETCH(RowCells, cells);
    const CsvImport imported = RowsFromChirpCsv(ViewKind::Ch99, csv);
    QVERIFY2(imported.ok(), qPrintable(imported.refusal));
    QCOMPARE(imported.leftOut, QStringList());
    QCOMPARE(imported.taken, 1);
    QCOMPARE(imported.rows.size(), std::size_t(99));
    QCOMPARE(imported.rows[3], cells);
    QCOMPARE(imported.rows[2], RowCells{});
}

void ChirpCsvTest::leftOut_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("reasons");
    QTest::addColumn<int>("taken");
    const QString good = Line("1", "3.573", "USB");
    QTest::newRow("2 m is outside the radio")
        << QStringList{good, Line("2", "144.390000", "FM")}
        << QStringList{"line 3: the frequency 144.390000 MHz is outside the radio's 0.1-30 MHz"} << 1;
    QTest::newRow("below 0.1 MHz") << QStringList{Line("2", "0.099990", "AM"), good}
                                   << QStringList{"line 2: the frequency 0.099990 MHz is outside the radio's 0.1-30 MHz"} << 1;
    QTest::newRow("no number") << QStringList{Line("2", "abc", "USB")}
                               << QStringList{"line 2: the frequency \"abc\" is not a number"} << 0;
    QTest::newRow("location outside the view") << QStringList{Line("100", "7.074", "USB"), Line("0", "7.074", "USB"), good}
        << QStringList{"line 2: location \"100\" is outside this view (1-99)", "line 3: location \"0\" is outside this view (1-99)"} << 1;
    QTest::newRow("location twice") << QStringList{good, Line("1", "7.074", "USB")}
                                    << QStringList{"line 3: location 1 was already given on line 2"} << 1;
    QTest::newRow("modes with no equivalent")
        << QStringList{Line("2", "14.2", "DV"), Line("3", "14.2", "DMR"), Line("4", "14.2", "P25"), Line("5", "14.2", "WFM"), good}
        << QStringList{"line 2: the mode \"DV\" has no equivalent on this radio", "line 3: the mode \"DMR\" has no equivalent on this radio",
                       "line 4: the mode \"P25\" has no equivalent on this radio", "line 5: the mode \"WFM\" has no equivalent on this radio"}
        << 1;
    QTest::newRow("split duplex") << QStringList{Line("2", "14.2", "USB", "split")}
                                  << QStringList{"line 2: the duplex \"split\" is not possible on this radio"} << 0;
}

// A row the radio cannot hold is named with its line and reason; the rest are taken.
void ChirpCsvTest::leftOut()
{
    QFETCH(QStringList, lines);
    QFETCH(int, taken);
    const CsvImport imported = RowsFromChirpCsv(ViewKind::Ch99, Csv(lines));
    QVERIFY(imported.ok());
    QTEST(imported.leftOut, "reasons");
    QCOMPARE(imported.taken, taken);
}

void ChirpCsvTest::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("empty") << QByteArray() << "it is empty";
    QTest::newRow("blank lines only") << QByteArray("\r\n\r\n") << "it is empty";
    QTest::newRow("binary") << QByteArray("PK\x03\x04\0\0", 6) << "it is not a text file";
    QTest::newRow("a saved memory file")
        << QByteArray("14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n")
        << "its first line is not a CHIRP header with Location, Frequency and Mode columns";
    QTest::newRow("no Mode column") << QByteArray("Location,Name,Frequency\r\n1,x,7.0\r\n")
                                    << "its first line is not a CHIRP header with Location, Frequency and Mode columns";
    QTest::newRow("quote never closed") << Csv({Line("1", "7.0", "USB", "", "", "\"open")})
                                        << "a quoted field that starts on line 2 is never closed";
}

// A file that is not CSV of this kind gives nothing to write.
void ChirpCsvTest::refused()
{
    QFETCH(QByteArray, bytes);
    const CsvImport imported = RowsFromChirpCsv(ViewKind::Ch99, bytes);
    QTEST(imported.refusal, "refusal");
    QCOMPARE(imported.taken, 0);
}

// Export then import: frequencies, modes (up to the lossy pairs), masks, repeater
// directions and comments come back, in every view.
void ChirpCsvTest::roundTrip()
{
    const QStringList modes{"LSB", "USB", "CW (usb)", "CW (lsb)", "AM (env)", "AM (sync)", "FM",
                            "RTTY (lsb)", "RTTY (usb)", "PKT (lsb)", "PKT (fm)"};
    const QStringList rpts{"OFF", "+RPT", "-RPT"};
    for (ViewKind view : kAllViews) {
        std::vector<RowCells> rows(std::size_t(RowCount(view)));
        for (int i = 0; i < RowCount(view); i += 2) {
            const QString freq = QStringLiteral("%1.%2").arg(100 + i * 263).arg(i % 100, 2, 10, QLatin1Char('0'));
            rows[std::size_t(i)] = Row(freq + (i % 3 ? "  " : "* "), modes[i % modes.size()], rpts[i % 3],
                                       i % 4 ? QStringLiteral("net, \"%1\"").arg(i) : QString());
        }
        const CsvImport back = RowsFromChirpCsv(view, ChirpCsvFromRows(view, rows));
        QVERIFY(back.ok() && back.leftOut.isEmpty());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const RowCells& a = rows[i];
            const RowCells& b = back.rows[i];
            QCOMPARE(b[CellIndex(ColFreq)], a[CellIndex(ColFreq)]);
            const QString mode = a[CellIndex(ColMode)] == u"AM (sync)" ? QStringLiteral("AM (env)") : a[CellIndex(ColMode)];
            QCOMPARE(b[CellIndex(ColMode)], mode);
            QCOMPARE(b[CellIndex(ColRpt)], a[CellIndex(ColRpt)]);
            QCOMPARE(b[CellIndex(ColComment)], a[CellIndex(ColComment)]);
        }
    }
}

QTEST_GUILESS_MAIN(ChirpCsvTest)
#include "chirpcsv_test.moc"
