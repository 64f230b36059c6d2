#include "archive/QDStreamRoutines.h"
#include "SampleData.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tessum;
using testdata::Bytes;

namespace {

Bytes Compress(const Bytes& In) {
    TMemoryStream src(In);
    TMemoryStream dst;
    CompressStream(src, dst);
    return dst.Bytes();
}

Bytes Decompress(const Bytes& In) {
    TMemoryStream src(In);
    TMemoryStream dst;
    DecompressStream(src, dst);
    return dst.Bytes();
}

// Hand-made compressed layers, most significant bit first.
class TBits {
public:
    explicit TBits(std::int32_t Length) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(Length) >> (8 * i)));
    }
    TBits& Put(int Count, std::uint32_t Value) {
        for (int i = Count - 1; i >= 0; --i) {
            if (bit_ == 0) bytes_.push_back(0);
            if ((Value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> bit_);
            bit_ = (bit_ + 1) % 8;
        }
        return *this;
    }
    // A code-length or position table of one symbol that costs no bits.
    TBits& Single(int NBit, std::uint32_t Symbol) { return Put(NBit, 0).Put(NBit, Symbol); }
    Bytes Done(std::size_t PadBytes = 2) {
        bytes_.insert(bytes_.end(), PadBytes, 0);
        return bytes_;
    }

private:
    Bytes bytes_;
    int bit_ = 0;
};

void ExpectCorrupt(const Bytes& Layer) {
    try {
        Decompress(Layer);
        ADD_FAILURE() << "damaged layer decoded";
    } catch (const ECorruptFile& e) {
        EXPECT_STREQ(e.what(), "Compressed file is corrupt");
    }
}

}  // namespace

TEST(Lh5, EmptyInputIsTheLengthAndOneEmptyBlock) {
    // 52 bits of an empty block and 7 closing bits: eight zero bytes.
    EXPECT_EQ(Compress({}), Bytes(12, 0));
    EXPECT_TRUE(Decompress(Bytes(12, 0)).empty());
}

TEST(Lh5, RoundTripsAroundWindowAndBlockLimits) {
    const std::size_t sizes[] = {0,    1,     2,     3,     255,   256,   257,   8191,    8192,
                                 8193, 16384, 65535, 65536, 65537, 300000, 1 << 20};
    const std::pair<const char*, std::function<Bytes(std::size_t)>> kinds[] = {
        {"text", [](std::size_t n) { return testdata::Text(n); }},
        {"runs", [](std::size_t n) { return testdata::Runs(n); }},
        {"random", [](std::size_t n) { return testdata::Random(n); }},
        {"picture", [](std::size_t n) { return testdata::Picture(n); }},
        {"mixed", [](std::size_t n) { return testdata::Mixed(n); }},
    };
    for (const auto& [kind, make] : kinds) {
        for (std::size_t n : sizes) {
            const Bytes in = make(n);
            const Bytes packed = Compress(in);
            ASSERT_EQ(Decompress(packed), in) << kind << " " << n;
        }
    }
}

TEST(Lh5, CompressesRedundantDataAndNeverStoresRaw) {
    const Bytes text = testdata::Text(100000);
    EXPECT_LT(Compress(text).size(), text.size() / 2);
    // One byte value only: a literal, then longest matches at distance 1.
    const Bytes same(200000, 'a');
    const Bytes packed = Compress(same);
    EXPECT_LT(packed.size(), 400u);
    EXPECT_EQ(Decompress(packed), same);
    // Noise grows a little but is still coded, not stored.
    const Bytes noise = testdata::Random(50000);
    EXPECT_GT(Compress(noise).size(), noise.size());
}

TEST(Lh5, WorksFromTheSourcePositionAndAppendsAtTheDestination) {
    const Bytes in = testdata::Text(5000);
    TMemoryStream src(in);
    src.SetPosition(1000);
    TMemoryStream packed;
    const std::uint8_t head[] = {9, 9, 9};
    packed.Write(head, 3);
    CompressStream(src, packed);
    packed.SetPosition(3);
    TMemoryStream out;
    out.Write(head, 2);
    DecompressStream(packed, out);
    Bytes expect = {9, 9};
    expect.insert(expect.end(), in.begin() + 1000, in.end());
    EXPECT_EQ(out.Bytes(), expect);
}

