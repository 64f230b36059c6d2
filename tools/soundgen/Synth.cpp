#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

namespace tessum::soundgen {

namespace {

constexpr double Pi = std::numbers::pi;

std::size_t FrameAt(double Seconds) {
    return Seconds <= 0 ? 0 : static_cast<std::size_t>(std::lround(Seconds * RenderRate));
}

// RBJ biquad; direct form I, double precision so long low notes stay clean.
class TBiquad {
public:
    static TBiquad BandPass(double Freq, double Q) {
        const double w = 2 * Pi * Freq / RenderRate, a = std::sin(w) / (2 * Q), c = std::cos(w);
        return TBiquad(a, 0, -a, 1 + a, -2 * c, 1 - a);
    }
    static TBiquad LowPass(double Freq, double Q) {
        const double w = 2 * Pi * Freq / RenderRate, a = std::sin(w) / (2 * Q), c = std::cos(w);
        return TBiquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + a, -2 * c, 1 - a);
    }
    static TBiquad HighPass(double Freq, double Q) {
        const double w = 2 * Pi * Freq / RenderRate, a = std::sin(w) / (2 * Q), c = std::cos(w);
        return TBiquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + a, -2 * c, 1 - a);
    }
    double Step(double x) {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    TBiquad(double b0, double b1, double b2, double a0, double a1, double a2)
        : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

double RaisedCosine(double t, double Length) {
    if (Length <= 0 || t >= Length) return 1.0;
    if (t <= 0) return 0.0;
    return 0.5 - 0.5 * std::cos(Pi * t / Length);
}

// Partials above this would alias at render rate or be inaudible anyway.
constexpr double HighestPartial = 16000.0;

}  // namespace

std::uint64_t TRandom::Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
}

double TRandom::Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }

TSignal::TSignal(double Seconds) : left_(FrameAt(Seconds)), right_(FrameAt(Seconds)) {}

void TSignal::Add(std::size_t I, double Value, double Pan) {
    if (I >= left_.size()) return;
    // Callers add whole notes at one position; the gains are worked out once per pan.
    if (Pan != pan_) {
        const double angle = (std::clamp(Pan, -1.0, 1.0) + 1) * Pi / 4;
        pan_ = Pan;
        gainL_ = std::cos(angle) * std::numbers::sqrt2;
        gainR_ = std::sin(angle) * std::numbers::sqrt2;
    }
    left_[I] += static_cast<float>(Value * gainL_);
    right_[I] += static_cast<float>(Value * gainR_);
}

void TSignal::Mix(const TSignal& Other, double Gain) {
    const std::size_t n = std::min(Frames(), Other.Frames());
    for (std::size_t i = 0; i < n; ++i) {
        left_[i] += static_cast<float>(Other.left_[i] * Gain);
        right_[i] += static_cast<float>(Other.right_[i] * Gain);
    }
}

void TSignal::Scale(double Gain) {
    for (auto& v : left_) v = static_cast<float>(v * Gain);
    for (auto& v : right_) v = static_cast<float>(v * Gain);
}

double TSignal::Peak() const {
    double p = 0;
    for (float v : left_) p = std::max(p, double(std::fabs(v)));
    for (float v : right_) p = std::max(p, double(std::fabs(v)));
    return p;
}

void AddMode(TSignal& S, double Start, double Freq, double Amp, double Tau, double Attack,
             double Pan, double Phase) {
    if (Freq <= 0 || Freq >= HighestPartial || Amp == 0) return;
    const std::size_t n0 = FrameAt(Start);
    const std::size_t n = FrameAt(Attack + Tau * 9);
    const double w = 2 * Pi * Freq / RenderRate;
    // Recursive decay and oscillator: exact, and far cheaper than exp/sin per sample.
    const double decay = std::exp(-1.0 / (Tau * RenderRate));
    double env = 1.0, c = std::cos(Phase), s = std::sin(Phase);
    const double cw = std::cos(w), sw = std::sin(w);
    for (std::size_t i = 0; i < n && n0 + i < S.Frames(); ++i) {
        const double t = double(i) / RenderRate;
        S.Add(n0 + i, Amp * env * RaisedCosine(t, Attack) * s, Pan);
        const double c2 = c * cw - s * sw;
        s = s * cw + c * sw;
        c = c2;
        env *= decay;
    }
}

