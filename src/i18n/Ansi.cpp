#include "i18n/Ansi.h"

#include <array>

namespace tessum {

namespace {

// 0x80..0x9F of code page 1252; 0 marks the five unassigned bytes, which the
// Windows conversion passes through as the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

QString FromAnsi(std::string_view Text) {
    QString out;
    out.reserve(static_cast<qsizetype>(Text.size()));
    for (unsigned char c : Text) {
        char16_t u = c;
        if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] != 0) u = kHigh[c - 0x80];
        out.append(QChar(u));
    }
    return out;
}

std::string ToAnsi(const QString& Text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(Text.size()));
    for (QChar qc : Text) {
        const char16_t u = qc.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        char b = '?';
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == u || (kHigh[i] == 0 && u == 0x80 + i)) {
                b = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.push_back(b);
    }
    return out;
}

}  // namespace tessum
