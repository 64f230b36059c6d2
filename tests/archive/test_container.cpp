#include "archive/QDStreamCol.h"
#include "SampleData.h"

#include <unistd.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <sys/stat.h>

using namespace tessum;
using testdata::Bytes;

namespace {

TMemoryStream Of(const std::string& S) { return TMemoryStream(Bytes(S.begin(), S.end())); }

std::string Content(const TQDStreams& Q, const std::string& Name) {
    TMemoryStream m;
    Q.GetStream(Name, m);
    return std::string(m.Bytes().begin(), m.Bytes().end());
}

Bytes Saved(const TQDStreams& Q) {
    TMemoryStream m;
    Q.SaveToStream(m);
    return m.Bytes();
}

// Payload bytes built by hand: signature, count, then raw entry bytes.
Bytes Payload(std::int32_t Count, const Bytes& Entries) {
    Bytes b = {1, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(Count) >> (8 * i)));
    b.insert(b.end(), Entries.begin(), Entries.end());
    return b;
}

Bytes Plain(const Bytes& Payload) {
    Bytes b = {' ', ' '};
    b.insert(b.end(), Payload.begin(), Payload.end());
    return b;
}

void Load(TQDStreams& Q, const Bytes& File) {
    TMemoryStream m(File);
    Q.LoadFromStream(m);
}

const std::string WeakKey = "weak50582";

}  // namespace

TEST(Container, EmptyContainerIsMarkersAndTwelveBytePayload) {
    TQDStreams q;
    EXPECT_TRUE(q.Compressed);
    EXPECT_FALSE(q.Encrypted);
    q.Compressed = false;
    EXPECT_EQ(Saved(q), Plain(Payload(0, {})));

    q.Compressed = true;
    const Bytes packed = Saved(q);
    TMemoryStream payload(Payload(0, {}));
    TMemoryStream body;
    CompressStream(payload, body);
    Bytes expect = {'&', ' '};
    expect.insert(expect.end(), body.Bytes().begin(), body.Bytes().end());
    EXPECT_EQ(packed, expect);
    TQDStreams back;
    Load(back, packed);
    EXPECT_EQ(back.Count(), 0);
    EXPECT_TRUE(back.Compressed);
}

TEST(Container, EntriesAreWrittenSortedCaseInsensitively) {
    TQDStreams q;
    q.Compressed = false;
    auto b = Of("xy");
    auto empty = Of("");
    auto c = Of("C");
    q.AddStream("b", b);
    q.AddStream("c.bmp", c);
    q.AddStream("A", empty);
    const Bytes expect = Plain(Payload(3, {1, 0, 'A', 0, 0, 0, 0,                     //
                                           1, 0, 'b', 2, 0, 0, 0, 'x', 'y',           //
                                           5, 0, 'c', '.', 'b', 'm', 'p', 1, 0, 0, 0, 'C'}));
    EXPECT_EQ(Saved(q), expect);
    ASSERT_EQ(q.Count(), 3);
    EXPECT_EQ(q.Names(0), "A");
    EXPECT_EQ(q.Names(2), "c.bmp");
}

TEST(Container, RoundTripsInEveryLayerCombination) {
    for (const bool compressed : {false, true}) {
        for (const bool encrypted : {false, true}) {
            TQDStreams q;
            q.Compressed = compressed;
            q.Encrypted = encrypted;
            q.Key = "Tessum-Schluessel";
            auto his = TMemoryStream(testdata::Mixed(30000));
            auto none = Of("");
            q.AddStream("his", his);
            q.AddStream("leer", none);
            const Bytes file = Saved(q);
            EXPECT_EQ(file[0], compressed ? '&' : ' ');
            EXPECT_EQ(file[1], encrypted ? '*' : ' ');

            TQDStreams back;
            back.Compressed = !compressed;
            back.Encrypted = !encrypted;
            back.Key = q.Key;
            Load(back, file);
            EXPECT_EQ(back.Compressed, compressed);
            EXPECT_EQ(back.Encrypted, encrypted);
            ASSERT_EQ(back.Count(), 2);
            EXPECT_EQ(back.Streams(back.IndexOf("his")).Bytes(), his.Bytes());
            EXPECT_EQ(back.Streams(back.IndexOf("LEER")).Size(), 0);
        }
    }
}