void AddNoiseBurst(TSignal& S, TRandom& R, double Start, double Center, double Q, double Amp,
                   double Attack, double Tau, double Pan) {
    const std::size_t n0 = FrameAt(Start);
    const std::size_t n = FrameAt(Attack + Tau * 8);
    TBiquad bp = TBiquad::BandPass(std::min(Center, 0.45 * RenderRate), Q);
    const double decay = std::exp(-1.0 / (Tau * RenderRate));
    double env = 1.0;
    for (std::size_t i = 0; i < n && n0 + i < S.Frames(); ++i) {
        const double t = double(i) / RenderRate;
        const double v = bp.Step(R.Bipolar());
        S.Add(n0 + i, Amp * env * RaisedCosine(t, Attack) * v, Pan);
        if (t >= Attack) env *= decay;
    }
}

void AddWoodKnock(TSignal& S, TRandom& R, double Start, double Freq, double Amp, double Pan,
                  double Damping) {
    // Modes of a hollowed piece of hard wood: inharmonic, the higher ones dying fast.
    static constexpr double ratio[] = {1.0, 1.71, 2.63, 3.87, 5.12};
    static constexpr double amp[] = {1.0, 0.55, 0.32, 0.16, 0.07};
    const double tau = 0.055 / Damping;
    for (std::size_t k = 0; k < std::size(ratio); ++k) {
        const double f = Freq * ratio[k] * (1 + 0.015 * R.Bipolar());
        AddMode(S, Start, f, Amp * amp[k] * R.Range(0.8, 1.1), tau / std::pow(ratio[k], 0.8), 0.0008,
                Pan, R.Range(0, 2 * Pi));
    }
    // The body's low thump and the brief contact noise make it wood, not a tone.
    AddMode(S, Start, Freq * 0.52, Amp * 0.35, 0.028 / Damping, 0.0015, Pan);
    AddNoiseBurst(S, R, Start, 2600, 1.1, Amp * 0.9, 0.0003, 0.0035, Pan);
}

void AddStoneClick(TSignal& S, TRandom& R, double Start, double Freq, double Amp, double Pan,
                   double Muffle) {
    static constexpr double ratio[] = {1.0, 1.53, 2.21, 2.96};
    static constexpr double amp[] = {1.0, 0.62, 0.38, 0.22};
    const double f0 = Freq * (1 - 0.35 * Muffle);
    const double tau = 0.011 * (1 - 0.45 * Muffle);
    for (std::size_t k = 0; k < std::size(ratio); ++k) {
        const double f = f0 * ratio[k] * (1 + 0.02 * R.Bipolar());
        const double a = Amp * amp[k] * std::pow(1 - 0.7 * Muffle, double(k)) * R.Range(0.7, 1.1);
        AddMode(S, Start, f, a, tau / std::pow(ratio[k], 0.6), 0.0004, Pan, R.Range(0, 2 * Pi));
    }
    AddNoiseBurst(S, R, Start, f0 * 1.3, 1.8, Amp * (1.4 - Muffle), 0.0002, 0.0018, Pan);
}

double NoteFreq(double Note) { return 440.0 * std::pow(2.0, (Note - 69) / 12.0); }

void AddMarimba(TSignal& S, TRandom& R, double Start, double Note, double Amp, double Pan) {
    const double f = NoteFreq(Note);
    const double tau = 0.6 * std::pow(440.0 / f, 0.45);
    // A tuned bar: its overtones are pulled to two and a bit octaves and beyond.
    AddMode(S, Start, f, Amp, tau, 0.002, Pan);
    AddMode(S, Start, f * 1.0018, Amp * 0.25, tau * 1.4, 0.004, Pan);   // resonator tube
    AddMode(S, Start, f * 3.99, Amp * 0.28, tau / 4.5, 0.0015, Pan);
    AddMode(S, Start, f * 9.85, Amp * 0.07, tau / 11, 0.001, Pan);
    AddNoiseBurst(S, R, Start, 1100, 0.9, Amp * 0.22, 0.0005, 0.004, Pan);
}

void AddBell(TSignal& S, double Start, double Note, double Amp, double Pan, double Decay) {
    const double f = NoteFreq(Note);
    static constexpr double ratio[] = {1.0, 2.76, 5.40, 8.93};
    static constexpr double amp[] = {1.0, 0.38, 0.14, 0.05};
    static constexpr double shorten[] = {1.0, 2.3, 4.6, 8.0};
    for (std::size_t k = 0; k < std::size(ratio); ++k)
        AddMode(S, Start, f * ratio[k], Amp * amp[k], Decay / shorten[k], 0.0015, Pan);
    // A slightly detuned twin lets the chime shimmer as it fades.
    AddMode(S, Start, f + 1.3, Amp * 0.3, Decay * 0.8, 0.003, -Pan);
}

