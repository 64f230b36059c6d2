#include "game/uSound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QtGlobal>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tessum {
namespace {

using ::testing::ElementsAre;

// Stands at the audio boundary and keeps a log of what would have been heard.
struct TSoundLog {
    std::vector<std::string> Events;
    QString Playing;          // the sound still sounding, empty when silent
    int Overlaps = 0;         // sounds started while another was still sounding
};

class TFakeOutput final : public ISoundOutput {
public:
    explicit TFakeOutput(TSoundLog& Log) : log_(Log) {}
    void Play(const QString& ResourcePath) override {
        if (!log_.Playing.isEmpty()) ++log_.Overlaps;
        log_.Playing = ResourcePath;
        log_.Events.push_back("play " + ResourcePath.toStdString());
    }
    void Stop() override {
        log_.Playing.clear();
        log_.Events.push_back("stop");
    }

private:
    TSoundLog& log_;
};

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override { SetSoundOutput(std::make_unique<TFakeOutput>(log_)); }
    void TearDown() override { SetSoundOutput(nullptr); }
    TSoundLog log_;
    TSoundLog other_;
};

const char* const AllSounds[] = {
    "1steininmulde", "4steininmulde", "4steinausmulde", "wenigsteineinderhand",
    "vielesteineinderhand", "wenigsteineinstirnmulde", "vielesteineinstirnmulde",
    "start", "gewonnen", "verloren", "unentschieden",
};

TEST_F(SoundTest, EverySoundOfTheGameIsFoundWhateverTheCase) {
    for (const char* name : AllSounds) {
        const QString path = SoundResourcePath(name);
        EXPECT_FALSE(path.isEmpty()) << name;
        EXPECT_EQ(SoundResourcePath(QString::fromLatin1(name).toUpper().toStdString()), path) << name;
        EXPECT_TRUE(QFile::exists(path)) << name;
    }
    EXPECT_EQ(SoundResourcePath(" Gewonnen.WAV "), SoundResourcePath("gewonnen"));
    EXPECT_TRUE(SoundResourcePath("gewonnenx").isEmpty());
    EXPECT_TRUE(SoundResourcePath("").isEmpty());
}

TEST_F(SoundTest, EachNewSoundCutsOffTheOneBefore) {
    PlaySoundResource("4steinausmulde");
    PlaySoundResource("VIELESTEINEINDERHAND");
    PlaySoundResource("1steininmulde");
    EXPECT_EQ(log_.Overlaps, 0);
    EXPECT_THAT(log_.Events,
                ElementsAre("stop", "play " + SoundResourcePath("4steinausmulde").toStdString(),
                            "stop", "play " + SoundResourcePath("vielesteineinderhand").toStdString(),
                            "stop", "play " + SoundResourcePath("1steininmulde").toStdString()));
    EXPECT_EQ(log_.Playing, SoundResourcePath("1steininmulde"));
}

TEST_F(SoundTest, StoppingSilencesTheLongSoundAtOnce) {
    PlaySoundResource("gewonnen");
    ASSERT_EQ(log_.Playing, SoundResourcePath("gewonnen"));
    StopSound();
    EXPECT_TRUE(log_.Playing.isEmpty());
    StopSound();  // nothing playing: still fine
    EXPECT_EQ(log_.Events.size(), 4u);
}

TEST_F(SoundTest, AnUnknownSoundStopsTheCurrentOneAndPlaysNothing) {
    PlaySoundResource("start");
    PlaySoundResource("keinsolcherklang");
    EXPECT_TRUE(log_.Playing.isEmpty());
    EXPECT_EQ(log_.Events.back(), "stop");
}

TEST_F(SoundTest, ReplacingTheOutputSilencesTheOldOne) {
    PlaySoundResource("verloren");
    SetSoundOutput(std::make_unique<TFakeOutput>(other_));
    EXPECT_TRUE(log_.Playing.isEmpty());
    PlaySoundResource("unentschieden");
    EXPECT_EQ(other_.Playing, SoundResourcePath("unentschieden"));
    EXPECT_EQ(log_.Events.size(), 3u);
}

