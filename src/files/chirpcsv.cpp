// SPDX-License-Identifier: GPL-3.0-or-later
#include "chirpcsv.h"

#include <optional>
#include <utility>

#include <QRegularExpression>

#include "numberformat.h"
#include "savedfileformat.h"
#include "savedfiletext.h"

namespace vardo {
namespace {

constexpr qsizetype kNameLength = 16;  // CHIRP's Name column holds what fits a radio's display
// What restore can set the radio to: 100.00 to 99999.99 kHz, in 10 Hz steps.
constexpr qint64 kLowestHz = 100'000;
constexpr qint64 kHighestHz = 99'999'990;
constexpr qint64 kRepeaterShiftHz = 100'000;  // the radio's one repeater shift
constexpr int kMegahertzDecimals = 6;
constexpr int kTensOfHertzDecimals = 5;
const QString kCrLf = QStringLiteral("\r\n");
// CHIRP refuses a row whose Power is empty; the radio's full power is what a channel means.
const QString kPower = QStringLiteral("100W");

// The radio's modes in CHIRP's words.
struct ModePair {
    const char* radio;
    const char* chirp;
};
constexpr ModePair kExportModes[] = {
    {"LSB", "LSB"},         {"USB", "USB"},         {"CW (usb)", "CW"},       {"CW (lsb)", "CWR"},
    {"AM (env)", "AM"},     {"AM (sync)", "AM"},    {"FM", "FM"},             {"RTTY (lsb)", "RTTY"},
    {"RTTY (usb)", "RTTYR"}, {"PKT (lsb)", "DIG"},  {"PKT (fm)", "PKT"},
};
// Import: CHIRP's modes and what the radio takes for them; a narrow mode loses its width.
struct ImportMode {
    const char* chirp;
    const char* radio;
    bool lossy;
};
constexpr ImportMode kImportModes[] = {
    {"LSB", "LSB", false},         {"USB", "USB", false},         {"CW", "CW (usb)", false},
    {"CWR", "CW (lsb)", false},    {"AM", "AM (env)", false},     {"NAM", "AM (env)", true},
    {"FM", "FM", false},           {"NFM", "FM", true},           {"RTTY", "RTTY (lsb)", false},
    {"RTTYR", "RTTY (usb)", false}, {"DIG", "PKT (lsb)", false},  {"PKT", "PKT (fm)", false},
};

// What a row gets for the settings the CSV does not carry, by mode.
struct ModeDefaults {
    const char* mode;
    const char* filt82;
    const char* filt455;
};
constexpr ModeDefaults kDefaults[] = {
    {"LSB", "2.4K", "2.4K"},      {"USB", "2.4K", "2.4K"},      {"CW (usb)", "500", "500"},
    {"CW (lsb)", "500", "500"},   {"AM (env)", "Thru", "6.0K"}, {"FM", "Thru", "6.0K"},
    {"RTTY (lsb)", "500", "500"}, {"RTTY (usb)", "500", "500"}, {"PKT (lsb)", "2.4K", "2.4K"},
    {"PKT (fm)", "Thru", "6.0K"},
};

// The tone columns say "no tone" in CHIRP's own words.
const QStringList& ChirpToneDefaults()
{
    static const QStringList defaults{
        QString(), QStringLiteral("88.5"), QStringLiteral("88.5"), QStringLiteral("023"),
        QStringLiteral("NN"), QStringLiteral("023"), QStringLiteral("Tone->Tone")};
    return defaults;
}

[[nodiscard]] QString ChirpMode(const QString& radioMode)
{
    for (const ModePair& m : kExportModes)
        if (radioMode == QLatin1String(m.radio))
            return QString::fromLatin1(m.chirp);
    return {};
}

// A decimal text as a whole number of 10^-decimals units, rounded half up, and whether no
// digit was lost: read digit by digit, unlike a float. "14.074" with 6 decimals is 14074000.
// A comma is taken as the decimal point.
struct Units {
    qint64 value = 0;
    bool exact = true;
};

[[nodiscard]] std::optional<Units> DecimalUnits(const QString& text, int decimals)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d{0,9})(?:[.,](\\d*))?\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty()))
        return std::nullopt;
    const QString fraction = m.captured(2);
    const QString dropped = fraction.mid(decimals);
    qint64 value = m.captured(1).toLongLong();
    for (int i = 0; i < decimals; ++i)
        value *= 10;
    value += fraction.left(decimals).leftJustified(decimals, QLatin1Char('0')).toLongLong();
    if (!dropped.isEmpty() && dropped.at(0) >= QLatin1Char('5'))
        ++value;
    return Units{value, dropped.count(QLatin1Char('0')) == dropped.size()};
}

