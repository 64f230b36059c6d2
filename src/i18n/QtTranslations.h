// Qt's own texts (file and print dialogs, standard buttons, socket and network
// errors) in the game's language rather than the desktop's. The catalogues are
// Debian's qt6-translations-l10n in Qt's translations folder.
#pragma once

#include <string>

namespace tessum {

// "german" installs Qt's German catalogues and makes German the default
// locale; anything else takes them away (Qt's texts are English) and goes
// back to the system's locale. Safe to call repeatedly; the windows get a
// language-change event as usual. False when a German catalogue is missing.
bool SetQtLanguage(const std::string& Language);

}  // namespace tessum
