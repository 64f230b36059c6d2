// The texts that go to the highscore server: encoders, check value, the form
// of one entry, the request bytes, and which entries SendToNet posts.
#include "highscore/uGVHTMLUtils.h"
#include "highscore/uINetConfig.h"
#include "highscore/uTHighscore.h"
#include "highscore/uTINetHighscore.h"
#include "highscore/WebPostForm.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace tessum;
using ::testing::ElementsAre;

namespace {

TEST(HTMLEncodeTest, LatinOneBecomesEntitiesAndNoBreakSpaceVanishes) {
    EXPECT_EQ(HTMLEncode("M\xFCller"), "M&uuml;ller");
    EXPECT_EQ(HTMLEncode("\xC4\xD6\xDC\xE4\xF6\xFC\xDF"), "&Auml;&Ouml;&Uuml;&auml;&ouml;&uuml;&szlig;");
    EXPECT_EQ(HTMLEncode("\xA1\xA2\xD7\xF7\xFF"), "&iexcl;&cent;&times;&divide;&yuml;");
    EXPECT_EQ(HTMLEncode("a\xA0" "b"), "ab");
    // Below 160 everything stays, markup characters and the 1252 row included.
    EXPECT_EQ(HTMLEncode("<a&b> \x80\x8A\x9F"), "<a&b> \x80\x8A\x9F");
    EXPECT_EQ(HTMLEncode(""), "");
}

TEST(HTMLEncodeTest, EveryUpperByteHasAWellFormedEntity) {
    for (int b = 161; b <= 255; ++b) {
        const std::string e = HTMLEncode(std::string(1, static_cast<char>(b)));
        ASSERT_GE(e.size(), 4u) << b;
        EXPECT_EQ(e.front(), '&') << b;
        EXPECT_EQ(e.back(), ';') << b;
        for (std::size_t i = 1; i + 1 < e.size(); ++i)
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(e[i]))) << b;
    }
    EXPECT_EQ(HTMLEncode("\xBC\xBD\xBE\xB2\xB3\xB9"), "&frac14;&frac12;&frac34;&sup2;&sup3;&sup1;");
    EXPECT_EQ(HTMLEncode("\xC6\xD0\xDE\xE6\xF0\xFE"), "&AElig;&ETH;&THORN;&aelig;&eth;&thorn;");
}

TEST(URLEncodeTest, OnlyLettersAndDigitsStay) {
    EXPECT_EQ(URLEncode("a b"), "a%20b");
    EXPECT_EQ(URLEncode("-"), "%2D");
    EXPECT_EQ(URLEncode("\xE4"), "%E4");
    EXPECT_EQ(URLEncode("AZaz09"), "AZaz09");
    EXPECT_EQ(URLEncode("_.~+&=%"), "%5F%2E%7E%2B%26%3D%25");
    EXPECT_EQ(URLEncode(std::string("\0\xFF", 2)), "%00%FF");
    EXPECT_EQ(URLEncode(HTMLEncode("\xFC")), "%26uuml%3B");
}

