// A small synthesis kit for the game's sound effects: struck wood and stone
// (sums of decaying modes plus a burst of contact noise), bars and bells for the
// chimes and tunes, plucked strings, soft pads and a flute-like lead, a room
// reverb, and the conversion to the PCM formats the game ships.
//
// Everything is rendered at 44100 Hz and brought down to the shipping rate by an
// integer factor through a low-pass filter, so no partial folds back as an alias.
// The random source is our own, so the same build always yields the same files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessum::soundgen {

inline constexpr int RenderRate = 44100;

// Deterministic noise and jitter (xorshift64*).
class TRandom {
public:
    explicit TRandom(std::uint64_t Seed) : state_(Seed ? Seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t Next();
    double Uniform();                          // [0, 1)
    double Range(double Lo, double Hi) { return Lo + (Hi - Lo) * Uniform(); }
    double Bipolar() { return 2.0 * Uniform() - 1.0; }

private:
    std::uint64_t state_;
};

// Stereo float signal at RenderRate.
class TSignal {
public:
    explicit TSignal(double Seconds);
    std::size_t Frames() const { return left_.size(); }
    double Seconds() const { return double(Frames()) / RenderRate; }

    // Adds one sample at frame I; Pan -1 (left) .. +1 (right), constant power.
    void Add(std::size_t I, double Value, double Pan);
    void Mix(const TSignal& Other, double Gain);
    void Scale(double Gain);
    double Peak() const;

    std::vector<float>& Left() { return left_; }
    std::vector<float>& Right() { return right_; }
    const std::vector<float>& Left() const { return left_; }
    const std::vector<float>& Right() const { return right_; }

private:
    std::vector<float> left_, right_;
    double pan_ = 0, gainL_ = 1, gainR_ = 1;
};

// One decaying sinusoid: a mode of a struck body. Tau is the 1/e decay time,
// Attack a raised-cosine onset that keeps the strike from clicking.
void AddMode(TSignal& S, double Start, double Freq, double Amp, double Tau, double Attack,
             double Pan, double Phase = 0.0);

// A burst of band-passed noise: the contact of two hard bodies or a scrape.
void AddNoiseBurst(TSignal& S, TRandom& R, double Start, double Center, double Q, double Amp,
                   double Attack, double Tau, double Pan);

// Struck bodies. Freq is the lowest mode; Damping above 1 shortens the ring
// (a pit full of stones rings less than an empty one), Muffle 0..1 darkens and
// shortens a click as a closed hand does.
void AddWoodKnock(TSignal& S, TRandom& R, double Start, double Freq, double Amp, double Pan,
                  double Damping = 1.0);
void AddStoneClick(TSignal& S, TRandom& R, double Start, double Freq, double Amp, double Pan,
                   double Muffle = 0.0);

// Tuned instruments; Note is a MIDI note number (60 = middle C).
double NoteFreq(double Note);
void AddMarimba(TSignal& S, TRandom& R, double Start, double Note, double Amp, double Pan);
void AddBell(TSignal& S, double Start, double Note, double Amp, double Pan, double Decay = 1.2);
void AddPluck(TSignal& S, TRandom& R, double Start, double Note, double Amp, double Pan,
              double Decay = 1.5, double Brightness = 0.5);
void AddPad(TSignal& S, double Start, double Length, double Note, double Amp, double Pan);
void AddFlute(TSignal& S, TRandom& R, double Start, double Length, double Note, double Amp,
              double Pan);
void AddSoftBass(TSignal& S, double Start, double Length, double Note, double Amp);

// Whole-signal filters.
void LowPass(TSignal& S, double Cutoff, double Q = 0.707);
void HighPass(TSignal& S, double Cutoff, double Q = 0.707);
// A Schroeder-Moorer room (parallel combs, serial all-passes) mixed in with Wet.
void AddReverb(TSignal& S, double RoomSize, double Damping, double Wet, double Width = 1.0);
// A raised-cosine fade over the last Seconds.
void FadeOut(TSignal& S, double Seconds);

// A finished sound in its shipping format.
struct TWave {
    int Rate = 0;
    int Channels = 0;
    int Bits = 0;
    std::vector<std::uint8_t> Data;   // PCM frames as stored in the file
};

// Brings S down to Rate (a divisor of RenderRate), to Channels and Bits, with
// exactly Frames frames, its peak at PeakLevel of full scale. 8-bit output is
// dithered where the signal sounds and left exactly silent where it does not.
TWave Render(const TSignal& S, int Rate, int Channels, int Bits, std::size_t Frames,
             double PeakLevel, TRandom& R);

std::vector<std::uint8_t> WaveFileBytes(const TWave& W);
void WriteWaveFile(const std::string& FileName, const TWave& W);

}  // namespace tessum::soundgen
