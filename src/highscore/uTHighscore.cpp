#include "highscore/uTHighscore.h"

#include <charconv>
#include <clocale>
#include <cstdio>
#include <optional>

#include "highscore/uINetConfig.h"

namespace tessum {

namespace {

std::optional<char> g_separator;

std::string FormatShare(double Percent) {
    char buf[64];
    // to_chars ignores the locale, so the separator is put in by hand and is
    // the same whatever LC_NUMERIC says.
    const auto r = std::to_chars(buf, buf + sizeof buf, Percent, std::chars_format::fixed, 2);
    std::string s(buf, r.ptr);
    const char sep = DecimalSeparator();
    for (char& c : s)
        if (c == '.') c = sep;
    return s;
}

std::int32_t FieldInteger(const TGVValueList& Entry, const char* Name) {
    const TGVValue* v = Entry.Find(Name);
    return v ? v->AsInteger() : 0;
}

}  // namespace

void SetDecimalSeparator(char Separator) { g_separator = Separator; }
void ResetDecimalSeparator() { g_separator.reset(); }

char DecimalSeparator() {
    if (g_separator) return *g_separator;
    const std::lconv* lc = std::localeconv();
    // A separator of more than one byte cannot be written in the 8-bit texts.
    if (lc && lc->decimal_point && lc->decimal_point[0] && !lc->decimal_point[1]) return lc->decimal_point[0];
    return '.';
}

double Percentage(const TGVValue& Punkte) {
    const TGVValue* g = Punkte.Owner().Find("punktegegner");
    const double p = Punkte.AsInteger();
    const double sum = p + (g ? g->AsInteger() : 0);
    if (sum == 0) return 0.0;
    return p / sum * 100.0;
}

std::string FormatPoints(const TGVValue& Punkte) { return FormatShare(Percentage(Punkte)); }

std::string FormatPercent(std::int32_t Pit, std::int32_t Total) {
    if (Total == 0) return FormatShare(0.0);
    return FormatShare(static_cast<double>(Pit) / Total * 100.0);
}

std::string FormatSeconds(std::int32_t Seconds) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2d:%2.2d:%2.2d", Seconds / 3600, (Seconds / 60) % 60, Seconds % 60);
    return buf;
}

std::string FormatTime(const TGVValue& Zeit) { return FormatSeconds(Zeit.AsInteger()); }

int CompareScores(const TGVValueList& A, const TGVValueList& B) {
    const TGVValue* a = A.Find("punkte");
    const TGVValue* b = B.Find("punkte");
    const double pa = a ? Percentage(*a) : 0.0;
    const double pb = b ? Percentage(*b) : 0.0;
    if (pa == pb) {
        // Only the sign matters to the sort; a plain difference could overflow.
        const std::int64_t d = std::int64_t{FieldInteger(A, "zeit")} - FieldInteger(B, "zeit");
        return d < 0 ? -1 : d > 0 ? 1 : 0;
    }
    return pa > pb ? -1 : 1;
}

THighscore::THighscore() : TCustomINetHighscore(FileKey, CompareScores, template_) {
    template_.Add("name", TGVValueType::String);
    template_.Add("punkte", TGVValueType::Integer, FormatPoints);
    template_.Add("punktegegner", TGVValueType::Integer);
    template_.Add("runden", TGVValueType::Integer);
    template_.Add("ki", TGVValueType::Boolean);
    template_.Add("zeit", TGVValueType::Integer, FormatTime);
    template_.Add("land", TGVValueType::String);
    template_.Add("email", TGVValueType::String);

    Server = inetconfig::Server;
    Port = inetconfig::Port;
    Action = inetconfig::Action;
    GameName = inetconfig::GameName;
    PageURL = inetconfig::PageURL;
    CheckModulus = inetconfig::CheckModulus;
    CheckSeed = inetconfig::CheckSeed;
    OnFilter = [](const TGVValueList& Entry) {
        const TGVValue* name = Entry.Find("name");
        const TGVValue* email = Entry.Find("email");
        return name && email && !name->GetText().empty() && !email->GetText().empty();
    };
}

int THighscore::AddScore(const std::string& Name, std::int32_t Zeit, std::int32_t Punkte,
                         std::int32_t PunkteGegner, std::int32_t Runden, bool KI, const std::string& EMail,
                         const std::string& Land) {
    TGVValueList e;
    e.Assign(template_);
    e.Find("name")->Value = Name;
    e.Find("punkte")->Value = Punkte;
    e.Find("punktegegner")->Value = PunkteGegner;
    e.Find("runden")->Value = Runden;
    e.Find("ki")->Value = KI;
    e.Find("zeit")->Value = Zeit;
    e.Find("land")->Value = Land;
    e.Find("email")->Value = EMail;
    return Add(e);
}

std::string HighscoreFileName(const std::string& Folder, int Variant) {
    char name[32];
    std::snprintf(name, sizeof name, "hs%d.dat", Variant);
    if (Folder.empty() || Folder.back() == '/') return Folder + name;
    return Folder + "/" + name;
}

}  // namespace tessum
