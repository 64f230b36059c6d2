#include "Splat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessum::gfx {

namespace {
constexpr float Empty = -std::numeric_limits<float>::infinity();
}

SplatScene::SplatScene(int W, int H, int Supersample)
    : w_(W), h_(H), ss_(Supersample), sw_(W * Supersample), sh_(H * Supersample),
      z_(static_cast<std::size_t>(sw_) * sh_, Empty), n_(static_cast<std::size_t>(sw_) * sh_),
      mat_(static_cast<std::size_t>(sw_) * sh_, -1) {}

int SplatScene::AddMaterial(const Material& M) {
    materials_.push_back(M);
    return static_cast<int>(materials_.size()) - 1;
}

void SplatScene::Put(int X, int Y, double Z, const Vec3& N, int Mat) {
    const std::size_t i = idx(X, Y);
    if (Z > z_[i]) {
        z_[i] = static_cast<float>(Z);
        n_[i] = N;
        mat_[i] = Mat;
    }
}

void SplatScene::Capsule(const Vec3& A, const Vec3& B, double Ra, double Rb, int Mat) {
    const double s = ss_;
    const Vec3 a = Map(A) * s, b = Map(B) * s;
    const double ra = Ra * scale_ * s, rb = Rb * scale_ * s;
    const double rmax = std::max(ra, rb);
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - rmax)));
    const int x1 = std::min(sw_ - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + rmax)));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - rmax)));
    const int y1 = std::min(sh_ - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + rmax)));
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double len2 = ex * ex + ey * ey;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            // The solid seen from above is the union of spheres along the
            // axis; the one reaching highest over this pixel wins. Sampling
            // the axis finely keeps steep (foreshortened) segments round.
            double t = len2 > 0 ? std::clamp(((px - a.x) * ex + (py - a.y) * ey) / len2, 0.0, 1.0) : 0.0;
            double bestZ = -1e30;
            Vec3 bestN;
            const double dz = b.z - a.z;
            const int probes = std::abs(dz) > 0.5 * rmax ? 9 : 1;
            for (int k = 0; k < probes; ++k) {
                double tt = t;
                if (probes > 1) tt = std::clamp(t + (k - probes / 2) * 0.08, 0.0, 1.0);
                const double cx = a.x + ex * tt, cy = a.y + ey * tt, cz = a.z + dz * tt;
                const double r = ra + (rb - ra) * tt;
                const double dx = px - cx, dy = py - cy;
                const double d2 = dx * dx + dy * dy;
                if (d2 >= r * r) continue;
                const double h = std::sqrt(r * r - d2);
                if (cz + h > bestZ) {
                    bestZ = cz + h;
                    bestN = Vec3(dx / r, dy / r, h / r);
                }
            }
            if (bestZ > -1e29) Put(x, y, bestZ, bestN, Mat);
        }
    }
}

void SplatScene::Ellipsoid(const Vec3& C, QPointF Dir, double Ax, double Ay, double Az, int Mat) {
    const double s = ss_;
    const Vec3 m = Map(C);
    const double cx = m.x * s, cy = m.y * s, cz = m.z * s;
    const double ax = Ax * scale_ * s, ay = Ay * scale_ * s, az = Az * scale_ * s;
    const double dl = std::hypot(Dir.x(), Dir.y());
    const double ux = Dir.x() / dl, uy = Dir.y() / dl;
    const double r = std::max(ax, ay);
    const int x0 = std::max(0, static_cast<int>(cx - r)), x1 = std::min(sw_ - 1, static_cast<int>(cx + r) + 1);
    const int y0 = std::max(0, static_cast<int>(cy - r)), y1 = std::min(sh_ - 1, static_cast<int>(cy + r) + 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double u = dx * ux + dy * uy, v = -dx * uy + dy * ux;
            const double q = (u * u) / (ax * ax) + (v * v) / (ay * ay);
            if (q >= 1) continue;
            const double w = az * std::sqrt(1 - q);
            // Gradient of the implicit surface, turned back into the picture frame.
            const double gu = u / (ax * ax), gv = v / (ay * ay), gw = w / (az * az);
            const Vec3 n = Vec3(gu * ux - gv * uy, gu * uy + gv * ux, gw).Normalized();
            Put(x, y, cz + w, n, Mat);
        }
    }
}

