#include "Raster.h"

#include <algorithm>
#include <numeric>

namespace tessum::gfx {

Noise::Noise(std::uint64_t Seed) : perm_(512), value_(256) {
    Rng rng(Seed);
    std::vector<std::uint8_t> p(256);
    std::iota(p.begin(), p.end(), 0);
    for (int i = 255; i > 0; --i) {
        int j = static_cast<int>(rng.Next() % static_cast<std::uint64_t>(i + 1));
        std::swap(p[i], p[j]);
    }
    for (int i = 0; i < 512; ++i) perm_[i] = p[i & 255];
    for (double& v : value_) v = rng.Range(-1.0, 1.0);
}

double Noise::Lattice(int X, int Y) const {
    return value_[perm_[(perm_[X & 255] + Y) & 511]];
}

double Noise::At(double X, double Y) const {
    const double fx = std::floor(X), fy = std::floor(Y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = X - fx, ty = Y - fy;
    // Quintic fade keeps the derivative continuous, so no grid shows in the grain.
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    const double a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
    const double c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Noise::Fbm(double X, double Y, int Octaves) const {
    double sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < Octaves; ++i) {
        sum += amp * At(X, Y);
        norm += amp;
        X = X * 2.03 + 17.1;
        Y = Y * 2.03 + 5.7;
        amp *= 0.5;
    }
    return sum / norm;
}

float Plane::sample(double X, double Y) const {
    const int x0 = static_cast<int>(std::floor(X)), y0 = static_cast<int>(std::floor(Y));
    const float tx = static_cast<float>(X - x0), ty = static_cast<float>(Y - y0);
    const float a = get(x0, y0), b = get(x0 + 1, y0), c = get(x0, y0 + 1), d = get(x0 + 1, y0 + 1);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

namespace {

// One running-sum box blur along rows (Stride 1) or columns (Stride = width).
void BoxPass(float* Data, int Count, int Lines, int Stride, int LineStride, int Radius, std::vector<float>& Tmp) {
    Tmp.resize(static_cast<std::size_t>(Count));
    const float scale = 1.0f / static_cast<float>(2 * Radius + 1);
    for (int line = 0; line < Lines; ++line) {
        float* row = Data + static_cast<std::ptrdiff_t>(line) * LineStride;
        auto px = [&](int i) { return row[static_cast<std::ptrdiff_t>(std::clamp(i, 0, Count - 1)) * Stride]; };
        float acc = 0;
        for (int i = -Radius; i <= Radius; ++i) acc += px(i);
        for (int i = 0; i < Count; ++i) {
            Tmp[static_cast<std::size_t>(i)] = acc * scale;
            acc += px(i + Radius + 1) - px(i - Radius);
        }
        for (int i = 0; i < Count; ++i) row[static_cast<std::ptrdiff_t>(i) * Stride] = Tmp[static_cast<std::size_t>(i)];
    }
}

}  // namespace

void BlurPlane(Plane& P, int Radius) {
    if (Radius <= 0 || P.w == 0 || P.h == 0) return;
    std::vector<float> tmp;
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(P.v.data(), P.w, P.h, 1, P.w, Radius, tmp);
        BoxPass(P.v.data(), P.h, P.w, P.w, 1, Radius, tmp);
    }
}

void BlurImage(QImage& Image, int Radius) {
    if (Radius <= 0) return;
    Image = Image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = Image.width(), h = Image.height();
    Plane ch[4] = {Plane(w, h), Plane(w, h), Plane(w, h), Plane(w, h)};
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(Image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            ch[0].at(x, y) = static_cast<float>(qAlpha(line[x]));
            ch[1].at(x, y) = static_cast<float>(qRed(line[x]));
            ch[2].at(x, y) = static_cast<float>(qGreen(line[x]));
            ch[3].at(x, y) = static_cast<float>(qBlue(line[x]));
        }
    }
    for (Plane& p : ch) BlurPlane(p, Radius);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(Image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            auto q = [&](int c) { return std::clamp(static_cast<int>(std::lround(ch[c].at(x, y))), 0, 255); };
            const int a = q(0);
            line[x] = qRgba(std::min(q(1), a), std::min(q(2), a), std::min(q(3), a), a);
        }
    }
}

QRgb Rgb::ToQRgb() const {
    auto c = [](double v) { return static_cast<int>(std::lround(Clamp01(v) * 255.0)); };
    return qRgb(c(r), c(g), c(b));
}

QImage ToKeyed(const QImage& Argb, QRgb Matte, QRgb Key, double Threshold) {
    const QImage src = Argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const double a = qAlpha(in[x]) / 255.0;
            if (a < Threshold) {
                o[x] = Key | 0xFF000000u;
                continue;
            }
            const double k = a;
            auto mix = [&](int s, int m) { return static_cast<int>(std::lround(m + (s - m) * k)); };
            int r = mix(qRed(in[x]), qRed(Matte)), g = mix(qGreen(in[x]), qGreen(Matte)), b = mix(qBlue(in[x]), qBlue(Matte));
            if (qRgb(r, g, b) == (Key | 0xFF000000u)) {
                // Step one channel away from the key, towards the middle.
                if (b > 127) --b; else ++b;
            }
            o[x] = qRgb(r, g, b);
        }
    }
    return out;
}

}  // namespace tessum::gfx
