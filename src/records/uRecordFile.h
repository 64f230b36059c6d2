// The file form shared by saved games and highscore tables: one record as the
// single entry of a compressed, encrypted container. The two kinds differ
// only in key and entry name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/Streams.h"

namespace tessum {

// Largest saved game or highscore table we read, as a file and unpacked. A
// real one is a few kilobytes (a game of thousands of moves stays far below
// a megabyte); anything beyond is damage, refused before its memory is taken.
inline constexpr std::int64_t MaxRecordFileSize = 4 * 1024 * 1024;

// Writes Body as the entry Entry of a container enciphered with Key.
void SaveRecordContainer(TStream& Dest, const std::string& Key, const std::string& Entry, TMemoryStream& Body);

// Opens a container with Key and copies the entry Entry into Body (at
// position 0). A wrong key, any damage, a missing entry or a payload beyond
// MaxRecordFileSize throws ECorruptFile ("File is corrupt.").
void LoadRecordContainer(TStream& Source, const std::string& Key, const std::string& Entry, TMemoryStream& Body);

// Builds the whole file in memory first, then writes it through a temporary
// sibling, so a failure at any point keeps the previous file.
void SaveRecordFile(const std::string& FileName, const std::function<void(TStream&)>& WriteContainer);

// Calls ReadContainer with the whole file in memory; a missing file is no
// record at all, so nothing is called and false returned. A file beyond
// MaxRecordFileSize is "File is corrupt." before any of it is read.
bool LoadRecordFile(const std::string& FileName, const std::function<void(TStream&)>& ReadContainer);

}  // namespace tessum
