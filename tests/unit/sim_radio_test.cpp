// SPDX-License-Identifier: GPL-3.0-or-later
// The emulator core as a client sees it; its own tables are held against the program's codec.

#include <QTemporaryDir>
#include <QTest>

#include "catframe.h"
#include "codec.h"
#include "filebytes.h"
#include "record.h"
#include "simradio.h"

using vardo::sim::Faults;
using vardo::sim::Record;
using vardo::sim::SimRadio;

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

Record RecordOf(const char* text) { return vardo::sim::RecordOfBytes(Hex(text)); }
QByteArray Bytes(const Record& r) { return vardo::sim::ReplyBytes(r); }

const Record kUsb = RecordOf("00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 00");
const Record kSample = RecordOf("80 01 5A 8E C0 03 20 02 B4 16 00 00 00 00 00 00");
const Record kVfoB = RecordOf("00 00 AC 1E 80 00 00 00 11 00 00 00 00 00 00 00");
const Record kChannel5 = RecordOf("00 01 57 9A 80 00 00 01 11 00 00 00 00 00 00 00");

}  // namespace

class SimRadioTest : public QObject {
    Q_OBJECT

private slots:
    // Field by field, so a wrong opcode or bit on either side shows.
    void tablesAgree()
    {
        using namespace vardo;
        namespace S = vardo::sim;
        namespace L = S::Layout;
        namespace R = RecordLayout;
        const std::tuple<const char*, int, int> pairs[] = {
            {"op store", S::Op::kStore, Cat::kOpStore}, {"op recall", S::Op::kRecall, Cat::kOpRecall},
            {"op clarifier", S::Op::kClarifier, Cat::kOpClarifier}, {"op frequency", S::Op::kFrequencyA, Cat::kOpFrequency},
            {"op mode", S::Op::kMode, Cat::kOpMode}, {"op pacing", S::Op::kPacing, Cat::kOpPacing},
            {"op record read", S::Op::kRecordRead, Cat::kOpUpdate},
            {"op repeater shift", S::Op::kRepeaterShift, Cat::kOpRepeater}, {"op filter", S::Op::kFilter, Cat::kOpFilter},
            {"op meter", S::Op::kMeter, Cat::kOpMeter}, {"op status", S::Op::kStatus, Cat::kOpStatus},
            {"read VFO-A", S::Param::kReadVfoA, Cat::kUpdateVfoA}, {"read memory", S::Param::kReadMemory, Cat::kUpdateMemory},
            {"mask", S::Param::kMask, Cat::kMaskOn}, {"unmask", S::Param::kUnmask, Cat::kMaskOff},
            {"stage 8.2", S::Param::kStage82, Cat::kStage82}, {"stage 455", S::Param::kStage455, Cat::kStage455},
            {"rx clarifier off", S::Param::kRxClarifierOff, Cat::kRxClarifierOff},
            {"rx clarifier on", S::Param::kRxClarifierOn, Cat::kRxClarifierOn},
            {"tx clarifier off", S::Param::kTxClarifierOff, Cat::kTxClarifierOff},
            {"tx clarifier on", S::Param::kTxClarifierOn, Cat::kTxClarifierOn},
            {"offset flag", S::Param::kClarifierOffset, Cat::kOffsetFlag},
            {"offset plus", S::Param::kOffsetPlus, Cat::kOffsetPlus},
            {"offset minus", S::Param::kOffsetMinus, Cat::kOffsetMinus},
            {"status size", S::kStatusReplyBytes, Cat::kStatusReplySize}, {"ident 4th", S::kIdentBytes[0], Cat::kIdent3},
            {"ident 5th", S::kIdentBytes[1], Cat::kIdent4}, {"meter size", S::kMeterReplyBytes, Cat::kMeterReplySize},
            {"record size", S::kRecordBytes, kRecordSize}, {"channels", S::kChannels, kChannelCount},
            {"first PMS", S::kFirstPmsChannel, kFirstPms}, {"first QMB", S::kFirstQmbChannel, kFirstQmb},
            {"mask byte", L::kMasked.byte, R::kMaskByte}, {"mask bit", L::kMasked.mask, R::kMaskBit},
            {"freq byte", L::kFreqFirstByte, R::kFreqByte}, {"freq bits", int(L::kFreqMask), int(R::kFreqBits)},
            {"steps per kHz", int(L::kStepsPerKHz), int(R::kStepsPerKHz)},
            {"offset byte", L::kOffsetFirstByte, R::kOffsetByte}, {"mode byte", L::kModeCode.byte, R::kModeByte},
            {"mode bits", L::kModeCode.mask, R::kModeCodeBits}, {"variant byte", L::kModeVariant.byte, R::kFilterByte},
            {"variant bit", L::kModeVariant.mask, R::kVariantBit}, {"8.2 byte", L::kFilter82.byte, R::kFilterByte},
            {"8.2 bits", L::kFilter82.mask, R::kFilter82Bits}, {"8.2 shift", L::kFilter82.shift(), R::kFilter82Shift},
            {"455 byte", L::kFilter455.byte, R::kFilterByte}, {"455 bits", L::kFilter455.mask, R::kFilter455Bits},
            {"tx clarifier", L::kTxClarifier.byte * 256 + L::kTxClarifier.mask, R::kFlagsByte * 256 + R::kTxRitBit},
            {"rx clarifier", L::kRxClarifier.byte * 256 + L::kRxClarifier.mask, R::kFlagsByte * 256 + R::kRxRitBit},
            {"shift plus", L::kShiftPlus.byte * 256 + L::kShiftPlus.mask, R::kFlagsByte * 256 + R::kRptPlusBit},
            {"shift minus", L::kShiftMinus.byte * 256 + L::kShiftMinus.mask, R::kFlagsByte * 256 + R::kRptMinusBit},
            {"antenna", L::kAntenna.byte * 256 + L::kAntenna.mask, R::kFlagsByte * 256 + R::kAntBits},
            {"antenna shift", L::kAntenna.shift(), R::kAntShift},
        };
        for (const auto& [name, emulator, program] : pairs)
            QVERIFY2(emulator == program, name);
    }

