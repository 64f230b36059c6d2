#include <unistd.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/QDStreamCol.h"

using namespace tessum;
namespace fs = std::filesystem;

namespace {

struct TRun {
    int rc = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

class ArchiveTool : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tessum-archive-" + std::to_string(::getpid()) + "-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string P(const std::string& Name) const { return (dir / Name).string(); }

    TRun Tool(const std::string& Args) const {
        TRun r;
        const std::string errFile = P("stderr.txt");
        const std::string cmd = std::string(TESSUM_ARCHIVE_TOOL) + " " + Args + " 2>'" + errFile + "'";
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return r;
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        const int status = pclose(p);
        r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = Read(errFile);
        return r;
    }
    void Write(const std::string& Name, const std::string& Data) const {
        std::ofstream(P(Name), std::ios::binary) << Data;
    }
    std::string Read(const std::string& Path) const {
        std::ifstream f(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
};

}  // namespace

TEST_F(ArchiveTool, CreatesListsAndExtractsInEveryMode) {
    std::string picture;
    for (int i = 0; i < 30000; ++i) picture += static_cast<char>((i * i) % 251);
    Write("bg.bmp", picture);
    Write("empty", "");
    Write("note.txt", "Stirnmulde");
    const struct {
        const char* options;
        bool compressed;
        bool encrypted;
    } modes[] = {{"", true, false}, {"--stored", false, false}, {"--key geheim", true, true},
                 {"--stored --key=geheim", false, true}};
    for (const auto& m : modes) {
        const std::string archive = P("a.gfx");
        const TRun c = Tool(std::string("create ") + archive + " " + m.options + " bg.bmp=" + P("bg.bmp") +
                            " leer=" + P("empty") + " Notiz=" + P("note.txt"));
        ASSERT_EQ(c.rc, 0) << c.err;

        TQDStreams q;
        q.Key = "geheim";
        q.LoadFromFile(archive);
        EXPECT_EQ(q.Compressed, m.compressed) << m.options;
        EXPECT_EQ(q.Encrypted, m.encrypted) << m.options;

        const std::string key = m.encrypted ? " --key geheim" : "";
        const TRun l = Tool("list " + archive + key);
        ASSERT_EQ(l.rc, 0) << l.err;
        EXPECT_EQ(l.out, "bg.bmp\t30000\nleer\t0\nNotiz\t10\n");

        ASSERT_EQ(Tool("extract " + archive + " BG.BMP " + P("out.bmp") + key).rc, 0);
        EXPECT_EQ(Read(P("out.bmp")), picture);
        const TRun s = Tool("extract " + archive + " notiz -" + key);
        EXPECT_EQ(s.out, "Stirnmulde");
    }
}

TEST_F(ArchiveTool, FailuresGoToStandardErrorWithNonZeroExit) {
    Write("x", "data");
    ASSERT_EQ(Tool("create " + P("s.tsm") + " --key k his=" + P("x")).rc, 0);

    TRun r = Tool("list " + P("s.tsm"));
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("File is corrupt."), std::string::npos);
    EXPECT_NE(r.err.find("--key"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(Tool("list " + P("s.tsm") + " --key wrong").rc, 1);
    r = Tool("extract " + P("s.tsm") + " hs " + P("o") + " --key k");
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("no entry"), std::string::npos);
    EXPECT_FALSE(fs::exists(P("o")));
    r = Tool("list " + P("missing.gfx"));
    EXPECT_EQ(r.rc, 1);
    EXPECT_FALSE(r.err.empty());
    // A missing input leaves no half-written archive behind.
    EXPECT_EQ(Tool("create " + P("n.gfx") + " a=" + P("x") + " b=" + P("nothere")).rc, 1);
    EXPECT_FALSE(fs::exists(P("n.gfx")));

    EXPECT_EQ(Tool("create " + P("d.gfx") + " st1.bmp=" + P("x") + " ST1.BMP=" + P("x")).rc, 2);
    EXPECT_EQ(Tool("create " + P("d.gfx") + " noequals").rc, 2);
    EXPECT_EQ(Tool("create " + P("d.gfx") + " --key").rc, 2);
    EXPECT_EQ(Tool("list").rc, 2);
    EXPECT_EQ(Tool("shred " + P("s.tsm")).rc, 2);
    r = Tool("list " + P("s.tsm") + " --frob");
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("usage"), std::string::npos);
}

TEST_F(ArchiveTool, ListEscapesControlCharactersInNames) {
    TQDStreams q;
    TMemoryStream data(std::vector<std::uint8_t>{'x'});
    q.AddStream("evil\x1b]2;pwned\x07\nfake\t99", data);
    q.AddStream("back\\slash\x9b", data);
    q.AddStream("pl\xe4in.bmp", data);
    {
        TFileStream f(P("evil.gfx"), TFileMode::Create);
        q.SaveToStream(f);
    }
    const TRun r = Tool("list " + P("evil.gfx"));
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.out,
              "back\\x5cslash\\x9b\t1\n"
              "evil\\x1b]2;pwned\\x07\\x0afake\\x0999\t1\n"
              "pl\xe4in.bmp\t1\n");
}

TEST_F(ArchiveTool, DirectoriesFifosAndDevicesAreRefusedClearly) {
    fs::create_directories(dir / "folder");
    ASSERT_EQ(::mkfifo(P("pipe").c_str(), 0600), 0);
    // A FIFO nobody writes to would make a plain open wait forever.
    for (const std::string& input : {P("folder"), P("pipe"), std::string("/dev/zero")}) {
        TRun r = Tool("list " + input);
        EXPECT_EQ(r.rc, 1) << input;
        EXPECT_NE(r.err.find(input), std::string::npos) << r.err;
        EXPECT_TRUE(r.err.find("Is a directory") != std::string::npos ||
                    r.err.find("not a regular file") != std::string::npos)
            << r.err;
        r = Tool("create " + P("out.gfx") + " a=" + input);
        EXPECT_EQ(r.rc, 1) << input;
        EXPECT_FALSE(fs::exists(P("out.gfx")));
    }
}
