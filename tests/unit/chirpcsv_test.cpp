// SPDX-License-Identifier: GPL-3.0-or-later
// Memories as CHIRP CSV: the exported fields, and every exported row loading under CHIRP's
// own reading rules (kept here as this test's table); what an import takes from the files
// CHIRP writes, what it leaves out, every value it takes otherwise, the merge into a saved
// file, and the round trip.
#include <QStringDecoder>
#include <QtTest>

#include "chirpcsv.h"

using namespace vardo;

Q_DECLARE_METATYPE(vardo::RowCells)

namespace {

// The filters an import gives each mode.
const QMap<QString, QPair<QString, QString>> kFilters{
    {"LSB", {"2.4K", "2.4K"}},     {"USB", {"2.4K", "2.4K"}},       {"CW (usb)", {"500", "500"}},
    {"CW (lsb)", {"500", "500"}},  {"AM (env)", {"Thru", "6.0K"}},  {"AM (sync)", {"Thru", "6.0K"}},
    {"FM", {"Thru", "6.0K"}},      {"RTTY (lsb)", {"500", "500"}},  {"RTTY (usb)", {"500", "500"}},
    {"PKT (lsb)", {"2.4K", "2.4K"}}, {"PKT (fm)", {"Thru", "6.0K"}}};

// A row as an import makes it: the mode's filters, antenna A, RIT off.
RowCells Row(const QString& freq, const QString& mode, const QString& rpt = "OFF", const QString& comment = {})
{
    const auto filters = kFilters.value(mode);
    return RowCells{freq, mode, filters.first, filters.second, "A", "OFF", "OFF", "0.00", rpt, comment};
}

QByteArray Csv(const QStringList& dataLines, const QString& header = ChirpHeader().join(','))
{
    return (QStringList{header} + dataLines).join("\r\n").toUtf8() + "\r\n";
}

// A data line in today's layout, as CHIRP writes one: tone defaults, Offset even without a
// Duplex, Power.
QString Line(const QString& location, const QString& freq, const QString& mode, const QString& duplex = {},
             const QString& skip = {}, const QString& name = {}, const QString& comment = {},
             const QString& offset = "0.600000", const QString& tone = {})
{
    return QStringList{location, name, freq, duplex, offset, tone, "88.5", "88.5", "023", "NN", "023",
                       "Tone->Tone", mode, "5.00", skip, "50W", comment, "", "", "", ""}.join(',');
}

const QString kTail = ",,88.5,88.5,023,NN,023,Tone->Tone,";

// ---- CHIRP's generic CSV reader, as its rules are written down ----

// Python's csv reader (excel dialect) over CR LF or LF lines: a quote opens a quoted field
// only as a field's first character; "" inside one is a quote. A line with nothing on it is
// an empty row.
QList<QStringList> PythonCsvRows(const QString& text)
{
    enum class At { RecordStart, FieldStart, Field, Quoted, QuoteInQuoted };
    QList<QStringList> rows;
    QStringList row;
    QString field;
    At at = At::RecordStart;
    const auto endField = [&] { row << std::exchange(field, QString()); };
    const auto endRow = [&] {
        if (at != At::RecordStart)
            endField();
        rows << std::exchange(row, QStringList());
        at = At::RecordStart;
    };
    for (const QChar c : text) {
        if (c == u'\r' && at != At::Quoted)
            continue;
        switch (at) {
        case At::Quoted:
            if (c == u'"')
                at = At::QuoteInQuoted;
            else
                field += c;
            break;
        case At::QuoteInQuoted:
            if (c == u'"') {
                field += c;
                at = At::Quoted;
                break;
            }
            [[fallthrough]];
        default:
            if (c == u'\n')
                endRow();
            else if (c == u',') {
                endField();
                at = At::FieldStart;
            } else if (c == u'"' && at != At::Field && at != At::QuoteInQuoted) {
                at = At::Quoted;
            } else {
                field += c;
                at = At::Field;
            }
        }
    }
    if (at != At::RecordStart)
        endRow();
    return rows;
}

// What each column of CHIRP's reader takes; a field that does not match makes the row an error.
const QMap<QString, QRegularExpression>& ChirpColumns()
{
    const QString integer = "\\s*[+-]?\\d+\\s*";
    const QString number = "\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*";
    const QString text = "(?s).*";
    const auto exactly = [](const QString& pattern) { return QRegularExpression("^(" + pattern + ")$"); };
    static const QMap<QString, QRegularExpression> columns{
        {"Location", exactly(integer)}, {"Name", exactly(text)},
        {"Frequency", exactly(number + "|")},  // empty: 0, an empty memory
        {"Duplex", exactly("|\\+|-|split|off")}, {"Offset", exactly(number)},
        {"Tone", exactly("|Tone|TSQL|DTCS|DTCS-R|TSQL-R|Cross")},
        {"rToneFreq", exactly(number)}, {"cToneFreq", exactly(number)}, {"DtcsCode", exactly(integer + "|")},
        {"DtcsPolarity", exactly(text)}, {"RxDtcsCode", exactly(integer + "|")},
        {"CrossMode", exactly("Tone->Tone|DTCS->|->DTCS|Tone->DTCS|DTCS->Tone|->Tone|DTCS->DTCS|Tone->")},
        {"Mode", exactly("WFM|FM|NFM|AM|NAM|DV|USB|LSB|CW|RTTY|DIG|PKT|NCW|NCWR|CWR|P25|Auto|RTTYR|FSK|FSKR|DMR|DN|NXDN")},
        {"TStep", exactly(number)}, {"Skip", exactly("|S|P")}, {"Power", exactly("\\d+|\\d+(\\.\\d+)?W")},
        {"Comment", exactly(text)}, {"URCALL", exactly(text)}, {"RPT1CALL", exactly(text)},
        {"RPT2CALL", exactly(text)}, {"DVCODE", exactly(text)}};
    return columns;
}

struct ChirpLoad {
    int memories = 0;
    QStringList errors;  // "row 3: Power", ...
};

// What CHIRP loads of a file: comment rows skipped, the first other row the header, each
// data row whole or not at all; a row of frequency 0 is an empty memory, skipped.
ChirpLoad LoadAsChirp(const QByteArray& bytes)
{
    ChirpLoad load;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return load.errors << "not UTF-8", load;
    QList<QStringList> rows = PythonCsvRows(text);
    while (!rows.isEmpty() && !rows.first().isEmpty() && rows.first().first().startsWith('#'))
        rows.removeFirst();
    if (rows.isEmpty() || rows.first().value(0) != "Location")
        return load.errors << "not offered as CHIRP CSV", load;
    const QStringList header = rows.takeFirst();
    for (const QString& name : header)
        if (!ChirpColumns().contains(name))
            load.errors << "unknown column " + name;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        const QString where = QStringLiteral("row %1: ").arg(r + 2);
        if (!row.isEmpty() && row.first().startsWith('#'))
            continue;
        if (row.size() < header.size()) {
            load.errors << where + "Column number mismatch";
            continue;
        }
        QStringList bad;
        for (qsizetype i = 0; i < header.size(); ++i)
            if (ChirpColumns().contains(header[i]) && !ChirpColumns()[header[i]].match(row[i]).hasMatch())
                bad << header[i];
        if (!bad.isEmpty())
            load.errors << where + bad.join(',');
        else if (row.value(header.indexOf("Frequency")).toDouble() == 0.0)
            load.errors << where + "empty memory";
        else
            ++load.memories;
    }
    if (load.memories == 0)
        load.errors << "No channels found";
    return load;
}

