// Copied beside an installed game by test_install.sh and started there, so it
// sees the installed tree as the game does: the main window must find its
// archives under share/, and the settings and a highscore table it writes
// must land in the user's folders. Prints what it found; status 0 when well.
#include <QApplication>

#include <cstdio>
#include <string>

#include "archive/uPaths.h"
#include "archive/Streams.h"
#include "game/uTSettings.h"
#include "highscore/uTHighscore.h"
#include "app/ufSpielfeld.h"

int main(int argc, char* argv[]) {
    using namespace tessum;
    QApplication App(argc, argv);
    int failures = 0;
    auto check = [&](bool Ok, const std::string& What) {
        std::printf("%s %s\n", Ok ? "ok" : "FAILED", What.c_str());
        if (!Ok) ++failures;
    };
    const TFileLayout layout = FileLayout();
    std::printf("data %s\nconfig %s\nuserdata %s\n", layout.Data.c_str(), layout.Config.c_str(),
                layout.UserData.c_str());
    check(!layout.Portable, "installed tree is not portable");
    check(FileExists(DataFile("hilfe/start.htm")) && FileExists(DataFile("hilfe/start_e.htm")),
          "help pages found");
    WriteLanguage(LanguageEnglish);
    {
        // Loads every archive; closing it writes the settings section.
        TfSpielfeld Window;
        Window.show();
        QApplication::processEvents();
    }
    THighscore table;
    table.AddScore("Probe", 100, 30, 18, 40, false, "", "");
    table.SaveToFile(HighscoreFileName(UserDataFolder(), 2));
    THighscore back;
    back.LoadFromFile(HighscoreFileName(UserDataFolder(), 2));
    check(back.Count() == 1, "highscore table read back");
    return failures == 0 ? 0 : 1;
}
