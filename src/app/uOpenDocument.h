// Web pages, the support mail address, the help file and the highscore list
// go to the desktop through here. Where no program takes them (no browser, mail
// or help viewer set up), the player is told so and gets the address or path
// to copy, instead of a click that does nothing.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tessum {

// Hands Target to the desktop and calls Done once with whether a program took
// it; Done may come later, from the event loop.
using TDesktopOpener = std::function<void(const QString& Target, std::function<void(bool Opened)> Done)>;

// Replaces how targets reach the desktop and returns the one before; an empty
// opener restores the desktop's own (xdg-open where there is one).
TDesktopOpener SetDesktopOpener(TDesktopOpener Opener);

// Opens a web or mail address, or a file by its absolute path. When nothing
// on the desktop opens it, a message in the dialog language says so and
// shows Target selected, ready to copy.
void OpenDocument(const QString& Target, QWidget* Parent = nullptr);

// That message on its own.
void ShowCannotOpen(const QString& Target, QWidget* Parent = nullptr);

}  // namespace tessum