TEST(Lh5, ZeroBitCodesAndEarlyStop) {
    // Three literals of a single-symbol code cost no bits; the block promises
    // ten but the declared length ends it after three.
    EXPECT_EQ(Decompress(TBits(3).Put(16, 10).Single(5, 0).Single(9, 'A').Single(4, 0).Done()),
              Bytes(3, 'A'));
    // A match reaching back before the first byte reads the zeroed dictionary.
    EXPECT_EQ(Decompress(TBits(5).Put(16, 1).Single(5, 0).Single(9, 509).Single(4, 0).Done()), Bytes(5, 0));
}

TEST(Lh5, MalformedTablesAreCorrupt) {
    // More code-length entries than the alphabet of 19.
    ExpectCorrupt(TBits(1).Put(16, 1).Put(5, 20).Done());
    // More literal/length entries than 510.
    ExpectCorrupt(TBits(1).Put(16, 1).Single(5, 0).Put(9, 511).Done());
    // More position entries than 14.
    ExpectCorrupt(TBits(1).Put(16, 1).Single(5, 0).Single(9, 'A').Put(4, 15).Done());
    // Single symbols outside their alphabets.
    ExpectCorrupt(TBits(1).Put(16, 1).Single(5, 19).Put(9, 1).Done());
    ExpectCorrupt(TBits(1).Put(16, 1).Single(5, 0).Single(9, 510).Single(4, 0).Done());
    ExpectCorrupt(TBits(1).Put(16, 1).Single(5, 0).Single(9, 'A').Single(4, 14).Done());
    // A code length of 17: 3 bits of 7, ten more ones, the closing zero.
    ExpectCorrupt(TBits(1).Put(16, 1).Put(5, 1).Put(3, 7).Put(10, 0x3FF).Put(1, 0).Done());
    // Code-length code {0: '0', 2: '1'}; then zero runs of 509 and 20 overrun
    // the 510 literal/length lengths.
    ExpectCorrupt(TBits(1).Put(16, 1).Put(5, 3).Put(3, 1).Put(3, 0).Put(3, 1).Put(2, 0)
                      .Put(9, 510).Put(1, 1).Put(9, 489).Put(1, 1).Put(9, 0).Done());
    // Every literal/length length decodes as 1 (single code-length symbol 3):
    // one such code leaves space unfilled, four overfill it by exactly the
    // amount that a 16-bit sum would not notice.
    ExpectCorrupt(TBits(1).Put(16, 1).Single(5, 3).Put(9, 1).Single(4, 0).Done());
    ExpectCorrupt(TBits(1).Put(16, 1).Single(5, 3).Put(9, 4).Single(4, 0).Done());
    // A block of no symbols would never finish the output.
    ExpectCorrupt(TBits(1).Put(16, 0).Done(16));
}

TEST(Lh5, LengthsTheInputCannotHoldAreRefused) {
    ExpectCorrupt({});
    ExpectCorrupt({1, 0, 0});
    ExpectCorrupt(TBits(-1).Done(20));
    ExpectCorrupt(TBits(static_cast<std::int32_t>(MaxUncompressedSize + 1)).Done(4000));
    // 200 MiB promised by ten bytes: no block sequence that short yields it.
    ExpectCorrupt(TBits(200 << 20).Done(10));
}

TEST(Lh5, TruncatedOrFlippedStreamsFailCleanly) {
    const Bytes in = testdata::Mixed(40000);
    const Bytes packed = Compress(in);
    for (std::size_t cut = 4; cut < packed.size(); cut += 1 + cut / 3) {
        ExpectCorrupt(Bytes(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut)));
    }
    std::mt19937 gen(7);
    for (int round = 0; round < 200; ++round) {
        Bytes bad = packed;
        const std::size_t at = 4 + gen() % (bad.size() - 4);
        bad[at] ^= static_cast<std::uint8_t>(1u << (gen() % 8));
        try {
            // Without a checksum a flip may still decode; it must keep the length.
            EXPECT_EQ(Decompress(bad).size(), in.size());
        } catch (const ECorruptFile&) {
        }
    }
}