void AddPluck(TSignal& S, TRandom& R, double Start, double Note, double Amp, double Pan,
              double Decay, double Brightness) {
    // Karplus-Strong string: a burst of noise circulating in a delay line that
    // averages neighbours, so highs die first as in a real string.
    const double f = NoteFreq(Note);
    const double delay = RenderRate / f - 0.5;
    const std::size_t n = FrameAt(Decay * 1.3);
    const std::size_t seed = static_cast<std::size_t>(std::ceil(delay)) + 2;
    if (n <= seed) return;
    std::vector<double> h(n);
    double lp = 0, mean = 0;
    for (std::size_t i = 0; i < seed; ++i) {
        lp += Brightness * (R.Bipolar() - lp);
        h[i] = lp;
        mean += lp;
    }
    mean /= double(seed);
    for (std::size_t i = 0; i < seed; ++i) h[i] -= mean;
    const double loss = std::pow(10.0, -3.0 / (Decay * RenderRate));
    auto at = [&](double pos) {
        const auto i = static_cast<std::size_t>(pos);
        const double frac = pos - double(i);
        return h[i] * (1 - frac) + h[i + 1] * frac;
    };
    for (std::size_t i = seed; i < n; ++i) {
        const double p = double(i) - delay;
        h[i] = loss * 0.5 * (at(p) + at(p - 1));
    }
    const std::size_t n0 = FrameAt(Start);
    const std::size_t fade = FrameAt(0.05);
    for (std::size_t i = 0; i < n; ++i) {
        const double tail = i + fade > n ? double(n - i) / double(fade) : 1.0;
        S.Add(n0 + i, Amp * h[i] * tail * RaisedCosine(double(i) / RenderRate, 0.0015), Pan);
    }
}

void AddPad(TSignal& S, double Start, double Length, double Note, double Amp, double Pan) {
    // Three slightly detuned soft saw voices: warm and slowly breathing.
    const double attack = 0.35, release = 0.6;
    const std::size_t n0 = FrameAt(Start), n = FrameAt(Length + release);
    const double f = NoteFreq(Note);
    for (double detune : {-0.004, 0.0, 0.0045}) {
        const double fv = f * (1 + detune);
        const int harmonics = std::min(12, int(6000.0 / fv));
        for (int k = 1; k <= harmonics; ++k) {
            const double a = Amp / (3 * std::pow(double(k), 1.6));
            const double w = 2 * Pi * fv * k / RenderRate;
            const double cw = std::cos(w), sw = std::sin(w);
            double c = 1, s = 0;
            for (std::size_t i = 0; i < n && n0 + i < S.Frames(); ++i) {
                const double t = double(i) / RenderRate;
                const double env = RaisedCosine(t, attack) *
                                   (t > Length ? 1 - RaisedCosine(t - Length, release) : 1.0);
                S.Add(n0 + i, a * env * s, Pan + detune * 60);
                const double c2 = c * cw - s * sw;
                s = s * cw + c * sw;
                c = c2;
            }
        }
    }
}

void AddFlute(TSignal& S, TRandom& R, double Start, double Length, double Note, double Amp,
              double Pan) {
    static constexpr double amp[] = {1.0, 0.38, 0.14, 0.05};
    const double f = NoteFreq(Note);
    const double attack = 0.07, release = 0.22;
    const std::size_t n0 = FrameAt(Start), n = FrameAt(Length + release);
    double phase = 0;
    for (std::size_t i = 0; i < n && n0 + i < S.Frames(); ++i) {
        const double t = double(i) / RenderRate;
        // Vibrato sets in after the note has settled, as a player's would.
        const double depth = 0.0035 * RaisedCosine(t - 0.25, 0.4);
        phase += 2 * Pi * f * (1 + depth * std::sin(2 * Pi * 5.1 * t)) / RenderRate;
        const double env = RaisedCosine(t, attack) *
                           (t > Length ? 1 - RaisedCosine(t - Length, release) : 1.0) *
                           (1 - 0.12 * std::min(1.0, t / std::max(Length, 0.1)));
        double v = 0;
        for (std::size_t k = 0; k < std::size(amp); ++k)
            if (f * double(k + 1) < HighestPartial) v += amp[k] * std::sin(phase * double(k + 1));
        S.Add(n0 + i, Amp * env * v, Pan);
    }
    AddNoiseBurst(S, R, Start, f * 2, 2.5, Amp * 0.5, 0.02, 0.05, Pan);
}

