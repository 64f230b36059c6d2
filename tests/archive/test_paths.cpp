#include "archive/uPaths.h"
#include "archive/Streams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <sys/stat.h>

namespace tessum {
namespace {

namespace fs = std::filesystem;

class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tessum-paths-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        fs::create_directories(root_ + "/usr/bin");
        fs::create_directories(root_ + "/home/anna");
        env_["HOME"] = root_ + "/home/anna";
    }
    void TearDown() override {
        SetUserFolder("");
        SetDataFolder("");
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    void Touch(const std::string& Relative) {
        fs::create_directories(fs::path(root_ + "/" + Relative).parent_path());
        std::ofstream(root_ + "/" + Relative) << "x";
    }
    TFileLayout Resolve(const std::string& ExeFolder) {
        return ResolveFileLayout(ExeFolder, [this](const char* Name) -> const char* {
            const auto it = env_.find(Name);
            return it == env_.end() ? nullptr : it->second.c_str();
        });
    }

    std::string root_;
    std::map<std::string, std::string> env_;
};

TEST_F(PathsTest, InstalledTreeReadsFromShareAndWritesIntoTheUsersFolders) {
    Touch("usr/share/tessum/game.gfx");
    TFileLayout l = Resolve(root_ + "/usr/bin");
    EXPECT_FALSE(l.Portable);
    EXPECT_EQ(l.Data, root_ + "/usr/share/tessum");
    EXPECT_EQ(l.Config, root_ + "/home/anna/.config/tessum");
    EXPECT_EQ(l.UserData, root_ + "/home/anna/.local/share/tessum");

    env_["XDG_CONFIG_HOME"] = root_ + "/cfg/";
    env_["XDG_DATA_HOME"] = root_ + "/data";
    l = Resolve(root_ + "/usr/bin/");
    EXPECT_EQ(l.Data, root_ + "/usr/share/tessum");
    EXPECT_EQ(l.Config, root_ + "/cfg/tessum");
    EXPECT_EQ(l.UserData, root_ + "/data/tessum");

    // Relative values would depend on the current folder; they do not count.
    env_["XDG_CONFIG_HOME"] = "cfg";
    env_["XDG_DATA_HOME"] = "";
    l = Resolve(root_ + "/usr/bin");
    EXPECT_EQ(l.Config, root_ + "/home/anna/.config/tessum");
    EXPECT_EQ(l.UserData, root_ + "/home/anna/.local/share/tessum");
}

TEST_F(PathsTest, DataBesideTheExecutableKeepsEverythingThere) {
    Touch("usr/share/tessum/game.gfx");
    Touch("usr/bin/game.gfx");
    const TFileLayout l = Resolve(root_ + "/usr/bin");
    EXPECT_TRUE(l.Portable);
    EXPECT_EQ(l.Data, root_ + "/usr/bin");
    EXPECT_EQ(l.Config, root_ + "/usr/bin");
    EXPECT_EQ(l.UserData, root_ + "/usr/bin");
}

TEST_F(PathsTest, WithoutDataAnywhereTheExecutablesFolderIsWhereItIsMissed) {
    // A share folder without the archives is someone else's, not ours.
    fs::create_directories(root_ + "/usr/share/tessum");
    const TFileLayout l = Resolve(root_ + "/usr/bin");
    EXPECT_TRUE(l.Portable);
    EXPECT_EQ(l.Data, root_ + "/usr/bin");
    EXPECT_EQ(l.Config, root_ + "/usr/bin");
}

TEST_F(PathsTest, RunningFromTheBuildFolderIsPortable) {
    // The test binary lies beside the generated archives, as the game does.
    const std::string exe = fs::read_symlink("/proc/self/exe").parent_path().string();
    EXPECT_EQ(ExecutableFolder(), exe);
    EXPECT_EQ(DataFolder(), exe);
    EXPECT_EQ(UserConfigFolder(), exe);
    EXPECT_EQ(DataFile("game.gfx"), exe + "/game.gfx");

    SetDataFolder(root_ + "/data/");
    SetUserFolder(root_ + "/mine");
    EXPECT_EQ(DataFile("holz.gfx"), root_ + "/data/holz.gfx");
    EXPECT_EQ(UserConfigFolder(), root_ + "/mine");
    EXPECT_EQ(UserDataFolder(), root_ + "/mine");
    SetDataFolder("");
    SetUserFolder("");
    EXPECT_EQ(DataFolder(), exe);
    EXPECT_EQ(UserDataFolder(), exe);
}

TEST_F(PathsTest, TheUsersFolderIsMadeOnTheFirstWriteAndNoOtherIs) {
    const std::string mine = root_ + "/home/anna/.config/tessum";
    SetUserFolder(mine);
    EXPECT_FALSE(fs::exists(mine));
    WriteFileSafely(mine + "/settings.ini", [](TStream& S) { S.WriteBuffer("[s]\n", 4); });
    ASSERT_TRUE(fs::is_regular_file(mine + "/settings.ini"));
    struct stat st {};
    ASSERT_EQ(::stat(mine.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((root_ + "/home/anna/.config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A saved game into a folder that is gone fails rather than making it.
    const std::string elsewhere = root_ + "/gone/game.tsm";
    EXPECT_THROW(WriteFileSafely(elsewhere, [](TStream& S) { S.WriteBuffer("x", 1); }), EFileError);
    EXPECT_FALSE(fs::exists(root_ + "/gone"));
}

}  // namespace
}  // namespace tessum
