// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The five-byte CAT command frame (P1 P2 P3 P4 opcode) and a builder for every command
// this program sends to the radio. No other byte sequence ever goes to the radio.

#include <array>
#include <compare>
#include <cstdint>

#include <QByteArray>
#include <QString>

namespace vardo {

struct CatFrame {
    std::array<std::uint8_t, 5> bytes{};

    [[nodiscard]] QByteArray toBytes() const
    {
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), 5);
    }
    [[nodiscard]] QString toHex() const;  // "00 00 00 05 0E"
    auto operator<=>(const CatFrame&) const = default;
};

namespace Cat {

// Opcodes (the fifth byte) and parameter codes of the commands; the emulator obeys the same.
inline constexpr std::uint8_t kOpStore = 0x03;  // P3 00: store VFO-A into channel P4; else the mask code
inline constexpr std::uint8_t kOpRecall = 0x06;
inline constexpr std::uint8_t kOpClarifier = 0x09;
inline constexpr std::uint8_t kOpFrequency = 0x0A;
inline constexpr std::uint8_t kOpMode = 0x0C;
inline constexpr std::uint8_t kOpPacing = 0x0E;
inline constexpr std::uint8_t kOpUpdate = 0x10;  // record read, P4 says which
inline constexpr std::uint8_t kOpRepeater = 0x84;
inline constexpr std::uint8_t kOpFilter = 0x8C;
inline constexpr std::uint8_t kOpMeter = 0xF7;
inline constexpr std::uint8_t kOpStatus = 0xFA;

inline constexpr std::uint8_t kUpdateVfoA = 0x02;
inline constexpr std::uint8_t kUpdateMemory = 0x04;  // the channel number in P1
inline constexpr std::uint8_t kMaskOn = 0x01;
inline constexpr std::uint8_t kMaskOff = 0x02;
inline constexpr std::uint8_t kStage82 = 0x01;       // P1 of the filter command
inline constexpr std::uint8_t kStage455 = 0x02;
inline constexpr std::uint8_t kRxClarifierOff = 0x00;  // P4 of the clarifier switches
inline constexpr std::uint8_t kRxClarifierOn = 0x01;
inline constexpr std::uint8_t kTxClarifierOff = 0x80;
inline constexpr std::uint8_t kTxClarifierOn = 0x81;
inline constexpr std::uint8_t kOffsetFlag = 0xFF;    // P4 of the clarifier offset
inline constexpr std::uint8_t kOffsetPlus = 0x00;    // P3 of the clarifier offset
inline constexpr std::uint8_t kOffsetMinus = 0xFF;

[[nodiscard]] CatFrame SetPacing(std::uint8_t pacing);        // 00 00 00 p 0E
[[nodiscard]] CatFrame StatusRequest();                        // 00 00 00 00 FA
[[nodiscard]] CatFrame MemoryRequest(int channel);             // ch 00 00 04 10
[[nodiscard]] CatFrame VfoARequest();                          // 00 00 00 02 10
[[nodiscard]] CatFrame StoreVfoA(int channel);                 // 00 00 00 ch 03
[[nodiscard]] CatFrame SetMask(int maskCode, int channel);     // 00 00 mask ch 03
[[nodiscard]] CatFrame RecallChannel(int channel);             // 00 00 00 ch 06
[[nodiscard]] CatFrame MeterRequest();                         // 00 00 00 00 F7
[[nodiscard]] CatFrame SetMode(std::uint8_t m);                // 00 00 00 m 0C
[[nodiscard]] CatFrame Set82Filter(std::uint8_t w);            // 01 00 00 w 8C
[[nodiscard]] CatFrame Set455Filter(std::uint8_t w);           // 02 00 00 w 8C
[[nodiscard]] CatFrame SetRxClarifier(bool on);                // 00 00 00 00/01 09
[[nodiscard]] CatFrame SetTxClarifier(bool on);                // 00 00 00 80/81 09
[[nodiscard]] CatFrame SetClarifierOffset(std::uint8_t c, std::uint8_t g, std::uint8_t s);  // c g s FF 09
[[nodiscard]] CatFrame SetRepeaterShift(std::uint8_t p);       // 00 00 00 p 84
[[nodiscard]] CatFrame SetFrequency(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4);  // b1 b2 b3 b4 0A

inline constexpr std::uint8_t kPacing = 5;  // ms between reply bytes, unless the operator sets another
inline constexpr int kMaxPacing = 255;
inline constexpr int kStatusReplySize = 5;
inline constexpr int kMeterReplySize = 5;  // the meter byte four times, then F7
inline constexpr std::uint8_t kIdent3 = 0x03;  // fourth byte of the status reply
inline constexpr std::uint8_t kIdent4 = 0x93;  // fifth byte

}  // namespace Cat

// The meter reply's byte above which the scan counts a channel as busy, for the S-unit digit
// 1..9 the operator types: the one rule the scan set-up and the radio side share.
[[nodiscard]] constexpr int ScanThreshold(int sMeterDigit) { return 16 * sMeterDigit + 8; }

}  // namespace vardo
