// The game's highscore table: eight fields per result, ranked by the share of
// all stones won, then by the time taken. One file per variant, "hs<n>.dat"
// in the program's folder.
#pragma once

#include <cstdint>
#include <string>

#include "highscore/uTINetHighscore.h"

namespace tessum {

class THighscore : public TCustomINetHighscore {
public:
    // Key of the cipher that guards the tables; shared with every file ever written.
    static constexpr const char* FileKey = "Vb4Nq8Tz2LkR7xWm5HcPj";

    // Knows the worldwide highscore server and sends only entries that carry
    // both a name and an e-mail address.
    THighscore();

    // Enters one player's result; returns its 0-based rank or -1 when it did
    // not make the table.
    int AddScore(const std::string& Name, std::int32_t Zeit, std::int32_t Punkte, std::int32_t PunkteGegner,
                 std::int32_t Runden, bool KI, const std::string& EMail, const std::string& Land);

private:
    TGVValueList template_;
};

// Ordering of the table: higher share of the stones first; on an exactly equal
// share, the shorter time first.
int CompareScores(const TGVValueList& A, const TGVValueList& B);

// Share of all stones, in percent, of a "punkte" value against its entry's
// "punktegegner"; 0 when both are 0.
double Percentage(const TGVValue& Punkte);

// Texts of "punkte" and "zeit".
std::string FormatPoints(const TGVValue& Punkte);
std::string FormatTime(const TGVValue& Zeit);

// Points of Pit stones out of Total, as the table shows them ("66,67" on a
// German system); "0.00" style text when Total is 0.
std::string FormatPercent(std::int32_t Pit, std::int32_t Total);
// Seconds as hh:mm:ss, hours growing beyond two digits when needed.
std::string FormatSeconds(std::int32_t Seconds);

// The decimal separator of the points texts. Until one is set it follows the
// C library's current locale, which the Qt application sets from the user's
// settings; tests and the shell may fix it explicitly.
void SetDecimalSeparator(char Separator);
void ResetDecimalSeparator();
char DecimalSeparator();

// "<Folder>/hs<Variant>.dat".
std::string HighscoreFileName(const std::string& Folder, int Variant);

}  // namespace tessum