[[nodiscard]] QString MegahertzText(qint64 hertz)
{
    return QStringLiteral("%1.%2").arg(hertz / 1'000'000).arg(hertz % 1'000'000, 6, 10, QLatin1Char('0'));
}

[[nodiscard]] QString Quoted(const QString& text)
{
    return QLatin1Char('"') + QuotedText(text) + QLatin1Char('"');
}

[[nodiscard]] QString QuotedField(const QString& field)
{
    static const QRegularExpression special(QStringLiteral("[,\"\r\n]"));
    if (!field.contains(special))
        return field;
    return QLatin1Char('"') + QString(field).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// ---- export ----

// The frequency a row's cell holds, in Hz; 0 when it holds none ("", "0.00", not a number).
[[nodiscard]] qint64 CellHertz(const QString& freqCell)
{
    const std::optional<Units> units = DecimalUnits(QString(freqCell).remove(QLatin1Char('*')), 2);
    return units ? units->value * 10 : 0;
}

[[nodiscard]] QString WithoutLeadingBlanks(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

[[nodiscard]] QStringList ExportFields(int location, const RowCells& row, qint64 hertz)
{
    const QString& rpt = row[CellIndex(ColRpt)];
    const QString duplex = rpt == QLatin1String("+RPT") ? QStringLiteral("+")
                           : rpt == QLatin1String("-RPT") ? QStringLiteral("-") : QString();
    const QString& comment = row[CellIndex(ColComment)];
    return QStringList{QString::number(location), WithoutLeadingBlanks(comment).left(kNameLength),
                       MegahertzText(hertz), duplex,
                       duplex.isEmpty() ? QStringLiteral("0.000000") : MegahertzText(kRepeaterShiftHz)}
        + ChirpToneDefaults()
        + QStringList{ChirpMode(row[CellIndex(ColMode)]), QStringLiteral("5.00"),
                      IsMaskedFreqCell(row[CellIndex(ColFreq)]) ? QStringLiteral("S") : QString(), kPower, comment,
                      QString(), QString(), QString(), QString()};
}

// ---- import: records ----

// One CSV record and the line it starts on.
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

// Splits CSV text into records as a spreadsheet does: a quote opens a quoted field only at
// the start of a field, and a quoted field may hold commas, quotes ("") and line breaks.
// Blank lines and lines starting with "#" (CHIRP's comment lines) give no record. Empty
// result and `error` set for a quote that is never closed.
std::vector<CsvRecord> SplitRecords(QString text, QString& error)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    QString field;
    int line = 1;
    bool quoted = false;      // inside a quoted field
    bool fieldStart = true;   // nothing of the current field read yet
    bool anyQuoted = false;   // the record has a quoted field, so it is not blank
    const auto endRecord = [&] {
        record.fields << std::exchange(field, QString());
        const bool blank = record.fields.size() == 1 && record.fields.first().trimmed().isEmpty() && !anyQuoted;
        if (!blank)
            records.push_back(std::move(record));
        record = CsvRecord{line, {}};
        fieldStart = true;
        anyQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
            line += c == QLatin1Char('\n') ? 1 : 0;
        } else if (c == QLatin1Char('#') && fieldStart && record.fields.isEmpty()) {
            const qsizetype end = text.indexOf(QLatin1Char('\n'), i);
            i = (end < 0 ? text.size() : end) - 1;  // the line end itself ends the (blank) record
        } else if (c == QLatin1Char('"') && fieldStart) {
            quoted = anyQuoted = true;
            fieldStart = false;
        } else if (c == QLatin1Char(',')) {
            record.fields << std::exchange(field, QString());
            fieldStart = true;
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord();
        } else {
            field += c;
            fieldStart = false;
        }
    }
    if (quoted) {
        error = QStringLiteral("a quoted field that starts on line %1 is never closed").arg(record.line);
        return {};
    }
    endRecord();
    return records;
}