TEST(Container, AddStreamCopiesWholeSourceAndKeepsTheFirstOfANameInAnyCase) {
    TQDStreams q;
    auto first = Of("first");
    first.SetPosition(3);
    q.AddStream("Hs", first);
    EXPECT_EQ(first.Position(), first.Size());
    auto second = Of("second");
    q.AddStream("hS", second);
    q.AddStream("H\xC4", first);  // upper-case A umlaut
    q.AddStream("h\xE4", second);
    q.AddStream("", first);
    q.AddStream("null", nullptr);
    EXPECT_EQ(q.Count(), 2);
    EXPECT_EQ(Content(q, "HS"), "first");
    EXPECT_EQ(Content(q, "h\xE4"), "first");
    EXPECT_THROW(q.AddStream(std::string(65536, 'n'), first), std::length_error);
}

TEST(Container, GetStreamAppendsAtPositionAndAlwaysRewinds) {
    TQDStreams q;
    auto data = Of("abc");
    q.AddStream("x", data);
    auto dest = Of("0123456");
    dest.SetPosition(5);
    EXPECT_TRUE(q.GetStream("X", dest));
    EXPECT_EQ(std::string(dest.Bytes().begin(), dest.Bytes().end()), "01234abc");
    EXPECT_EQ(dest.Position(), 0);
    dest.SetPosition(2);
    EXPECT_FALSE(q.GetStream("unknown", dest));
    EXPECT_EQ(dest.Size(), 8);
    EXPECT_EQ(dest.Position(), 0);
    dest.SetPosition(4);
    q.GetStream("", dest);
    EXPECT_EQ(dest.Position(), 4);
}

TEST(Container, EncryptionNeedsAKeyAndWeakKeysStillRoundTrip) {
    TQDStreams q;
    q.Encrypted = true;
    auto data = Of("history");
    q.AddStream("his", data);
    EXPECT_EQ(Saved(q)[1], ' ');

    q.Key = WeakKey;
    const Bytes weak = Saved(q);
    EXPECT_EQ(weak[1], '*');
    q.Encrypted = false;
    Bytes clear = Saved(q);
    EXPECT_EQ(Bytes(weak.begin() + 2, weak.end()), Bytes(clear.begin() + 2, clear.end()));
    TQDStreams back;
    back.Key = WeakKey;
    Load(back, weak);
    EXPECT_TRUE(back.Encrypted);
    EXPECT_EQ(Content(back, "his"), "history");

    q.Encrypted = true;
    q.Key = std::string(256, 'k');
    TMemoryStream out;
    EXPECT_THROW(q.SaveToStream(out), std::invalid_argument);
    EXPECT_EQ(out.Size(), 0);
}

TEST(Container, KeyFromTheHandlerIsKeptAfterLoading) {
    TQDStreams q;
    q.Encrypted = true;
    q.Key = "secret";
    auto data = Of("scores");
    q.AddStream("hs", data);
    const Bytes file = Saved(q);

    TQDStreams back;
    back.Key = "wrong";
    int asked = 0;
    back.OnAskForKey = [&](TQDStreams& Sender) {
        EXPECT_EQ(&Sender, &back);
        ++asked;
        return std::string("secret");
    };
    Load(back, file);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(back.Key, "secret");
    EXPECT_EQ(Content(back, "hs"), "scores");

    // Files without encryption never ask.
    q.Encrypted = false;
    Load(back, Saved(q));
    EXPECT_EQ(asked, 1);
}

