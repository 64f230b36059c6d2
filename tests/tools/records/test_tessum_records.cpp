#include <unistd.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "highscore/uTHighscore.h"
#include "records/uTHistory.h"

using namespace tessum;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int rc = -1;
    std::string out;
};

ToolRun Tool(const std::string& args) {
    ToolRun r;
    const std::string cmd = std::string(TESSUM_RECORDS_TOOL) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class RecordsTool : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tessum-tool-" + std::to_string(::getpid()) + "-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
};

}  // namespace

TEST_F(RecordsTool, ShowsASavedGameWithEveryMove) {
    THistory h;
    h.Start("Anna", "J\xFCrgen", "anna@example.org", "", "deutschland", "schweiz", 3, true, 6, 2, 2, 1);
    h.AddMove(5, 10, 2);
    h.AddMove(0, 0, 1);
    h.AddMove(17, 4, 1);
    h.SaveToFile(Path("g.tsm"));
    const ToolRun r = Tool("show " + Path("g.tsm"));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_NE(r.out.find("saved game"), std::string::npos);
    EXPECT_NE(r.out.find("variant:        3"), std::string::npos);
    EXPECT_NE(r.out.find("stones per pit: 6"), std::string::npos);
    EXPECT_NE(r.out.find("J\xC3\xBCrgen"), std::string::npos);  // shown in UTF-8
    EXPECT_NE(r.out.find("entries:        3 (2 moves, 1 skip)"), std::string::npos);
    EXPECT_NE(r.out.find("    1     2        5  10\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("    2     1        0  skip\n"), std::string::npos);
    EXPECT_NE(r.out.find("    3     1       17  4\n"), std::string::npos);
}

TEST_F(RecordsTool, ShowsAHighscoreTableBestFirst) {
    THighscore t;
    t.AddScore("Slow", 3725, 24, 24, 30, false, "", "europa");
    t.AddScore("Fast", 59, 36, 12, 12, false, "f@x.org", "deutschland");
    t.SaveToFile(Path("hs1.dat"));
    const ToolRun r = Tool("show " + Path("hs1.dat"));
    ASSERT_EQ(r.rc, 0) << r.out;
    EXPECT_NE(r.out.find("highscore table, 2 entries"), std::string::npos);
    const auto fast = r.out.find("   1  Fast         00:00:59     12   75.00  deutschland   f@x.org\n");
    const auto slow = r.out.find("   2  Slow         01:02:05     30   50.00  europa\n");
    EXPECT_NE(fast, std::string::npos) << r.out;
    EXPECT_NE(slow, std::string::npos) << r.out;
    EXPECT_LT(fast, slow);
}

TEST_F(RecordsTool, RefusesDamagedAndMissingFilesAndBadUsage) {
    THistory h;
    h.SaveToFile(Path("g.tsm"));
    TMemoryStream raw;
    raw.LoadFromFile(Path("g.tsm"));
    raw.SetSize(raw.Size() / 2);
    raw.SaveToFile(Path("cut.tsm"));
    ToolRun r = Tool("show " + Path("cut.tsm"));
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.out.find("File is corrupt."), std::string::npos) << r.out;
    r = Tool("show " + Path("none.tsm") + " " + Path("g.tsm"));
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.out.find("no such file"), std::string::npos);
    EXPECT_NE(r.out.find("saved game"), std::string::npos);  // the good file is still shown
    EXPECT_EQ(Tool("").rc, 2);
    EXPECT_EQ(Tool("print " + Path("g.tsm")).rc, 2);
}