// Where each column this program reads is found, by header name; -1 when it is not there.
struct Columns {
    qsizetype location = -1, name = -1, frequency = -1, duplex = -1, offset = -1, tone = -1, mode = -1,
              skip = -1, comment = -1;
};

[[nodiscard]] Columns FindColumns(const QStringList& header)
{
    const auto at = [&](const char* name) {
        for (qsizetype i = 0; i < header.size(); ++i)
            if (header.at(i).trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return i;
        return qsizetype(-1);
    };
    return {at("Location"), at("Name"),  at("Frequency"), at("Duplex"), at("Offset"),
            at("Tone"),     at("Mode"),  at("Skip"),      at("Comment")};
}

// One data record, its fields found by column.
struct Record {
    const QStringList& fields;
    const Columns& columns;

    [[nodiscard]] QString raw(qsizetype column) const { return column < 0 ? QString() : fields.value(column); }
    [[nodiscard]] QString at(qsizetype column) const { return raw(column).trimmed(); }
};

// ---- import: one row ----

// What a record gives, column by column: the notes of values taken otherwise than given, or
// why the radio cannot hold the row.
struct RowReading {
    RowCells cells;
    QStringList notes;
    QString refusal;
};

// The frequency in 10 Hz steps, the steps the radio tunes in.
[[nodiscard]] std::optional<qint64> TensOfHertz(const QString& text, RowReading& r)
{
    const std::optional<Units> tens = DecimalUnits(text, kTensOfHertzDecimals);
    if (!tens && !text.isEmpty()) {
        r.refusal = QStringLiteral("the frequency %1 is not a number").arg(Quoted(text));
        return std::nullopt;
    }
    const qint64 hertz = tens ? tens->value * 10 : 0;  // "" is how CHIRP writes an empty channel's
    if (hertz == 0) {
        r.refusal = QStringLiteral("it has no frequency (an empty channel)");
        return std::nullopt;
    }
    if (hertz < kLowestHz || hertz > kHighestHz) {
        r.refusal = QStringLiteral("the frequency %1 MHz is outside what the radio can be set to (%2-%3 MHz)")
                        .arg(MegahertzText(hertz), MegahertzText(kLowestHz), MegahertzText(kHighestHz));
        return std::nullopt;
    }
    if (!tens->exact)
        r.notes << QStringLiteral("the frequency %1 MHz was taken as %2 MHz (the radio tunes in 10 Hz steps)")
                       .arg(text, MegahertzText(hertz));
    return tens->value;
}

[[nodiscard]] std::optional<QString> RadioMode(const QString& chirpMode, RowReading& r)
{
    for (const ImportMode& m : kImportModes) {
        if (chirpMode.compare(QLatin1String(m.chirp), Qt::CaseInsensitive) != 0)
            continue;
        const QString mode = QString::fromLatin1(m.radio);
        if (m.lossy)
            r.notes << QStringLiteral("the mode %1 was taken as %2").arg(Quoted(chirpMode), mode);
        return mode;
    }
    r.refusal = QStringLiteral("the mode %1 has no equivalent on this radio").arg(Quoted(chirpMode));
    return std::nullopt;
}

// The RPT setting for CHIRP's Duplex. The radio has one repeater shift, so any other Offset
// is named; with an empty Duplex CHIRP still writes an Offset, which means nothing.
[[nodiscard]] std::optional<QString> RepeaterSetting(const Record& record, RowReading& r)
{
    const QString duplex = record.at(record.columns.duplex);
    if (duplex.isEmpty())
        return QStringLiteral("OFF");
    if (duplex != QLatin1String("+") && duplex != QLatin1String("-")) {
        r.refusal = QStringLiteral("the duplex %1 is not possible on this radio").arg(Quoted(duplex));
        return std::nullopt;
    }
    const QString offset = record.at(record.columns.offset);
    const std::optional<Units> hertz = DecimalUnits(offset, kMegahertzDecimals);
    if (record.columns.offset >= 0 && !(hertz && hertz->exact && hertz->value == kRepeaterShiftHz))
        r.notes << QStringLiteral("the duplex offset %1 was taken as the radio's repeater shift, %2 MHz")
                       .arg(hertz ? offset + QStringLiteral(" MHz") : Quoted(offset), MegahertzText(kRepeaterShiftHz));
    return duplex + QStringLiteral("RPT");
}

// Tone values mean something only with a tone mode.
void NoteDroppedTone(const QString& toneMode, RowReading& r)
{
    if (!toneMode.isEmpty())
        r.notes << QStringLiteral("the tone mode %1 was dropped: a channel here holds no tone").arg(Quoted(toneMode));
}

// CHIRP's Skip as the masked mark: "S" skips in a scan as a masked channel does.
[[nodiscard]] bool Masked(const QString& skip, ViewKind view, RowReading& r)
{
    if (skip.isEmpty())
        return false;
    if (skip.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0) {
        if (KeepsMaskMark(view))
            return true;
        r.notes << QStringLiteral("the Skip %1 was dropped: the Quick Memory Banks' file holds no mask")
                       .arg(Quoted(skip));
        return false;
    }
    r.notes << QStringLiteral("the Skip %1 was taken as not skipped").arg(Quoted(skip));
    return false;
}

// One comment from CHIRP's Name and Comment: a Comment that starts with the Name already
// holds it (our own export writes them so) and is kept as it is.
[[nodiscard]] QString CommentFrom(const QString& name, const QString& comment)
{
    const QString shortName = name.trimmed();
    const QString text = comment.trimmed();
    if (shortName.isEmpty())
        return comment;
    if (text.isEmpty())
        return shortName;
    if (text.startsWith(shortName))
        return comment;
    return shortName + QStringLiteral(" - ") + text;
}

[[nodiscard]] Channel ChannelFor(qint64 tensOfHertz, const QString& mode, const QString& rpt, bool masked)
{
    Channel channel;
    channel.Freq = NarrowToFloat(double(tensOfHertz) / 100.0);
    channel.Mask = masked ? QStringLiteral("* ") : QStringLiteral("  ");
    channel.Mode = mode;
    for (const ModeDefaults& d : kDefaults) {
        if (mode == QLatin1String(d.mode)) {
            channel.Filt82 = QString::fromLatin1(d.filt82);
            channel.Filt455 = QString::fromLatin1(d.filt455);
        }
    }
    channel.Ant = QStringLiteral("A");
    channel.RxRit = channel.TxRit = QStringLiteral("OFF");
    channel.Rpt = rpt;
    return channel;
}

[[nodiscard]] RowReading ReadRow(const Record& record, ViewKind view)
{
    const Columns& c = record.columns;
    RowReading r;
    const std::optional<qint64> tens = TensOfHertz(record.at(c.frequency), r);
    if (!tens)
        return r;
    const std::optional<QString> mode = RadioMode(record.at(c.mode), r);
    if (!mode)
        return r;
    const std::optional<QString> rpt = RepeaterSetting(record, r);
    if (!rpt)
        return r;
    NoteDroppedTone(record.at(c.tone), r);
    const bool masked = Masked(record.at(c.skip), view, r);
    r.cells = CellsFromChannel(ChannelFor(*tens, *mode, *rpt, masked));
    r.cells[CellIndex(ColComment)] = CommentFrom(record.raw(c.name), record.raw(c.comment));
    return r;
}

// The grid row a record's Location names, or why it names none.
[[nodiscard]] std::optional<int> RowOfLocation(const QString& text, ViewKind view, QString& why)
{
    bool isNumber = false;
    const int location = text.toInt(&isNumber);
    if (isNumber && location >= 1 && location <= RowCount(view))
        return location;
    why = QStringLiteral("location %1 is outside this view (1-%2)").arg(Quoted(text)).arg(RowCount(view));
    return std::nullopt;
}

}  // namespace