TEST(Container, CorruptFilesKeepThePreviousState) {
    TQDStreams q;
    q.Encrypted = true;
    q.Key = "right";
    auto data = Of("payload");
    q.AddStream("e", data);
    const Bytes file = Saved(q);

    TQDStreams victim;
    auto old = Of("old");
    victim.AddStream("old", old);
    victim.Key = "wrong";
    victim.Compressed = false;
    int corrupt = 0;
    victim.OnCorrupt = [&](TQDStreams& Sender) {
        EXPECT_EQ(&Sender, &victim);
        ++corrupt;
    };
    auto expectCorrupt = [&](const Bytes& Bad) {
        const int before = corrupt;
        try {
            Load(victim, Bad);
            ADD_FAILURE() << "loaded";
        } catch (const ECorruptFile& e) {
            EXPECT_STREQ(e.what(), "File is corrupt.");
        }
        EXPECT_EQ(corrupt, before + 1);
        EXPECT_EQ(victim.Key, "wrong");
        EXPECT_FALSE(victim.Compressed);
        EXPECT_FALSE(victim.Encrypted);
        EXPECT_EQ(Content(victim, "old"), "old");
    };
    expectCorrupt(file);  // wrong key
    victim.OnAskForKey = [](TQDStreams&) { return std::string(); };
    expectCorrupt(file);  // empty key from the handler
    victim.OnAskForKey = nullptr;
    expectCorrupt({});
    expectCorrupt({'&'});
    expectCorrupt({' ', ' ', 1, 2, 3, 4, 5, 6, 7, 9, 0, 0, 0, 0});
    // An unknown compression marker means "stored", so a packed body fails on
    // its signature; the same for an encrypted body under an unknown marker.
    Bytes marker = file;
    marker[1] = '#';
    expectCorrupt(marker);
    q.Encrypted = false;
    marker = Saved(q);
    marker[0] = 'X';
    expectCorrupt(marker);
    // ...while a stored payload under an unknown marker loads.
    Load(victim, Plain(Payload(0, {})));
    victim.Key = "wrong";
    victim.Compressed = false;
    EXPECT_EQ(victim.Count(), 0);
}

TEST(Container, DamagedEntryTableIsAReadErrorAfterTheGoodEntries) {
    TQDStreams q;
    const Bytes good = {1, 0, 'a', 2, 0, 0, 0, 'h', 'i'};
    auto withSecond = [&](const Bytes& Second) {
        Bytes e = good;
        e.insert(e.end(), Second.begin(), Second.end());
        return Plain(Payload(2, e));
    };
    EXPECT_THROW(Load(q, withSecond({1, 0, 'b', 5, 0, 0, 0, 'x'})), EReadError);  // data cut short
    ASSERT_EQ(q.Count(), 1);
    EXPECT_EQ(Content(q, "a"), "hi");
    EXPECT_TRUE(q.Compressed);  // properties are only taken over on success
    EXPECT_THROW(Load(q, withSecond({1, 0, 'b', 0xFF, 0xFF, 0xFF, 0xFF})), EReadError);  // negative
    EXPECT_THROW(Load(q, withSecond({1, 0, 'b', 0xFF, 0xFF, 0xFF, 0x7F})), EReadError);  // 2 GiB
    EXPECT_THROW(Load(q, withSecond({9, 0, 'b'})), EReadError);                          // name cut short
    EXPECT_THROW(Load(q, Plain(Payload(0x7FFFFFFF, good))), ECorruptFile);  // beyond any real table
    Load(q, Plain(Payload(-5, good)));
    EXPECT_EQ(q.Count(), 0);
    // A later duplicate in the file is dropped, and a load replaces everything.
    Bytes dup = good;
    dup.insert(dup.end(), {1, 0, 'A', 1, 0, 0, 0, '!'});
    auto extra = Of("x");
    q.AddStream("extra", extra);
    Load(q, Plain(Payload(2, dup)));
    ASSERT_EQ(q.Count(), 1);
    EXPECT_EQ(Content(q, "a"), "hi");
}