    // Every mode and filter text the program sends comes back from the emulator's record.
    void settingsRoundTrip()
    {
        using namespace vardo;
        const std::tuple<QStringList, QString Channel::*, std::optional<CatFrame> (*)(const Channel&)> tables[] = {
            {ModeTexts(), &Channel::Mode, &SendMode}, {Filter82Texts(), &Channel::Filt82, &Send82Filter},
            {Filter455Texts(), &Channel::Filt455, &Send455Filter}};
        for (const auto& [texts, field, send] : tables) {
            for (const QString& text : texts) {
                Channel c;
                c.*field = text;
                const std::optional<CatFrame> frame = send(c);
                QVERIFY2(frame, qPrintable(text));
                SimRadio radio;
                QVERIFY(radio.feed(frame->toBytes()).isEmpty());
                QCOMPARE(DecodeRecord(radio.vfoA()).*field, text);
            }
        }
    }

    // Frames split anywhere, several in one write: the reply and VFO-A's bytes 0-9 (from 0 kHz USB).
    void commands_data()
    {
        QTest::addColumn<QByteArray>("frames");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("record");
        const QByteArray untouched = Hex("00 00 00 00 00 00 00 01 00 00"), none;
        QTest::newRow("two requests") << Hex("00 00 00 00 FA 00 00 00 02 10") << Hex("00 00 00 03 93") + Bytes(kUsb) << untouched;
        QTest::newRow("both VFOs") << Hex("00 00 00 03 10") << Bytes(kUsb) + Bytes(kVfoB) << untouched;
        QTest::newRow("channel 5") << Hex("05 00 00 04 10") << Bytes(kChannel5) << untouched;
        QTest::newRow("blank channel 113") << Hex("71 00 00 04 10") << QByteArray(16, '\0') << untouched;
        QTest::newRow("channel 0") << Hex("00 00 00 04 10") << none << untouched;
        QTest::newRow("channel 114") << Hex("72 00 00 04 10") << none << untouched;
        QTest::newRow("meter, nothing recalled") << Hex("00 00 00 00 F7") << Hex("00 00 00 00 F7") << untouched;
        QTest::newRow("unknown opcode") << Hex("00 00 00 00 77") << none << untouched;
        QTest::newRow("mode 07 ignored") << Hex("00 00 00 07 0C") << none << untouched;
        QTest::newRow("CW (lsb)") << Hex("00 00 00 03 0C") << none << Hex("00 00 00 00 00 00 00 02 80 00");
        QTest::newRow("VFO-B mode leaves A") << Hex("00 00 00 84 0C") << none << untouched;
        QTest::newRow("8.2 width 05 ignored") << Hex("01 00 00 05 8C") << none << untouched;
        QTest::newRow("8.2 2.4K") << Hex("01 00 00 00 8C") << none << Hex("00 00 00 00 00 00 00 01 10 00");
        QTest::newRow("shift 03 ignored") << Hex("00 00 00 02 84 00 00 00 03 84") << none << Hex("00 00 00 00 00 00 00 01 00 04");
        QTest::newRow("minus shift") << Hex("00 00 00 01 84") << none << Hex("00 00 00 00 00 00 00 01 00 08");
        QTest::newRow("offset not BCD ignored") << Hex("2A 01 00 FF 09") << none << untouched;
        QTest::newRow("freq not BCD ignored") << Hex("0A 00 00 00 0A") << none << untouched;
        QTest::newRow("VFO-B freq leaves A") << Hex("00 50 70 00 8A") << none << untouched;
        QTest::newRow("455 keeps 8.2") << Hex("02 00 00 03 8C") << none << Hex("00 00 00 00 00 00 00 01 04 00");
        QTest::newRow("tx leaves rx") << Hex("00 00 00 81 09") << none << Hex("00 00 00 00 00 00 00 01 00 01");
        QTest::newRow("offset -9.99") << Hex("99 09 FF FF 09") << none << Hex("00 00 00 00 00 C1 90 01 00 00");
        QTest::newRow("offset back to 0") << Hex("23 01 00 FF 09 00 00 00 FF 09") << none << untouched;
        QTest::newRow("14025.50 kHz") << Hex("50 25 40 01 0A") << none << Hex("00 01 56 6B 60 00 00 01 00 00");
        QTest::newRow("rx clarifier, +1.50") << Hex("00 00 70 00 0A 50 01 00 FF 09 00 00 00 01 09") << none
                                             << Hex("00 00 AA E6 00 09 60 01 00 02");
    }