const QStringList& ChirpHeader()
{
    static const QStringList header = QStringLiteral(
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
        "CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE").split(QLatin1Char(','));
    return header;
}

QString CsvLine(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& f : fields)
        quoted << QuotedField(f);
    return quoted.join(QLatin1Char(','));
}

CsvExport ChirpCsvFromRows(ViewKind view, const std::vector<RowCells>& rows)
{
    CsvExport result;
    QString text = CsvLine(ChirpHeader()) + kCrLf;
    for (int row = 1; row <= int(rows.size()) && row <= RowCount(view); ++row) {
        const RowCells& cells = rows[std::size_t(row - 1)];
        const qint64 hertz = CellHertz(cells[CellIndex(ColFreq)]);
        const QString& comment = cells[CellIndex(ColComment)];
        const QString channel = ChannelLabel(ChannelOfRow(view, row))
                                + (comment.trimmed().isEmpty() ? QString() : QLatin1Char(' ') + Quoted(comment));
        if (hertz > 0 && !ChirpMode(cells[CellIndex(ColMode)]).isEmpty()) {
            text += CsvLine(ExportFields(row, cells, hertz)) + kCrLf;
            ++result.rows;
        } else if (hertz > 0) {
            result.leftOut << channel + QStringLiteral(": its mode is unknown");  // CHIRP refuses a row without one
        } else if (!comment.trimmed().isEmpty()) {
            result.leftOut << channel + QStringLiteral(": it has a comment but no frequency");
        }
    }
    result.bytes = text.toUtf8();
    return result;
}