TEST(AnsiLowerCaseTest, FollowsTheWesternCodePage) {
    EXPECT_EQ(AnsiLowerCase("ABC xyz 09"), "abc xyz 09");
    EXPECT_EQ(AnsiLowerCase("\xC0\xC4\xD6\xDC\xDE"), "\xE0\xE4\xF6\xFC\xFE");
    EXPECT_EQ(AnsiLowerCase("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
    // The multiplication sign and sharp s have no partner.
    EXPECT_EQ(AnsiLowerCase("\xD7\xDF"), "\xD7\xDF");
}

TEST(CheckValueTest, ProductChainOfLowerCasedBytes) {
    EXPECT_EQ(CheckValue("", 65521, 731), "1");
    // 97 xor 731 = 698; then 98 xor 730 = 696, 698 * 696 mod 65521 = 27161.
    EXPECT_EQ(CheckValue("a", 65521, 731), "698");
    EXPECT_EQ(CheckValue("ab", 65521, 731), "27161");
    EXPECT_EQ(CheckValue("AB", 65521, 731), "27161");
    EXPECT_EQ(CheckValue("\xC4", 65521, 731), CheckValue("\xE4", 65521, 731));
    EXPECT_NE(CheckValue("\xD7", 65521, 731), CheckValue("\xF7", 65521, 731));
}

TEST(CheckValueTest, NegativeProductsRestartAtOneAndTheProductWrapsAt32Bits) {
    // Position 2 against seed 1 gives 97 xor -1 = -98: the product turns negative.
    EXPECT_EQ(CheckValue("aaa", 65521, 1), "1");
    // 65536 * 65537 wraps to 65536 (a 64-bit product would leave 65538).
    EXPECT_EQ(CheckValue("\x01\x01", INT_MAX, 65537), "65536");
    // 65537 * 65534 wraps to a negative number, which restarts the chain.
    EXPECT_EQ(CheckValue("\x01\x01", INT_MAX, 65536), "1");
}

TEST(CheckValueTest, StaysWithinTheModulusAndSurvivesOddModuli) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += static_cast<char>(32 + (i * 37) % 220);
    for (int len = 0; len <= 300; len += 7) {
        const long v = std::stol(CheckValue(text.substr(0, len), inetconfig::CheckModulus, inetconfig::CheckSeed));
        EXPECT_GE(v, 1);
        EXPECT_LT(v, inetconfig::CheckModulus);
    }
    EXPECT_EQ(CheckValue("abc", 1, 731), "1");
    EXPECT_EQ(CheckValue("abc", -1, 731), "1");
    EXPECT_FALSE(CheckValue("abc", 0, 731).empty());
    EXPECT_FALSE(CheckValue("abc", INT_MIN, INT_MIN).empty());
}

class INetForm : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator(','); }
    void TearDown() override { ResetDecimalSeparator(); }
};

std::vector<std::string> NamesOf(const TWebPostItems& items) {
    std::vector<std::string> n;
    for (const auto& i : items) n.push_back(i.Name);
    return n;
}

TEST_F(INetForm, ElevenPairsInOrderEntityThenPercentEncoded) {
    THighscore hs;
    hs.Index = "2";
    hs.AddScore("J\xF6rg M\xFCller", 3725, 30, 18, 21, true, "joerg@example.org", "DE");
    TWebPostItems items;
    hs.BuildForm(hs.Items(0), items);
    ASSERT_THAT(NamesOf(items), ElementsAre("name", "punkte", "punktegegner", "runden", "ki", "zeit", "land",
                                            "email", "hs_name", "hs_index", "check"));
    EXPECT_EQ(items.Items(0).Value, "J%26ouml%3Brg%20M%26uuml%3Bller");
    EXPECT_EQ(items.Items(1).Value, "62%2C50");
    EXPECT_EQ(items.Items(2).Value, "18");
    EXPECT_EQ(items.Items(3).Value, "21");
    EXPECT_EQ(items.Items(4).Value, "%2D1");
    EXPECT_EQ(items.Items(5).Value, "01%3A02%3A05");
    EXPECT_EQ(items.Items(6).Value, "DE");
    EXPECT_EQ(items.Items(7).Value, "joerg%40example%2Eorg");
    EXPECT_EQ(items.Items(8).Value, "tessum");
    EXPECT_EQ(items.Items(9).Value, "2");
    // Signed: the ten values after entity encoding, before percent encoding.
    EXPECT_EQ(items.Items(10).Value,
              CheckValue("J&ouml;rg M&uuml;ller62,501821-101:02:05DEjoerg@example.orgtessum2",
                         inetconfig::CheckModulus, inetconfig::CheckSeed));
}

TEST_F(INetForm, CheckCoversGameNameAndIndex) {
    THighscore hs;
    hs.AddScore("Anna", 60, 36, 0, 10, false, "a@example.org", "AT");
    TWebPostItems one;
    TWebPostItems two;
    hs.BuildForm(hs.Items(0), one);
    hs.Index = "3";
    hs.BuildForm(hs.Items(0), two);
    EXPECT_EQ(one.Items(4).Value, "0");
    EXPECT_EQ(one.Items(9).Value, "0");
    EXPECT_NE(one.Items(10).Value, two.Items(10).Value);
}

