#include "Sounds.h"
#include "Synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <stdexcept>

namespace tessum::soundgen {
namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int SampleAt(const TWave& W, std::size_t Index) {
    if (W.Bits == 8) return int(W.Data[Index]) - 128;
    return int(std::int16_t(std::uint16_t(W.Data[2 * Index] | W.Data[2 * Index + 1] << 8)));
}

// The game ships the committed files; they must be what this generator makes,
// or a change to the synthesis was never carried into the game. One step of
// difference is allowed for floating-point differences between builds.
TEST(SoundGen, CommittedSoundsAreCurrent) {
    for (const auto& sound : MakeAllSounds()) {
        const auto want = WaveFileBytes(sound.Wave);
        const auto have = ReadBytes(std::string(TESSUM_SOUNDS_DIR) + "/" + sound.Name + ".wav");
        ASSERT_EQ(have.size(), want.size()) << sound.Name << ": run soundgen src/resources/sounds";
        ASSERT_TRUE(std::equal(want.begin(), want.begin() + 44, have.begin())) << sound.Name;
        TWave committed = sound.Wave;
        committed.Data.assign(have.begin() + 44, have.begin() + 44 + long(sound.Wave.Data.size()));
        const std::size_t samples = sound.Wave.Data.size() / (sound.Wave.Bits / 8);
        int worst = 0;
        for (std::size_t i = 0; i < samples; ++i)
            worst = std::max(worst, std::abs(SampleAt(committed, i) - SampleAt(sound.Wave, i)));
        EXPECT_LE(worst, 1) << sound.Name << ": run soundgen src/resources/sounds";
    }
}

TEST(SoundGen, RenderKeepsLengthPeakAndSilence) {
    TSignal s(0.5);
    AddMode(s, 0.01, 440, 1.0, 0.01, 0.001, 0.0);
    TRandom r(1);
    const TWave w8 = Render(s, 11025, 1, 8, 5513, 0.9, r);
    ASSERT_EQ(w8.Data.size(), 5513u);
    int peak = 0;
    for (std::size_t i = 0; i < w8.Data.size(); ++i) peak = std::max(peak, std::abs(SampleAt(w8, i)));
    EXPECT_NEAR(peak, 0.9 * 127, 2);
    // Once the ring has died the 8-bit file is exact silence, not dither hiss.
    for (std::size_t i = 4000; i < w8.Data.size(); ++i) ASSERT_EQ(w8.Data[i], 128) << i;

    const TWave w16 = Render(s, 22050, 2, 16, 100, 0.5, r);
    EXPECT_EQ(w16.Data.size(), 400u);
    EXPECT_THROW(Render(s, 16000, 1, 8, 10, 0.9, r), std::invalid_argument);
    EXPECT_THROW(Render(s, 11025, 3, 8, 10, 0.9, r), std::invalid_argument);
    EXPECT_THROW(Render(s, 11025, 1, 24, 10, 0.9, r), std::invalid_argument);
}

double Goertzel(const TWave& W, double Freq) {
    const double k = 2 * std::cos(2 * std::numbers::pi * Freq / W.Rate);
    double s1 = 0, s2 = 0;
    const std::size_t n = W.Data.size() / (W.Bits / 8);
    for (std::size_t i = 0; i < n; ++i) {
        const double s0 = SampleAt(W, i) + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - k * s1 * s2) / double(n);
}

TEST(SoundGen, LoweringTheRateLeavesNoAliases) {
    TSignal s(1.0);
    AddMode(s, 0, 440, 0.5, 100, 0.001, 0.0);
    AddMode(s, 0, 8000, 0.5, 100, 0.001, 0.0);   // would fold down to 3025 Hz at 11025
    TRandom r(2);
    const TWave w = Render(s, 11025, 1, 16, 11025, 0.9, r);
    EXPECT_LT(Goertzel(w, 3025), Goertzel(w, 440) / 300);
}

TEST(SoundGen, WaveFilesPadOddDataAndCountIt) {
    TWave w;
    w.Rate = 11025;
    w.Channels = 1;
    w.Bits = 8;
    w.Data = {128, 129, 130};
    const auto b = WaveFileBytes(w);
    ASSERT_EQ(b.size(), 44u + 4u);
    const auto u32 = [&](std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; };
    EXPECT_EQ(u32(4) + 8, b.size());
    EXPECT_EQ(u32(24), 11025u);
    EXPECT_EQ(u32(28), 11025u);      // bytes per second
    EXPECT_EQ(u32(40), 3u);          // the data size excludes the pad byte
}

}  // namespace
}  // namespace tessum::soundgen
