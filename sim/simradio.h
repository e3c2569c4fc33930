#pragma once
// The radio emulator's core: a state machine fed with bytes that answers with bytes, as the
// FT-1000MP does on its CAT port. No I/O and no clock of its own: the front ends pace it.

#include <array>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include "catframe.h"
#include "record.h"

namespace vardo::sim {

struct Faults {
    std::optional<std::array<std::uint8_t, 2>> ident;  // other identification bytes
    bool silent = false;       // never answers
    int stopAfter = -1;        // answers this many requests, then falls silent (-1: never)
    bool shortReplies = false; // records one byte short
    bool longReplies = false;  // records four bytes long
    bool garbage = false;      // random bytes instead of records
};

class SimRadio {
public:
    SimRadio();

    // Feeds bytes as they arrive on the wire (frames may be split anywhere); returns the
    // reply bytes to send back, in order.
    QByteArray feed(const QByteArray& bytes);

    [[nodiscard]] const std::vector<CatFrame>& frameLog() const { return m_log; }
    void clearLog() { m_log.clear(); }

    // Memory: channel 1..113; VFO-A and VFO-B records.
    [[nodiscard]] Record memory(int channel) const;
    void setMemory(int channel, const Record& record);
    [[nodiscard]] Record vfoA() const { return m_vfoA; }
    void setVfoA(const Record& record) { m_vfoA = record; }

    // S-meter byte the meter read returns while VFO-A holds the given channel.
    void setMeterLevel(int channel, std::uint8_t level);
    [[nodiscard]] int pacing() const { return m_pacing; }

    Faults& faults() { return m_faults; }

    // Readable text image of the 113 channels (one line per channel); false on a bad file.
    bool loadImage(const QString& path, QString* error = nullptr);
    bool saveImage(const QString& path, QString* error = nullptr) const;
    // The demo image shipped in the program's resources.
    bool loadDemoImage();

private:
    // implementation detail members chosen by the implementer
    std::vector<CatFrame> m_log;
    Record m_vfoA{};
    int m_pacing = 0;
    Faults m_faults;
    // ...
};

}  // namespace vardo::sim
