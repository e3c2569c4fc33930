// SPDX-License-Identifier: GPL-3.0-or-later
// The emulator's memory image: a readable text file, one line per record.
//   VFO-A: 0001... (32 hexadecimal digits)  # comment
//   12: 00015A8EC0...  meter=120  # comment
// Channels are named 1..99, P1..P9 and Q1..Q5 (or by their index 100..113); a channel the
// file does not list is blank. "meter=N" is the S-meter byte while that channel is recalled.

#include <algorithm>
#include <cctype>

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include "simradio.h"

namespace vardo::sim {

namespace {

constexpr qint64 kMaxImageBytes = 1 << 20;  // a memory image is a few kilobytes
constexpr int kSlotVfoA = kChannels;
constexpr int kSlotVfoB = kChannels + 1;
constexpr int kSlotCount = kChannels + 2;
constexpr int kMaxMeter = 255;
const QString kMeterKey = QStringLiteral("meter=");
const QString kDemoImagePath = QStringLiteral(":/vardo-sim/demo-memory.txt");
const char kImageHeader[] =
    "# Vardo radio emulator memory image.\n"
    "# One record per line: \"name: 32 hexadecimal digits\" (the 16-byte record as the radio\n"
    "# sends it), optionally \"meter=N\" (the S-meter byte while the channel is recalled),\n"
    "# then \"# comment\". Names: VFO-A, VFO-B, 1..99, P1..P9, Q1..Q5.\n";

[[nodiscard]] QString SlotName(int slot)
{
    if (slot == kSlotVfoA)
        return QStringLiteral("VFO-A");
    if (slot == kSlotVfoB)
        return QStringLiteral("VFO-B");
    const int channel = slot + 1;
    if (channel >= kFirstQmbChannel)
        return QStringLiteral("Q%1").arg(channel - kFirstQmbChannel + 1);
    if (channel >= kFirstPmsChannel)
        return QStringLiteral("P%1").arg(channel - kFirstPmsChannel + 1);
    return QString::number(channel);
}

[[nodiscard]] int SlotOfName(const QString& name)
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (SlotName(slot).compare(name, Qt::CaseInsensitive) == 0)
            return slot;
    }
    bool ok = false;
    const int channel = name.toInt(&ok);
    return ok && channel >= 1 && channel <= kChannels ? channel - 1 : -1;
}

[[nodiscard]] std::optional<Record> RecordFromHex(const QString& hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    const bool allHex = std::all_of(hex.begin(), hex.end(), [](QChar c) { return isxdigit(c.toLatin1()); });
    if (!allHex || hex.size() != 2 * kRecordBytes || bytes.size() != kRecordBytes)
        return std::nullopt;
    return RecordOfBytes(bytes);
}

// What a line says, once parsed.
struct ImageLine {
    int slot = -1;
    Record record{};
    std::uint8_t meter = 0;
    QString label;
};

[[nodiscard]] std::optional<ImageLine> ParseLine(const QString& line, QString* why)
{
    const qsizetype hash = line.indexOf(u'#');
    const QString body = (hash < 0 ? line : line.left(hash)).trimmed();
    const qsizetype colon = body.indexOf(u':');
    if (colon < 0) {
        *why = QStringLiteral("expected \"name: record\"");
        return std::nullopt;
    }
    ImageLine parsed;
    parsed.slot = SlotOfName(body.left(colon).trimmed());
    if (parsed.slot < 0) {
        *why = QStringLiteral("unknown channel \"%1\"").arg(body.left(colon).trimmed());
        return std::nullopt;
    }
    QString hex;
    for (const QString& token : body.mid(colon + 1).simplified().split(u' ', Qt::SkipEmptyParts)) {
        if (!token.startsWith(kMeterKey)) {
            hex += token;
            continue;
        }
        bool ok = false;
        const int meter = token.mid(kMeterKey.size()).toInt(&ok);
        if (!ok || meter < 0 || meter > kMaxMeter) {
            *why = QStringLiteral("meter level must be 0 to 255");
            return std::nullopt;
        }
        parsed.meter = static_cast<std::uint8_t>(meter);
    }
    const auto record = RecordFromHex(hex);
    if (!record) {
        *why = QStringLiteral("the record must be 32 hexadecimal digits");
        return std::nullopt;
    }
    parsed.record = *record;
    parsed.label = hash < 0 ? QString() : line.mid(hash + 1).trimmed();
    return parsed;
}

