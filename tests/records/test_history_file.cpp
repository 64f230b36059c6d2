#include "records/uTHistory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/QDStreamCol.h"
#include "records/uRecordFile.h"

using namespace tessum;
namespace fs = std::filesystem;

namespace {

class HistoryFile : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tessum-history-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string File(const char* name) const { return (dir / name).string(); }
};

THistory Sample() {
    THistory h;
    h.Start("Anna", "Bernd", "a@b.de", "", "deutschland", "europa", 1, false, 4, 2, 1, 0);
    for (int i = 0; i < 30; ++i) h.AddMove(i, static_cast<std::uint8_t>(i % 6 + 1 + (i % 2) * 7), i % 2 + 1);
    h.AddMove(3, 0, 1);
    return h;
}

std::vector<std::uint8_t> Serialised(const THistory& h) {
    TMemoryStream s;
    h.SaveToStream(s);
    return s.Bytes();
}

}  // namespace

TEST_F(HistoryFile, SavedGameIsAnEncryptedCompressedContainerWithOneEntryHis) {
    const THistory h = Sample();
    h.SaveToFile(File("g.tsm"));
    TMemoryStream raw;
    raw.LoadFromFile(File("g.tsm"));
    ASSERT_GE(raw.Size(), 2);
    EXPECT_EQ(raw.Bytes()[0], '&');
    EXPECT_EQ(raw.Bytes()[1], '*');

    TQDStreams c;
    c.Key = "Qm7Zr2VbT9xLp4HsWc8Nd";
    c.LoadFromFile(File("g.tsm"));
    ASSERT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Names(0), "his");
    EXPECT_EQ(c.Streams(0).Bytes(), Serialised(h));

    THistory r;
    r.LoadFromFile(File("g.tsm"));
    EXPECT_EQ(Serialised(r), Serialised(h));
    // No temporary sibling is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(HistoryFile, MissingFileLeavesTheHistoryAsItIs) {
    THistory h = Sample();
    h.LoadFromFile(File("nothing.tsm"));
    EXPECT_EQ(Serialised(h), Serialised(Sample()));
}

TEST_F(HistoryFile, WrongKeyTruncationAndMissingEntryAreCorruptAndChangeNothing) {
    const auto before = Serialised(Sample());
    auto expectCorrupt = [&](const std::string& name) {
        THistory h = Sample();
        try {
            h.LoadFromFile(name);
            ADD_FAILURE() << "accepted " << name;
        } catch (const ECorruptFile& e) {
            EXPECT_STREQ(e.what(), "File is corrupt.");
        }
        EXPECT_EQ(Serialised(h), before);
    };

    {  // a table file is not a saved game: other key
        TQDStreams c;
        c.Encrypted = true;
        c.Key = "Vb4Nq8Tz2LkR7xWm5HcPj";
        TMemoryStream body;
        Sample().SaveToStream(body);
        c.AddStream("his", body);
        TFileStream f(File("otherkey.tsm"), TFileMode::Create);
        c.SaveToStream(f);
    }
    expectCorrupt(File("otherkey.tsm"));

    {  // right key, but the entry has another name
        TQDStreams c;
        c.Encrypted = true;
        c.Key = THistory::FileKey;
        TMemoryStream body;
        Sample().SaveToStream(body);
        c.AddStream("hs", body);
        TFileStream f(File("noentry.tsm"), TFileMode::Create);
        c.SaveToStream(f);
    }
    expectCorrupt(File("noentry.tsm"));

    {  // right key and entry, record cut short inside the moves
        TQDStreams c;
        c.Encrypted = true;
        c.Key = THistory::FileKey;
        TMemoryStream body;
        Sample().SaveToStream(body);
        body.SetSize(body.Size() - 4);
        c.AddStream("his", body);
        TFileStream f(File("short.tsm"), TFileMode::Create);
        c.SaveToStream(f);
    }
    expectCorrupt(File("short.tsm"));

    Sample().SaveToFile(File("good.tsm"));
    TMemoryStream raw;
    raw.LoadFromFile(File("good.tsm"));
    for (std::int64_t keep : {std::int64_t{0}, std::int64_t{1}, std::int64_t{2}, raw.Size() / 2, raw.Size() - 1}) {
        TMemoryStream cut(std::vector<std::uint8_t>(raw.Bytes().begin(), raw.Bytes().begin() + keep));
        cut.SaveToFile(File("cut.tsm"));
        expectCorrupt(File("cut.tsm"));
    }
}