// Records what each Execute was given; fails the call numbered FailAt.
class TRecordingPost : public TCustomWebPost {
public:
    int FailAt = -1;
    std::vector<std::string> Bodies;
    std::vector<std::string> Targets;
    bool Execute() override {
        Bodies.push_back(BuildPostBody(Items));
        Targets.push_back(Server + ":" + std::to_string(Port) + Action);
        return static_cast<int>(Bodies.size()) - 1 != FailAt;
    }
};

std::vector<std::string> FieldTexts(const THighscore& hs) {
    std::vector<std::string> t;
    for (int i = 0; i < hs.Count(); ++i)
        for (int f = 0; f < hs.Template().Count(); ++f)
            t.push_back(hs.GetValueText(hs.Template().Items(f).Name, i));
    return t;
}

TEST_F(INetForm, SendsEntriesWithNameAndMailBestFirstAndStopsAtTheFirstFailure) {
    THighscore hs;
    hs.Server = "hs.example.org";
    hs.Port = 8080;
    hs.AddScore("Best", 100, 40, 8, 20, false, "best@example.org", "DE");
    hs.AddScore("", 110, 39, 9, 20, false, "anon@example.org", "DE");
    hs.AddScore("NoMail", 120, 38, 10, 20, false, "", "DE");
    hs.AddScore("Third", 130, 30, 18, 20, true, "third@example.org", "CH");
    hs.AddScore("Fourth", 140, 20, 28, 20, true, "fourth@example.org", "FR");
    const auto before = FieldTexts(hs);

    TRecordingPost post;
    EXPECT_EQ(hs.SendToNet(post), 0);
    ASSERT_EQ(post.Bodies.size(), 3u);
    EXPECT_EQ(post.Bodies[0].rfind("name=Best&", 0), 0u);
    EXPECT_EQ(post.Bodies[1].rfind("name=Third&", 0), 0u);
    EXPECT_EQ(post.Bodies[2].rfind("name=Fourth&", 0), 0u);
    EXPECT_EQ(post.Targets[0], "hs.example.org:8080/software/highscore.add.php4");

    TRecordingPost failing;
    failing.FailAt = 1;
    EXPECT_EQ(hs.SendToNet(failing), -1);
    EXPECT_EQ(failing.Bodies.size(), 2u);
    EXPECT_EQ(FieldTexts(hs), before);
}

TEST_F(INetForm, NothingToSendCountsAsSent) {
    THighscore hs;
    TRecordingPost post;
    post.FailAt = 0;
    EXPECT_EQ(hs.SendToNet(post), 0);
    hs.AddScore("", 100, 40, 8, 20, false, "", "DE");
    EXPECT_EQ(hs.SendToNet(post), 0);
    EXPECT_TRUE(post.Bodies.empty());
    // Without a filter the same entry goes out.
    hs.OnFilter = nullptr;
    EXPECT_EQ(hs.SendToNet(post), -1);
}

TEST(WebPostFormTest, BodyJoinsPairsAndSendsSpacesAsPlus) {
    TWebPostItems items;
    EXPECT_EQ(BuildPostBody(items), "");
    items.Add("a", "1 2");
    items.Add("b", "");
    items.Add("c", "x%20y");
    EXPECT_EQ(BuildPostBody(items), "a=1+2&b=&c=x%20y");
    EXPECT_THROW(items.Items(3), std::out_of_range);
}

