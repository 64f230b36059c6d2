#include "app/uCommandLine.h"

namespace tessum {

const char* const ApplicationId = TESSUM_APP_ID;
const char* const ApplicationVersion = TESSUM_VERSION;

namespace {

bool IsHelp(const std::string& A) { return A == "--help" || A == "-h"; }
bool IsVersion(const std::string& A) { return A == "--version"; }

}  // namespace

TCommand EarlyCommand(const std::vector<std::string>& Args) {
    for (const std::string& a : Args) {
        if (a == "--") break;
        if (IsHelp(a)) return TCommand::Help;
        if (IsVersion(a)) return TCommand::Version;
    }
    return TCommand::Play;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
    TCommandLine line;
    bool options = true;
    for (const std::string& a : Args) {
        if (options && a == "--") {
            options = false;
        } else if (options && IsHelp(a)) {
            if (line.Command == TCommand::Play) line.Command = TCommand::Help;
        } else if (options && IsVersion(a)) {
            if (line.Command == TCommand::Play) line.Command = TCommand::Version;
        } else if (options && a.size() > 1 && a[0] == '-') {
            return {TCommand::Usage, {}, "unknown option '" + a + "'"};
        } else if (a.empty()) {
            return {TCommand::Usage, {}, "empty file name"};
        } else if (!line.File.empty()) {
            return {TCommand::Usage, {}, "only one saved game can be loaded"};
        } else {
            line.File = a;
        }
    }
    return line;
}

std::string UsageText() { return "Usage: tessum [--help] [--version] [FILE.tsm]\n"; }

std::string HelpText() {
    return UsageText() +
           "TESSUM, a sowing game of the mancala family for two sides.\n"
           "\n"
           "  FILE.tsm     start with this saved game loaded\n"
           "  -h, --help   show this help and exit\n"
           "  --version    show the version and exit\n"
           "\n"
           "Installed, the game keeps its settings in $XDG_CONFIG_HOME/tessum/settings.ini\n"
           "(~/.config/tessum) and its highscore tables hs1.dat to hs3.dat in\n"
           "$XDG_DATA_HOME/tessum (~/.local/share/tessum). Run from a folder that holds\n"
           "its data, it keeps both beside itself.\n";
}

std::string VersionText() { return std::string("tessum ") + ApplicationVersion + "\n"; }

}  // namespace tessum