QStringList Taken(const CsvImport& imported)
{
    QStringList taken;
    for (const ImportedRow& row : imported.taken)
        taken << QStringLiteral("%1:%2").arg(row.row).arg(row.cells[CellIndex(ColFreq)]);
    return taken;
}

}  // namespace

class ChirpCsvTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exportLine_data();
    void exportLine();
    void exportLeavesOut_data();
    void exportLeavesOut();
    void chirpRulesRefuse_data();
    void chirpRulesRefuse();
    void chirpLoadsEveryExportedRow();
    void importRow_data();
    void importRow();
    void fileShapes_data();
    void fileShapes();
    void nameAndComment_data();
    void nameAndComment();
    void notes_data();
    void notes();
    void leftOut_data();
    void leftOut();
    void refused_data();
    void refused();
    void merge_data();
    void merge();
    void roundTrip();
};

void ChirpCsvTest::exportLine_data()
{
    QTest::addColumn<RowCells>("cells");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("line");
    QTest::newRow("USB, plain") << Row("14074.00  ", "USB") << 6 << "6,,14.074000,,0.000000" + kTail + "USB,5.00,,100W,,,,,";
    QTest::newRow("masked: Skip S") << Row("7047.50* ", "LSB") << 1 << "1,,7.047500,,0.000000" + kTail + "LSB,5.00,S,100W,,,,,";
    QTest::newRow("+RPT") << Row("29620.00  ", "FM", "+RPT") << 2 << "2,,29.620000,+,0.100000" + kTail + "FM,5.00,,100W,,,,,";
    QTest::newRow("-RPT") << Row("29680.00  ", "FM", "-RPT") << 2 << "2,,29.680000,-,0.100000" + kTail + "FM,5.00,,100W,,,,,";
    QTest::newRow("lowest frequency") << Row("100.00  ", "AM (env)") << 1 << "1,,0.100000,,0.000000" + kTail + "AM,5.00,,100W,,,,,";
    QTest::newRow("above 30 MHz, 10 Hz exact") << Row("99999.99  ", "CW (lsb)") << 1 << "1,,99.999990,,0.000000" + kTail + "CWR,5.00,,100W,,,,,";
    QTest::newRow("name: leading blanks gone, cut to 16; comment whole")
        << Row("10000.00  ", "AM (sync)", "OFF", "  WWV time signal Fort Collins") << 1
        << "1,WWV time signal ,10.000000,,0.000000" + kTail + "AM,5.00,,100W,  WWV time signal Fort Collins,,,,";
    QTest::newRow("comma and quote quoted") << Row("3573.00  ", "PKT (lsb)", "OFF", "FT8, \"80m\"")
        << 1 << "1,\"FT8, \"\"80m\"\"\",3.573000,,0.000000" + kTail + "DIG,5.00,,100W,\"FT8, \"\"80m\"\"\",,,,";
}