TEST(WebPostFormTest, HeadCarriesTheFormTypeHostAndLength) {
    EXPECT_EQ(BuildPostHead("www.example.org", 80, "/software/highscore.add.php4", 42),
              "POST /software/highscore.add.php4 HTTP/1.1\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\n"
              "User-Agent: TWebPost\r\n"
              "Host: www.example.org\r\n"
              "Content-Length: 42\r\n"
              "Connection: close\r\n"
              "Cache-Control: no-cache\r\n\r\n");
    const std::string head = BuildPostHead("127.0.0.1", 8080, "", 0);
    EXPECT_EQ(head.rfind("POST / HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(head.find("\r\nHost: 127.0.0.1:8080\r\n"), std::string::npos);
    // A line break smuggled into the path or host cannot start a header field.
    const std::string bad = BuildPostHead("h\r\nX-Evil: 1", 80, "/p\r\nX-Evil: 2", 0);
    EXPECT_EQ(bad.find("\r\nX-Evil"), std::string::npos);
}

using TState = THttpResponseReader::TState;

TState FeedAll(THttpResponseReader& r, const std::string& s, std::size_t Step = 0) {
    if (Step == 0) return r.Feed(s.data(), s.size());
    for (std::size_t i = 0; i < s.size(); i += Step) {
        if (r.Feed(s.data() + i, std::min(Step, s.size() - i)) != TState::NeedMore) break;
    }
    return r.State();
}

TEST(HttpResponseReaderTest, BodyEndsByLengthByChunksOrByClose) {
    for (std::size_t step : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
        THttpResponseReader a(1 << 20);
        EXPECT_EQ(FeedAll(a, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", step), TState::Complete);
        EXPECT_EQ(a.Body(), "hello");
        EXPECT_EQ(a.Status(), 200);

        THttpResponseReader b(1 << 20);
        EXPECT_EQ(FeedAll(b, "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                             "5;x=y\r\nhello\r\nB\r\n 0123456789\r\n0\r\nX-T: 1\r\n\r\n", step),
                  TState::Complete);
        EXPECT_EQ(b.Body(), "hello 0123456789");

        THttpResponseReader c(1 << 20);
        EXPECT_EQ(FeedAll(c, "HTTP/1.0 500 Internal Server Error\nContent-Type: text/html\n\n<b>oops</b>", step),
                  TState::NeedMore);
        EXPECT_EQ(c.Finish(), TState::Complete);
        EXPECT_EQ(c.Body(), "<b>oops</b>");
        EXPECT_EQ(c.Status(), 500);
    }
    THttpResponseReader d(1 << 20);
    EXPECT_EQ(FeedAll(d, "HTTP/1.1 204 No Content\r\n\r\n"), TState::Complete);
}

TEST(HttpResponseReaderTest, BrokenAnswersAreToldApart) {
    THttpResponseReader silent(1 << 20);
    EXPECT_EQ(silent.Finish(), TState::BadHead);

    THttpResponseReader garbage(1 << 20);
    EXPECT_EQ(FeedAll(garbage, "SSH-2.0-OpenSSH\r\n"), TState::BadHead);

    THttpResponseReader halfHead(1 << 20);
    EXPECT_EQ(FeedAll(halfHead, "HTTP/1.1 200 OK\r\nContent-"), TState::NeedMore);
    EXPECT_EQ(halfHead.Finish(), TState::BadHead);

    THttpResponseReader badLength(1 << 20);
    EXPECT_EQ(FeedAll(badLength, "HTTP/1.1 200 OK\r\nContent-Length: -3\r\n\r\n"), TState::BadHead);

    THttpResponseReader shortBody(1 << 20);
    EXPECT_EQ(FeedAll(shortBody, "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"), TState::NeedMore);
    EXPECT_EQ(shortBody.Finish(), TState::BadBody);
    EXPECT_TRUE(shortBody.HeadComplete());

    THttpResponseReader badChunk(1 << 20);
    EXPECT_EQ(FeedAll(badChunk, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"), TState::BadBody);

    THttpResponseReader endless(1 << 20);
    const std::string longHead = "HTTP/1.1 200 OK\r\nX: " + std::string(THttpResponseReader::MaxHead, 'a');
    EXPECT_EQ(FeedAll(endless, longHead, 4096), TState::BadHead);
}

TEST(HttpResponseReaderTest, BodyIsCutAtItsBound) {
    THttpResponseReader r(10);
    EXPECT_EQ(FeedAll(r, "HTTP/1.1 200 OK\r\n\r\n" + std::string(50, 'x'), 7), TState::Complete);
    EXPECT_EQ(r.Body(), std::string(10, 'x'));

    THttpResponseReader chunks(4);
    EXPECT_EQ(FeedAll(chunks, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFF\r\nabcdefgh"),
              TState::Complete);
    EXPECT_EQ(chunks.Body(), "abcd");
}

}  // namespace