QImage SplatScene::Render() const {
    const Vec3 light = Vec3(-0.62, -0.62, 0.48).Normalized();
    const Vec3 half = (light + Vec3(0, 0, 1)).Normalized();

    // Creases: a pixel lying well below the average of its surroundings is
    // tucked between fingers or under a cuff and gets less light.
    std::vector<float> blurred(z_.size());
    const int r = 5 * ss_;
    {
        std::vector<float> tmp(z_.size());
        auto zz = [&](int x, int y) {
            const float v = z_[idx(x, y)];
            return v == Empty ? 0.f : v;
        };
        for (int y = 0; y < sh_; ++y) {
            float acc = 0;
            for (int x = -r; x <= r; ++x) acc += zz(std::clamp(x, 0, sw_ - 1), y);
            for (int x = 0; x < sw_; ++x) {
                tmp[idx(x, y)] = acc / static_cast<float>(2 * r + 1);
                acc += zz(std::min(x + r + 1, sw_ - 1), y) - zz(std::max(x - r, 0), y);
            }
        }
        for (int x = 0; x < sw_; ++x) {
            float acc = 0;
            for (int y = -r; y <= r; ++y) acc += tmp[idx(x, std::clamp(y, 0, sh_ - 1))];
            for (int y = 0; y < sh_; ++y) {
                blurred[idx(x, y)] = acc / static_cast<float>(2 * r + 1);
                acc += tmp[idx(x, std::min(y + r + 1, sh_ - 1))] - tmp[idx(x, std::max(y - r, 0))];
            }
        }
    }

    QImage out(w_, h_, QImage::Format_ARGB32_Premultiplied);
    const double norm = 1.0 / (ss_ * ss_);
    for (int y = 0; y < h_; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w_; ++x) {
            double cr = 0, cg = 0, cb = 0, cover = 0;
            for (int sy = 0; sy < ss_; ++sy) {
                for (int sx = 0; sx < ss_; ++sx) {
                    const int X = x * ss_ + sx, Y = y * ss_ + sy;
                    const std::size_t i = idx(X, Y);
                    if (mat_[i] < 0) continue;
                    const Material& m = materials_[static_cast<std::size_t>(mat_[i])];
                    Rgb base = m.texture ? m.texture((X + 0.5) / ss_ / TexturePixels, (Y + 0.5) / ss_ / TexturePixels, m.albedo) : m.albedo;
                    Rgb c;
                    if (m.emissive) {
                        c = base;
                    } else {
                        const Vec3& n = n_[i];
                        const double ndl = std::max(0.0, n.Dot(light));
                        const double cavity = std::max(0.0, static_cast<double>(blurred[i] - z_[i])) / ss_;
                        const double ao = 1.0 - std::min(0.6, cavity * 0.07);
                        // Edges where a higher part overlaps: a thin contact shadow.
                        double contact = 1.0;
                        for (int k = 1; k <= ss_ * 2; ++k) {
                            const int nx = std::max(0, X - k), ny = std::max(0, Y - k);
                            const float zn = z_[idx(nx, ny)];
                            if (zn != Empty && zn - z_[i] > 4.0f * ss_) { contact = 0.55 + 0.45 * k / (ss_ * 2.0); break; }
                        }
                        const double diffuse = 0.34 * ao + 0.80 * ndl * contact;
                        const double wrap = std::max(0.0, 1.0 - ndl * 1.6) * ao;
                        const double highlight = m.specular * std::pow(std::max(0.0, n.Dot(half)), m.shininess) * contact;
                        c = base * diffuse + m.subsurface * wrap + Rgb(highlight, highlight, highlight);
                    }
                    cr += Clamp01(c.r);
                    cg += Clamp01(c.g);
                    cb += Clamp01(c.b);
                    cover += 1;
                }
            }
            auto q = [&](double v) { return static_cast<int>(std::lround(std::clamp(v * norm * 255.0, 0.0, 255.0))); };
            line[x] = qRgba(q(cr), q(cg), q(cb), q(cover));
        }
    }
    return out;
}

}  // namespace tessum::gfx
