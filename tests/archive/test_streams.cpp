#include "archive/Streams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tessum;

TEST(MemoryStream, ReadPastEndThrowsInsteadOfInventingBytes) {
    TMemoryStream s;
    const char abc[] = {'a', 'b', 'c'};
    s.Write(abc, 3);
    s.SetPosition(1);
    char out[4] = {};
    EXPECT_THROW(s.ReadBuffer(out, 3), EReadError);
    s.SetPosition(1);
    s.ReadBuffer(out, 2);
    EXPECT_EQ(std::string(out, 2), "bc");
    EXPECT_EQ(s.Read(out, 1), 0u);
}

TEST(MemoryStream, WriteAfterSeekBeyondEndZeroFillsAndTruncateClampsPosition) {
    TMemoryStream s;
    s.Seek(4, TSeekOrigin::Beginning);
    const std::uint8_t x = 7;
    s.Write(&x, 1);
    ASSERT_EQ(s.Size(), 5);
    EXPECT_EQ(s.Bytes()[0], 0);
    EXPECT_EQ(s.Bytes()[4], 7);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_THROW(s.Seek(-3, TSeekOrigin::Current), EStreamError);
}

TEST(MemoryStream, CopyFromZeroCopiesWholeSourceFromStart) {
    TMemoryStream a(std::vector<std::uint8_t>{1, 2, 3, 4});
    a.SetPosition(3);
    TMemoryStream b;
    EXPECT_EQ(b.CopyFrom(a, 0), 4);
    EXPECT_EQ(b.Bytes(), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    a.SetPosition(2);
    EXPECT_THROW(b.CopyFrom(a, 3), EReadError);
}

TEST(FileStream, SafeWriteKeepsOldFileWhenWriterFails) {
    const auto dir = std::filesystem::temp_directory_path() / "tessum_streams_test";
    std::filesystem::create_directories(dir);
    const std::string name = (dir / "data.bin").string();
    { std::ofstream(name) << "good"; }
    EXPECT_THROW(WriteFileSafely(name, [](TStream& out) {
                     out.Write("bad", 3);
                     throw EFileError("disk full");
                 }),
                 EFileError);
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "good");
    WriteFileSafely(name, [](TStream& out) { out.Write("new", 3); });
    m.LoadFromFile(name);
    EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "new");
    // No temporary siblings are left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir)) { (void)e; ++files; }
    EXPECT_EQ(files, 1);
    std::filesystem::remove_all(dir);
    EXPECT_THROW(TFileStream("/nonexistent/dir/x", TFileMode::Create), EFileError);
}