[[nodiscard]] QString Hex(const Record& r) { return QString::fromLatin1(ReplyBytes(r).toHex().toUpper()); }

// The front panel's names of the mode codes 0..6, without and with the variant.
constexpr const char* kModeNames[][2] = {{"LSB", "LSB"},           {"USB", "USB"},
                                         {"CW (usb)", "CW (lsb)"}, {"AM (env)", "AM (sync)"},
                                         {"FM", "FM"},             {"RTTY (lsb)", "RTTY (usb)"},
                                         {"PKT (lsb)", "PKT (fm)"}};

// A comment for a record nobody has named: the frequency it receives on and its mode.
[[nodiscard]] QString Summary(const Record& record)
{
    using namespace Layout;
    std::int64_t steps = FrequencySteps(record);
    if (Field(record, kRxClarifier))
        steps += ClarifierSteps(record);
    const int code = Field(record, kModeCode);
    QString text = QString::number(double(steps) / kStepsPerKHz, 'f', 2) + QStringLiteral(" kHz ");
    if (code < int(std::size(kModeNames)))
        text += QString::fromLatin1(kModeNames[code][Field(record, kModeVariant)]);
    if (IsMasked(record))
        text += QStringLiteral(" (masked)");
    return text;
}

bool Fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

}  // namespace

QByteArray SimRadio::imageText() const
{
    QByteArray text(kImageHeader);
    for (int slot : {kSlotVfoA, kSlotVfoB}) {
        const Record& r = slot == kSlotVfoA ? m_state.vfoA : m_state.vfoB;
        text += QStringLiteral("%1: %2  # %3\n").arg(SlotName(slot), Hex(r), Summary(r)).toUtf8();
    }
    for (int slot = 0; slot < kChannels; ++slot) {
        const Record& r = m_state.channels[slot];
        QString line = QStringLiteral("%1: %2").arg(SlotName(slot), Hex(r));
        if (m_state.meter[slot] != 0)
            line += QStringLiteral("  meter=%1").arg(m_state.meter[slot]);
        const QString& label = m_state.labels[slot];
        line += QStringLiteral("  # ") + (label.isEmpty() ? Summary(r) : label) + u'\n';
        text += line.toUtf8();
    }
    return text;
}

bool SimRadio::loadImageText(const QByteArray& text, QString* error)
{
    State loaded;
    std::array<bool, kSlotCount> seen{};
    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QString why;
        const auto parsed = ParseLine(line, &why);
        if (parsed && seen[parsed->slot])
            why = QStringLiteral("%1 is listed twice").arg(SlotName(parsed->slot));
        if (!why.isEmpty())
            return Fail(error, QStringLiteral("line %1: %2").arg(i + 1).arg(why));
        seen[parsed->slot] = true;
        if (parsed->slot == kSlotVfoA) {
            loaded.vfoA = parsed->record;
        } else if (parsed->slot == kSlotVfoB) {
            loaded.vfoB = parsed->record;
        } else {
            loaded.channels[parsed->slot] = parsed->record;
            loaded.meter[parsed->slot] = parsed->meter;
            loaded.labels[parsed->slot] = parsed->label;
        }
    }
    std::lock_guard lock(m_mutex);
    m_state = loaded;
    return true;
}

bool SimRadio::loadImage(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxImageBytes)
        return Fail(error, QStringLiteral("%1: too large for a memory image").arg(path));
    QString why;
    if (!loadImageText(file.readAll(), &why))
        return Fail(error, QStringLiteral("%1: %2").arg(path, why));
    return true;
}

bool SimRadio::saveImage(const QString& path, QString* error) const
{
    QByteArray text;
    {
        std::lock_guard lock(m_mutex);
        text = imageText();
    }
    QSaveFile file(path);
    // flush() is checked before commit(): a full disk must not commit an empty file.
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush();
    if (!ok) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Fail(error, QStringLiteral("%1: %2").arg(path, reason));
    }
    if (!file.commit())
        return Fail(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
    return true;
}

bool SimRadio::loadDemoImage() { return loadImage(kDemoImagePath); }

}  // namespace vardo::sim
