// SPDX-License-Identifier: GPL-3.0-or-later
// The emulator core as a client sees it: bytes in, bytes out, and the grid row the program's
// own decoder shows for the records it keeps.

#include <QTemporaryDir>
#include <QTest>

#include "channelrow.h"
#include "codec.h"
#include "filebytes.h"
#include "recordfields.h"
#include "simradio.h"

using namespace vardo;
using namespace vardo::sim;

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

Record RecordOf(const char* text) { return RecordFromBytes(Hex(text)); }

const Record kSample = RecordOf("80 01 5A 8E C0 03 20 02 B4 16 00 00 00 00 00 00");
const Record kVfoB = RecordOf("00 00 AC 1E 80 00 00 00 11 00 00 00 00 00 00 00");
const Record kChannel5 = RecordOf("00 01 57 9A 80 00 00 01 11 00 00 00 00 00 00 00");

// The settings a grid row shows for a record, joined by "|".
QString Shown(const Record& r)
{
    const RowCells cells = CellsFromChannel(DecodeRecord(r));
    return QStringList(cells.begin(), cells.begin() + CellIndex(ColComment)).join('|');
}

template <typename T>
Faults With(T Faults::*fault, std::type_identity_t<T> value)
{
    Faults f;
    f.*fault = value;
    return f;
}

}  // namespace

class SimRadioTest : public QObject {
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void settingCommands_data();
    void settingCommands();
    void memoryOperations();
    void faults_data();
    void faults();
    void imageRoundTrip();
    void imageErrors_data();
    void imageErrors();
};

void SimRadioTest::replies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("two requests") << Hex("00 00 00 00 FA 00 00 00 02 10") << Hex("00 00 00 03 93") + RecordBytes(kSample);
    QTest::newRow("both VFOs") << Hex("00 00 00 03 10") << RecordBytes(kSample) + RecordBytes(kVfoB);
    QTest::newRow("channel 5") << Hex("05 00 00 04 10") << RecordBytes(kChannel5);
    QTest::newRow("blank channel 113") << Hex("71 00 00 04 10") << QByteArray(16, '\0');
    QTest::newRow("channel 0") << Hex("00 00 00 04 10") << QByteArray();
    QTest::newRow("channel 114") << Hex("72 00 00 04 10") << QByteArray();
    QTest::newRow("meter, nothing recalled") << Hex("00 00 00 00 F7") << Hex("00 00 00 00 F7");
    QTest::newRow("unknown opcode") << Hex("00 00 00 00 77") << QByteArray();
}

void SimRadioTest::replies()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    SimRadio radio;
    radio.setVfoA(kSample);
    radio.setVfoB(kVfoB);
    radio.setMemory(5, kChannel5);
    const QByteArray first = radio.feed(request.left(3));  // frames split anywhere, several in one write
    QCOMPARE(first + radio.feed(request.mid(3)), reply);
    QCOMPARE(radio.frameLog().size(), std::size_t(request.size() / 5));
    QVERIFY(!radio.hasPartialFrame());
}

// Single settings on VFO-A at 0 kHz USB: what is ignored and what a setting leaves alone. The
// link's write round trip takes every mode, filter, switch and shift through the emulator.
void SimRadioTest::settingCommands_data()
{
    QTest::addColumn<QByteArray>("frames");
    QTest::addColumn<QString>("row");
    const QString untouched = "0.00  |USB|Thru|6.0K|A|OFF|OFF|0.00|OFF";
    QTest::newRow("mode 07 ignored") << Hex("00 00 00 07 0C") << untouched;
    QTest::newRow("VFO-B mode leaves A") << Hex("00 00 00 84 0C") << untouched;
    QTest::newRow("8.2 width 05 ignored") << Hex("01 00 00 05 8C") << untouched;
    QTest::newRow("shift 03 ignored") << Hex("00 00 00 02 84 00 00 00 03 84") << "0.00  |USB|Thru|6.0K|A|OFF|OFF|0.00|+RPT";
    QTest::newRow("offset not BCD ignored") << Hex("2A 01 00 FF 09") << untouched;
    QTest::newRow("freq not BCD ignored") << Hex("0A 00 00 00 0A") << untouched;
    QTest::newRow("VFO-B freq leaves A") << Hex("00 50 70 00 8A") << untouched;
    QTest::newRow("455 keeps 8.2") << Hex("02 00 00 03 8C") << "0.00  |USB|Thru|250|A|OFF|OFF|0.00|OFF";
    QTest::newRow("tx leaves rx") << Hex("00 00 00 81 09") << "0.00  |USB|Thru|6.0K|A|OFF|ON|0.00|OFF";
    QTest::newRow("offset -9.99") << Hex("99 09 FF FF 09") << "0.00  |USB|Thru|6.0K|A|OFF|OFF|-9.99|OFF";
    QTest::newRow("offset back to 0") << Hex("23 01 00 FF 09 00 00 00 FF 09") << untouched;
    QTest::newRow("rx clarifier adds offset") << Hex("00 00 70 00 0A 50 01 00 FF 09 00 00 00 01 09")
                                              << "7001.50  |USB|Thru|6.0K|A|ON|OFF|+1.50|OFF";
}

void SimRadioTest::settingCommands()
{
    QFETCH(QByteArray, frames);
    QFETCH(QString, row);
    SimRadio radio;
    radio.setVfoA(RecordOf("00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 00"));
    QVERIFY(radio.feed(frames).isEmpty());
    QCOMPARE(Shown(radio.vfoA()), row);
}