// The fields and the radio's modes in CHIRP's words.
void ChirpCsvTest::exportLine()
{
    QFETCH(RowCells, cells);
    QFETCH(int, row);
    std::vector<RowCells> rows(99);
    rows[std::size_t(row - 1)] = cells;
    const CsvExport csv = ChirpCsvFromRows(ViewKind::Ch99, rows);
    const QStringList lines = QString::fromUtf8(csv.bytes).split("\r\n");
    QCOMPARE(lines.value(0), ChirpHeader().join(','));
    QTEST(lines.value(1), "line");
    QCOMPARE(lines.size(), 3);  // header, the row, the end of the last line
    QCOMPARE(csv.rows, 1);
}

void ChirpCsvTest::exportLeavesOut_data()
{
    QTest::addColumn<RowCells>("cells");
    QTest::addColumn<QStringList>("leftOut");  // of row 3 of the PMS view
    QTest::newRow("comment, empty frequency") << RowCells{"", "", "", "", "", "", "", "", "", "band edge"}
                                              << QStringList{"P3 \"band edge\": it has a comment but no frequency"};
    QTest::newRow("comment, 0.00") << Row("0.00  ", "USB", "OFF", "old net")
                                   << QStringList{"P3 \"old net\": it has a comment but no frequency"};
    QTest::newRow("unknown mode") << Row("7040.00  ", "", "OFF") << QStringList{"P3: its mode is unknown"};
    QTest::newRow("0.00, no comment: nothing to lose") << Row("0.00  ", "USB") << QStringList{};
    QTest::newRow("blank comment: nothing to lose") << RowCells{"", "", "", "", "", "", "", "", "", "   "} << QStringList{};
}

// A channel with nothing CHIRP can load gets no row, and is named when it holds something.
void ChirpCsvTest::exportLeavesOut()
{
    QFETCH(RowCells, cells);
    std::vector<RowCells> rows(9);
    rows[2] = cells;
    const CsvExport csv = ChirpCsvFromRows(ViewKind::Pms, rows);
    QCOMPARE(csv.bytes, ChirpHeader().join(',').toUtf8() + "\r\n");
    QCOMPARE(csv.rows, 0);
    QTEST(csv.leftOut, "leftOut");
}

