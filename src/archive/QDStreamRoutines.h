// The two layers of the container: LZH compression (the -lh5- method of LHA
// archives: 8 KiB window, matches 3..256, static Huffman blocks) and Blowfish
// encryption (16 rounds, ECB, little-endian halves, own padding).
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "archive/Streams.h"

namespace tessum {

// A file or compressed layer that cannot be what it claims to be. The
// container raises it with "File is corrupt.", the decompressor with
// "Compressed file is corrupt".
class ECorruptFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What an ECorruptFile says, and what a file that reads but makes no sense
// is reported with.
inline constexpr const char* CorruptFileText = "File is corrupt.";

// No hostile file may make us hold more than this in one decompressed layer.
inline constexpr std::int64_t MaxUncompressedSize = 256 * 1024 * 1024;

// Compresses Source from its position to its end and appends to Dest the
// int32 uncompressed length followed by the -lh5- bit stream.
void CompressStream(TMemoryStream& Source, TMemoryStream& Dest);

// Reads a compressed layer from Source's position and appends the bytes to
// Dest. Throws ECorruptFile("Compressed file is corrupt") on a malformed
// stream, a length beyond Limit (never more than MaxUncompressedSize) or one
// the input cannot hold; the length is checked before anything is allocated.
void DecompressStream(TMemoryStream& Source, TMemoryStream& Dest, std::int64_t Limit = MaxUncompressedSize);

// Pads and enciphers the whole stream in place; leaves it unchanged when it is
// empty or the key is weak. Throws std::invalid_argument for an empty key or
// one longer than 255 bytes.
void EncryptStream(TMemoryStream& Stream, const std::string& Key);

// Deciphers the whole stream in place and strips the padding; leaves it
// unchanged when it is empty or the key is weak. Throws std::invalid_argument
// for an unusable key and ECorruptFile for a pad count beyond the data.
void DecryptStream(TMemoryStream& Stream, const std::string& Key);

// Schedules Key into a fresh cipher; true when every S-box is free of
// repeated entries (a key failing this is not used for enciphering).
bool InitCipher(const std::string& Key);

// One Blowfish key schedule. Blocks are taken as two little-endian words, so
// the published test vectors match with each 4-byte half byte-reversed.
class TBlowfish {
public:
    // Throws std::invalid_argument for an empty key or one over 255 bytes.
    explicit TBlowfish(const std::string& Key);

    bool WeakKey() const { return weak_; }

    void Encipher(std::uint32_t& L, std::uint32_t& R) const;
    void Decipher(std::uint32_t& L, std::uint32_t& R) const;
    // 8-byte blocks in the container's byte order.
    void EncipherBlock(std::uint8_t* Block) const;
    void DecipherBlock(std::uint8_t* Block) const;

private:
    std::array<std::uint32_t, 18> p_{};
    std::array<std::array<std::uint32_t, 256>, 4> s_{};
    bool weak_ = false;

    std::uint32_t F(std::uint32_t X) const {
        return ((s_[0][X >> 24] + s_[1][(X >> 16) & 0xff]) ^ s_[2][(X >> 8) & 0xff]) + s_[3][X & 0xff];
    }
};

}  // namespace tessum
