// The command line of the game: a saved game to start with, or a question
// about the program. Nothing else changes what the game does; Qt's own
// options are taken out by Qt before these are read.
#pragma once

#include <string>
#include <vector>

namespace tessum {

// The one application id of the desktop entry, the icons, the metadata and
// the windows.
extern const char* const ApplicationId;
// The version the package and the metadata carry.
extern const char* const ApplicationVersion;

enum class TCommand { Play, Help, Version, Usage };

struct TCommandLine {
    TCommand Command = TCommand::Play;
    std::string File;    // saved game to load at start, empty for none
    std::string Error;   // what was wrong, for TCommand::Usage
};

// Args without the program's name. "--" ends the options, so a file whose
// name begins with a dash can still be given.
TCommandLine ParseCommandLine(const std::vector<std::string>& Args);

// Help and version need no display, so they are looked for before the
// application (and its connection to the window system) exists. Gives Play
// when neither was asked for.
TCommand EarlyCommand(const std::vector<std::string>& Args);

std::string UsageText();
std::string HelpText();
std::string VersionText();

}  // namespace tessum