void ChirpCsvTest::chirpRulesRefuse_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("memories");
    QTest::addColumn<QStringList>("errors");
    const QString header = ChirpHeader().join(',');
    const QString good = "1,,14.074000,,0.000000" + kTail + "USB,5.00,,100W,,,,,";
    QTest::newRow("empty Power, as exports once were")
        << Csv({"1,,14.074000,,0.000000" + kTail + "USB,5.00,,,,,,,"}) << 0 << QStringList{"row 2: Power", "No channels found"};
    QTest::newRow("a field short") << Csv({good.chopped(1)}) << 0 << QStringList{"row 2: Column number mismatch", "No channels found"};
    QTest::newRow("empty CrossMode and TStep")
        << Csv({good, "2,,7.0,,0.0,,88.5,88.5,023,NN,023,,USB,,,5W,,,,,"}) << 1 << QStringList{"row 3: CrossMode,TStep"};
    QTest::newRow("frequency 0 is an empty memory") << Csv({good, "2,,0,,0.0" + kTail + "USB,5.00,,5,,,,,"}) << 1
                                                    << QStringList{"row 3: empty memory"};
    QTest::newRow("comment lines first and between") << QByteArray("# from CHIRP\r\n" + header.toUtf8() + "\r\n# note\r\n"
                                                                   + good.toUtf8() + "\r\n") << 1 << QStringList{};
}

// The reference itself: it refuses what CHIRP refuses, or the next test would prove nothing.
void ChirpCsvTest::chirpRulesRefuse()
{
    QFETCH(QByteArray, csv);
    const ChirpLoad load = LoadAsChirp(csv);
    QTEST(load.memories, "memories");
    QTEST(load.errors, "errors");
}

// A full table of every kind of channel: CHIRP loads each exported row, with no error.
void ChirpCsvTest::chirpLoadsEveryExportedRow()
{
    const QStringList modes = kFilters.keys();
    const QStringList comments{"", "FT8, \"40m\"", "  leading blanks", "two\nlines", "Ümlaut → arrow",
                               "a comment much longer than sixteen characters", "#hash first", "=\"formula\""};
    std::vector<RowCells> rows(std::size_t(RowCount(ViewKind::All)));
    int expected = 0;
    for (int i = 0; i < int(rows.size()); ++i) {
        const QString freq = QStringLiteral("%1.%2%3").arg(100 + i * 883).arg(i % 100, 2, 10, QChar('0')).arg(i % 5 ? "  " : "* ");
        rows[std::size_t(i)] = Row(freq, modes[i % modes.size()], QStringList{"OFF", "+RPT", "-RPT"}[i % 3],
                                   comments[i % comments.size()]);
        if (i % 10 == 9)
            rows[std::size_t(i)] = RowCells{"", "", "", "", "", "", "", "", "", "comment only"};
        else
            ++expected;
    }
    const CsvExport csv = ChirpCsvFromRows(ViewKind::All, rows);
    const ChirpLoad load = LoadAsChirp(csv.bytes);
    QCOMPARE(load.errors, QStringList());
    QCOMPARE(load.memories, expected);
    QCOMPARE(csv.rows, expected);
    QCOMPARE(int(csv.leftOut.size()), int(rows.size()) - expected);
}

void ChirpCsvTest::importRow_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<RowCells>("cells");  // what row 4 of the 99 view gets
    QTest::newRow("USB gets 2.4K filters") << Csv({Line("4", "14.074000", "USB")}) << Row("14074.00  ", "USB");
    QTest::newRow("CW gets 500, Skip S masks") << Csv({Line("4", "7.030", "CW", "", "S")}) << Row("7030.00* ", "CW (usb)");
    QTest::newRow("RTTYR") << Csv({Line("4", "14.080", "rttyr")}) << Row("14080.00  ", "RTTY (usb)");
    QTest::newRow("AM") << Csv({Line("4", "5.000", "AM")}) << Row("5000.00  ", "AM (env)");
    QTest::newRow("FM, + duplex of 0.1 MHz") << Csv({Line("4", "29.620", "FM", "+", "", "", "", "0.100000")})
                                  << Row("29620.00  ", "FM", "+RPT");
    QTest::newRow("just above 30 MHz, as the radio reads it") << Csv({Line("4", "30.000010", "USB")}) << Row("30000.01  ", "USB");
    QTest::newRow("highest the radio can be set to") << Csv({Line("4", "99.99999", "FM")}) << Row("99999.99  ", "FM");
    QTest::newRow("lowest") << Csv({Line("4", ".1", "AM")}) << Row("100.00  ", "AM (env)");
    QTest::newRow("quoted comment with comma, quote and line break")
        << Csv({Line("4", "7.074", "USB", "", "", "", "\"FT8, \"\"40m\"\"\nnight\"")})
        << Row("7074.00  ", "USB", "OFF", "FT8, \"40m\"\nnight");
    QTest::newRow("17-column header of older CHIRP, LF line ends")
        << QByteArray("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,"
                      "Skip,Comment,URCALL,RPT1CALL,RPT2CALL\n4,Beacon,28.200000,,0.000000,,88.5,88.5,023,NN,CW,5.00,,,,,\n")
        << Row("28200.00  ", "CW (usb)", "OFF", "Beacon");
    QTest::newRow("decimal comma") << Csv({"4,,\"14,230000\",,0,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,,SSTV,,,,"})
                                   << Row("14230.00  ", "USB", "OFF", "SSTV");
}

