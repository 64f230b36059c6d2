// tessum-records: prints a saved game or a highscore table as text, so a file
// can be checked without starting the game.
//
//   tessum-records show FILE...
//
// The two kinds are told apart by the container entry they hold ("his" for a
// saved game, "hs" for a table); each kind has its own key, so both are tried.

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "archive/QDStreamCol.h"
#include "highscore/uTHighscore.h"
#include "records/uTHistory.h"

using namespace tessum;

namespace {

// The records hold Windows-1252 text; terminals here speak UTF-8.
std::string Utf8(const std::string& s) {
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    for (unsigned char c : s) {
        char32_t u = c;
        if (c >= 0x80 && c < 0xA0) u = high[c - 0x80];
        if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(u));
            out += buf;
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

const char* ModeText(int mode) {
    switch (mode) {
        case 0: return "person against person";
        case 1: return "computer (side 1) against person (side 2)";
        case 2: return "computer against computer";
        default: return "unknown";
    }
}

// Left-aligned in Width visible characters (a UTF-8 sequence counts once).
std::string Cell(const std::string& Text, std::size_t Width) {
    std::size_t n = 0;
    for (unsigned char c : Text) n += (c & 0xC0) != 0x80;
    return n < Width ? Text + std::string(Width - n, ' ') : Text + " ";
}

std::string Right(const std::string& Text, std::size_t Width) {
    return Text.size() < Width ? std::string(Width - Text.size(), ' ') + Text : Text;
}

void ShowHistory(const THistory& h) {
    std::cout << "saved game\n"
              << "  variant:        " << h.Variant << "\n"
              << "  use end pits:   " << (h.UseEndPits ? "yes" : "no") << "\n"
              << "  stones per pit: " << static_cast<int>(h.StonesPerPit) << "\n"
              << "  level:          " << h.Level << "\n"
              << "  start player:   " << h.StartPlayer << "\n"
              << "  mode:           " << static_cast<int>(h.Mode) << " (" << ModeText(h.Mode) << ")\n";
    const std::string* names[2] = {&h.Name1, &h.Name2};
    const std::string* mails[2] = {&h.EMail1, &h.EMail2};
    const std::string* lands[2] = {&h.Land1, &h.Land2};
    for (int side = 1; side <= 2; ++side) {
        std::cout << "  side " << side << ":         " << Utf8(*names[side - 1]) << "\n"
                  << "    e-mail:       " << Utf8(*mails[side - 1]) << "\n"
                  << "    country:      " << Utf8(*lands[side - 1]) << "\n"
                  << "    moves:        " << h.CountMovesOf(side) << "\n"
                  << "    seconds:      " << h.SumSeconds(side) << "\n";
    }
    std::cout << "  entries:        " << h.Count() << " (" << h.CountMoves() << " moves, "
              << h.Count() - h.CountMoves()
              << (h.Count() - h.CountMoves() == 1 ? " skip)\n" : " skips)\n");
    if (h.Count() == 0) return;
    std::cout << "\n  " << Right("#", 5) << "  side  seconds  pit\n";
    for (int i = 0; i < h.Count(); ++i) {
        const TMove& m = h.Items(i);
        std::cout << "  " << Right(std::to_string(i + 1), 5) << "  " << Right(std::to_string(m.Player), 4) << "  "
                  << Right(std::to_string(m.Seconds), 7) << "  " << (m.Pit == 0 ? std::string("skip") : std::to_string(m.Pit))
                  << "\n";
    }
}

void ShowTable(const THighscore& t) {
    std::cout << "highscore table, " << t.Count() << (t.Count() == 1 ? " entry" : " entries") << "\n";
    if (t.Count() == 0) return;
    std::cout << "\n  " << Right("rank", 4) << "  " << Cell("name", 12) << Right("time", 9) << Right("moves", 7)
              << Right("points", 8) << "  " << Cell("country", 14) << "e-mail\n";
    for (int i = 0; i < t.Count(); ++i) {
        std::string line = "  " + Right(std::to_string(i + 1), 4) + "  " + Cell(Utf8(t.GetValueText("name", i)), 12) +
                           Right(t.GetValueText("zeit", i), 9) + Right(t.GetValueText("runden", i), 7) +
                           Right(t.GetValueText("punkte", i), 8) + "  " + Cell(Utf8(t.GetValueText("land", i)), 14) +
                           Utf8(t.GetValueText("email", i));
        const TGVValue* ki = t.Items(i).Find("ki");
        if (ki && ki->ToBoolean()) line += "  (computer)";
        while (!line.empty() && line.back() == ' ') line.pop_back();
        std::cout << line << "\n";
    }
}

// Whether Key opens the container and it holds Entry.
bool OpensWith(TMemoryStream& file, const char* key, const char* entry) {
    TQDStreams c;
    c.Key = key;
    try {
        c.LoadFromStream(file);
    } catch (const std::exception&) {
        return false;
    }
    return c.IndexOf(entry) >= 0;
}

int Show(const std::string& name) {
    if (!FileExists(name)) {
        std::cerr << "tessum-records: " << name << ": no such file\n";
        return 1;
    }
    TMemoryStream file;
    file.LoadFromFile(name);
    if (OpensWith(file, THistory::FileKey, THistory::EntryName)) {
        THistory h;
        h.LoadFromContainerStream(file);
        std::cout << name << ": ";
        ShowHistory(h);
        return 0;
    }
    if (OpensWith(file, THighscore::FileKey, TCustomHighscore::EntryName)) {
        THighscore t;
        t.LoadFromContainerStream(file);
        std::cout << name << ": ";
        ShowTable(t);
        return 0;
    }
    std::cerr << "tessum-records: " << name << ": neither a saved game nor a highscore table (File is corrupt.)\n";
    return 1;
}

int Usage() {
    std::cerr << "usage: tessum-records show FILE...\n"
                 "  prints a saved game (.tsm) or a highscore table (hs1.dat ...) as text\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::string(argv[1]) != "show") return Usage();
    int rc = 0;
    for (int i = 2; i < argc; ++i) {
        if (i > 2) std::cout << "\n";
        try {
            rc |= Show(argv[i]);
        } catch (const std::exception& e) {
            std::cout.flush();
            std::cerr << "tessum-records: " << argv[i] << ": " << e.what() << "\n";
            rc = 1;
        }
    }
    return rc;
}
