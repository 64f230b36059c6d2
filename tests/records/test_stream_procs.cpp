#include "records/uStreamProcs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace tessum;

namespace {

std::vector<std::uint8_t> Bytes(const TMemoryStream& s) { return s.Bytes(); }

TMemoryStream From(std::vector<std::uint8_t> b) { return TMemoryStream(std::move(b)); }

}  // namespace

TEST(StreamProcs, IntegersAndWordsAreLittleEndianAndWordsReadUnsigned) {
    TMemoryStream s;
    WriteInteger(s, -1);
    WriteInteger(s, 0x12345678);
    WriteWord(s, 0xFFFF);
    WriteWord(s, 0x0102);
    WriteByte(s, 0xAB);
    EXPECT_EQ(Bytes(s), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF,
                                                   0x02, 0x01, 0xAB}));
    s.SetPosition(0);
    EXPECT_EQ(ReadInteger(s), -1);
    EXPECT_EQ(ReadInteger(s), 0x12345678);
    EXPECT_EQ(ReadWord(s), 65535);
    EXPECT_EQ(ReadWord(s), 0x0102);
    EXPECT_EQ(ReadByte(s), 0xAB);

    auto t = From({0x01, 0x00, 0x00, 0x80});
    EXPECT_EQ(ReadInteger(t), -2147483647);
    auto m = From({0x00, 0x00, 0x00, 0x80});
    EXPECT_EQ(ReadInteger(m), std::numeric_limits<std::int32_t>::min());
}

TEST(StreamProcs, BooleanWritesOneOrZeroAndOnlyOneReadsTrue) {
    TMemoryStream s;
    WriteBoolean(s, true);
    WriteBoolean(s, false);
    EXPECT_EQ(Bytes(s), (std::vector<std::uint8_t>{1, 0}));
    auto r = From({1, 0, 2, 255, 0x81});
    EXPECT_TRUE(ReadBoolean(r));
    EXPECT_FALSE(ReadBoolean(r));
    EXPECT_FALSE(ReadBoolean(r));
    EXPECT_FALSE(ReadBoolean(r));
    EXPECT_FALSE(ReadBoolean(r));
}

TEST(StreamProcs, DoubleIsIeeeBinary64LittleEndian) {
    TMemoryStream s;
    WriteDouble(s, 1.0);
    WriteDouble(s, -0.5);
    EXPECT_EQ(Bytes(s), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0xE0, 0xBF}));
    s.SetPosition(0);
    EXPECT_EQ(ReadDouble(s), 1.0);
    EXPECT_EQ(ReadDouble(s), -0.5);
    TMemoryStream n;
    WriteDouble(n, std::numeric_limits<double>::quiet_NaN());
    n.SetPosition(0);
    EXPECT_TRUE(std::isnan(ReadDouble(n)));
}

TEST(StreamProcs, StringsAreLengthPrefixedBytesCopiedUnchanged) {
    TMemoryStream s;
    WriteString(s, "abc");
    WriteString(s, "");
    WriteString(s, std::string("\xE4\xF6\0\xFC", 4));  // umlauts and an embedded NUL stay as bytes
    EXPECT_EQ(Bytes(s), (std::vector<std::uint8_t>{3, 0, 'a', 'b', 'c', 0, 0, 4, 0, 0xE4, 0xF6, 0, 0xFC}));
    s.SetPosition(0);
    EXPECT_EQ(ReadString(s), "abc");
    std::string e = "not empty";
    ReadString(s, e);
    EXPECT_EQ(e, "");
    EXPECT_EQ(ReadString(s), std::string("\xE4\xF6\0\xFC", 4));
}

TEST(StreamProcs, OverlongStringKeepsLowSixteenBitsOfItsLength) {
    TMemoryStream s;
    std::string big(65536 + 5, 'x');
    big[0] = 'a';
    WriteString(s, big);
    ASSERT_EQ(s.Size(), 2 + 5);
    s.SetPosition(0);
    EXPECT_EQ(ReadString(s), "axxxx");

    TMemoryStream full;
    WriteString(full, std::string(65535, 'y'));
    full.SetPosition(0);
    EXPECT_EQ(ReadString(full).size(), 65535u);
}

TEST(StreamProcs, ShortReadsThrowAndLeaveTheTargetStringAlone) {
    auto i = From({1, 2, 3});
    EXPECT_THROW(ReadInteger(i), EReadError);
    auto w = From({1});
    EXPECT_THROW(ReadWord(w), EReadError);
    auto d = From({0, 0, 0, 0, 0, 0, 0});
    EXPECT_THROW(ReadDouble(d), EReadError);
    TMemoryStream empty;
    EXPECT_THROW(ReadByte(empty), EReadError);
    EXPECT_THROW(ReadBoolean(empty), EReadError);

    // A length claiming far more than is there must not be trusted.
    auto str = From({0xFF, 0xFF, 'a', 'b'});
    std::string target = "kept";
    EXPECT_THROW(ReadString(str, target), EReadError);
    EXPECT_EQ(target, "kept");
}
