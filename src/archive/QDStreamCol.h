// TQDStreams: a set of named byte streams stored as one file, optionally
// compressed (LZH -lh5-) and optionally encrypted (Blowfish). Graphics
// archives, saved games and highscore tables are all such containers.
//
// File layout (little-endian):
//   byte 0   '&' when the body is compressed, ' ' otherwise
//   byte 1   '*' when the body is encrypted, ' ' otherwise
//   body     Encrypt(Compress(payload)), each layer only when its marker says so
//   payload  8 signature bytes 01..08, int32 entry count, then per entry:
//            uint16 name length, name bytes, int32 data length, data bytes
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "archive/QDStreamRoutines.h"  // ECorruptFile
#include "archive/Streams.h"

namespace tessum {

class TQDStreams;

// Asked for the key when an encrypted container is loaded; returns the key.
using TOnAskForKey = std::function<std::string(TQDStreams& Sender)>;
// Plain notification with the container as sender.
using TStreamsNotifyEvent = std::function<void(TQDStreams& Sender)>;

class TQDStreams {
public:
    // Compress the body when saving; after a load, whether the file was compressed.
    bool Compressed = true;
    // Encrypt the body when saving (only when Key is not empty); after a load,
    // whether the file was encrypted.
    bool Encrypted = false;
    // Cipher key, 1 to 255 bytes when used. A successful load leaves the key
    // that opened the file here.
    std::string Key;
    // Consulted for the key of an encrypted file; when unset, Key is used.
    TOnAskForKey OnAskForKey;
    // Called just before ECorruptFile("File is corrupt.") is raised.
    TStreamsNotifyEvent OnCorrupt;
    // Largest payload a load accepts, in bytes. Each kind of file sets what it
    // can really reach, so a hostile file is refused before its memory is
    // taken; never more than MaxUncompressedSize.
    std::int64_t SizeLimit = MaxUncompressedSize;

    TQDStreams() = default;
    ~TQDStreams() = default;
    TQDStreams(const TQDStreams&) = delete;
    TQDStreams& operator=(const TQDStreams&) = delete;

    // Copies the whole of Source (from position 0, whatever its position) under
    // Name. Ignored when Name is empty, Source is null, or an entry of that name
    // (compared case-insensitively) exists already: the first one stays.
    // Throws std::length_error for a name of more than 65535 bytes, which the
    // file format cannot hold.
    void AddStream(const std::string& Name, TStream* Source);
    void AddStream(const std::string& Name, TStream& Source) { AddStream(Name, &Source); }

    // Appends the entry's whole content at Dest's position, then rewinds Dest
    // to 0. An unknown name leaves Dest's content alone but still rewinds it;
    // an empty name does nothing at all. Returns whether the entry was found.
    bool GetStream(const std::string& Name, TStream& Dest) const;

    // Drops every entry.
    void Clear();

    // Entries in their stored order (sorted case-insensitively by name).
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Names(int Index) const { return entries_.at(static_cast<std::size_t>(Index)).first; }
    const TMemoryStream& Streams(int Index) const { return *entries_.at(static_cast<std::size_t>(Index)).second; }
    // Index of the entry called Name (case-insensitively), or -1.
    int IndexOf(std::string_view Name) const;

    // Opens FileName read-only and loads it; an error opening it propagates.
    void LoadFromFile(const std::string& FileName);

    // Reads a whole container from Source (from position 0 to its end).
    // Throws ECorruptFile("File is corrupt.") on a bad signature, a cipher or a
    // decompression failure, a file or payload beyond SizeLimit or an entry
    // count beyond MaxEntryCount; Key, Compressed, Encrypted and the entries
    // then keep their values. A damaged entry table behind a good signature
    // throws EReadError and keeps the entries read before the damage.
    void LoadFromStream(TStream& Source);

    // Writes the container at Dest's current position. Throws, before writing
    // anything, std::invalid_argument when encryption is asked for with a key
    // longer than 255 bytes and std::length_error when the entries exceed
    // MaxUncompressedSize (which no reader would accept).
    void SaveToStream(TStream& Dest) const;

private:
    std::vector<std::pair<std::string, std::unique_ptr<TMemoryStream>>> entries_;

    [[noreturn]] void Corrupt();
};

// Entries a loaded table may hold. The largest archive of ours (the hand
// frames) has a few dozen and a saved game or highscore table one; a table
// claiming more than this is damage or an attack, and refusing it at once
// keeps such a file from costing time and memory for entries nobody reads.
inline constexpr std::int32_t MaxEntryCount = 4096;

// Case-insensitive order of entry names: ASCII and the Western code page's
// accented letters fold to lower case, everything else compares by byte value.
int CompareEntryNames(std::string_view A, std::string_view B);

}  // namespace tessum
