#include "records/uStreamProcs.h"

#include <bit>

namespace tessum {

namespace {

// Explicit byte order, so the files stay the same on any host.
template <class U>
void PutLE(TStream& Stream, U Value) {
    std::uint8_t b[sizeof(U)];
    for (std::size_t i = 0; i < sizeof(U); ++i) b[i] = static_cast<std::uint8_t>(Value >> (8 * i));
    Stream.WriteBuffer(b, sizeof b);
}

template <class U>
U GetLE(TStream& Stream) {
    std::uint8_t b[sizeof(U)];
    Stream.ReadBuffer(b, sizeof b);
    U v = 0;
    for (std::size_t i = 0; i < sizeof(U); ++i) v |= static_cast<U>(static_cast<U>(b[i]) << (8 * i));
    return v;
}

}  // namespace

void WriteInteger(TStream& Stream, std::int32_t Value) { PutLE(Stream, static_cast<std::uint32_t>(Value)); }
std::int32_t ReadInteger(TStream& Stream) { return static_cast<std::int32_t>(GetLE<std::uint32_t>(Stream)); }

void WriteWord(TStream& Stream, std::uint16_t Value) { PutLE(Stream, Value); }
std::uint16_t ReadWord(TStream& Stream) { return GetLE<std::uint16_t>(Stream); }

void WriteByte(TStream& Stream, std::uint8_t Value) { Stream.WriteBuffer(&Value, 1); }
std::uint8_t ReadByte(TStream& Stream) {
    std::uint8_t b = 0;
    Stream.ReadBuffer(&b, 1);
    return b;
}

void WriteBoolean(TStream& Stream, bool Value) { WriteByte(Stream, Value ? 1 : 0); }
bool ReadBoolean(TStream& Stream) { return ReadByte(Stream) == 1; }

void WriteDouble(TStream& Stream, double Value) { PutLE(Stream, std::bit_cast<std::uint64_t>(Value)); }
double ReadDouble(TStream& Stream) { return std::bit_cast<double>(GetLE<std::uint64_t>(Stream)); }

void WriteString(TStream& Stream, const std::string& Value) {
    const auto n = static_cast<std::uint16_t>(Value.size() & 0xFFFFu);
    WriteWord(Stream, n);
    Stream.WriteBuffer(Value.data(), n);
}

void ReadString(TStream& Stream, std::string& Value) {
    const std::uint16_t n = ReadWord(Stream);
    // Check before allocating, so a damaged length costs no memory.
    if (Stream.Remaining() < n) throw EReadError("Stream read error");
    std::string s(n, '\0');
    Stream.ReadBuffer(s.data(), n);
    Value = std::move(s);
}

std::string ReadString(TStream& Stream) {
    std::string s;
    ReadString(Stream, s);
    return s;
}

}  // namespace tessum