    void commands()
    {
        QFETCH(QByteArray, frames);
        QFETCH(QByteArray, record);
        SimRadio radio;
        radio.setVfoA(kUsb);
        radio.setVfoB(kVfoB);
        radio.setMemory(5, kChannel5);
        const QByteArray first = radio.feed(frames.left(3));
        QTEST(first + radio.feed(frames.mid(3)), "reply");
        QCOMPARE(radio.frameLog().size(), std::size_t(frames.size() / 5));
        QVERIFY(!radio.hasPartialFrame());
        QCOMPARE(Bytes(radio.vfoA()).toHex(' '), (record + QByteArray(6, '\0')).toHex(' '));
    }

    void memoryOperations()
    {
        SimRadio radio;
        radio.setVfoA(kSample);  // its mask bit is set: a store shows the channel again
        radio.setMemory(12, RecordOf("80 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"));
        radio.setMeterLevel(12, 0x78);
        radio.feed(Hex("00 00 00 0C 03"));  // store VFO-A into 12
        const Record expected = RecordOf("00 01 5A 8E C0 03 20 02 B4 16 00 00 00 00 00 00");
        QCOMPARE(radio.memory(12), expected);
        radio.feed(Hex("00 00 01 0C 03"));  // mask
        QCOMPARE(radio.memory(12)[0], 0x80);
        radio.feed(Hex("00 00 02 0C 03"));  // unmask
        QCOMPARE(radio.memory(12), expected);
        radio.feed(Hex("00 00 01 0C 03"));
        radio.setVfoA(Record{});
        radio.feed(Hex("00 00 00 0C 06"));  // recall the masked channel: VFO-A is not masked
        QCOMPARE(radio.vfoA(), expected);
        QCOMPARE(radio.memory(12)[0], 0x80);
        QCOMPARE(radio.feed(Hex("00 00 00 00 F7")), Hex("78 78 78 78 F7"));  // the recalled channel's meter
        radio.feed(Hex("00 00 00 72 03 00 00 01 00 03 00 00 03 0C 03"));  // out of range, bad mask code
        QCOMPARE(radio.frameLog().size(), std::size_t(9));
        QCOMPARE(radio.memory(12)[0], 0x80);
    }

