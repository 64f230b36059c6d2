#include "archive/QDStreamRoutines.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tessum;

namespace {

std::string Hex(const std::string& H) {
    std::string out;
    for (std::size_t i = 0; i < H.size(); i += 2) out += static_cast<char>(std::stoi(H.substr(i, 2), nullptr, 16));
    return out;
}

// Published vectors are big-endian halves; the container reads each half
// little-endian, so the bytes of every 4-byte half are reversed.
void SwapHalves(std::uint8_t* B) {
    std::swap(B[0], B[3]);
    std::swap(B[1], B[2]);
    std::swap(B[4], B[7]);
    std::swap(B[5], B[6]);
}

// A key whose schedule repeats an S-box entry, found by search.
const std::string WeakKey = "weak50582";

}  // namespace

TEST(Blowfish, PublishedVectorsWithHalvesByteReversed) {
    const struct {
        const char* key;
        const char* plain;
        const char* cipher;
    } vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
        {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
        // Keys of other lengths repeat cyclically in the schedule.
        {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
        {"F0E1", "FEDCBA9876543210", "E91D21C1D961A6D6"},
        {"F0E1D2C3", "FEDCBA9876543210", "BE1E639408640F05"},
        {"F0E1D2C3B4A5968778695A4B3C2D1E0F", "FEDCBA9876543210", "93142887EE3BE15C"},
    };
    for (const auto& v : vectors) {
        const TBlowfish bf(Hex(v.key));
        std::uint8_t block[8];
        std::memcpy(block, Hex(v.plain).data(), 8);
        SwapHalves(block);
        bf.EncipherBlock(block);
        std::uint8_t expect[8];
        std::memcpy(expect, Hex(v.cipher).data(), 8);
        SwapHalves(expect);
        EXPECT_EQ(0, std::memcmp(block, expect, 8)) << v.key;
        bf.DecipherBlock(block);
        SwapHalves(block);
        EXPECT_EQ(0, std::memcmp(block, Hex(v.plain).data(), 8)) << v.key;
    }
}

TEST(Blowfish, PaddingGrowsToTheNextBlockWithCountByte) {
    for (std::size_t n = 1; n <= 40; ++n) {
        std::vector<std::uint8_t> data(n);
        for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>(i * 37 + 1);
        TMemoryStream s(data);
        EncryptStream(s, "tessum");
        const std::size_t fill = 8 - (n + 1) % 8;
        ASSERT_EQ(s.Bytes().size(), n + fill + 1) << n;
        EXPECT_EQ(s.Bytes().size() % 8, 0u);
        EXPECT_NE(std::vector<std::uint8_t>(s.Bytes().begin(), s.Bytes().begin() + static_cast<std::ptrdiff_t>(n)), data);
        DecryptStream(s, "tessum");
        EXPECT_EQ(s.Bytes(), data) << n;
    }
    // The two sizes that show the rule: 7 needs a whole extra block, 6 one byte.
    TMemoryStream seven(std::vector<std::uint8_t>(7, 0xAA));
    EncryptStream(seven, "k");
    EXPECT_EQ(seven.Size(), 16);
    TMemoryStream six(std::vector<std::uint8_t>(6, 0xAA));
    EncryptStream(six, "k");
    EXPECT_EQ(six.Size(), 8);
    // What the padding looks like under the cipher.
    const TBlowfish bf("k");
    bf.DecipherBlock(six.Memory());
    EXPECT_EQ(six.Bytes(), (std::vector<std::uint8_t>{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0x01, 0x01}));
}

TEST(Blowfish, EmptyStreamsAndWeakKeysLeaveDataAlone) {
    TMemoryStream empty;
    EncryptStream(empty, "key");
    EXPECT_EQ(empty.Size(), 0);
    DecryptStream(empty, "key");
    EXPECT_EQ(empty.Size(), 0);

    EXPECT_FALSE(InitCipher(WeakKey));
    EXPECT_TRUE(InitCipher("tessum"));
    const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5};
    TMemoryStream s(data);
    EncryptStream(s, WeakKey);
    EXPECT_EQ(s.Bytes(), data);
    DecryptStream(s, WeakKey);
    EXPECT_EQ(s.Bytes(), data);
}

TEST(Blowfish, UnusableKeysAndPaddingAreErrors) {
    TMemoryStream s(std::vector<std::uint8_t>(16, 3));
    EXPECT_THROW(EncryptStream(s, ""), std::invalid_argument);
    EXPECT_THROW(DecryptStream(s, std::string(256, 'k')), std::invalid_argument);
    EXPECT_NO_THROW(TBlowfish(std::string(255, 'k')));
    // Deciphered junk whose last byte claims more padding than there is data.
    std::vector<std::uint8_t> junk;
    for (int tries = 0; tries < 256; ++tries) {
        std::vector<std::uint8_t> block(8, static_cast<std::uint8_t>(tries));
        TMemoryStream probe(block);
        const TBlowfish bf("pad");
        bf.DecipherBlock(probe.Memory());
        if (probe.Bytes()[7] > 7) {
            junk = block;
            break;
        }
    }
    ASSERT_EQ(junk.size(), 8u);
    TMemoryStream bad(junk);
    EXPECT_THROW(DecryptStream(bad, "pad"), ECorruptFile);
    // A trailing part shorter than a block is not deciphered; its last byte
    // still counts the padding.
    TMemoryStream odd(std::vector<std::uint8_t>{5, 6, 7, 1});
    DecryptStream(odd, "pad");
    EXPECT_EQ(odd.Bytes(), (std::vector<std::uint8_t>{5, 6}));
    TMemoryStream tooShort(std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_THROW(DecryptStream(tooShort, "pad"), ECorruptFile);
}
