#include "Relief.h"

#include <algorithm>
#include <cmath>

namespace tessum::gfx {

Relief::Relief(int W, int H, int Scale)
    : w_(W), h_(H), scale_(std::max(1, Scale)), height_(W, H), gloss_(W, H), albedo_(static_cast<std::size_t>(W) * H, Rgb(0.5, 0.5, 0.5)) {}

QImage Relief::Shade(const Light& L) const {
    const double ln = std::sqrt(L.lx * L.lx + L.ly * L.ly + L.lz * L.lz);
    const double lx = L.lx / ln, ly = L.ly / ln, lz = L.lz / ln;
    const double hx = lx, hy = ly, hz = lz + 1.0;  // half vector with the viewer straight above
    const double hn = std::sqrt(hx * hx + hy * hy + hz * hz);

    // Cast shadows: walk from each pixel towards the light and see whether the
    // relief rises above the ray.
    const double lxy = std::sqrt(lx * lx + ly * ly);
    const double stepx = lx / lxy, stepy = ly / lxy, rise = lz / lxy;
    // Heights are in model units, so at a larger scale the ray rises less per
    // pixel and walks as many more pixels; blurs widen alike.
    const double s = scale_;
    Plane lit(w_, h_, 1.f);
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const double h0 = height_.at(x, y);
            double worst = 0;
            for (int t = 1; t < 48 * scale_; ++t) {
                const double sx = x + stepx * t, sy = y + stepy * t;
                if (sx < 0 || sy < 0 || sx >= w_ - 1 || sy >= h_ - 1) break;
                const double excess = height_.sample(sx, sy) - (h0 + rise * t / s);
                worst = std::max(worst, excess);
                if (worst > 2.0) break;
            }
            lit.at(x, y) = static_cast<float>(1.0 - SmoothStep(0.0, 1.6, worst));
        }
    }
    BlurPlane(lit, L.shadowSoftness * scale_);

    Plane blurred = height_;
    BlurPlane(blurred, L.occlusionRadius * scale_);

    const double flat = L.ambient + L.diffuse * lz;
    QImage out(w_, h_, QImage::Format_RGB32);
    for (int y = 0; y < h_; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w_; ++x) {
            const double dx = (height_.get(x + 1, y) - height_.get(x - 1, y)) * 0.5 * s;
            const double dy = (height_.get(x, y + 1) - height_.get(x, y - 1)) * 0.5 * s;
            double nx = -dx, ny = -dy, nz = 1.0;
            const double nn = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= nn; ny /= nn; nz /= nn;
            const double ndl = std::max(0.0, nx * lx + ny * ly + nz * lz);
            const double cavity = std::max(0.0, static_cast<double>(blurred.at(x, y) - height_.at(x, y)));
            const double ao = 1.0 - std::min(0.55, cavity * L.occlusionStrength);
            const double shadow = 1.0 - L.shadowDepth * (1.0 - lit.at(x, y));
            const double light = (L.ambient * ao + L.diffuse * ndl * shadow) / flat;
            const double ndh = std::max(0.0, (nx * hx + ny * hy + nz * hz) / hn);
            const double highlight = gloss_.at(x, y) * std::pow(ndh, L.shininess) * shadow;
            const Rgb& a = albedo_[idx(x, y)];
            line[x] = Rgb(a.r * light + highlight, a.g * light + highlight, a.b * light + highlight).ToQRgb();
        }
    }
    return out;
}

double RoundRectDistance(double X, double Y, double L, double T, double R, double B, double Radius) {
    const double cx = (L + R) * 0.5, cy = (T + B) * 0.5;
    const double hx = (R - L) * 0.5 - Radius, hy = (B - T) * 0.5 - Radius;
    const double qx = std::abs(X - cx) - hx, qy = std::abs(Y - cy) - hy;
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - Radius;
}

double BevelProfile(double Dist, double Height, double Bevel) {
    if (Dist >= 0) return 0;
    const double t = std::min(1.0, -Dist / Bevel);
    // Quarter-round edge: steep at the outline, flat on top.
    return Height * std::sqrt(1.0 - (1.0 - t) * (1.0 - t));
}

}  // namespace tessum::gfx
