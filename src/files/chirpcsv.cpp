#include "chirpcsv.h"

#include <optional>
#include <utility>
#include <variant>

#include <QRegularExpression>

#include "numberformat.h"
#include "savedfiletext.h"

namespace vardo {
namespace {

constexpr qsizetype kNameLength = 16;   // CHIRP's Name column holds what fits a radio's display
constexpr qint64 kLowestHz = 100'000;    // the radio tunes 0.1 to 30 MHz
constexpr qint64 kHighestHz = 30'000'000;
const QString kCrLf = QStringLiteral("\r\n");

// The radio's modes and CHIRP's names for them, export direction first.
struct ModePair {
    const char* radio;
    const char* chirp;
};
constexpr ModePair kExportModes[] = {
    {"LSB", "LSB"},         {"USB", "USB"},         {"CW (usb)", "CW"},       {"CW (lsb)", "CWR"},
    {"AM (env)", "AM"},     {"AM (sync)", "AM"},    {"FM", "FM"},             {"RTTY (lsb)", "RTTY"},
    {"RTTY (usb)", "RTTYR"}, {"PKT (lsb)", "DIG"},  {"PKT (fm)", "PKT"},
};
// Import: the lossy pairs come back as the radio's usual choice; NFM is taken as FM.
constexpr ModePair kImportModes[] = {
    {"LSB", "LSB"},       {"USB", "USB"},       {"CW (usb)", "CW"},    {"CW (lsb)", "CWR"},
    {"AM (env)", "AM"},   {"FM", "FM"},         {"FM", "NFM"},         {"RTTY (lsb)", "RTTY"},
    {"RTTY (usb)", "RTTYR"}, {"PKT (lsb)", "DIG"}, {"PKT (fm)", "PKT"},
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

// The tone and step columns say "nothing special" in CHIRP's own words.
const QStringList& ChirpDefaults()
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

[[nodiscard]] std::optional<QString> RadioMode(const QString& chirpMode)
{
    for (const ModePair& m : kImportModes)
        if (chirpMode.compare(QLatin1String(m.chirp), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(m.radio);
    return std::nullopt;
}

// A decimal text as a whole number of 10^-decimals units, rounded half up: exact, unlike a
// float. "14.074" with 6 decimals is 14074000. A comma is taken as the decimal point.
[[nodiscard]] std::optional<qint64> DecimalUnits(const QString& text, int decimals)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d{1,9})(?:[.,](\\d*))?\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString fraction = m.captured(2);
    const bool roundUp = fraction.size() > decimals && fraction.at(decimals) >= QLatin1Char('5');
    fraction = fraction.left(decimals).leftJustified(decimals, QLatin1Char('0'));
    qint64 units = m.captured(1).toLongLong();
    for (int i = 0; i < decimals; ++i)
        units *= 10;
    return units + fraction.toLongLong() + (roundUp ? 1 : 0);
}

[[nodiscard]] QString MegahertzText(qint64 hertz)
{
    return QStringLiteral("%1.%2").arg(hertz / 1'000'000).arg(hertz % 1'000'000, 6, 10, QLatin1Char('0'));
}

[[nodiscard]] QString QuotedField(const QString& field)
{
    static const QRegularExpression special(QStringLiteral("[,\"\r\n]"));
    if (!field.contains(special))
        return field;
    return QLatin1Char('"') + QString(field).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QStringList ExportFields(int location, const RowCells& row)
{
    const QString& freq = row[CellIndex(ColFreq)];
    const qint64 hertz = DecimalUnits(QString(freq).remove(QLatin1Char('*')), 2).value_or(0) * 10;
    const QString& rpt = row[CellIndex(ColRpt)];
    const QString duplex = rpt == QLatin1String("+RPT") ? QStringLiteral("+")
                           : rpt == QLatin1String("-RPT") ? QStringLiteral("-") : QString();
    const QString& comment = row[CellIndex(ColComment)];
    return QStringList{QString::number(location), comment.left(kNameLength), MegahertzText(hertz), duplex,
                       duplex.isEmpty() ? QStringLiteral("0.000000") : QStringLiteral("0.100000")}
        + ChirpDefaults()
        + QStringList{ChirpMode(row[CellIndex(ColMode)]), QStringLiteral("5.00"),
                      IsMaskedFreqCell(freq) ? QStringLiteral("S") : QString(), QString(), comment, QString(),
                      QString(), QString(), QString()};
}

// One CSV record and the line it starts on.
struct CsvRecord {
    int line = 0;
    QStringList fields;
};

// Splits CSV text into records (quoted fields may hold commas, quotes and line breaks).
// Blank lines are skipped. Empty result and `error` set for a quote that is never closed.
std::vector<CsvRecord> SplitRecords(const QString& text, QString& error)
{
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    const auto endRecord = [&] {
        record.fields << field;
        if (record.fields.size() > 1 || !record.fields.first().isEmpty() || wasQuoted)
            records.push_back(std::exchange(record, CsvRecord{}));
        record = CsvRecord{line, {}};
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n'))
            ++line;
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            record.fields << std::exchange(field, QString());
        } else if (c == QLatin1Char('\n')) {
            endRecord();
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    if (quoted) {
        error = QStringLiteral("a quoted field that starts on line %1 is never closed").arg(record.line);
        return {};
    }
    endRecord();
    return records;
}

// Where each column this program reads is found, by header name.
struct Columns {
    qsizetype location = -1, name = -1, frequency = -1, duplex = -1, mode = -1, skip = -1, comment = -1;
};

[[nodiscard]] Columns FindColumns(const QStringList& header)
{
    const auto at = [&](const char* name) {
        for (qsizetype i = 0; i < header.size(); ++i)
            if (header.at(i).trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return i;
        return qsizetype(-1);
    };
    return {at("Location"), at("Name"), at("Frequency"), at("Duplex"), at("Mode"), at("Skip"), at("Comment")};
}

// The row for one CSV record, or why the radio cannot hold it.
std::variant<RowCells, QString> RowFromRecord(const QStringList& fields, const Columns& columns)
{
    const auto field = [&](qsizetype column) { return column < 0 ? QString() : fields.value(column).trimmed(); };
    // The radio tunes in 10 Hz steps: read the MHz text straight to those, rounding once.
    const std::optional<qint64> tensOfHertz = DecimalUnits(field(columns.frequency), 5);
    const std::optional<qint64> hertz = tensOfHertz ? std::optional(*tensOfHertz * 10) : std::nullopt;
    if (!hertz)
        return QStringLiteral("the frequency \"%1\" is not a number").arg(field(columns.frequency).left(60));
    if (*hertz < kLowestHz || *hertz > kHighestHz)
        return QStringLiteral("the frequency %1 MHz is outside the radio's 0.1-30 MHz").arg(MegahertzText(*hertz));
    const std::optional<QString> mode = RadioMode(field(columns.mode));
    if (!mode)
        return QStringLiteral("the mode \"%1\" has no equivalent on this radio").arg(field(columns.mode).left(60));
    const QString duplex = field(columns.duplex);
    if (!duplex.isEmpty() && duplex != QLatin1String("+") && duplex != QLatin1String("-"))
        return QStringLiteral("the duplex \"%1\" is not possible on this radio").arg(duplex.left(60));

    Channel channel;
    channel.Freq = NarrowToFloat(double(*tensOfHertz) / 100.0);
    channel.Mask = field(columns.skip).compare(QLatin1String("S"), Qt::CaseInsensitive) == 0 ? QStringLiteral("* ")
                                                                                             : QStringLiteral("  ");
    channel.Mode = *mode;
    for (const ModeDefaults& d : kDefaults) {
        if (*mode == QLatin1String(d.mode)) {
            channel.Filt82 = QString::fromLatin1(d.filt82);
            channel.Filt455 = QString::fromLatin1(d.filt455);
        }
    }
    channel.Ant = QStringLiteral("A");
    channel.RxRit = channel.TxRit = QStringLiteral("OFF");
    channel.Rpt = duplex.isEmpty() ? QStringLiteral("OFF") : duplex + QStringLiteral("RPT");
    RowCells row = CellsFromChannel(channel);
    const QString comment = field(columns.comment);
    row[CellIndex(ColComment)] = comment.isEmpty() ? field(columns.name) : comment;
    return row;
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

QByteArray ChirpCsvFromRows(ViewKind view, const std::vector<RowCells>& rows)
{
    QString text = CsvLine(ChirpHeader()) + kCrLf;
    for (int row = 1; row <= int(rows.size()) && row <= RowCount(view); ++row) {
        const RowCells& cells = rows[std::size_t(row - 1)];
        if (!cells[CellIndex(ColFreq)].trimmed().isEmpty())
            text += CsvLine(ExportFields(row, cells)) + kCrLf;
    }
    return text.toUtf8();
}

CsvImport RowsFromChirpCsv(ViewKind view, const QByteArray& bytes)
{
    CsvImport result;
    result.rows.resize(std::size_t(RowCount(view)));
    if (bytes.contains('\0'))
        return result.refusal = QStringLiteral("it is not a text file"), result;
    const QString text = DecodeSavedText(bytes);
    QString error;
    const std::vector<CsvRecord> records = SplitRecords(text, error);
    if (!error.isEmpty())
        return result.refusal = error, result;
    if (records.empty())
        return result.refusal = QStringLiteral("it is empty"), result;
    const Columns columns = FindColumns(records.front().fields);
    if (columns.location < 0 || columns.frequency < 0 || columns.mode < 0)
        return result.refusal = QStringLiteral("its first line is not a CHIRP header with Location, Frequency and "
                                               "Mode columns"), result;

    std::vector<int> takenFrom(result.rows.size(), 0);  // the line each row came from
    for (auto record = records.begin() + 1; record != records.end(); ++record) {
        const QString where = QStringLiteral("line %1: ").arg(record->line);
        bool isNumber = false;
        const int location = record->fields.value(columns.location).trimmed().toInt(&isNumber);
        if (!isNumber || location < 1 || location > RowCount(view)) {
            result.leftOut << where + QStringLiteral("location \"%1\" is outside this view (1-%2)")
                                          .arg(record->fields.value(columns.location).trimmed().left(60))
                                          .arg(RowCount(view));
            continue;
        }
        int& earlier = takenFrom[std::size_t(location - 1)];
        if (earlier != 0) {
            result.leftOut << where + QStringLiteral("location %1 was already given on line %2").arg(location).arg(earlier);
            continue;
        }
        const auto row = RowFromRecord(record->fields, columns);
        if (const QString* why = std::get_if<QString>(&row)) {
            result.leftOut << where + *why;
            continue;
        }
        result.rows[std::size_t(location - 1)] = std::get<RowCells>(row);
        earlier = record->line;
        ++result.taken;
    }
    return result;
}

}  // namespace vardo