void AddSoftBass(TSignal& S, double Start, double Length, double Note, double Amp) {
    const double f = NoteFreq(Note);
    const std::size_t n0 = FrameAt(Start), n = FrameAt(Length + 0.12);
    for (std::size_t i = 0; i < n && n0 + i < S.Frames(); ++i) {
        const double t = double(i) / RenderRate;
        const double env = RaisedCosine(t, 0.012) * std::exp(-t / 1.1) *
                           (t > Length ? 1 - RaisedCosine(t - Length, 0.12) : 1.0);
        const double p = 2 * Pi * f * t;
        S.Add(n0 + i, Amp * env * (std::sin(p) + 0.3 * std::sin(2 * p) + 0.08 * std::sin(3 * p)), 0);
    }
}

void LowPass(TSignal& S, double Cutoff, double Q) {
    TBiquad l = TBiquad::LowPass(Cutoff, Q), r = TBiquad::LowPass(Cutoff, Q);
    for (auto& v : S.Left()) v = static_cast<float>(l.Step(v));
    for (auto& v : S.Right()) v = static_cast<float>(r.Step(v));
}

void HighPass(TSignal& S, double Cutoff, double Q) {
    TBiquad l = TBiquad::HighPass(Cutoff, Q), r = TBiquad::HighPass(Cutoff, Q);
    for (auto& v : S.Left()) v = static_cast<float>(l.Step(v));
    for (auto& v : S.Right()) v = static_cast<float>(r.Step(v));
}

namespace {

class TComb {
public:
    explicit TComb(std::size_t Length) : buf_(Length) {}
    double Step(double x, double Feedback, double Damp) {
        const double y = buf_[pos_];
        store_ = y * (1 - Damp) + store_ * Damp;
        buf_[pos_] = x + store_ * Feedback;
        if (++pos_ == buf_.size()) pos_ = 0;
        return y;
    }

private:
    std::vector<double> buf_;
    std::size_t pos_ = 0;
    double store_ = 0;
};

class TAllPass {
public:
    explicit TAllPass(std::size_t Length) : buf_(Length) {}
    double Step(double x) {
        const double b = buf_[pos_];
        buf_[pos_] = x + b * 0.5;
        if (++pos_ == buf_.size()) pos_ = 0;
        return b - x;
    }

private:
    std::vector<double> buf_;
    std::size_t pos_ = 0;
};

}  // namespace

void AddReverb(TSignal& S, double RoomSize, double Damping, double Wet, double Width) {
    static constexpr std::size_t combs[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static constexpr std::size_t allpasses[] = {556, 441, 341, 225};
    constexpr std::size_t spread = 23;
    std::vector<TComb> cl, cr;
    std::vector<TAllPass> al, ar;
    for (auto c : combs) {
        cl.emplace_back(c);
        cr.emplace_back(c + spread);
    }
    for (auto a : allpasses) {
        al.emplace_back(a);
        ar.emplace_back(a + spread);
    }
    const double feedback = RoomSize * 0.28 + 0.7;
    const double w1 = Wet * (Width / 2 + 0.5), w2 = Wet * ((1 - Width) / 2);
    auto& L = S.Left();
    auto& R = S.Right();
    for (std::size_t i = 0; i < S.Frames(); ++i) {
        const double in = (L[i] + R[i]) * 0.015;
        double ol = 0, orr = 0;
        for (std::size_t k = 0; k < cl.size(); ++k) {
            ol += cl[k].Step(in, feedback, Damping);
            orr += cr[k].Step(in, feedback, Damping);
        }
        for (std::size_t k = 0; k < al.size(); ++k) {
            ol = al[k].Step(ol);
            orr = ar[k].Step(orr);
        }
        L[i] = static_cast<float>(L[i] + ol * w1 + orr * w2);
        R[i] = static_cast<float>(R[i] + orr * w1 + ol * w2);
    }
}

void FadeOut(TSignal& S, double Seconds) {
    const std::size_t n = std::min(S.Frames(), FrameAt(Seconds));
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t at = S.Frames() - n + i;
        const double g = 1 - RaisedCosine(double(i) / RenderRate, Seconds);
        S.Left()[at] = static_cast<float>(S.Left()[at] * g);
        S.Right()[at] = static_cast<float>(S.Right()[at] * g);
    }
}

