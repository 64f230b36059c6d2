#include "app/uCommandLine.h"
#include "archive/uPaths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace tessum {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(CommandLine, SavedGameOptionsAndTheirMistakes) {
    EXPECT_EQ(ParseCommandLine({}).Command, TCommand::Play);
    TCommandLine l = ParseCommandLine({"game.tsm"});
    EXPECT_EQ(l.Command, TCommand::Play);
    EXPECT_EQ(l.File, "game.tsm");
    // After "--" a name may begin with a dash; a lone dash is a name too.
    EXPECT_EQ(ParseCommandLine({"--", "-odd.tsm"}).File, "-odd.tsm");
    EXPECT_EQ(ParseCommandLine({"-"}).File, "-");
    EXPECT_EQ(ParseCommandLine({"--version", "x.tsm"}).Command, TCommand::Version);
    EXPECT_EQ(ParseCommandLine({"x.tsm", "-h"}).Command, TCommand::Help);

    l = ParseCommandLine({"--help", "--fullscreen"});
    EXPECT_EQ(l.Command, TCommand::Usage);
    EXPECT_EQ(l.Error, "unknown option '--fullscreen'");
    EXPECT_EQ(ParseCommandLine({"a.tsm", "b.tsm"}).Command, TCommand::Usage);
    EXPECT_EQ(ParseCommandLine({""}).Command, TCommand::Usage);
    EXPECT_EQ(ParseCommandLine({"-x"}).Command, TCommand::Usage);

    // Help and version are answered before a display is needed, never for
    // something that only looks like them after "--".
    EXPECT_EQ(EarlyCommand({"-platform", "xcb", "--version"}), TCommand::Version);
    EXPECT_EQ(EarlyCommand({"--", "--help"}), TCommand::Play);
    EXPECT_EQ(EarlyCommand({"game.tsm"}), TCommand::Play);
}

struct TRun {
    int Status = -1;
    std::string Out;
};

// Runs the built game with Arguments; stdout and stderr as chosen by Redirect.
TRun RunGame(const std::string& Arguments, const std::string& Redirect) {
    const std::string cmd = "'" + JoinPath(ExecutableFolder(), "tessum") + "' " + Arguments + " " + Redirect;
    TRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.Out.append(buf, n);
    const int st = ::pclose(p);
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

TEST(CommandLine, TheGameAnswersHelpVersionAndWrongUse) {
    // No display at all: help and version must not need one.
    TRun r = RunGame("--version", "2>&1");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, VersionText());
    EXPECT_EQ(r.Out, std::string("tessum ") + TESSUM_VERSION + "\n");

    r = RunGame("-h", "2>&1");
    EXPECT_EQ(r.Status, 0);
    EXPECT_THAT(r.Out, StartsWith("Usage: tessum"));
    EXPECT_THAT(r.Out, HasSubstr("--version"));

    // Wrong use goes to standard error only, with status 2.
    r = RunGame("--bogus", "2>&1 >/dev/null");
    EXPECT_EQ(r.Status, 2);
    // (Qt may warn about the session before it.)
    EXPECT_THAT(r.Out, ::testing::EndsWith("tessum: unknown option '--bogus'\n" + UsageText()));
    r = RunGame("--bogus", "2>/dev/null");
    EXPECT_EQ(r.Out, "");
    r = RunGame("one.tsm two.tsm", "2>&1");
    EXPECT_EQ(r.Status, 2);
    EXPECT_THAT(r.Out, HasSubstr("only one saved game"));
}

}  // namespace
}  // namespace tessum
