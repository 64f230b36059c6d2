#include "highscore/uTHighscore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/QDStreamCol.h"
#include "records/uStreamProcs.h"
#include "records/uTHistory.h"

using namespace tessum;
namespace fs = std::filesystem;

namespace {

class HighscoreFile : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tessum-hs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string File(int variant) const { return HighscoreFileName(dir.string(), variant); }
};

std::vector<std::uint8_t> Serialised(const TCustomHighscore& t) {
    TMemoryStream s;
    t.SaveToStream(s);
    return s.Bytes();
}

void Fill(THighscore& t) {
    t.AddScore("Anna", 600, 30, 18, 20, false, "anna@example.org", "deutschland");
    t.AddScore("B\xE4r", 700, 26, 22, 25, false, "", "schweiz");
}

void WriteContainer(const std::string& name, const std::string& key, const std::string& entry, TMemoryStream& body) {
    TQDStreams c;
    c.Encrypted = true;
    c.Key = key;
    c.AddStream(entry, body);
    TFileStream f(name, TFileMode::Create);
    c.SaveToStream(f);
}

}  // namespace

TEST_F(HighscoreFile, TableRoundTripsThroughAnEncryptedContainerEntryHs) {
    THighscore t;
    Fill(t);
    t.SaveToFile(File(2));
    EXPECT_TRUE(fs::exists(dir / "hs2.dat"));

    TQDStreams c;
    c.Key = "Vb4Nq8Tz2LkR7xWm5HcPj";
    c.LoadFromFile(File(2));
    EXPECT_TRUE(c.Encrypted);
    EXPECT_TRUE(c.Compressed);
    ASSERT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Names(0), "hs");
    EXPECT_EQ(c.Streams(0).Bytes(), Serialised(t));

    THighscore r;
    r.AddScore("gone", 1, 1, 1, 1, false, "", "");
    r.LoadFromFile(File(2));
    EXPECT_EQ(Serialised(r), Serialised(t));
    EXPECT_EQ(r.GetValueText("name", 1), "B\xE4r");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(HighscoreFile, MissingFileKeepsWhatTheTableHolds) {
    THighscore t;
    Fill(t);
    t.LoadFromFile(File(1));
    EXPECT_EQ(t.Count(), 2);
    THighscore empty;
    empty.LoadFromFile(File(3));
    EXPECT_EQ(empty.Count(), 0);
}

TEST_F(HighscoreFile, WrongKeyMissingEntryAndTruncationAreCorruptAndChangeNothing) {
    THighscore keep;
    Fill(keep);
    const auto before = Serialised(keep);
    auto expectCorrupt = [&](const std::string& name) {
        try {
            keep.LoadFromFile(name);
            ADD_FAILURE() << "accepted " << name;
        } catch (const ECorruptFile& e) {
            EXPECT_STREQ(e.what(), "File is corrupt.");
        }
        EXPECT_EQ(Serialised(keep), before);
    };

    // A saved game offered as a table: other key.
    THistory h;
    h.Start("a", "b", "", "", "europa", "europa", 1, false, 4, 1, 1, 0);
    const std::string game = (dir / "game.tsm").string();
    h.SaveToFile(game);
    expectCorrupt(game);

    TMemoryStream body;
    WriteWord(body, 0);
    WriteContainer(File(1), THighscore::FileKey, "his", body);
    expectCorrupt(File(1));

    TMemoryStream cutBody;
    THighscore other;
    Fill(other);
    other.SaveToStream(cutBody);
    cutBody.SetSize(cutBody.Size() - 3);
    WriteContainer(File(2), THighscore::FileKey, "hs", cutBody);
    expectCorrupt(File(2));

    keep.SaveToFile(File(3));
    TMemoryStream raw;
    raw.LoadFromFile(File(3));
    for (std::int64_t n : {std::int64_t{0}, std::int64_t{2}, raw.Size() / 2, raw.Size() - 1}) {
        TMemoryStream cut(std::vector<std::uint8_t>(raw.Bytes().begin(), raw.Bytes().begin() + n));
        cut.SaveToFile(File(3));
        expectCorrupt(File(3));
    }
}

TEST_F(HighscoreFile, FailedSaveKeepsThePlayersOldTable) {
    THighscore t;
    Fill(t);
    t.SaveToFile(File(1));
    TMemoryStream before;
    before.LoadFromFile(File(1));
    THighscore empty;
    EXPECT_THROW(empty.SaveToFile((dir / "missing" / "hs1.dat").string()), EFileError);
    fs::create_directories(dir / "hs2.dat");  // a folder where the file should go
    EXPECT_THROW(empty.SaveToFile(File(2)), EFileError);
    TMemoryStream after;
    after.LoadFromFile(File(1));
    EXPECT_EQ(after.Bytes(), before.Bytes());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(HighscoreFile, OversizedExpandingAndProtectedTablesAreRefused) {
    THighscore keep;
    Fill(keep);
    const auto before = Serialised(keep);
    auto expectCorrupt = [&](const std::string& name) {
        try {
            keep.LoadFromFile(name);
            ADD_FAILURE() << "accepted " << name;
        } catch (const ECorruptFile& e) {
            EXPECT_STREQ(e.what(), "File is corrupt.");
        }
        EXPECT_EQ(Serialised(keep), before);
    };
    // Sparse terabyte: refused by its size, not after reading it.
    keep.SaveToFile(File(1));
    fs::resize_file(File(1), std::uintmax_t{1} << 40);
    expectCorrupt(File(1));

    // A good table followed by megabytes of padding that pack into a few KB.
    TMemoryStream body;
    keep.SaveToStream(body);
    body.SetSize(body.Size() + 5 * 1024 * 1024);
    WriteContainer(File(2), THighscore::FileKey, "hs", body);
    ASSERT_LT(fs::file_size(File(2)), 64u * 1024);
    expectCorrupt(File(2));

    // Write protection holds; permission bits survive a save.
    keep.SaveToFile(File(3));
    fs::permissions(File(3), fs::perms::owner_read);
    THighscore empty;
    EXPECT_THROW(empty.SaveToFile(File(3)), EFileError);
    THighscore back;
    back.LoadFromFile(File(3));
    EXPECT_EQ(Serialised(back), before);
    fs::permissions(File(3), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    empty.SaveToFile(File(3));
    EXPECT_EQ(fs::status(File(3)).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
