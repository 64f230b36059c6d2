// Taking the game's form apart: the decoders the server adds to the game's
// encoders, and the country list it shares with the new-game dialog.
#include "server/uHighscoreForm.h"

#include "highscore/WebPostForm.h"
#include "highscore/uGVHTMLUtils.h"
#include "highscore/uTHighscore.h"

#include <gtest/gtest.h>

using namespace tessum;
using namespace tessum::server;

namespace {

TEST(ServerForm, EntitiesComeBackAsTheBytesTheGameEncoded) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != 160) all += static_cast<char>(b);
    EXPECT_EQ(HTMLDecode(HTMLEncode(all)), all);
    // Not an entity of the set, or unterminated: left as it stands.
    EXPECT_EQ(HTMLDecode("Tom & Jerry &amp; &nbsp; &auml &uuml;"), "Tom & Jerry &amp; &nbsp; &auml \xFC");
    EXPECT_EQ(AnsiToUtf8("J\xFCrgen \x80 \x9F"), "J\u00fcrgen \u20ac \u0178");
}

TEST(ServerForm, TheGamesFormOfAnEntryIsReadBack) {
    const std::set<std::string> countries = {"deutschland", "jordanien"};
    for (const char separator : {'.', ','}) {
        SetDecimalSeparator(separator);
        THighscore t;
        t.Index = "3";
        t.AddScore("Gr\xFC\xDF Gott", 3725, 30, 18, 21, true, "x@example.org", "jordanien ");
        TWebPostItems items;
        t.BuildForm(t.Items(0), items);
        TNetEntry e;
        const TFormVerdict v = ParseHighscoreForm(BuildPostBody(items), countries, e);
        ASSERT_TRUE(v.Ok()) << v.Reason;
        EXPECT_EQ(e.Variant, 3);
        EXPECT_EQ(e.Name, "Gr\u00fc\u00df Gott");
        EXPECT_EQ(e.EMail, "x@example.org");
        EXPECT_EQ(e.Land, "jordanien");
        EXPECT_EQ(e.Punkte, 6250);
        EXPECT_EQ(e.PunkteGegner, 18);
        EXPECT_EQ(e.Runden, 21);
        EXPECT_TRUE(e.KI);
        EXPECT_EQ(e.Zeit, 3725);
        EXPECT_EQ(FormatHundredths(e.Punkte), "62.50");
        EXPECT_EQ(FormatZeit(e.Zeit), "01:02:05");
    }
    ResetDecimalSeparator();
}

TEST(ServerForm, CountryListOfTheDialogsScript) {
    const auto list = ParseCountryList(
        "[german]\r\nlands=europa=keine Angabe\\nusa=USA\r\n"
        "[english]\r\nCaption=x\r\nlands=europa=not applicable\\nJordanien =Jordan\\n\\nusa=USA\\neuropa=again\r\n");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (std::pair<std::string, std::string>{"europa", "again"}));
    EXPECT_EQ(list[1].first, "usa");
    EXPECT_EQ(list[2], (std::pair<std::string, std::string>{"jordanien", "Jordan"}));
}

}  // namespace
