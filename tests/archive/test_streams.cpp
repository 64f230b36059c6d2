#include "archive/Streams.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

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
    const auto dir = std::filesystem::temp_directory_path() / ("tessum_streams_test-" + std::to_string(::getpid()));
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

namespace {

struct TScratchDir {
    std::filesystem::path path;
    TScratchDir() : path(std::filesystem::temp_directory_path() / ("tessum_safe_write_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TScratchDir() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& Name) const { return (path / Name).string(); }
};

std::string Slurp(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Save(const std::string& Name, const std::string& Text) {
    WriteFileSafely(Name, [&](TStream& out) { out.Write(Text.data(), Text.size()); });
}

mode_t ModeOf(const std::string& Name) {
    struct stat st {};
    EXPECT_EQ(::stat(Name.c_str(), &st), 0);
    return st.st_mode & 07777;
}

int CountEntries(const std::filesystem::path& Dir) {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(Dir)) { (void)e; ++n; }
    return n;
}

}  // namespace

TEST(SafeWrite, WriteProtectionHoldsAndPermissionsSurviveTheReplacement) {
    TScratchDir dir;
    const std::string name = dir / "game.tsm";
    Save(name, "first");
    ASSERT_EQ(::chmod(name.c_str(), 0444), 0);
    try {
        Save(name, "second");
        ADD_FAILURE() << "a write-protected file was replaced";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Permission denied"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Slurp(name), "first");
    EXPECT_EQ(ModeOf(name), 0444u);

    for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0664}}) {
        ASSERT_EQ(::chmod(name.c_str(), mode), 0);
        Save(name, "again");
        EXPECT_EQ(ModeOf(name), mode);
        EXPECT_EQ(Slurp(name), "again");
    }
    EXPECT_EQ(CountEntries(dir.path), 1);
}

TEST(SafeWrite, SymbolicLinksAreWrittenThroughAndStayLinks) {
    TScratchDir dir;
    std::filesystem::create_directories(dir.path / "real");
    const std::string real = dir / "real/settings.ini";
    Save(real, "old");
    const std::string link = dir / "settings.ini";
    std::filesystem::create_symlink("real/settings.ini", link);  // relative, as users make them
    const std::string chain = dir / "chain.ini";
    std::filesystem::create_symlink(link, chain);
    Save(chain, "new");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_symlink(chain));
    EXPECT_EQ(Slurp(real), "new");
    // No temporary stays beside the link or beside the file.
    EXPECT_EQ(CountEntries(dir.path / "real"), 1);
    // A dangling link names the file to create.
    const std::string dangling = dir / "dangling";
    std::filesystem::create_symlink("real/created.ini", dangling);
    Save(dangling, "made");
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(Slurp(dir / "real/created.ini"), "made");
}

TEST(SafeWrite, LongestNamesSaveAndErrorsNameTheUsersFile) {
    TScratchDir dir;
    const std::string longest = dir / std::string(255, 'n');
    Save(longest, "fits");
    EXPECT_EQ(Slurp(longest), "fits");
    Save(longest, "fits again");
    EXPECT_EQ(Slurp(longest), "fits again");

    const std::string missing = dir / "no/such/folder/game.tsm";
    try {
        Save(missing, "x");
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EFileError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Cannot create file " + missing + ": ", 0), 0u) << text;
        EXPECT_EQ(text.find(".tmp"), std::string::npos) << text;
    }
    // A failure inside the writer keeps the old content and leaves nothing.
    EXPECT_THROW(WriteFileSafely(longest, [](TStream& out) {
                     out.Write("half", 4);
                     throw EFileError("disk full");
                 }),
                 EFileError);
    EXPECT_EQ(Slurp(longest), "fits again");
    EXPECT_EQ(CountEntries(dir.path), 1);
}

TEST(SafeWrite, TemporariesOfKilledSavesGoAtTheNextSuccessfulOne) {
    TScratchDir dir;
    const std::string name = dir / "tessum1.hsc";
    const std::string other = dir / "tessum2.hsc";
    Save(name, "1");
    Save(other, "2");
    const std::string stale = dir / (TempPrefixFor(name) + "0badf00d.tmp");
    const std::string olderForm = name + ".0123abcd.tmp";
    const std::string othersTemp = dir / (TempPrefixFor(other) + "0badf00d.tmp");
    const std::string usersOwn = name + ".backup.tmp";
    for (const auto& f : {stale, olderForm, othersTemp, usersOwn}) std::ofstream(f) << "half";
    Save(name, "3");
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_FALSE(std::filesystem::exists(olderForm));
    EXPECT_TRUE(std::filesystem::exists(othersTemp));
    EXPECT_TRUE(std::filesystem::exists(usersOwn));
    EXPECT_EQ(Slurp(name), "3");
    EXPECT_EQ(TempPrefixFor(name).size() + 12, std::filesystem::path(stale).filename().string().size());
}
