#include "Sounds.h"

#include <cmath>
#include <initializer_list>

namespace tessum::soundgen {

namespace {

// Stone sounds: short, stereo, at the rate the board sounds use.
TWave FinishEffect(TSignal& S, double Room, double Wet, double Fade, TRandom& R) {
    HighPass(S, 60);
    AddReverb(S, Room, 0.45, Wet, 0.8);
    FadeOut(S, Fade);
    const auto frames = static_cast<std::size_t>(std::lround(S.Seconds() * 22050));
    return Render(S, 22050, 2, 16, frames, 0.7, R);
}

// Tunes: mono, 8 bits at 11025 Hz, so they are played loud to keep the steps fine.
TWave FinishTune(TSignal& S, double Room, double Wet, double Fade, TRandom& R) {
    HighPass(S, 70);
    AddReverb(S, Room, 0.4, Wet, 1.0);
    LowPass(S, 4600);
    FadeOut(S, Fade);
    const auto frames = static_cast<std::size_t>(std::lround(S.Seconds() * 11025));
    return Render(S, 11025, 1, 8, frames, 0.92, R);
}

// A stone dropped into an empty wooden pit, bouncing twice before it rests.
TWave OneStoneIntoPit() {
    TRandom r(101);
    TSignal s(0.32);
    const struct { double t, amp; } hits[] = {{0.004, 1.0}, {0.072, 0.36}, {0.118, 0.15}, {0.148, 0.06}};
    for (const auto& h : hits) {
        AddWoodKnock(s, r, h.t, 540 * r.Range(0.99, 1.01), h.amp, 0.0);
        AddStoneClick(s, r, h.t, 3000 * r.Range(0.95, 1.05), h.amp * 0.3, 0.0);
    }
    return FinishEffect(s, 0.45, 0.18, 0.04, r);
}

// A stone clacking onto the stones already lying in a pit.
TWave StoneOntoStones() {
    TRandom r(202);
    TSignal s(0.22);
    AddStoneClick(s, r, 0.004, 2600, 1.0, -0.1);
    AddStoneClick(s, r, 0.006, 3400, 0.5, 0.15);
    AddWoodKnock(s, r, 0.005, 500, 0.3, 0.0, 2.5);
    AddStoneClick(s, r, 0.032, 2900, 0.35, 0.2);
    AddStoneClick(s, r, 0.055, 3700, 0.15, -0.2);
    AddStoneClick(s, r, 0.085, 3200, 0.06, 0.0);
    return FinishEffect(s, 0.4, 0.15, 0.03, r);
}

// Fingers scooping the stones out of a pit: a touch of the wood, a scrape and
// the stones knocking together as they are gathered.
TWave StonesOutOfPit() {
    TRandom r(303);
    TSignal s(0.49);
    AddWoodKnock(s, r, 0.003, 430, 0.35, 0.0, 1.8);
    AddNoiseBurst(s, r, 0.01, 1800, 0.8, 0.12, 0.06, 0.08, 0.0);
    double t = 0.02;
    for (int k = 0; k < 9; ++k) {
        AddStoneClick(s, r, t, r.Range(2200, 3800), 0.9 * std::pow(0.85, k) * r.Range(0.6, 1.0),
                      r.Range(-0.35, 0.35), std::min(0.6, 0.04 * k + r.Range(0, 0.15)));
        t += r.Range(0.015, 0.05);
    }
    return FinishEffect(s, 0.45, 0.16, 0.05, r);
}

// Two or three stones in a closing hand: muffled clicks.
TWave FewStonesInHand() {
    TRandom r(404);
    TSignal s(0.19);
    AddStoneClick(s, r, 0.004, 2400, 1.0, -0.05, 0.55);
    AddStoneClick(s, r, 0.038, 2700, 0.6, 0.1, 0.6);
    AddStoneClick(s, r, 0.070, 2200, 0.35, 0.0, 0.65);
    AddMode(s, 0.004, 180, 0.15, 0.02, 0.002, 0.0);
    return FinishEffect(s, 0.35, 0.1, 0.03, r);
}

// A handful of stones shaken twice in the hand.
TWave ManyStonesInHand() {
    TRandom r(505);
    TSignal s(0.83);
    const struct { double centre, spread; int count; } shakes[] = {
        {0.12, 0.09, 18}, {0.44, 0.11, 16}, {0.66, 0.04, 5}};
    for (const auto& sh : shakes) {
        AddNoiseBurst(s, r, sh.centre - sh.spread, 900, 0.7, 0.05, sh.spread, sh.spread * 0.8, 0.0);
        for (int k = 0; k < sh.count; ++k) {
            const double off = (r.Uniform() + r.Uniform() + r.Uniform() - 1.5) / 1.5;  // bell-shaped
            const double t = sh.centre + off * sh.spread;
            const double amp = (1 - 0.6 * std::fabs(off)) * r.Range(0.4, 1.0) * (sh.count < 10 ? 0.5 : 1.0);
            AddStoneClick(s, r, std::max(0.002, t), r.Range(1800, 3600), amp, r.Range(-0.4, 0.4),
                          r.Range(0.4, 0.7));
        }
    }
    return FinishEffect(s, 0.4, 0.12, 0.05, r);
}

// A few stones dropping into the big end pit, answered by a two-note chime.
TWave FewStonesIntoStore() {
    TRandom r(606);
    TSignal s(0.92);
    const struct { double t, amp; } hits[] = {{0.004, 1.0}, {0.045, 0.7}, {0.082, 0.45}};
    for (const auto& h : hits) {
        AddWoodKnock(s, r, h.t, 380 * r.Range(0.98, 1.02), h.amp, r.Range(-0.15, 0.15));
        AddStoneClick(s, r, h.t, r.Range(2600, 3100), h.amp * 0.3, 0.0);
    }
    AddBell(s, 0.02, 88, 0.22, -0.2, 0.8);   // E6
    AddBell(s, 0.10, 91, 0.17, 0.25, 0.7);   // G6
    return FinishEffect(s, 0.6, 0.22, 0.12, r);
}

// Many stones pouring into the end pit with a rising chime; also greets a new game.
TWave ManyStonesIntoStore() {
    TRandom r(707);
    TSignal s(0.55);
    double t = 0.004;
    for (int k = 0; k < 12; ++k) {
        AddWoodKnock(s, r, t, 380 * r.Range(0.97, 1.03), 0.7 * std::pow(0.88, k), r.Range(-0.3, 0.3),
                     1 + 0.15 * k);
        AddStoneClick(s, r, t + 0.001, r.Range(2300, 3600), 0.5 * r.Range(0.6, 1.0) * std::pow(0.9, k),
                      r.Range(-0.3, 0.3));
        t += 0.018 * r.Range(0.7, 1.3);
    }
    const double chime[] = {84, 88, 91, 96};   // C6 E6 G6 C7
    for (int k = 0; k < 4; ++k) AddBell(s, 0.03 + 0.06 * k, chime[k], 0.17, -0.3 + 0.2 * k, 0.45);
    return FinishEffect(s, 0.6, 0.2, 0.1, r);
}

struct TNote {
    double Beat, Note;
};
struct TChord {
    double Beat, Beats;
    std::initializer_list<double> Notes;
};

class TTune {
public:
    TTune(TSignal& S, double Tempo, double Offset) : s_(S), spb_(60.0 / Tempo), offset_(Offset) {}
    double At(double Beat) const { return offset_ + Beat * spb_; }
    double Span(double Beats) const { return Beats * spb_; }
    TSignal& Signal() { return s_; }

