// One worldwide-highscore entry as the game posts it: the form's eleven
// pairs taken apart, checked against the check value and the limits the
// server keeps, and turned into UTF-8 text. Plain C++, so that hostile bodies
// can be fed to it without a network.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tessum::server {

struct TNetEntry {
    int Variant = 0;
    std::string Name;   // UTF-8
    std::string EMail;  // UTF-8; stored, never shown
    std::string Land;   // a key of the game's country list, lower case; may be empty
    std::int32_t Punkte = 0;  // the share of all stones, in hundredths of a percent
    std::int32_t PunkteGegner = 0;
    std::int32_t Runden = 0;
    bool KI = false;
    std::int32_t Zeit = 0;  // seconds
};

struct TFormVerdict {
    int Status = 200;    // 200, or the 4xx status of the refusal
    std::string Reason;  // one line, for the client and the log
    bool Ok() const { return Status == 200; }
};

// Takes Body apart into Entry. Countries holds the keys the game offers.
TFormVerdict ParseHighscoreForm(std::string_view Body, const std::set<std::string>& Countries, TNetEntry& Entry);

// Country keys and their shown names from a translation script of the
// new-game window (its "lands" lines, "key=Name" separated by "\n").
std::vector<std::pair<std::string, std::string>> ParseCountryList(std::string_view Script);

// Windows-1252 text as UTF-8.
std::string AnsiToUtf8(std::string_view Text);

// "66.67" for 6667; "01:02:05" for 3725.
std::string FormatHundredths(std::int32_t Hundredths);
std::string FormatZeit(std::int32_t Seconds);

}  // namespace tessum::server