// Each taken row with the settings the CSV does not carry filled in for its mode, and no note.
void ChirpCsvTest::importRow()
{
    QFETCH(QByteArray, csv);
    QFETCH(RowCells, cells);
    const CsvImport imported = RowsFromChirpCsv(ViewKind::Ch99, csv);
    QVERIFY2(imported.ok(), qPrintable(imported.refusal));
    QCOMPARE(imported.leftOut, QStringList());
    QCOMPARE(imported.notes, QStringList());
    QCOMPARE(imported.taken.size(), std::size_t(1));
    QCOMPARE(imported.taken[0].row, 4);
    QCOMPARE(imported.taken[0].cells, cells);
}

void ChirpCsvTest::fileShapes_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QStringList>("lines");  // the line each taken row came from
    const QByteArray header = ChirpHeader().join(',').toUtf8();
    const QByteArray one = Line("1", "7.074", "USB").toUtf8();
    const QByteArray two = Line("2", "14.074", "USB").toUtf8();
    QTest::newRow("comment lines before the header and between rows, as CHIRP keeps them")
        << QByteArray("# Exported from CHIRP\r\n#, with, commas\r\n" + header + "\r\n" + one + "\r\n# a note\r\n" + two + "\r\n")
        << QStringList{"1:7074.00  ", "2:14074.00  "} << QStringList{"4", "6"};
    QTest::newRow("blank lines anywhere") << QByteArray("\r\n" + header + "\r\n\r\n" + one + "\r\n  \r\n" + two)
                                          << QStringList{"1:7074.00  ", "2:14074.00  "} << QStringList{"4", "6"};
    QTest::newRow("CR alone ends lines") << QByteArray("#x\r" + header + "\r" + one + "\r" + two + "\r")
                                         << QStringList{"1:7074.00  ", "2:14074.00  "} << QStringList{"3", "4"};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" + header + "\r\n" + two + "\r\n")
                                     << QStringList{"2:14074.00  "} << QStringList{"2"};
    QTest::newRow("quoted line break counts its line") << QByteArray(header + "\r\n" + Line("1", "7.074", "USB", "", "", "", "\"a\r\nb\"").toUtf8() + "\r\n" + two)
        << QStringList{"1:7074.00  ", "2:14074.00  "} << QStringList{"2", "4"};
    QTest::newRow("quote inside a field is a character") << QByteArray(header + "\r\n" + Line("1", "7.074", "USB", "", "", "12\" dish").toUtf8() + "\r\n" + two)
        << QStringList{"1:7074.00  ", "2:14074.00  "} << QStringList{"2", "3"};
}

// What CHIRP and spreadsheets write is read row by row, with the right line numbers.
void ChirpCsvTest::fileShapes()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, lines);
    const CsvImport imported = RowsFromChirpCsv(ViewKind::Ch99, csv);
    QVERIFY2(imported.ok(), qPrintable(imported.refusal));
    QCOMPARE(imported.leftOut, QStringList());
    QTEST(Taken(imported), "taken");
    QStringList from;
    for (const ImportedRow& row : imported.taken)
        from << QString::number(row.line);
    QCOMPARE(from, lines);
}

void ChirpCsvTest::nameAndComment_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("result");
    QTest::newRow("both: blanks around them trimmed") << " Net " << " Sunday " << "Net - Sunday";
    QTest::newRow("comment starts with the name: kept as it is") << "WWV time" << "WWV time signal " << "WWV time signal ";
    QTest::newRow("blanks around both ignored when comparing") << " WWV " << "  WWV time" << "  WWV time";
    QTest::newRow("name only, blank comment") << " Beacon " << "   " << "Beacon";
    QTest::newRow("comment only, kept as it is") << "" << "  band edge" << "  band edge";
    QTest::newRow("letter case counts") << "wwv" << "WWV time signal" << "wwv - WWV time signal";
}

