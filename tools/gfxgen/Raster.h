// Small numeric imaging toolkit for the artwork: seeded noise, float planes,
// blurs and the conversions to the colour-keyed bitmaps the game draws.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include <QColor>
#include <QImage>

namespace tessum::gfx {

// The pictures must come out identical on every build, so all randomness
// comes from this fixed-seed generator rather than from the C library.
class Rng {
public:
    explicit Rng(std::uint64_t Seed) : s_(Seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t Next() {
        std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double Lo, double Hi) { return Lo + (Hi - Lo) * Uniform(); }

private:
    std::uint64_t s_;
};

// Smooth lattice noise in [-1, 1], tiling nowhere (the pictures are one-offs).
class Noise {
public:
    explicit Noise(std::uint64_t Seed);
    double At(double X, double Y) const;
    // Sum of Octaves octaves, each of double frequency and half amplitude.
    double Fbm(double X, double Y, int Octaves) const;

private:
    std::vector<std::uint8_t> perm_;
    std::vector<double> value_;
    double Lattice(int X, int Y) const;
};

// A plane of floats, row-major.
struct Plane {
    int w = 0, h = 0;
    std::vector<float> v;
    Plane() = default;
    Plane(int W, int H, float Fill = 0.f) : w(W), h(H), v(static_cast<std::size_t>(W) * H, Fill) {}
    float& at(int X, int Y) { return v[static_cast<std::size_t>(Y) * w + X]; }
    float at(int X, int Y) const { return v[static_cast<std::size_t>(Y) * w + X]; }
    // Clamped read, so filters need no border cases.
    float get(int X, int Y) const {
        X = X < 0 ? 0 : (X >= w ? w - 1 : X);
        Y = Y < 0 ? 0 : (Y >= h ? h - 1 : Y);
        return at(X, Y);
    }
    // Bilinear read at fractional coordinates.
    float sample(double X, double Y) const;
};

// Three box blurs approximate a Gaussian of about Radius * 0.6 sigma.
void BlurPlane(Plane& P, int Radius);
// The same on every channel of a premultiplied ARGB image (soft shadows, glows).
void BlurImage(QImage& Image, int Radius);

// Colour arithmetic on doubles in 0..1, kept separate from QColor's 8-bit steps.
struct Rgb {
    double r = 0, g = 0, b = 0;
    Rgb() = default;
    constexpr Rgb(double R, double G, double B) : r(R), g(G), b(B) {}
    static Rgb Of(int R, int G, int B) { return Rgb(R / 255.0, G / 255.0, B / 255.0); }
    Rgb operator+(const Rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
    Rgb operator-(const Rgb& o) const { return {r - o.r, g - o.g, b - o.b}; }
    Rgb operator*(double k) const { return {r * k, g * k, b * k}; }
    Rgb operator*(const Rgb& o) const { return {r * o.r, g * o.g, b * o.b}; }
    QRgb ToQRgb() const;
};
inline Rgb Mix(const Rgb& A, const Rgb& B, double T) { return A + (B - A) * T; }
inline double Clamp01(double X) { return X < 0 ? 0 : (X > 1 ? 1 : X); }
inline double SmoothStep(double E0, double E1, double X) {
    double t = Clamp01((X - E0) / (E1 - E0));
    return t * t * (3 - 2 * t);
}

// Flattens an antialiased drawing for a colour-keyed bitmap: pixels at least
// Threshold opaque are composed over Matte (the colour the picture will most
// likely land on), the rest become Key. No kept pixel may equal Key, or the
// game would punch a hole into the picture there.
QImage ToKeyed(const QImage& Argb, QRgb Matte, QRgb Key, double Threshold = 0.4);

}  // namespace tessum::gfx
