// FormatText: the one filler of the program's translated patterns.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tessum {

// One argument of FormatText.
using TFormatArg = std::variant<std::int64_t, std::string, double>;

// Fills a translated pattern the way the program's texts expect: %s, %d and
// %u (also %x) with an optional width ("%2d", "%-8s") and precision ("%2.2d",
// "%.2f" for a number with two decimals), "%1:s" for an explicit argument,
// "%%" for a percent sign. It never trusts the pattern: a missing argument
// gives an empty text and an unknown directive is copied as it stands, so a
// slip in a translation cannot crash the program.
std::string FormatText(std::string_view Pattern, std::initializer_list<TFormatArg> Args);

}  // namespace tessum
