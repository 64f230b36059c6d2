// Addresses and names the program shows or opens. They live here, in one place,
// so a distributor can point the game at its own site without touching the code.
// The hosts are reserved example domains until a real site exists.
#pragma once

namespace tessum::config {

inline constexpr const char* ProgramName = "TESSUM (R) Freeware No. 1";
inline constexpr const char* ProgramVersion = "1.0";
inline constexpr const char* ProgramMaker = "The TESSUM developers";
inline constexpr const char* ApplicationTitle = "Tessum Freeware 1";

// Internet menu.
inline constexpr const char* WebHost = "www.example.org";
inline constexpr const char* UpdatePage = "http://www.example.org/software/index.html";
inline constexpr const char* SupportMail = "mailto:support@example.org";
inline constexpr const char* HomePage = "http://www.example.org/";
inline constexpr const char* SponsorPage = "http://www.example.net/";

// Printed in the footer of the highscore printout.
inline constexpr const char* PrintedWebAddress = "www.example.org";

}  // namespace tessum::config
