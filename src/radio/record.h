#pragma once
// The 16-byte memory record the radio returns for a memory channel or for VFO-A.

#include <array>
#include <cstdint>

#include <QByteArray>

namespace vardo {

inline constexpr int kRecordSize = 16;

using Record = std::array<std::uint8_t, kRecordSize>;

// The first 16 bytes of a reply; the caller guarantees at least 16 are there.
[[nodiscard]] inline Record RecordFromBytes(const QByteArray& bytes)
{
    Record r{};
    for (int i = 0; i < kRecordSize; ++i)
        r[i] = static_cast<std::uint8_t>(bytes.at(i));
    return r;
}

[[nodiscard]] inline QByteArray RecordBytes(const Record& r)
{
    return QByteArray(reinterpret_cast<const char*>(r.data()), kRecordSize);
}

}  // namespace vardo
