// A tiny depth-buffer renderer for rounded solids seen from straight above:
// tapered capsules and ellipsoids, lit from the top left like the board. It
// is enough to model hands, sleeves and matches.
#pragma once

#include <functional>
#include <vector>

#include <QImage>
#include <QPointF>

#include "Raster.h"

namespace tessum::gfx {

struct Vec3 {
    double x = 0, y = 0, z = 0;
    Vec3() = default;
    constexpr Vec3(double X, double Y, double Z) : x(X), y(Y), z(Z) {}
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double k) const { return {x * k, y * k, z * k}; }
    double Dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 Cross(const Vec3& o) const { return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x}; }
    double Length() const { return std::sqrt(Dot(*this)); }
    Vec3 Normalized() const { const double l = Length(); return l > 0 ? *this * (1.0 / l) : *this; }
};

// Surface look of one material.
struct Material {
    Rgb albedo;
    double specular = 0.15;
    double shininess = 18;
    // Warm light scattered under the surface into the shaded side (skin).
    Rgb subsurface = Rgb(0, 0, 0);
    // Optional per-pixel variation of the albedo (cloth weave, wood), given
    // the picture position.
    std::function<Rgb(double X, double Y, const Rgb& Base)> texture;
    // Glowing materials ignore the light (a flame).
    bool emissive = false;
};

class SplatScene {
public:
    // Picture size in pixels; Supersample sub-pixels per pixel and axis.
    SplatScene(int W, int H, int Supersample = 3);

    // Pixels per unit of the textures' picture positions (2 when the picture
    // is drawn at twice the size), so a texture keeps its grain at any size.
    double TexturePixels = 1.0;

    int AddMaterial(const Material& M);
    // Every later solid is scaled by Scale (positions and sizes) and then
    // moved by Offset, so a model built at one size can be placed anywhere.
    void SetTransform(double Scale, QPointF Offset) { scale_ = Scale; offset_ = Offset; }
    // A capsule from A to B with radii Ra and Rb at its ends.
    void Capsule(const Vec3& A, const Vec3& B, double Ra, double Rb, int Mat);
    void Sphere(const Vec3& C, double R, int Mat) { Capsule(C, C, R, R, Mat); }
    // An ellipsoid with half axes Ax along Dir (in the picture plane), Ay
    // across it and Az upwards.
    void Ellipsoid(const Vec3& C, QPointF Dir, double Ax, double Ay, double Az, int Mat);

    // Premultiplied ARGB picture; alpha is the coverage of the solids.
    QImage Render() const;

private:
    int w_, h_, ss_;
    int sw_, sh_;
    std::vector<float> z_;
    std::vector<Vec3> n_;
    std::vector<int> mat_;
    std::vector<Material> materials_;
    double scale_ = 1.0;
    QPointF offset_;
    Vec3 Map(const Vec3& P) const { return {P.x * scale_ + offset_.x(), P.y * scale_ + offset_.y(), P.z * scale_}; }
    std::size_t idx(int X, int Y) const { return static_cast<std::size_t>(Y) * sw_ + X; }
    void Put(int X, int Y, double Z, const Vec3& N, int Mat);
};

}  // namespace tessum::gfx