TEST(Container, TruncatedAndFlippedFilesNeverLoadSilentlyShort) {
    for (const bool encrypted : {false, true}) {
        TQDStreams q;
        q.Encrypted = encrypted;
        q.Key = "k3y";
        auto big = TMemoryStream(testdata::Mixed(20000));
        q.AddStream("big", big);
        const Bytes file = Saved(q);
        for (std::size_t cut = 0; cut < file.size(); cut += 1 + cut / 5) {
            TQDStreams back;
            back.Key = "k3y";
            bool failed = false;
            try {
                Load(back, Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)));
            } catch (const ECorruptFile&) {
                failed = true;
            } catch (const EReadError&) {
                failed = true;
            }
            EXPECT_TRUE(failed) << "cut at " << cut;
        }
        std::mt19937 gen(3);
        for (int round = 0; round < 100; ++round) {
            Bytes bad = file;
            bad[2 + gen() % (bad.size() - 2)] ^= static_cast<std::uint8_t>(1u << (gen() % 8));
            TQDStreams back;
            back.Key = "k3y";
            try {
                Load(back, bad);
            } catch (const ECorruptFile&) {
            } catch (const EReadError&) {
            }
        }
    }
}

TEST(Container, SavesAtTheDestinationPositionAndLoadsFiles) {
    TQDStreams q;
    auto data = Of("bytes");
    q.AddStream("st1.bmp", data);
    const auto dir = std::filesystem::temp_directory_path() / ("tessum_container_test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string name = (dir / "game.gfx").string();
    WriteFileSafely(name, [&](TStream& out) {
        out.Write("PREFIX", 6);
        q.SaveToStream(out);
    });
    TMemoryStream raw;
    raw.LoadFromFile(name);
    EXPECT_EQ(std::string(raw.Bytes().begin(), raw.Bytes().begin() + 6), "PREFIX");
    EXPECT_EQ(Bytes(raw.Bytes().begin() + 6, raw.Bytes().end()), Saved(q));
    WriteFileSafely(name, [&](TStream& out) { q.SaveToStream(out); });
    TQDStreams back;
    back.LoadFromFile(name);
    EXPECT_EQ(Content(back, "ST1.BMP"), "bytes");
    EXPECT_THROW(back.LoadFromFile((dir / "missing.gfx").string()), EFileError);
    std::filesystem::remove_all(dir);
}

namespace {
// Claims a size no container of ours reaches; reads deliver zeros.
class THugeStream final : public TStream {
public:
    std::size_t Read(void* Buffer, std::size_t Count) override {
        std::memset(Buffer, 0, Count);
        pos_ += static_cast<std::int64_t>(Count);
        return Count;
    }
    void Write(const void*, std::size_t) override { throw EStreamError("read only"); }
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override {
        pos_ = (Origin == TSeekOrigin::Beginning ? 0 : Origin == TSeekOrigin::Current ? pos_ : Size()) + Offset;
        return pos_;
    }
    std::int64_t Size() const override { return std::int64_t{1} << 40; }
    void SetSize(std::int64_t) override {}

private:
    std::int64_t pos_ = 0;
};
}  // namespace

TEST(Container, OversizedSourceIsRefusedBeforeReadingIt) {
    THugeStream huge;
    TQDStreams q;
    EXPECT_THROW(q.LoadFromStream(huge), ECorruptFile);
    EXPECT_LE(huge.Position(), 2);
}

namespace {
// Entry table of Count one-byte entries, named in descending order.
Bytes ManyEntries(int Count) {
    Bytes e;
    for (int i = Count - 1; i >= 0; --i) {
        char name[16];
        const int n = std::snprintf(name, sizeof name, "e%05d", i);
        e.push_back(static_cast<std::uint8_t>(n));
        e.push_back(0);
        e.insert(e.end(), name, name + n);
        e.insert(e.end(), {1, 0, 0, 0, static_cast<std::uint8_t>(i)});
    }
    return e;
}
}  // namespace

TEST(Container, EntryCountIsBoundedAndTablesComeOutSortedKeepingTheFirstName) {
    TQDStreams q;
    Load(q, Plain(Payload(MaxEntryCount, ManyEntries(MaxEntryCount))));
    ASSERT_EQ(q.Count(), MaxEntryCount);
    EXPECT_EQ(q.Names(0), "e00000");
    EXPECT_EQ(q.Names(MaxEntryCount - 1), "e04095");
    EXPECT_EQ(q.Streams(5).Bytes().at(0), 5);
    for (int i = 1; i < q.Count(); ++i) ASSERT_LT(CompareEntryNames(q.Names(i - 1), q.Names(i)), 0);

    // One more than the bound is refused before any entry is read, and the
    // entries of the last good load stay.
    int corrupt = 0;
    q.OnCorrupt = [&](TQDStreams&) { ++corrupt; };
    EXPECT_THROW(Load(q, Plain(Payload(MaxEntryCount + 1, ManyEntries(MaxEntryCount + 1)))), ECorruptFile);
    EXPECT_EQ(corrupt, 1);
    EXPECT_EQ(q.Count(), MaxEntryCount);
    // A claim of 100,000 entries behind a short table is the same damage.
    EXPECT_THROW(Load(q, Plain(Payload(100000, ManyEntries(3)))), ECorruptFile);

    // Duplicates in any letter case keep the first one in file order, also
    // when the table breaks off afterwards.
    const Bytes dup = {1, 0, 'b', 1, 0, 0, 0, '1', 1, 0, 'a', 1, 0, 0, 0, '2', 1, 0, 'B', 1, 0, 0, 0, '3'};
    Load(q, Plain(Payload(3, dup)));
    ASSERT_EQ(q.Count(), 2);
    EXPECT_EQ(Content(q, "a"), "2");
    EXPECT_EQ(Content(q, "b"), "1");
    Bytes cut = dup;
    cut.insert(cut.end(), {1, 0, 'c', 9});
    EXPECT_THROW(Load(q, Plain(Payload(4, cut))), EReadError);
    ASSERT_EQ(q.Count(), 2);
    EXPECT_EQ(q.Names(0), "a");
    EXPECT_EQ(Content(q, "B"), "1");
}

TEST(Container, SizeLimitRefusesLargerPayloadsInEveryLayer) {
    TQDStreams q;
    q.Encrypted = true;
    q.Key = "k3y";
    TMemoryStream zeros(Bytes(5 * 1024 * 1024, 0));
    q.AddStream("big", zeros);
    const Bytes packed = Saved(q);
    ASSERT_LT(packed.size(), 64u * 1024);  // a small file that expands

    TQDStreams back;
    back.Key = "k3y";
    back.SizeLimit = 4 * 1024 * 1024;
    auto old = Of("old");
    back.AddStream("old", old);
    EXPECT_THROW(Load(back, packed), ECorruptFile);
    EXPECT_EQ(Content(back, "old"), "old");
    back.SizeLimit = 6 * 1024 * 1024;
    Load(back, packed);
    EXPECT_EQ(back.Streams(0).Size(), 5 * 1024 * 1024);

    // Stored: the file itself is beyond what the payload may be.
    q.Compressed = false;
    q.Encrypted = false;
    const Bytes stored = Saved(q);
    back.SizeLimit = 4 * 1024 * 1024;
    EXPECT_THROW(Load(back, stored), ECorruptFile);
    back.SizeLimit = 6 * 1024 * 1024;
    Load(back, stored);
    EXPECT_EQ(back.Count(), 1);
}

TEST(Container, LoadFromFileRefusesWhatIsNoRegularFile) {
    const auto dir = std::filesystem::temp_directory_path() / ("tessum_container_special-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "sub");
    TQDStreams q;
    try {
        q.LoadFromFile((dir / "sub").string());
        ADD_FAILURE() << "a directory loaded";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("Is a directory"), std::string::npos) << e.what();
    }
    // Opening a FIFO for reading would wait for a writer forever.
    const std::string fifo = (dir / "pipe").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        q.LoadFromFile(fifo);
        ADD_FAILURE() << "a FIFO loaded";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
    }
    EXPECT_THROW(q.LoadFromFile("/dev/zero"), EFileError);
    std::filesystem::remove_all(dir);
}
