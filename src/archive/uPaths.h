// Where the program's files live. Every path to a file the program ships or
// writes (graphics archives, help pages, settings, highscore tables) is made
// here, so that a build tree, an unpacked folder and an installed tree all work.
//
//  - Data the program only reads lies beside the executable when it is found
//    there, else in ../share/tessum relative to the executable, so an installed
//    tree can be moved as a whole.
//  - When the data lies beside the executable the program is portable: it
//    writes its settings and tables beside itself too. Installed, it writes
//    them into the user's folders: settings into $XDG_CONFIG_HOME/tessum
//    (~/.config/tessum), highscore tables into $XDG_DATA_HOME/tessum
//    (~/.local/share/tessum). Those folders are made on the first write.
//
// Plain C++ without Qt, so the lowest layers can ask for a data file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tessum {

// The file whose presence tells that a folder holds the program's data.
inline constexpr char DataMarkerFile[] = "game.gfx";
// The folder below the installation prefix's share/ and below the XDG folders.
inline constexpr char ProgramDirName[] = "tessum";

struct TFileLayout {
    std::string Data;        // archives and help pages, read only
    std::string Config;      // settings.ini
    std::string UserData;    // hs%d.dat
    bool Portable = true;    // everything beside the executable
};

// Reads one environment variable; null when it is not set.
using TGetEnv = std::function<const char*(const char*)>;

// Where the files of a program whose executable lies in ExeFolder live, given
// the environment. Folders come without a trailing separator. Relative XDG
// values are ignored, as the XDG rules ask.
TFileLayout ResolveFileLayout(const std::string& ExeFolder, const TGetEnv& GetEnv);

// The folder of the running executable (from the kernel, never the current folder).
std::string ExecutableFolder();

// The layout of this run: resolved from the executable and the environment,
// with the overrides below in force.
TFileLayout FileLayout();

std::string DataFolder();
std::string UserConfigFolder();
std::string UserDataFolder();
bool PortableMode();

// Name joined to a folder, with exactly one separator between them.
std::string JoinPath(std::string_view Folder, std::string_view Name);
// A shipped file: DataFolder() joined with Name.
std::string DataFile(std::string_view Name);

// Tests and tools keep their data or their written files elsewhere. An empty
// name goes back to what the executable's place says.
void SetDataFolder(std::string Folder);
// Settings and highscore tables both go to Folder, as in portable mode.
void SetUserFolder(std::string Folder);

// Before a file is written: when its folder is one of the user's folders of
// this run and does not exist yet, it is made (with its parents), readable by
// the user only. Any other missing folder is left to fail the write.
void PrepareFolderFor(const std::string& FileName);

}  // namespace tessum