    void Marimba(TRandom& R, std::initializer_list<TNote> Notes, double Amp, double Pan) {
        for (const auto& n : Notes) AddMarimba(s_, R, At(n.Beat), n.Note, Amp * R.Range(0.9, 1.05), Pan);
    }
    void Pads(std::initializer_list<TChord> Chords, double Amp) {
        for (const auto& c : Chords) {
            double pan = -0.3;
            for (double n : c.Notes) {
                AddPad(s_, At(c.Beat), Span(c.Beats), n, Amp, pan);
                pan += 0.3;
            }
        }
    }
    void Strum(TRandom& R, double Beat, std::initializer_list<double> Notes, double Step, double Amp,
               double Decay) {
        double t = At(Beat), pan = -0.4;
        for (double n : Notes) {
            AddPluck(s_, R, t, n, Amp, pan, Decay, 0.55);
            t += Step;
            pan += 0.8 / double(Notes.size());
        }
    }

private:
    TSignal& s_;
    double spb_, offset_;
};

// The start-up tune: a calm, open marimba phrase over C - F - G - C.
TWave StartTune() {
    TRandom r(808);
    TSignal s(6.82);
    TTune tune(s, 120, 0.05);
    tune.Marimba(r,
                 {{0, 72}, {0.5, 76}, {1, 79}, {1.5, 76}, {2, 81}, {3, 79}, {4, 77}, {4.5, 76},
                  {5, 74}, {5.5, 76}, {6, 79}, {7, 74}, {8, 76}, {8.5, 79}, {9, 84}},
                 0.5, 0.1);
    tune.Pads({{0, 4, {60, 64, 67}}, {4, 2, {60, 65, 69}}, {6, 2, {59, 62, 67}}, {8, 4, {60, 64, 67}}},
              0.09);
    for (const TNote& b : {TNote{0, 48}, TNote{2, 43}, TNote{4, 41}, TNote{6, 43}})
        AddSoftBass(s, tune.At(b.Beat), tune.Span(1.8), b.Note, 0.3);
    AddSoftBass(s, tune.At(8), tune.Span(3.5), 48, 0.3);
    tune.Strum(r, 8, {60, 64, 67, 72}, tune.Span(0.25), 0.22, 2.2);
    AddBell(s, tune.At(9), 84, 0.15, 0.2, 1.6);
    return FinishTune(s, 0.7, 0.3, 0.5, r);
}

// "Won": a bouncing major tune with backbeat strums and a sparkling close.
TWave WonTune() {
    TRandom r(909);
    TSignal s(9.26);
    TTune tune(s, 132, 0.05);
    tune.Marimba(r,
                 {{0, 67},    {0.5, 72},  {1, 76},  {1.5, 79},  {2, 76},  {2.5, 79}, {3, 84},
                  {4, 81},    {4.5, 79},  {5, 77},  {5.5, 81},  {6, 79},  {6.5, 77}, {7, 76},
                  {7.5, 74},  {8, 76},    {8.5, 79}, {9, 84},   {9.5, 79}, {10, 81}, {10.5, 84},
                  {11, 88},   {12, 86},   {12.5, 84}, {13, 83}, {13.5, 86}, {14, 84}},
                 0.5, 0.05);
    struct TStep {
        double beat, beats, root;
        std::initializer_list<double> chord;
    };
    const TStep steps[] = {{0, 4, 48, {60, 64, 67}}, {4, 2, 41, {60, 65, 69}}, {6, 2, 43, {59, 62, 67}},
                           {8, 2, 48, {60, 64, 67}}, {10, 2, 45, {60, 64, 69}}, {12, 1, 41, {60, 65, 69}},
                           {13, 1, 43, {59, 62, 67}}};
    for (const auto& st : steps) {
        for (double n : st.chord) AddPad(s, tune.At(st.beat), tune.Span(st.beats), n, 0.07, (n - 64) / 8);
        for (double b = 0; b < st.beats; ++b) {
            const double beat = st.beat + b;
            AddSoftBass(s, tune.At(beat), tune.Span(0.45), st.root + (int(beat) % 2 ? 7 : 0), 0.28);
            if (int(beat) % 2) tune.Strum(r, beat, st.chord, 0.008, 0.11, 0.45);
        }
    }
    tune.Pads({{14, 4, {60, 64, 67, 72}}}, 0.07);
    AddSoftBass(s, tune.At(14), tune.Span(2), 48, 0.3);
    tune.Strum(r, 14, {60, 64, 67, 72, 76}, 0.03, 0.2, 2.5);
    const double sparkle[] = {84, 88, 91, 96};
    for (int k = 0; k < 4; ++k) AddBell(s, tune.At(14 + 0.25 * k), sparkle[k], 0.13, -0.3 + 0.2 * k, 1.4);
    return FinishTune(s, 0.65, 0.25, 0.6, r);
}

// "Lost": a slow, sighing flute line falling to the tonic of A minor.
TWave LostTune() {
    TRandom r(1010);
    TSignal s(7.41);
    TTune tune(s, 72, 0.05);
    const struct { double beat, beats, note; } lead[] = {
        {0, 1, 76}, {1, 0.5, 74}, {1.5, 0.5, 72}, {2, 1, 71}, {3, 0.5, 68}, {3.5, 0.5, 71}, {4, 2.6, 69}};
    for (const auto& n : lead) AddFlute(s, r, tune.At(n.beat), tune.Span(n.beats) * 0.95, n.note, 0.45, 0.0);
    tune.Pads({{0, 1, {57, 60, 64}}, {1, 1, {57, 60, 65}}, {2, 2, {56, 59, 64}}, {4, 3, {57, 60, 64}}}, 0.07);
    const struct { double beat, beats, note; } bass[] = {{0, 1, 45}, {1, 1, 41}, {2, 2, 40}, {4, 3, 45}};
    for (const auto& b : bass) AddSoftBass(s, tune.At(b.beat), tune.Span(b.beats) * 0.95, b.note, 0.3);
    const struct { double beat; std::initializer_list<double> notes; } arps[] = {
        {0, {57, 60, 64}}, {1, {53, 57, 60}}, {2, {52, 56, 59}}, {3, {52, 56, 59}}, {4, {45, 52, 57, 60}}};
    for (const auto& a : arps) tune.Strum(r, a.beat, a.notes, tune.Span(0.25), 0.15, 2.0);
    AddBell(s, tune.At(4), 81, 0.07, 0.2, 2.0);
    return FinishTune(s, 0.8, 0.35, 0.6, r);
}

// "Draw": the same little question asked twice over suspended chords; it
// neither resolves nor falls.
TWave DrawTune() {
    TRandom r(1111);
    TSignal s(3.98);
    TTune tune(s, 100, 0.05);
    tune.Marimba(r, {{0, 67}, {0.5, 72}, {1, 74}, {2, 67}, {2.5, 72}, {3, 74}}, 0.5, 0.0);
    tune.Pads({{0, 2, {60, 62, 67}}, {2, 3, {55, 60, 62}}}, 0.09);
    AddSoftBass(s, tune.At(0), tune.Span(1.8), 48, 0.28);
    AddSoftBass(s, tune.At(2), tune.Span(3), 43, 0.28);
    tune.Strum(r, 3, {55, 62, 67}, 0.03, 0.15, 1.8);
    AddBell(s, tune.At(3), 86, 0.1, 0.2, 1.2);
    return FinishTune(s, 0.65, 0.28, 0.3, r);
}

}  // namespace

std::vector<TSoundFile> MakeAllSounds() {
    std::vector<TSoundFile> all;
    all.push_back({"1steininmulde", OneStoneIntoPit()});
    all.push_back({"4steininmulde", StoneOntoStones()});
    all.push_back({"4steinausmulde", StonesOutOfPit()});
    all.push_back({"wenigsteineinderhand", FewStonesInHand()});
    all.push_back({"vielesteineinderhand", ManyStonesInHand()});
    all.push_back({"wenigsteineinstirnmulde", FewStonesIntoStore()});
    all.push_back({"vielesteineinstirnmulde", ManyStonesIntoStore()});
    all.push_back({"start", StartTune()});
    all.push_back({"gewonnen", WonTune()});
    all.push_back({"verloren", LostTune()});
    all.push_back({"unentschieden", DrawTune()});
    return all;
}

}  // namespace tessum::soundgen