TEST_F(HistoryFile, SavingOverAnOldGameReplacesItWhole) {
    THistory big = Sample();
    for (int i = 0; i < 500; ++i) big.AddMove(i, 1, 1);
    big.SaveToFile(File("g.tsm"));
    THistory small;
    small.Start("a", "b", "", "", "europa", "europa", 3, true, 8, 1, 2, 2);
    small.SaveToFile(File("g.tsm"));
    THistory r = Sample();
    r.LoadFromFile(File("g.tsm"));
    EXPECT_EQ(Serialised(r), Serialised(small));
    EXPECT_EQ(r.Count(), 0);
    EXPECT_EQ(r.StartPlayer, 2);
}

TEST_F(HistoryFile, FailedSaveKeepsThePreviousFile) {
    const THistory h = Sample();
    h.SaveToFile(File("g.tsm"));
    TMemoryStream before;
    before.LoadFromFile(File("g.tsm"));
    // A folder in the way of the rename stands in for a disk that refuses the write.
    EXPECT_THROW(THistory().SaveToFile(dir.string()), EFileError);
    EXPECT_THROW(THistory().SaveToFile(File("no-such-folder/g.tsm")), EFileError);
    TMemoryStream after;
    after.LoadFromFile(File("g.tsm"));
    EXPECT_EQ(after.Bytes(), before.Bytes());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(HistoryFile, OversizedOrExpandingFilesAreCorruptBeforeTheirMemoryIsTaken) {
    const auto before = Serialised(Sample());
    auto expectCorrupt = [&](const std::string& name) {
        THistory h = Sample();
        try {
            h.LoadFromFile(name);
            ADD_FAILURE() << "accepted " << name;
        } catch (const ECorruptFile& e) {
            EXPECT_STREQ(e.what(), "File is corrupt.");
        }
        EXPECT_EQ(Serialised(h), before);
    };
    // A terabyte file (sparse, so it costs no disk) is refused by its size;
    // reading it first would exhaust the memory.
    const std::string huge = File("huge.tsm");
    Sample().SaveToFile(huge);
    fs::resize_file(huge, std::uintmax_t{1} << 40);
    expectCorrupt(huge);

    // A small file whose game unpacks beyond any real one: 600,000 moves.
    THistory endless = Sample();
    for (int i = 0; i < 600000; ++i) endless.AddMove(0, 1, 1);
    endless.SaveToFile(File("endless.tsm"));
    ASSERT_LT(fs::file_size(File("endless.tsm")), MaxRecordFileSize / 16);
    expectCorrupt(File("endless.tsm"));

    // A game of a few thousand moves is well inside the bound.
    THistory longGame = Sample();
    for (int i = 0; i < 5000; ++i) longGame.AddMove(i, static_cast<std::uint8_t>(i % 6 + 1), 1);
    longGame.SaveToFile(File("long.tsm"));
    THistory back;
    back.LoadFromFile(File("long.tsm"));
    EXPECT_EQ(Serialised(back), Serialised(longGame));
}

TEST_F(HistoryFile, ProtectedAndLinkedSavedGamesKeepWhatTheUserSetUp) {
    const std::string name = File("g.tsm");
    Sample().SaveToFile(name);
    fs::permissions(name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_THROW(THistory().SaveToFile(name), EFileError);
    THistory r;
    r.LoadFromFile(name);
    EXPECT_EQ(Serialised(r), Serialised(Sample()));

    fs::permissions(name, fs::perms::owner_read | fs::perms::owner_write);
    THistory other;
    other.Start("x", "y", "", "", "europa", "europa", 2, false, 4, 1, 1, 0);
    other.SaveToFile(name);
    EXPECT_EQ(fs::status(name).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const std::string link = File("link.tsm");
    fs::create_symlink(name, link);
    Sample().SaveToFile(link);
    EXPECT_TRUE(fs::is_symlink(link));
    r.LoadFromFile(name);
    EXPECT_EQ(Serialised(r), Serialised(Sample()));
}
