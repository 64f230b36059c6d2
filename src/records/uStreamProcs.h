// Typed values on a byte stream: the building blocks of the saved-game and
// highscore layouts. Little-endian, no padding, no type tags, so a record is
// just its fields one after the other.
//
// Readers never invent bytes: a value that runs past the end of the stream
// throws EReadError, and the loaders above turn that into a corrupt file.
#pragma once

#include <cstdint>
#include <string>

#include "archive/Streams.h"

namespace tessum {

void WriteInteger(TStream& Stream, std::int32_t Value);
std::int32_t ReadInteger(TStream& Stream);

void WriteWord(TStream& Stream, std::uint16_t Value);
std::uint16_t ReadWord(TStream& Stream);

void WriteByte(TStream& Stream, std::uint8_t Value);
std::uint8_t ReadByte(TStream& Stream);

// True is stored as 1, false as 0; only a stored 1 reads back as true.
void WriteBoolean(TStream& Stream, bool Value);
bool ReadBoolean(TStream& Stream);

void WriteDouble(TStream& Stream, double Value);
double ReadDouble(TStream& Stream);

// A 16-bit length, then the bytes as they are (8-bit code page, no terminator).
// The length keeps only its low 16 bits, so a string beyond 65535 bytes is
// stored cut; no record of the game comes near that.
void WriteString(TStream& Stream, const std::string& Value);
void ReadString(TStream& Stream, std::string& Value);
std::string ReadString(TStream& Stream);

}  // namespace tessum