// The Name (cut short by radios' displays) and the Comment become one comment, nothing lost.
void ChirpCsvTest::nameAndComment()
{
    QFETCH(QString, name);
    QFETCH(QString, comment);
    const CsvImport imported = RowsFromChirpCsv(ViewKind::Qmb, Csv({Line("1", "7.074", "USB", "", "", "\"" + name + "\"", "\"" + comment + "\"")}));
    QCOMPARE(imported.taken.size(), std::size_t(1));
    QTEST(imported.taken[0].cells[CellIndex(ColComment)], "result");
}

void ChirpCsvTest::notes_data()
{
    QTest::addColumn<QString>("view");  // "qmb" or the 99 view
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("cells");  // row 1's Freq, Mode and RPT
    QTest::addColumn<QStringList>("notes");
    QTest::newRow("0.6 MHz offset with + duplex") << "" << Line("1", "29.62", "FM", "+", "", "", "", "0.600000")
        << "29620.00  |FM|+RPT" << QStringList{"line 2: the duplex offset 0.600000 MHz was taken as the radio's repeater shift, 0.100000 MHz"};
    QTest::newRow("empty offset with - duplex") << "" << Line("1", "29.62", "FM", "-", "", "", "", "")
        << "29620.00  |FM|-RPT" << QStringList{"line 2: the duplex offset \"\" was taken as the radio's repeater shift, 0.100000 MHz"};
    QTest::newRow("offset with empty duplex means nothing") << "" << Line("1", "29.62", "FM", "", "", "", "", "0.600000")
                                                           << "29620.00  |FM|OFF" << QStringList{};
    QTest::newRow("tone mode dropped") << "" << Line("1", "29.62", "FM", "", "", "", "", "0", "TSQL")
        << "29620.00  |FM|OFF" << QStringList{"line 2: the tone mode \"TSQL\" was dropped: a channel here holds no tone"};
    QTest::newRow("tone values without a tone mode mean nothing")
        << "" << "1,,29.62,,0,,100.0,123.0,754,RN,023,DTCS->,FM,5.00,,5W,,,,," << "29620.00  |FM|OFF" << QStringList{};
    QTest::newRow("Skip P") << "" << Line("1", "7.074", "USB", "", "P") << "7074.00  |USB|OFF"
                            << QStringList{"line 2: the Skip \"P\" was taken as not skipped"};
    QTest::newRow("rounded to 10 Hz") << "" << Line("1", "14.074123", "USB") << "14074.12  |USB|OFF"
        << QStringList{"line 2: the frequency 14.074123 MHz was taken as 14.074120 MHz (the radio tunes in 10 Hz steps)"};
    QTest::newRow("rounded up to 10 Hz") << "" << Line("1", "14.0740051", "USB") << "14074.01  |USB|OFF"
        << QStringList{"line 2: the frequency 14.0740051 MHz was taken as 14.074010 MHz (the radio tunes in 10 Hz steps)"};
    QTest::newRow("trailing zeros are exact") << "" << Line("1", "14.07400000", "USB") << "14074.00  |USB|OFF" << QStringList{};
    QTest::newRow("NAM") << "" << Line("1", "5.0", "NAM") << "5000.00  |AM (env)|OFF"
                         << QStringList{"line 2: the mode \"NAM\" was taken as AM (env)"};
    QTest::newRow("NFM") << "" << Line("1", "29.6", "NFM") << "29600.00  |FM|OFF"
                         << QStringList{"line 2: the mode \"NFM\" was taken as FM"};
    QTest::newRow("Skip S in the Quick Memory Banks") << "qmb" << Line("1", "7.074", "USB", "", "S") << "7074.00  |USB|OFF"
        << QStringList{"line 2: the Skip \"S\" was dropped: the Quick Memory Banks' file holds no mask"};
    QTest::newRow("several in one row, in column order")
        << "" << Line("1", "29.620101", "NFM", "+", "P", "", "", "0.6", "Tone") << "29620.10  |FM|+RPT"
        << QStringList{"line 2: the frequency 29.620101 MHz was taken as 29.620100 MHz (the radio tunes in 10 Hz steps)",
                       "line 2: the mode \"NFM\" was taken as FM",
                       "line 2: the duplex offset 0.6 MHz was taken as the radio's repeater shift, 0.100000 MHz",
                       "line 2: the tone mode \"Tone\" was dropped: a channel here holds no tone",
                       "line 2: the Skip \"P\" was taken as not skipped"};
}