// The header of a PCM WAVE file, read chunk by chunk as a player would.
struct TWaveInfo {
    int Channels = 0, Rate = 0, Bits = 0, Format = 0;
    double Seconds = 0;
};

bool ReadWave(const QByteArray& B, TWaveInfo& W) {
    auto u16 = [&](qsizetype at) { return std::uint16_t(std::uint8_t(B[at]) | std::uint8_t(B[at + 1]) << 8); };
    auto u32 = [&](qsizetype at) { return std::uint32_t(u16(at) | std::uint32_t(u16(at + 2)) << 16); };
    if (B.size() < 12 || !B.startsWith("RIFF") || B.mid(8, 4) != "WAVE") return false;
    if (u32(4) + 8 != std::uint32_t(B.size())) return false;
    qsizetype at = 12;
    bool fmt = false;
    while (at + 8 <= B.size()) {
        const QByteArray id = B.mid(at, 4);
        const std::uint32_t len = u32(at + 4);
        if (at + 8 + qsizetype(len) > B.size()) return false;
        if (id == "fmt " && len >= 16) {
            W.Format = u16(at + 8);
            W.Channels = u16(at + 10);
            W.Rate = int(u32(at + 12));
            W.Bits = u16(at + 22);
            fmt = u32(at + 16) == std::uint32_t(W.Rate * W.Channels * W.Bits / 8) &&
                  u16(at + 20) == W.Channels * W.Bits / 8;
        } else if (id == "data" && fmt) {
            W.Seconds = double(len) / (W.Rate * W.Channels * W.Bits / 8);
            return true;
        }
        at += 8 + qsizetype(len) + (len & 1);
    }
    return false;
}

TEST(SoundFiles, FormatsAndLengthsAreThoseThePlayerExpects) {
    struct Expected {
        const char* name;
        int rate, bits, channels;
        double seconds;
    } expected[] = {
        {"1steininmulde", 22050, 16, 2, 0.32},          {"4steininmulde", 22050, 16, 2, 0.22},
        {"4steinausmulde", 22050, 16, 2, 0.49},         {"wenigsteineinderhand", 22050, 16, 2, 0.19},
        {"vielesteineinderhand", 22050, 16, 2, 0.83},   {"wenigsteineinstirnmulde", 22050, 16, 2, 0.92},
        {"vielesteineinstirnmulde", 22050, 16, 2, 0.55}, {"start", 11025, 8, 1, 6.82},
        {"gewonnen", 11025, 8, 1, 9.26},                {"verloren", 11025, 8, 1, 7.41},
        {"unentschieden", 11025, 8, 1, 3.98},
    };
    for (const auto& e : expected) {
        QFile f(SoundResourcePath(e.name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << e.name;
        TWaveInfo w;
        ASSERT_TRUE(ReadWave(f.readAll(), w)) << e.name;
        EXPECT_EQ(w.Format, 1) << e.name;  // uncompressed PCM
        EXPECT_EQ(w.Rate, e.rate) << e.name;
        EXPECT_EQ(w.Bits, e.bits) << e.name;
        EXPECT_EQ(w.Channels, e.channels) << e.name;
        EXPECT_NEAR(w.Seconds, e.seconds, 0.01) << e.name;
    }
}

// Without a sound device (as on the test machines) playing must stay silent:
// no exception, no hang and not a single warning on the console.
QStringList* gMessages = nullptr;
void CollectMessage(QtMsgType, const QMessageLogContext&, const QString& Text) {
    if (gMessages) gMessages->append(Text);
}

TEST(DeviceSound, PlaysOrStaysSilentWithoutComplaint) {
    int argc = 1;
    char name[] = "test_game";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QStringList messages;
    gMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(CollectMessage);
    SetSoundOutput(nullptr);
    PlaySoundResource("start");
    PlaySoundResource("1steininmulde");
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    StopSound();
    PlaySoundResource("gewonnen");
    StopSound();
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    gMessages = nullptr;
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

}  // namespace
}  // namespace tessum
