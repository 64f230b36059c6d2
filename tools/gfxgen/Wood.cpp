#include "Wood.h"

#include <cmath>

namespace tessum::gfx {

Wood::Wood(const WoodStyle& Style, std::uint64_t Seed)
    : s_(Style), warp_(Seed * 3 + 1), fibre_(Seed * 3 + 2), tone_(Seed * 3 + 3) {}

Rgb Wood::At(double X, double Y) const {
    const double u = s_.vertical ? Y : X;  // along the grain
    const double v = s_.vertical ? X : Y;  // across it
    const double bend = s_.warp * warp_.Fbm(u / s_.warpLength, v / (s_.ringSpacing * 12), 3);
    const double ring = (v + bend) / s_.ringSpacing;
    const double f = ring - std::floor(ring);
    // Late wood is a narrow dark band that fades out slowly on one side.
    const double band = std::pow(std::max(0.0, std::sin(f * 3.14159265358979)), 6.0) * 0.7 +
                        std::exp(-f * 7.0) * 0.3;
    const double streak = fibre_.Fbm(u / 40.0, v / 1.3, 2);
    const double tone = tone_.Fbm(u / 180.0, v / 90.0, 3);
    double t = s_.ringContrast * band + s_.fibre * (streak * 0.5 + 0.5) + 0.18 * (tone * 0.5 + 0.5);
    t = Clamp01(t);
    return Mix(s_.light, s_.dark, t);
}

}  // namespace tessum::gfx