// Every value taken otherwise than the file gives it is named; CHIRP's fillers are not.
void ChirpCsvTest::notes()
{
    QFETCH(QString, view);
    QFETCH(QString, line);
    const CsvImport imported = RowsFromChirpCsv(view == "qmb" ? ViewKind::Qmb : ViewKind::Ch99, Csv({line}));
    QCOMPARE(imported.leftOut, QStringList());
    QCOMPARE(imported.taken.size(), std::size_t(1));
    const RowCells& cells = imported.taken[0].cells;
    QTEST(QStringList({cells[CellIndex(ColFreq)], cells[CellIndex(ColMode)], cells[CellIndex(ColRpt)]}).join('|'), "cells");
    QTEST(imported.notes, "notes");
}

void ChirpCsvTest::leftOut_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("reasons");
    QTest::addColumn<int>("taken");
    const QString good = Line("1", "3.573", "USB");
    QTest::newRow("2 m is beyond the radio")
        << QStringList{good, Line("2", "144.390000", "FM")}
        << QStringList{"line 3: the frequency 144.390000 MHz is outside what the radio can be set to (0.100000-99.999990 MHz)"} << 1;
    QTest::newRow("below 0.1 MHz") << QStringList{Line("2", "0.099990", "AM"), good}
        << QStringList{"line 2: the frequency 0.099990 MHz is outside what the radio can be set to (0.100000-99.999990 MHz)"} << 1;
    QTest::newRow("every row refused")
        << QStringList{Line("1", "abc", "USB"), Line("2", "", "USB"), Line("3", "0.000000", "USB"), Line("x", "7.0", "USB")}
        << QStringList{"line 2: the frequency \"abc\" is not a number", "line 3: it has no frequency (an empty channel)",
                       "line 4: it has no frequency (an empty channel)", "line 5: location \"x\" is outside this view (1-99)"}
        << 0;
    QTest::newRow("header only") << QStringList{} << QStringList{} << 0;
    QTest::newRow("location outside the view") << QStringList{Line("100", "7.074", "USB"), Line("0", "7.074", "USB"), good}
        << QStringList{"line 2: location \"100\" is outside this view (1-99)", "line 3: location \"0\" is outside this view (1-99)"} << 1;
    QTest::newRow("location twice") << QStringList{good, Line("1", "7.074", "USB")}
                                    << QStringList{"line 3: location 1 was already given on line 2"} << 1;
    QTest::newRow("modes with no equivalent")
        << QStringList{Line("2", "14.2", "DV"), Line("3", "14.2", "WFM"), good}
        << QStringList{"line 2: the mode \"DV\" has no equivalent on this radio", "line 3: the mode \"WFM\" has no equivalent on this radio"}
        << 1;
    QTest::newRow("split and off duplex") << QStringList{Line("2", "14.2", "USB", "split"), Line("3", "14.2", "USB", "off")}
        << QStringList{"line 2: the duplex \"split\" is not possible on this radio", "line 3: the duplex \"off\" is not possible on this radio"}
        << 0;
}

// A row the radio cannot hold is named with its line and reason and gives no row at all.
void ChirpCsvTest::leftOut()
{
    QFETCH(QStringList, lines);
    QFETCH(int, taken);
    const CsvImport imported = RowsFromChirpCsv(ViewKind::Ch99, Csv(lines));
    QVERIFY(imported.ok());
    QTEST(imported.leftOut, "reasons");
    QCOMPARE(int(imported.taken.size()), taken);
    QCOMPARE(imported.notes, QStringList());
}

void ChirpCsvTest::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("empty") << QByteArray() << "it is empty";
    QTest::newRow("blank lines only") << QByteArray("\r\n\r\n") << "it is empty";
    QTest::newRow("comment lines only") << QByteArray("# CHIRP\r\n#\r\n") << "it has no header line";
    QTest::newRow("binary") << QByteArray("PK\x03\x04\0\0", 6) << "it is not a text file";
    QTest::newRow("a saved memory file") << QByteArray("14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n")
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
    QVERIFY(imported.taken.empty());
}

