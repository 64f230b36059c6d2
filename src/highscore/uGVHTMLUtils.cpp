#include "highscore/uGVHTMLUtils.h"

#include <array>

namespace tessum {

namespace {

// Entity names of the bytes 161 to 255, in byte order.
constexpr std::array<const char*, 95> kEntities = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",
    "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34",
    "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave",
    "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve",
    "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",
    "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",
    "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

bool IsAlnum(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

std::string HTMLEncode(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (const char c : Text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 160) {
            out += c;
        } else if (b > 160) {
            out += '&';
            out += kEntities[b - 161];
            out += ';';
        }
    }
    return out;
}

std::string HTMLDecode(std::string_view Text) {
    // Byte of the entity whose name ends at the next ';' within reach, or -1.
    auto entityAt = [&](std::size_t At, std::size_t& Length) -> int {
        const std::size_t semi = Text.substr(At + 1, 8).find(';');  // longest name: six letters
        if (semi == std::string_view::npos) return -1;
        const std::string_view name = Text.substr(At + 1, semi);
        for (std::size_t k = 0; k < kEntities.size(); ++k) {
            if (name == kEntities[k]) {
                Length = semi + 2;
                return static_cast<int>(161 + k);
            }
        }
        return -1;
    };
    std::string out;
    out.reserve(Text.size());
    std::size_t i = 0;
    while (i < Text.size()) {
        std::size_t length = 0;
        const int byte = Text[i] == '&' ? entityAt(i, length) : -1;
        if (byte >= 0) {
            out += static_cast<char>(byte);
            i += length;
        } else {
            out += Text[i++];
        }
    }
    return out;
}

std::string URLEncode(std::string_view Text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(Text.size() * 3);
    for (const char c : Text) {
        const auto b = static_cast<unsigned char>(c);
        if (IsAlnum(b)) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

char AnsiLowerChar(char C) {
    const auto b = static_cast<unsigned char>(C);
    unsigned char r = b;
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
        r = static_cast<unsigned char>(b + 0x20);
    else if (b == 0x8A || b == 0x8C || b == 0x8E)  // S, OE, Z with caron / ligature
        r = static_cast<unsigned char>(b + 0x10);
    else if (b == 0x9F)  // Y with diaeresis; its small form sits at 255
        r = 0xFF;
    return static_cast<char>(r);
}

std::string AnsiLowerCase(std::string_view Text) {
    std::string out(Text);
    for (char& c : out) c = AnsiLowerChar(c);
    return out;
}

}  // namespace tessum