    // The fault, then the reply sizes to status, VFO-A, channel 1, both VFOs and meter, and the status reply.
    void faults()
    {
        const QByteArray ok = Hex("00 00 00 03 93");
        const std::tuple<Faults, QList<int>, QByteArray> rows[] = {
            {Faults{.ident = std::array<std::uint8_t, 2>{0x03, 0x94}}, {5, 16, 16, 32, 5}, Hex("00 00 00 03 94")},
            {Faults{.ident = {}, .silent = true}, {0, 0, 0, 0, 0}, QByteArray()},
            {Faults{.ident = {}, .stopAfter = 2}, {5, 16, 0, 0, 0}, ok},
            {Faults{.ident = {}, .shortReplies = true}, {5, 15, 15, 31, 5}, ok},
            {Faults{.ident = {}, .longReplies = true}, {5, 20, 20, 36, 5}, ok},
            {Faults{.ident = {}, .garbage = true}, {5, 16, 16, 32, 5}, ok}};
        for (const auto& [faults, replySizes, status] : rows) {
            SimRadio radio;
            radio.setVfoA(kSample);
            radio.setMemory(1, kSample);
            radio.setFaults(faults);
            QList<QByteArray> replies;
            QList<int> sizes;
            for (const char* request : {"00 00 00 00 FA", "00 00 00 02 10", "01 00 00 04 10", "00 00 00 03 10", "00 00 00 00 F7"}) {
                replies << radio.feed(Hex(request));
                sizes << int(replies.last().size());
            }
            QCOMPARE(sizes, replySizes);
            QCOMPARE(replies[0], status);
            QCOMPARE(radio.frameLog().size(), std::size_t(5));  // heard, answered or not
            QCOMPARE(replies[1].startsWith(Bytes(kSample).left(15)), !faults.garbage && replySizes[1] > 0);
        }
    }

    void imageRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("image.txt");
        SimRadio radio;
        QVERIFY(radio.loadDemoImage());
        radio.setMemory(99, kSample);
        radio.setMeterLevel(99, 7);
        QString error;
        QVERIFY2(radio.saveImage(path, &error), qPrintable(error));
        const QByteArray text = vardo::test::FileBytes(path);
        QVERIFY(text.contains("\n6: 0001579A800000011100000000000000  meter=200  # FT8 20 m\n"));
        QVERIFY(text.contains("\n99: 80015A8EC0032002B416000000000000  meter=7  # 14195.50 kHz CW (lsb) (masked)\n"));
        QVERIFY(text.contains("\nP1: ") && text.contains("\nQ5: "));
        // Read back and saved again: every record, meter level and comment came through.
        SimRadio again;
        QVERIFY2(again.loadImage(path, &error), qPrintable(error));
        QVERIFY(again.saveImage(path));
        QCOMPARE(vardo::test::FileBytes(path), text);
    }

    void imageErrors()
    {
        const QByteArray good = "# fine\n1:\t0001579A 80000001 11000000 00000000\r\n";
        const QByteArray record = " 0001579A800000011100000000000000";
        const std::pair<QByteArray, QString> files[] = {
            {good + "2" + record, "line 3: expected \"name: record\""},
            {good + "P10:" + record, "line 3: unknown channel \"P10\""},
            {good + "2: 0001579A80000001110000000000000G\n", "line 3: the record must be 32 hexadecimal digits"},
            {good + "\n01:" + record, "line 4: 1 is listed twice"}};
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.txt");
        for (const auto& [text, error] : files) {
            QVERIFY(vardo::test::PutFile(path, text));
            SimRadio radio;
            radio.setMemory(1, kSample);
            QString message;
            QVERIFY(!radio.loadImage(path, &message));
            QCOMPARE(message, path + ": " + error);
            QCOMPARE(radio.memory(1), kSample);  // nothing changed
        }
    }
};

QTEST_GUILESS_MAIN(SimRadioTest)
#include "sim_radio_test.moc"