void ChirpCsvTest::merge_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("result");
    // Lines a Save would not write so: a short frequency, a comment with colons, a lone comment.
    const QByteArray pms = "14074.0:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8: 20m\r\n"
                           ":::::::::band edge\r\n"
                           "7000.00*:CW (usb):500:500:B:ON:OFF:+1.50:OFF:Caf\xE9\r\n"
                           ":::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n"
                           "29620.00:FM:Thru:6.0K:A:OFF:OFF:0.00:-RPT:rep\r\n";
    QTest::newRow("rows 2 and 9 replaced, the rest byte for byte")
        << "pms" << pms << QStringList{Line("9", "28.2", "CW"), Line("2", "3.5735", "USB", "", "S", "edge")}
        << QByteArray("14074.0:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8: 20m\r\n"
                      "3573.50*:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:edge\r\n"
                      "7000.00*:CW (usb):500:500:B:ON:OFF:+1.50:OFF:Caf\xE9\r\n"
                      ":::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n"
                      "28200.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:\r\n");
    QTest::newRow("left-out rows keep their channel") << "pms" << pms
        << QStringList{Line("1", "144.39", "FM"), Line("3", "7.0", "DV"), Line("4", "7.0", "USB")}
        << QByteArray(pms).replace("\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n",
                                   "\r\n7000.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n");
    QTest::newRow("no saved file yet: empty rows around") << "qmb" << QByteArray() << QStringList{Line("2", "7.074", "USB", "", "", "", "FT8")}
        << QByteArray(":::::::::\r\n7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n");
    QTest::newRow("LF file, lines past the view kept") << "qmb" << QByteArray("a:::::::::\nb:::::::::\nc\nd\ne\nf\n")
        << QStringList{Line("5", "7.074", "USB")}
        << QByteArray("a:::::::::\r\nb:::::::::\r\nc\r\nd\r\n7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\nf\r\n");
}

// The CSV's rows replace the lines at their locations; every other line stays as it was.
void ChirpCsvTest::merge()
{
    QFETCH(QString, view);
    QFETCH(QByteArray, saved);
    QFETCH(QStringList, lines);
    const ViewKind kind = view == "qmb" ? ViewKind::Qmb : ViewKind::Pms;
    QTEST(SavedFileWithImport(kind, saved, RowsFromChirpCsv(kind, Csv(lines))), "result");
}

// Export then import into the same saved file: byte for byte the same file, in every view,
// with frequencies beyond 30 MHz, masks, repeater directions, comments CHIRP's Name cannot
// hold and comment-only rows (which the CSV does not carry and the merge keeps).
void ChirpCsvTest::roundTrip()
{
    const QStringList modes = kFilters.keys().filter(QRegularExpression("^(?!AM \\(sync\\))"));  // AM (sync) comes back as AM (env)
    const QStringList rpts{"OFF", "+RPT", "-RPT"};
    for (ViewKind view : kAllViews) {
        std::vector<RowCells> rows(std::size_t(RowCount(view)));
        QStringList saved;
        int channels = 0;
        for (int i = 0; i < RowCount(view); ++i) {
            const QString freq = QStringLiteral("%1.%2").arg(100 + i * 883).arg(i % 100, 2, 10, QChar('0'));
            const QString mark = view != ViewKind::Qmb && i % 3 == 0 ? "*" : "";
            const QString comment = i % 4 ? QStringLiteral(" net, \"%1\" on Sunday evenings ").arg(i) : QString();
            const QString rpt = rpts[i % 3];
            const QString mode = modes[i % modes.size()];
            const auto f = kFilters.value(mode);
            if (i % 7 == 6) {
                saved << ":::::::::" + comment;
                rows[std::size_t(i)][CellIndex(ColComment)] = comment;
            } else {
                saved << QStringList{freq + mark, mode, f.first, f.second, "A", "OFF", "OFF", "0.00", rpt, comment}.join(':');
                rows[std::size_t(i)] = Row(freq + (mark.isEmpty() ? "  " : "* "), mode, rpt, comment);
                ++channels;
            }
        }
        const QByteArray file = saved.join("\r\n").toUtf8() + "\r\n";
        const CsvImport back = RowsFromChirpCsv(view, ChirpCsvFromRows(view, rows).bytes);
        QVERIFY(back.ok());
        QCOMPARE(back.leftOut, QStringList());
        QCOMPARE(back.notes, QStringList());
        QCOMPARE(int(back.taken.size()), channels);
        QCOMPARE(SavedFileWithImport(view, file, back), file);
    }
}

QTEST_GUILESS_MAIN(ChirpCsvTest)
#include "chirpcsv_test.moc"