CsvImport RowsFromChirpCsv(ViewKind view, const QByteArray& bytes)
{
    CsvImport result;
    if (bytes.contains('\0'))
        return result.refusal = QStringLiteral("it is not a text file"), result;
    const QString text = DecodeSavedText(bytes);
    QString error;
    const std::vector<CsvRecord> records = SplitRecords(text, error);
    if (!error.isEmpty())
        return result.refusal = error, result;
    if (records.empty())
        return result.refusal = text.trimmed().isEmpty() ? QStringLiteral("it is empty")
                                                         : QStringLiteral("it has no header line"), result;
    const Columns columns = FindColumns(records.front().fields);
    if (columns.location < 0 || columns.frequency < 0 || columns.mode < 0)
        return result.refusal = QStringLiteral("its first line is not a CHIRP header with Location, Frequency and "
                                               "Mode columns"), result;

    std::vector<int> takenFrom(std::size_t(RowCount(view)), 0);  // the line each row came from
    for (auto csv = records.begin() + 1; csv != records.end(); ++csv) {
        const QString where = QStringLiteral("line %1: ").arg(csv->line);
        const Record record{csv->fields, columns};
        QString why;
        const std::optional<int> row = RowOfLocation(record.at(columns.location), view, why);
        if (!row) {
            result.leftOut << where + why;
            continue;
        }
        int& earlier = takenFrom[std::size_t(*row - 1)];
        if (earlier != 0) {
            result.leftOut << where + QStringLiteral("location %1 was already given on line %2").arg(*row).arg(earlier);
            continue;
        }
        const RowReading reading = ReadRow(record, view);
        if (!reading.refusal.isEmpty()) {
            result.leftOut << where + reading.refusal;
            continue;
        }
        for (const QString& note : reading.notes)
            result.notes << where + note;
        result.taken.push_back({*row, csv->line, reading.cells});
        earlier = csv->line;
    }
    return result;
}

QByteArray SavedFileWithImport(ViewKind view, const QByteArray& saved, const CsvImport& imported)
{
    QStringList lines = saved.isEmpty() ? QStringList() : SplitSavedLines(DecodeSavedText(saved));
    const QString emptyRow = SavedLineFromCells(RowCells{}, KeepsMaskMark(view));
    while (lines.size() < RowCount(view))
        lines << emptyRow;
    for (const ImportedRow& row : imported.taken)
        lines[row.row - 1] = SavedLineFromCells(row.cells, KeepsMaskMark(view));
    return EncodeSavedLines(lines);
}

}  // namespace vardo
