// Procedural wood: growth rings bent by low noise, fine fibres along the grain.
#pragma once

#include <cstdint>

#include "Raster.h"

namespace tessum::gfx {

struct WoodStyle {
    Rgb light;              // early wood
    Rgb dark;               // late wood, the ring lines
    double ringSpacing = 9; // pixels between rings across the grain
    double warp = 14;       // how far rings wander, in pixels
    double warpLength = 260; // pixels along the grain per wander
    double fibre = 0.22;    // strength of the fine streaks
    double ringContrast = 0.55;
    bool vertical = false;  // grain runs top to bottom instead of left to right
};

class Wood {
public:
    Wood(const WoodStyle& Style, std::uint64_t Seed);
    Rgb At(double X, double Y) const;

private:
    WoodStyle s_;
    Noise warp_, fibre_, tone_;
};

}  // namespace tessum::gfx
