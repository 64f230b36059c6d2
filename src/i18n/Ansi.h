// The game keeps its texts as 8-bit strings in the Western Windows code page
// (1252), as its files and translation scripts store them; Qt wants Unicode.
// These two functions are the only crossing between the two worlds.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tessum {

QString FromAnsi(std::string_view Text);
// Characters outside code page 1252 become '?', as the Windows conversion does.
std::string ToAnsi(const QString& Text);

}  // namespace tessum
