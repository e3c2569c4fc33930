// SPDX-License-Identifier: GPL-3.0-or-later
// Memories as CHIRP CSV both ways, held against CHIRP's own reading rules (this test's model).
#include <QStringDecoder>
#include <QtTest>

#include "chirpcsv.h"

using namespace vardo;

Q_DECLARE_METATYPE(vardo::RowCells)
Q_DECLARE_METATYPE(vardo::ViewKind)

namespace {

const QString kHeader = "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                        "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";
const QString kTail = ",,88.5,88.5,023,NN,023,Tone->Tone,";

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

QByteArray Csv(const QStringList& dataLines) { return (QStringList{kHeader} + dataLines).join("\r\n").toUtf8() + "\r\n"; }

// A data line as CHIRP writes one: tone defaults, Offset even without a Duplex, Power.
QString Line(const QString& location, const QString& freq, const QString& mode, const QString& duplex = {},
             const QString& skip = {}, const QString& name = {}, const QString& comment = {},
             const QString& offset = "0.600000", const QString& tone = {})
{
    return QStringList{location, name, freq, duplex, offset, tone, "88.5", "88.5", "023", "NN", "023",
                       "Tone->Tone", mode, "5.00", skip, "50W", comment, "", "", "", ""}.join(',');
}

// ---- CHIRP's generic CSV reader, as its rules are written down ----

// Python's csv reader (excel dialect): a quote opens a quoted field only as its first character.
QList<QStringList> PythonCsvRows(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, atFieldStart = true, inRow = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else
                quoted = false;
        } else if (c == u'\n') {
            if (inRow)
                row << std::exchange(field, {});
            rows << std::exchange(row, {});
            atFieldStart = true, inRow = false;
        } else if (c == u',') {
            row << std::exchange(field, {});
            atFieldStart = inRow = true;
        } else if (c != u'\r') {
            quoted = c == u'"' && atFieldStart;
            if (!quoted)
                field += c;
            atFieldStart = false, inRow = true;
        }
    }
    if (inRow)
        rows << (row << field);
    return rows;
}

// What each column of CHIRP's reader takes; a field that does not match makes the row an error.
const QMap<QString, QRegularExpression>& ChirpColumns()
{
    const QString integer = "\\s*[+-]?\\d+\\s*", number = "\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*", text = "(?s).*";
    const auto exactly = [](const QString& pattern) { return QRegularExpression("^(" + pattern + ")$"); };
    static const QMap<QString, QRegularExpression> columns{
        {"Location", exactly(integer)}, {"Name", exactly(text)}, {"Frequency", exactly(number + "|")},  // empty: an empty memory
        {"Duplex", exactly("|\\+|-|split|off")}, {"Offset", exactly(number)}, {"Tone", exactly("|Tone|TSQL|DTCS|DTCS-R|TSQL-R|Cross")},
        {"rToneFreq", exactly(number)}, {"cToneFreq", exactly(number)}, {"DtcsCode", exactly(integer + "|")},
        {"DtcsPolarity", exactly(text)}, {"RxDtcsCode", exactly(integer + "|")},
        {"CrossMode", exactly("Tone->Tone|DTCS->|->DTCS|Tone->DTCS|DTCS->Tone|->Tone|DTCS->DTCS|Tone->")},
        {"Mode", exactly("WFM|FM|NFM|AM|NAM|DV|USB|LSB|CW|RTTY|DIG|PKT|NCW|NCWR|CWR|P25|Auto|RTTYR|FSK|FSKR|DMR|DN|NXDN")},
        {"TStep", exactly(number)}, {"Skip", exactly("|S|P")}, {"Power", exactly("\\d+|\\d+(\\.\\d+)?W")}, {"Comment", exactly(text)},
        {"URCALL", exactly(text)}, {"RPT1CALL", exactly(text)}, {"RPT2CALL", exactly(text)}, {"DVCODE", exactly(text)}};
    return columns;
}

struct ChirpLoad {
    int memories = 0;
    QStringList errors;  // "row 3: Power", ...
};

