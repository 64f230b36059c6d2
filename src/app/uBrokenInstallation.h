// A graphics archive that is missing or damaged at start-up. The game cannot
// run without its pictures, so instead of a crash the player is told which
// file is at fault and how, and that installing the program again mends it.
#pragma once

#include <QString>

#include <string>

#include "graphics/uTGFXFile.h"

namespace tessum {

// The message for Fault in Language ("german" or "english"): the file with
// its problem, then the advice to install again.
QString BrokenInstallationText(const TArchiveFault& Fault, const std::string& Language);

// Shows that message as an error in the language of the settings (German
// when none is chosen yet) and returns the program's exit status, 1.
int ReportBrokenInstallation(const TArchiveFault& Fault);

}  // namespace tessum