void SimRadioTest::memoryOperations()
{
    SimRadio radio;
    radio.setVfoA(kSample);  // its mask bit is set: a store shows the channel again
    radio.setMemory(12, RecordOf("80 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"));
    radio.setMeterLevel(12, 0x78);
    radio.feed(Hex("00 00 00 0C 03"));  // store VFO-A into 12
    Record expected = kSample;
    SetMasked(expected, false);
    QCOMPARE(radio.memory(12), expected);
    radio.feed(Hex("00 00 01 0C 03"));  // mask
    QVERIFY(IsMasked(radio.memory(12)));
    radio.feed(Hex("00 00 02 0C 03"));  // unmask
    QCOMPARE(radio.memory(12), expected);
    radio.feed(Hex("00 00 01 0C 03"));
    radio.setVfoA(Record{});
    radio.feed(Hex("00 00 00 0C 06"));  // recall the masked channel: VFO-A is not masked
    QCOMPARE(radio.vfoA(), expected);
    QVERIFY(IsMasked(radio.memory(12)));
    QCOMPARE(radio.feed(Hex("00 00 00 00 F7")), Hex("78 78 78 78 F7"));  // the recalled channel's meter
    radio.feed(Hex("00 00 00 72 03 00 00 01 00 03 00 00 03 0C 03"));  // out of range, bad mask code
    QCOMPARE(radio.frameLog().size(), std::size_t(9));
    QVERIFY(IsMasked(radio.memory(12)));
}

void SimRadioTest::faults_data()
{
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<QList<int>>("replySizes");  // status, VFO-A, channel 1, both VFOs, meter
    QTest::addColumn<QByteArray>("status");
    const QByteArray ok = Hex("00 00 00 03 93");
    QTest::newRow("ident") << With(&Faults::ident, std::array<std::uint8_t, 2>{0x03, 0x94}) << QList<int>{5, 16, 16, 32, 5}
                           << Hex("00 00 00 03 94");
    QTest::newRow("silent") << With(&Faults::silent, true) << QList<int>{0, 0, 0, 0, 0} << QByteArray();
    QTest::newRow("stop after 2") << With(&Faults::stopAfter, 2) << QList<int>{5, 16, 0, 0, 0} << ok;
    QTest::newRow("short") << With(&Faults::shortReplies, true) << QList<int>{5, 15, 15, 31, 5} << ok;
    QTest::newRow("long") << With(&Faults::longReplies, true) << QList<int>{5, 20, 20, 36, 5} << ok;
    QTest::newRow("garbage") << With(&Faults::garbage, true) << QList<int>{5, 16, 16, 32, 5} << ok;
}

void SimRadioTest::faults()
{
    QFETCH(Faults, faults);
    QFETCH(QList<int>, replySizes);
    QFETCH(QByteArray, status);
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
    QCOMPARE(replies[1].startsWith(RecordBytes(kSample).left(15)), !faults.garbage && replySizes[1] > 0);
}

void SimRadioTest::imageRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("image.txt");
    SimRadio radio;
    QVERIFY(radio.loadDemoImage());
    radio.setMemory(99, kSample);
    radio.setMeterLevel(99, 7);
    QString error;
    QVERIFY2(radio.saveImage(path, &error), qPrintable(error));
    const QByteArray text = test::FileBytes(path);
    QVERIFY(text.contains("\n6: 0001579A800000011100000000000000  meter=200  # FT8 20 m\n"));
    QVERIFY(text.contains("\n99: 80015A8EC0032002B416000000000000  meter=7  # 14195.50 kHz CW (lsb) (masked)\n"));
    QVERIFY(text.contains("\nP1: ") && text.contains("\nQ5: "));
    // Read back and saved again: every record, meter level and comment came through.
    SimRadio again;
    QVERIFY2(again.loadImage(path, &error), qPrintable(error));
    QVERIFY(again.saveImage(path));
    QCOMPARE(test::FileBytes(path), text);
}

void SimRadioTest::imageErrors_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray good = "# fine\n1:\t0001579A 80000001 11000000 00000000\r\n";
    const QByteArray record = " 0001579A800000011100000000000000";
    QTest::newRow("no colon") << good + "2" + record << "line 3: expected \"name: record\"";
    QTest::newRow("unknown channel") << good + "P10:" + record << "line 3: unknown channel \"P10\"";
    QTest::newRow("not hex") << good + "2: 0001579A80000001110000000000000G\n"
                             << "line 3: the record must be 32 hexadecimal digits";
    QTest::newRow("twice") << good + "\n01:" + record << "line 4: 1 is listed twice";
    QTest::newRow("binary") << QByteArray("\x01\x02\xff\xfe", 4) << "line 1: expected \"name: record\"";
}

void SimRadioTest::imageErrors()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.txt");
    QVERIFY(test::PutFile(path, text));
    SimRadio radio;
    radio.setMemory(1, kSample);
    QString message;
    QVERIFY(!radio.loadImage(path, &message));
    QCOMPARE(message, path + ": " + error);
    QCOMPARE(radio.memory(1), kSample);  // nothing changed
}

QTEST_GUILESS_MAIN(SimRadioTest)
#include "sim_radio_test.moc"
