#include "server/uHighscoreForm.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <map>

#include "highscore/uGVHTMLUtils.h"
#include "highscore/uINetConfig.h"
#include "highscore/uTINetHighscore.h"

namespace tessum::server {

namespace {

// The pairs of one entry in the order the game sends them; the check value
// covers the first ten values in this order.
constexpr std::array<const char*, 11> kFields = {"name", "punkte", "punktegegner", "runden",   "ki",   "zeit",
                                                 "land", "email",  "hs_name",      "hs_index", "check"};
constexpr std::size_t kCheck = 10;

TFormVerdict Refuse(int Status, std::string Reason) { return {Status, std::move(Reason)}; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "+" is a space, "%XX" a byte; false on a broken escape.
bool PercentDecode(std::string_view Text, std::string& Out) {
    Out.clear();
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '+') {
            Out += ' ';
        } else if (c == '%') {
            if (i + 2 >= Text.size()) return false;
            const int hi = HexDigit(Text[i + 1]), lo = HexDigit(Text[i + 2]);
            if (hi < 0 || lo < 0) return false;
            Out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            Out += c;
        }
    }
    return true;
}

// Plain decimal digits, no sign, at most MaxDigits of them.
bool ParseCount(std::string_view Text, std::int32_t& Value, std::size_t MaxDigits = 6) {
    if (Text.empty() || Text.size() > MaxDigits) return false;
    for (char c : Text)
        if (c < '0' || c > '9') return false;
    const auto r = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return r.ec == std::errc() && r.ptr == Text.data() + Text.size();
}

// "66.67" or "66,67" (whatever the player's decimal separator) in hundredths.
bool ParsePercent(std::string_view Text, std::int32_t& Hundredths) {
    const std::size_t sep = Text.find_first_of(".,");
    std::int32_t whole = 0, fraction = 0;
    if (!ParseCount(Text.substr(0, sep), whole, 3)) return false;
    if (sep != std::string_view::npos) {
        const std::string_view f = Text.substr(sep + 1);
        if (!ParseCount(f, fraction, 2)) return false;
        if (f.size() == 1) fraction *= 10;
    }
    Hundredths = whole * 100 + fraction;
    return true;
}

// "hh:mm:ss" with minutes and seconds below 60.
bool ParseZeit(std::string_view Text, std::int32_t& Seconds) {
    const std::size_t a = Text.find(':');
    if (a == std::string_view::npos) return false;
    const std::size_t b = Text.find(':', a + 1);
    if (b == std::string_view::npos || b - a != 3 || Text.size() - b != 3) return false;
    std::int32_t h = 0, m = 0, s = 0;
    if (!ParseCount(Text.substr(0, a), h, 4) || !ParseCount(Text.substr(a + 1, 2), m, 2) ||
        !ParseCount(Text.substr(b + 1), s, 2) || m > 59 || s > 59)
        return false;
    Seconds = h * 3600 + m * 60 + s;
    return true;
}

std::string Trim(std::string_view Text) {
    const std::size_t a = Text.find_first_not_of(" \t");
    if (a == std::string_view::npos) return {};
    const std::size_t b = Text.find_last_not_of(" \t");
    return std::string(Text.substr(a, b - a + 1));
}

std::string LowerAscii(std::string Text) {
    for (char& c : Text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return Text;
}

// A name or address of the game: not empty, no control characters, within
// the byte limit once in UTF-8.
TFormVerdict CheckText(const char* Field, std::string_view Entities, std::string& Out) {
    const std::string ansi = HTMLDecode(Entities);
    for (char c : ansi)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            return Refuse(400, std::string(Field) + " holds a control character");
    Out = Trim(AnsiToUtf8(ansi));
    if (Out.empty()) return Refuse(400, std::string(Field) + " is empty");
    if (Out.size() > inetconfig::MaxNameBytes)
        return Refuse(400, std::string(Field) + " is longer than " + std::to_string(inetconfig::MaxNameBytes) +
                               " bytes");
    return {};
}

}  // namespace

std::string AnsiToUtf8(std::string_view Text) {
    // Windows-1252's own characters in 128..159; the five holes map to themselves.
    static constexpr std::array<char16_t, 32> kRow8 = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(Text.size() * 2);
    for (const char c : Text) {
        const auto b = static_cast<unsigned char>(c);
        const char32_t u = (b >= 0x80 && b < 0xA0) ? kRow8[b - 0x80] : b;
        if (u < 0x80) {
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

TFormVerdict ParseHighscoreForm(std::string_view Body, const std::set<std::string>& Countries, TNetEntry& Entry) {
    if (Body.size() > inetconfig::MaxFormBytes)
        return Refuse(413, "form is larger than " + std::to_string(inetconfig::MaxFormBytes) + " bytes");

    std::array<std::string, kFields.size()> values;
    std::array<bool, kFields.size()> seen{};
    std::string decoded;
    std::size_t at = 0;
    while (at <= Body.size()) {
        std::size_t end = Body.find('&', at);
        if (end == std::string_view::npos) end = Body.size();
        const std::string_view pair = Body.substr(at, end - at);
        at = end + 1;
        if (pair.empty()) {
            if (end == Body.size()) break;
            continue;
        }
        const std::size_t eq = pair.find('=');
        const std::string_view name = pair.substr(0, eq);
        std::size_t k = 0;
        while (k < kFields.size() && name != kFields[k]) ++k;
        if (k == kFields.size()) {
            // Only a harmless, printable excerpt goes back into the reason.
            std::string shown;
            for (char c : name.substr(0, 32)) shown += (c > 32 && c < 127) ? c : '?';
            return Refuse(400, "unknown field \"" + shown + "\"");
        }
        if (seen[k]) return Refuse(400, std::string("field ") + kFields[k] + " appears twice");
        if (eq == std::string_view::npos || !PercentDecode(pair.substr(eq + 1), decoded))
            return Refuse(400, std::string("field ") + kFields[k] + " is not form-encoded");
        seen[k] = true;
        values[k] = decoded;
    }
    for (std::size_t k = 0; k < kFields.size(); ++k)
        if (!seen[k]) return Refuse(400, std::string("missing field ") + kFields[k]);

    std::string signedText;
    for (std::size_t k = 0; k < kCheck; ++k) signedText += values[k];
    if (values[kCheck] != CheckValue(signedText, inetconfig::CheckModulus, inetconfig::CheckSeed))
        return Refuse(403, "wrong check value");

    TNetEntry e;
    if (values[8] != inetconfig::GameName) return Refuse(400, "hs_name is not " + std::string(inetconfig::GameName));
    std::int32_t n = 0;
    if (!ParseCount(values[9], n, 1) || n < 1 || n > inetconfig::Variants)
        return Refuse(400, "hs_index is not a variant from 1 to " + std::to_string(inetconfig::Variants));
    e.Variant = n;
    if (TFormVerdict v = CheckText("name", values[0], e.Name); !v.Ok()) return v;
    if (TFormVerdict v = CheckText("email", values[7], e.EMail); !v.Ok()) return v;
    if (!ParsePercent(values[1], e.Punkte) || e.Punkte > 10000)
        return Refuse(400, "punkte is not a share from 0 to 100 percent");
    if (!ParseCount(values[2], e.PunkteGegner) || e.PunkteGegner > inetconfig::MaxStones)
        return Refuse(400, "punktegegner is not a count from 0 to " + std::to_string(inetconfig::MaxStones));
    if (!ParseCount(values[3], e.Runden) || e.Runden > inetconfig::MaxMoves)
        return Refuse(400, "runden is not a count from 0 to " + std::to_string(inetconfig::MaxMoves));
    if (values[4] != "0" && values[4] != "-1") return Refuse(400, "ki is neither 0 nor -1");
    e.KI = values[4] == "-1";
    if (!ParseZeit(values[5], e.Zeit) || e.Zeit > inetconfig::MaxSeconds)
        return Refuse(400, "zeit is not a time from 00:00:00 to 99:59:59");
    e.Land = LowerAscii(Trim(values[6]));
    if (!e.Land.empty() && !Countries.count(e.Land)) return Refuse(400, "land is not a country key of the game");
    Entry = std::move(e);
    return {};
}

std::vector<std::pair<std::string, std::string>> ParseCountryList(std::string_view Script) {
    std::vector<std::pair<std::string, std::string>> out;
    std::map<std::string, std::size_t> known;
    bool english = false;
    std::size_t at = 0;
    while (at < Script.size()) {
        std::size_t end = Script.find('\n', at);
        if (end == std::string_view::npos) end = Script.size();
        std::string_view line = Script.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') english = LowerAscii(std::string(line)) == "[english]";
        if (line.substr(0, 6) != "lands=") continue;
        line.remove_prefix(6);
        std::size_t p = 0;
        while (p <= line.size()) {
            std::size_t q = line.find("\\n", p);
            if (q == std::string_view::npos) q = line.size();
            const std::string_view item = line.substr(p, q - p);
            p = q + 2;
            const std::size_t eq = item.find('=');
            const std::string key = LowerAscii(Trim(item.substr(0, eq)));
            if (key.empty()) continue;
            std::string name = AnsiToUtf8(Trim(eq == std::string_view::npos ? item : item.substr(eq + 1)));
            const auto [it, added] = known.emplace(key, out.size());
            if (added)
                out.emplace_back(key, std::move(name));
            else if (english)
                // The page is in English; the other languages only add keys.
                out[it->second].second = std::move(name);
        }
    }
    return out;
}

std::string FormatHundredths(std::int32_t Hundredths) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d", Hundredths / 100, Hundredths % 100);
    return buf;
}

std::string FormatZeit(std::int32_t Seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", Seconds / 3600, Seconds / 60 % 60, Seconds % 60);
    return buf;
}

}  // namespace tessum::server
