// The filler of the program's translated patterns.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "i18n/TextFormat.h"

namespace tessum {
namespace {

TEST(FormatText, FillsTheProgramsPatternsAndNeverTrustsThem) {
    EXPECT_EQ(FormatText("%s will win", {std::string("Ann")}), "Ann will win");
    EXPECT_EQ(FormatText("Player %s has captured %d stones and scored %s points. %d rank",
                         {std::string("Bob"), std::int64_t{20}, std::string("55.56"), std::int64_t{2}}),
              "Player Bob has captured 20 stones and scored 55.56 points. 2 rank");
    EXPECT_EQ(FormatText("%u) %2.2d:%2.2d", {std::int64_t{2}, std::int64_t{1}, std::int64_t{5}}), "2) 01:05");
    EXPECT_EQ(FormatText("[%4d|%-4s]", {std::int64_t{7}, std::string("ab")}), "[   7|ab  ]");
    EXPECT_EQ(FormatText("100%% of %s", {std::string("it")}), "100% of it");
    EXPECT_EQ(FormatText("%1:s %0:s", {std::string("a"), std::string("b")}), "b a");
    // Slips in a translation: too few arguments, a wrong type, an unknown directive.
    EXPECT_EQ(FormatText("%s and %s", {std::string("one")}), "one and ");
    EXPECT_EQ(FormatText("%d stones", {std::string("many")}), "many stones");
    EXPECT_EQ(FormatText("%s stones", {std::int64_t{3}}), "3 stones");
    EXPECT_EQ(FormatText("%n %p %", {}), "%n %p %");
    EXPECT_EQ(FormatText("%99999999999d", {std::int64_t{1}}).size(), 1000u);
    EXPECT_EQ(FormatText("%.2f", {std::string("n/a")}), "n/a");
}

TEST(FormatText, FixedPointNumbers) {
    EXPECT_EQ(FormatText("%.2f points", {55.556}), "55.56 points");
    EXPECT_EQ(FormatText("%.2f|%f|%.0f", {12.5, 1.0, 2.5}), "12.50|1.00|2");
    EXPECT_EQ(FormatText("%6.1f", {std::int64_t{3}}), "   3.0");
    EXPECT_EQ(FormatText("%d and %s", {7.9, 0.5}), "8 and 0.5") << "a number where another type was meant: rounded";
    // Neither a huge precision nor a huge number overflows anything.
    EXPECT_LE(FormatText("%.999f", {1e300}).size(), 400u);
}

}  // namespace
}  // namespace tessum