// Comment rows skipped, the first other row the header, each data row whole or not at all.
ChirpLoad LoadAsChirp(const QByteArray& bytes)
{
    ChirpLoad load;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QList<QStringList> rows = PythonCsvRows(utf8.decode(bytes));
    if (utf8.hasError())
        return {0, {"not UTF-8"}};
    rows.removeIf([](const QStringList& row) { return row.value(0).startsWith('#'); });
    if (rows.isEmpty() || rows.first().value(0) != "Location")
        return {0, {"not offered as CHIRP CSV"}};
    const QStringList header = rows.takeFirst();
    for (const QString& name : header)
        if (!ChirpColumns().contains(name))
            load.errors << "unknown column " + name;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString where = QStringLiteral("row %1: ").arg(r + 2);
        QStringList bad;
        for (qsizetype i = 0; i < header.size() && rows[r].size() >= header.size(); ++i)
            if (!ChirpColumns().value(header[i]).match(rows[r][i]).hasMatch())
                bad << header[i];
        if (rows[r].size() < header.size())
            load.errors << where + "Column number mismatch";
        else if (!bad.isEmpty())
            load.errors << where + bad.join(',');
        else if (rows[r].value(header.indexOf("Frequency")).toDouble() == 0.0)
            load.errors << where + "empty memory";
        else
            ++load.memories;
    }
    if (load.memories == 0)
        load.errors << "No channels found";
    return load;
}

QString Took(const RowCells& cells, int row = 1, int line = 2)
{
    return QStringLiteral("%1@%2: ").arg(row).arg(line) + QStringList(cells.begin(), cells.end()).join('|');
}

// The refusal, each taken row as "row@line: cells", then the notes, then the rows left out.
QStringList Outcome(const CsvImport& imported)
{
    QStringList out;
    if (!imported.ok())
        out << "refused: " + imported.refusal;
    for (const ImportedRow& row : imported.taken)
        out << Took(row.cells, row.row, row.line);
    return out + imported.notes + imported.leftOut;
}

}  // namespace

class ChirpCsvTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exported_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<int>("row");
        QTest::addColumn<RowCells>("cells");
        QTest::addColumn<QString>("line");  // empty: no row
        QTest::addColumn<QStringList>("leftOut");
        const auto ch99 = [](const char* name, int row, const RowCells& cells, const QString& line) {
            QTest::newRow(name) << ViewKind::Ch99 << row << cells << line << QStringList{};
        };
        ch99("USB, plain", 6, Row("14074.00  ", "USB"), "6,,14.074000,,0.000000" + kTail + "USB,5.00,,100W,,,,,");
        ch99("above 30 MHz, 10 Hz exact", 1, Row("99999.99  ", "CW (lsb)"),
             "1,,99.999990,,0.000000" + kTail + "CWR,5.00,,100W,,,,,");
        ch99("name: leading blanks gone, cut to 16; comment whole", 1,
             Row("10000.00  ", "AM (sync)", "OFF", "  WWV time signal Fort Collins"),
             "1,WWV time signal ,10.000000,,0.000000" + kTail + "AM,5.00,,100W,  WWV time signal Fort Collins,,,,");
        ch99("comma and quote quoted", 1, Row("3573.00  ", "PKT (lsb)", "OFF", "FT8, \"80m\""),
             "1,\"FT8, \"\"80m\"\"\",3.573000,,0.000000" + kTail + "DIG,5.00,,100W,\"FT8, \"\"80m\"\"\",,,,");
        // A channel with nothing CHIRP can load gets no row, and is named when it holds something.
        const auto pms = [](const char* name, const RowCells& cells, const QStringList& leftOut) {
            QTest::newRow(name) << ViewKind::Pms << 3 << cells << QString() << leftOut;
        };
        pms("comment, empty frequency", RowCells{"", "", "", "", "", "", "", "", "", "band edge"},
            {"P3 \"band edge\": it has a comment but no frequency"});
        pms("comment, 0.00", Row("0.00  ", "USB", "OFF", "old net"), {"P3 \"old net\": it has a comment but no frequency"});
        pms("unknown mode", Row("7040.00  ", ""), {"P3: its mode is unknown"});
        pms("0.00, no comment: nothing to lose", Row("0.00  ", "USB"), {});
        pms("blank comment: nothing to lose", RowCells{"", "", "", "", "", "", "", "", "", "   "}, {});
        ch99("line break, non-ASCII", 1, Row("7000.00* ", "RTTY (usb)", "-RPT", "two\nÜ → x"),
             "1,\"two\nÜ → x\",7.000000,-,0.100000" + kTail + "RTTYR,5.00,S,100W,\"two\nÜ → x\",,,,");
        ch99("text a spreadsheet would take for a formula", 1, Row("3573.00  ", "PKT (fm)", "+RPT", "=\"formula\""),
             "1,\"=\"\"formula\"\"\",3.573000,+,0.100000" + kTail + "PKT,5.00,,100W,\"=\"\"formula\"\"\",,,,");
    }
    void exported()
    {
        QFETCH(ViewKind, view);
        QFETCH(int, row);
        QFETCH(QString, line);
        std::vector<RowCells> rows(std::size_t(RowCount(view)));
        QFETCH(RowCells, cells);
        rows[std::size_t(row - 1)] = cells;
        const CsvExport csv = ChirpCsvFromRows(view, rows);
        QCOMPARE(QString::fromUtf8(csv.bytes).split("\r\n"), (line.isEmpty() ? QStringList{kHeader, ""} : QStringList{kHeader, line, ""}));
        QCOMPARE(csv.rows, line.isEmpty() ? 0 : 1);
        QTEST(csv.leftOut, "leftOut");
        const ChirpLoad load = LoadAsChirp(csv.bytes);  // and CHIRP loads each row with no error
        QCOMPARE(load.errors, line.isEmpty() ? QStringList{"No channels found"} : QStringList());
    }

    // The model itself: it refuses what CHIRP refuses, or the next test would prove nothing.
    void chirpRulesRefuse()
    {
        const QString good = "1,,14.074000,,0.000000" + kTail + "USB,5.00,,100W,,,,,";
        const std::tuple<QByteArray, int, QStringList> files[] = {
            {Csv({"1,,14.074000,,0.000000" + kTail + "USB,5.00,,,,,,,"}), 0, {"row 2: Power", "No channels found"}},  // as exports once were
            {Csv({good.chopped(1)}), 0, {"row 2: Column number mismatch", "No channels found"}},
            {Csv({good, "2,,7.0,,0.0,,88.5,88.5,023,NN,023,,USB,,,5W,,,,,"}), 1, {"row 3: CrossMode,TStep"}},
            {Csv({good, "2,,0,,0.0" + kTail + "USB,5.00,,5,,,,,"}), 1, {"row 3: empty memory"}},
            {"# from CHIRP\r\n" + kHeader.toUtf8() + "\r\n# note\r\n" + good.toUtf8() + "\r\n", 1, {}}};
        for (const auto& [csv, memories, errors] : files) {
            const ChirpLoad load = LoadAsChirp(csv);
            QCOMPARE(load.memories, memories);
            QCOMPARE(load.errors, errors);
        }
    }

    // Each value taken otherwise than the file gives it is named (CHIRP's fillers are not).
    void import_data()
    {
        QTest::addColumn<ViewKind>("view");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("outcome");
        const auto ch99 = [](const char* name, const QByteArray& csv, const QStringList& outcome) {
            QTest::newRow(name) << ViewKind::Ch99 << csv << outcome;
        };
        const auto row4 = [](const RowCells& cells) { return QStringList{Took(cells, 4)}; };
        ch99("RTTYR", Csv({Line("4", "14.080", "rttyr")}), row4(Row("14080.00  ", "RTTY (usb)")));
        ch99("just above 30 MHz, as the radio reads it", Csv({Line("4", "30.000010", "USB")}), row4(Row("30000.01  ", "USB")));
        ch99("highest the radio can be set to", Csv({Line("4", "99.99999", "FM")}), row4(Row("99999.99  ", "FM")));
        ch99("lowest", Csv({Line("4", ".1", "AM")}), row4(Row("100.00  ", "AM (env)")));
        ch99("17-column header of older CHIRP, LF line ends",
             "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,"
             "Skip,Comment,URCALL,RPT1CALL,RPT2CALL\n4,Beacon,28.200000,,0.000000,,88.5,88.5,023,NN,CW,5.00,,,,,\n",
             row4(Row("28200.00  ", "CW (usb)", "OFF", "Beacon")));
        ch99("decimal comma", Csv({"4,,\"14,230000\",,0,,88.5,88.5,023,NN,023,Tone->Tone,USB,5.00,,,SSTV,,,,"}),
             row4(Row("14230.00  ", "USB", "OFF", "SSTV")));

        // Line numbers stay right through what CHIRP and spreadsheets write.
        const QByteArray header = kHeader.toUtf8(), one = Line("1", "7.074", "USB").toUtf8();
        const QByteArray two = Line("2", "14.074", "USB").toUtf8();
        const auto both = [](int line1, int line2, const QString& comment1 = {}) {
            return QStringList{Took(Row("7074.00  ", "USB", "OFF", comment1), 1, line1), Took(Row("14074.00  ", "USB"), 2, line2)};
        };
        ch99("comment lines before the header and between rows, as CHIRP keeps them",
             "# Exported from CHIRP\r\n#, with, commas\r\n" + header + "\r\n" + one + "\r\n# a note\r\n" + two + "\r\n", both(4, 6));
        ch99("blank lines anywhere", "\r\n" + header + "\r\n\r\n" + one + "\r\n  \r\n" + two, both(4, 6));
        ch99("CR alone ends lines", "#x\r" + header + "\r" + one + "\r" + two + "\r", both(3, 4));
        ch99("byte-order mark", "\xEF\xBB\xBF" + header + "\r\n" + two + "\r\n", {Took(Row("14074.00  ", "USB"), 2)});
        ch99("quoted line break counts its line",
             header + "\r\n" + Line("1", "7.074", "USB", "", "", "", "\"a\r\nb\"").toUtf8() + "\r\n" + two, both(2, 4, "a\nb"));
        ch99("quote inside a field is a character",
             header + "\r\n" + Line("1", "7.074", "USB", "", "", "12\" dish").toUtf8() + "\r\n" + two, both(2, 3, "12\" dish"));

        // The Name (cut short by radios' displays) and the Comment become one comment, nothing lost.
        const auto named = [](const char* name, const QString& chirpName, const QString& comment, const QString& result) {
            QTest::newRow(name) << ViewKind::Qmb << Csv({Line("1", "7.074", "USB", "", "", '"' + chirpName + '"', '"' + comment + '"')})
                                << QStringList{Took(Row("7074.00  ", "USB", "OFF", result))};
        };
        named("both: blanks around them trimmed", " Net ", " Sunday ", "Net - Sunday");
        named("comment starts with the name: kept as it is", "WWV time", "WWV time signal ", "WWV time signal ");
        named("name only, blank comment", " Beacon ", "   ", "Beacon");
        named("comment only, kept as it is", "", "  band edge", "  band edge");
        named("letter case counts", "wwv", "WWV time signal", "wwv - WWV time signal");

        const auto noted = [](const char* name, const QString& line, const RowCells& cells, const QStringList& notes,
                              ViewKind view = ViewKind::Ch99) {
            QTest::newRow(name) << view << Csv({line}) << QStringList{Took(cells)} + notes;
        };
        noted("empty offset with - duplex", Line("1", "29.62", "FM", "-", "", "", "", ""), Row("29620.00  ", "FM", "-RPT"),
              {"line 2: the duplex offset \"\" was taken as the radio's repeater shift, 0.100000 MHz"});
        noted("tone values without a tone mode mean nothing", "1,,29.62,,0,,100.0,123.0,754,RN,023,DTCS->,FM,5.00,,5W,,,,,",
              Row("29620.00  ", "FM"), {});
        noted("NAM", Line("1", "5.0", "NAM"), Row("5000.00  ", "AM (env)"), {"line 2: the mode \"NAM\" was taken as AM (env)"});
        noted("Skip S in the Quick Memory Banks", Line("1", "7.074", "USB", "", "S"), Row("7074.00  ", "USB"),
              {"line 2: the Skip \"S\" was dropped: the Quick Memory Banks' file holds no mask"}, ViewKind::Qmb);
        noted("several in one row, in column order", Line("1", "29.6200951", "NFM", "+", "P", "", "", "0.6", "Tone"),
              Row("29620.10  ", "FM", "+RPT"),
              {"line 2: the frequency 29.6200951 MHz was taken as 29.620100 MHz (the radio tunes in 10 Hz steps)",
               "line 2: the mode \"NFM\" was taken as FM",
               "line 2: the duplex offset 0.6 MHz was taken as the radio's repeater shift, 0.100000 MHz",
               "line 2: the tone mode \"Tone\" was dropped: a channel here holds no tone",
               "line 2: the Skip \"P\" was taken as not skipped"});

        const QString range = "MHz is outside what the radio can be set to (0.100000-99.999990 MHz)";
        ch99("each line the radio cannot hold named",
             Csv({Line("2", "144.390000", "FM"), Line("100", "7.074", "USB"), Line("0", "7.074", "USB"), Line("4", "14.2", "DV"),
                  Line("5", "14.2", "USB", "split"), Line("1", "3.573", "USB"), Line("1", "7.074", "USB")}),
             {Took(Row("3573.00  ", "USB"), 1, 7), "line 2: the frequency 144.390000 " + range,
              "line 3: location \"100\" is outside this view (1-99)", "line 4: location \"0\" is outside this view (1-99)",
              "line 5: the mode \"DV\" has no equivalent on this radio", "line 6: the duplex \"split\" is not possible on this radio",
              "line 8: location 1 was already given on line 7"});
        ch99("every row refused",
             Csv({Line("1", "abc", "USB"), Line("2", "", "USB"), Line("3", "0.000000", "USB"), Line("x", "7.0", "USB")}),
             {"line 2: the frequency \"abc\" is not a number", "line 3: it has no frequency (an empty channel)",
              "line 4: it has no frequency (an empty channel)", "line 5: location \"x\" is outside this view (1-99)"});
        ch99("header only", Csv({}), {});

        const auto refused = [](const char* name, const QByteArray& bytes, const QString& refusal) {
            QTest::newRow(name) << ViewKind::Ch99 << bytes << QStringList{"refused: " + refusal};
        };
        const QString notHeader = "its first line is not a CHIRP header with Location, Frequency and Mode columns";
        refused("empty", QByteArray(), "it is empty");
        refused("comment lines only", "# CHIRP\r\n#\r\n", "it has no header line");
        refused("binary", QByteArray("PK\x03\x04\0\0", 6), "it is not a text file");
        refused("a saved memory file", "14074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n", notHeader);
        refused("no Mode column", "Location,Name,Frequency\r\n1,x,7.0\r\n", notHeader);
        refused("quote never closed", Csv({Line("1", "7.0", "USB", "", "", "\"open")}),
                "a quoted field that starts on line 2 is never closed");
    }
    void import()
    {
        QFETCH(ViewKind, view);
        QFETCH(QByteArray, csv);
        QTEST(Outcome(RowsFromChirpCsv(view, csv)), "outcome");
    }

    // The CSV's rows replace the lines at their locations; every other line stays as it was.
    void merge()
    {
        // Lines a Save would not write so: a short frequency, a comment with colons, a lone comment.
        const QByteArray pms = "14074.0:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8: 20m\r\n"
                               ":::::::::band edge\r\n"
                               "7000.00*:CW (usb):500:500:B:ON:OFF:+1.50:OFF:Caf\xE9\r\n"
                               ":::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n"
                               "29620.00:FM:Thru:6.0K:A:OFF:OFF:0.00:-RPT:rep\r\n";
        const std::tuple<ViewKind, QByteArray, QStringList, QByteArray> rows[] = {
            // rows 2 and 9 replaced, the rest byte for byte
            {ViewKind::Pms, pms, {Line("9", "28.2", "CW"), Line("2", "3.5735", "USB", "", "S", "edge")},
             QByteArray(pms).replace(":::::::::band edge", "3573.50*:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:edge")
                 .replace("29620.00:FM:Thru:6.0K:A:OFF:OFF:0.00:-RPT:rep", "28200.00:CW (usb):500:500:A:OFF:OFF:0.00:OFF:")},
            // left-out rows keep their channel
            {ViewKind::Pms, pms, {Line("1", "144.39", "FM"), Line("3", "7.0", "DV"), Line("4", "7.0", "USB")},
             QByteArray(pms).replace("\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n",
                                     "\r\n7000.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n")},
            // no saved file yet: empty rows around
            {ViewKind::Qmb, QByteArray(), {Line("2", "7.074", "USB", "", "", "", "FT8")},
             ":::::::::\r\n7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:FT8\r\n:::::::::\r\n:::::::::\r\n:::::::::\r\n"},
            // an LF file; the lines past the view are kept
            {ViewKind::Qmb, "a:::::::::\nb:::::::::\nc\nd\ne\nf\n", {Line("5", "7.074", "USB")},
             "a:::::::::\r\nb:::::::::\r\nc\r\nd\r\n7074.00:USB:2.4K:2.4K:A:OFF:OFF:0.00:OFF:\r\nf\r\n"}};
        for (const auto& [view, saved, lines, result] : rows)
            QCOMPARE(SavedFileWithImport(view, saved, RowsFromChirpCsv(view, Csv(lines))), result);
    }

    // Export then import into the same saved file gives it back byte for byte, in every view.
    void roundTrip()
    {
        QStringList modes = kFilters.keys();
        modes.removeOne("AM (sync)");  // it comes back as AM (env)
        for (ViewKind view : kAllViews) {
            std::vector<RowCells> rows(std::size_t(RowCount(view)));
            QStringList saved;
            int channels = 0;
            for (int i = 0; i < RowCount(view); ++i) {
                const QString freq = QStringLiteral("%1.%2").arg(100 + i * 883).arg(i % 100, 2, 10, QChar('0'));
                const QString mark = view != ViewKind::Qmb && i % 3 == 0 ? "*" : "";
                const QString comment = i % 4 ? QStringLiteral(" net, \"%1\" on Sunday evenings ").arg(i) : i % 8 ? "#" : "";
                const QString rpt = QStringList{"OFF", "+RPT", "-RPT"}[i % 3], mode = modes[i % modes.size()];
                rows[std::size_t(i)] = i % 7 == 6 ? RowCells{"", "", "", "", "", "", "", "", "", comment}
                                                  : Row(freq + (mark.isEmpty() ? "  " : "* "), mode, rpt, comment);
                saved << (i % 7 == 6 ? ":::::::::" + comment
                                     : QStringList{freq + mark, mode, kFilters[mode].first, kFilters[mode].second, "A",
                                                   "OFF", "OFF", "0.00", rpt, comment}.join(':'));
                channels += i % 7 != 6;
            }
            const QByteArray file = saved.join("\r\n").toUtf8() + "\r\n";
            const CsvExport csv = ChirpCsvFromRows(view, rows);
            QCOMPARE(LoadAsChirp(csv.bytes).errors, QStringList());
            QCOMPARE(LoadAsChirp(csv.bytes).memories, channels);
            const CsvImport back = RowsFromChirpCsv(view, csv.bytes);
            QCOMPARE(back.refusal + back.leftOut.join('\n') + back.notes.join('\n'), QString());
            QCOMPARE(int(back.taken.size()), channels);
            QCOMPARE(SavedFileWithImport(view, file, back), file);
        }
    }
};

QTEST_GUILESS_MAIN(ChirpCsvTest)
#include "chirpcsv_test.moc"