TWave Render(const TSignal& S, int Rate, int Channels, int Bits, std::size_t Frames,
             double PeakLevel, TRandom& R) {
    if (Rate <= 0 || RenderRate % Rate != 0 || (Channels != 1 && Channels != 2) ||
        (Bits != 8 && Bits != 16))
        throw std::invalid_argument("unsupported output format");
    const int factor = RenderRate / Rate;

    // Windowed-sinc low-pass just below the new Nyquist frequency.
    constexpr int taps = 255, mid = taps / 2;
    std::vector<double> h(taps);
    const double fc = 0.46 * Rate / RenderRate;
    double sum = 0;
    for (int k = 0; k < taps; ++k) {
        const double x = k - mid;
        const double sinc = x == 0 ? 2 * fc : std::sin(2 * Pi * fc * x) / (Pi * x);
        const double blackman = 0.42 - 0.5 * std::cos(2 * Pi * k / (taps - 1)) +
                                0.08 * std::cos(4 * Pi * k / (taps - 1));
        h[k] = sinc * blackman;
        sum += h[k];
    }
    for (auto& v : h) v /= sum;

    std::vector<std::vector<double>> out(Channels, std::vector<double>(Frames));
    auto sample = [&](int ch, long i) -> double {
        if (i < 0 || i >= long(S.Frames())) return 0.0;
        if (Channels == 1) return 0.5 * (S.Left()[i] + S.Right()[i]);
        return ch == 0 ? S.Left()[i] : S.Right()[i];
    };
    double peak = 0;
    for (int ch = 0; ch < Channels; ++ch)
        for (std::size_t j = 0; j < Frames; ++j) {
            double acc = 0;
            const long centre = long(j) * factor;
            for (int k = 0; k < taps; ++k) acc += h[k] * sample(ch, centre + k - mid);
            out[ch][j] = acc;
            peak = std::max(peak, std::fabs(acc));
        }
    const double gain = peak > 0 ? PeakLevel / peak : 0.0;

    TWave w;
    w.Rate = Rate;
    w.Channels = Channels;
    w.Bits = Bits;
    w.Data.reserve(Frames * Channels * (Bits / 8));
    const double full = Bits == 8 ? 127.0 : 32767.0;
    std::vector<double> level(Channels, 0.0);
    const double release = std::exp(-1.0 / (0.05 * Rate));
    for (std::size_t j = 0; j < Frames; ++j)
        for (int ch = 0; ch < Channels; ++ch) {
            const double x = out[ch][j] * gain * full;
            // Triangular dither of one step; in 8 bits it is audible as hiss, so it
            // follows the signal and falls away where the sound has died.
            level[ch] = std::max(std::fabs(x), level[ch] * release);
            const double ditherAmp = Bits == 8 ? std::min(1.0, level[ch] / 3.0) : 1.0;
            const double d = (R.Uniform() - R.Uniform()) * ditherAmp;
            long q = std::lround(x + d);
            q = std::clamp<long>(q, long(-full) - 1, long(full));
            if (Bits == 8) {
                w.Data.push_back(static_cast<std::uint8_t>(q + 128));
            } else {
                const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(q));
                w.Data.push_back(static_cast<std::uint8_t>(u & 0xFF));
                w.Data.push_back(static_cast<std::uint8_t>(u >> 8));
            }
        }
    return w;
}

std::vector<std::uint8_t> WaveFileBytes(const TWave& W) {
    std::vector<std::uint8_t> b;
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&](std::uint16_t v) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(t[i]));
    };
    const auto dataSize = static_cast<std::uint32_t>(W.Data.size());
    const std::uint16_t blockAlign = static_cast<std::uint16_t>(W.Channels * W.Bits / 8);
    tag("RIFF");
    put32(36 + dataSize + (dataSize & 1));
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);  // PCM
    put16(static_cast<std::uint16_t>(W.Channels));
    put32(static_cast<std::uint32_t>(W.Rate));
    put32(static_cast<std::uint32_t>(W.Rate) * blockAlign);
    put16(blockAlign);
    put16(static_cast<std::uint16_t>(W.Bits));
    tag("data");
    put32(dataSize);
    b.insert(b.end(), W.Data.begin(), W.Data.end());
    if (dataSize & 1) b.push_back(0);
    return b;
}

void WriteWaveFile(const std::string& FileName, const TWave& W) {
    const auto bytes = WaveFileBytes(W);
    std::FILE* f = std::fopen(FileName.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + FileName);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + FileName);
}

}  // namespace tessum::soundgen
