// Pictures built as a relief: a height field with a colour and a gloss per
// pixel, lit from the top left. Building the board this way keeps every bevel,
// hollow and cast shadow consistent with one light.
#pragma once

#include <vector>

#include <QImage>

#include "Raster.h"

namespace tessum::gfx {

struct Light {
    // Towards the light; x right, y down, z out of the picture.
    double lx = -0.62, ly = -0.62, lz = 0.48;
    double ambient = 0.42;
    double diffuse = 0.78;
    double shininess = 36;
    int shadowSoftness = 2;   // blur of the cast-shadow mask
    double shadowDepth = 0.62; // how much of the direct light a shadow takes away
    int occlusionRadius = 9;
    double occlusionStrength = 0.055;
};

class Relief {
public:
    // W x H pixels; Scale pixels per unit of the heights' lateral coordinates
    // (2 for a picture drawn at twice the size of its model).
    Relief(int W, int H, int Scale = 1);

    int Width() const { return w_; }
    int Height() const { return h_; }

    Plane& Heights() { return height_; }
    const Plane& Heights() const { return height_; }
    Rgb& Albedo(int X, int Y) { return albedo_[idx(X, Y)]; }
    float& Gloss(int X, int Y) { return gloss_.at(X, Y); }

    // Lit colour of every pixel.
    QImage Shade(const Light& L) const;

private:
    int w_, h_;
    int scale_;
    Plane height_;
    Plane gloss_;
    std::vector<Rgb> albedo_;
    std::size_t idx(int X, int Y) const { return static_cast<std::size_t>(Y) * w_ + X; }
};

// Signed distance from (X, Y) to a rounded rectangle (negative inside).
double RoundRectDistance(double X, double Y, double L, double T, double R, double B, double Radius);
// Normalised distance to an ellipse centred at (Cx, Cy): 1 on its outline.
inline double EllipseDistance(double X, double Y, double Cx, double Cy, double Rx, double Ry) {
    const double dx = (X - Cx) / Rx, dy = (Y - Cy) / Ry;
    return std::sqrt(dx * dx + dy * dy);
}

// Height profile of a raised block with a rounded bevel: 0 outside, Height
// inside, Bevel pixels wide. Dist is a signed distance (negative inside).
double BevelProfile(double Dist, double Height, double Bevel);

}  // namespace tessum::gfx
