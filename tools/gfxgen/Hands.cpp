// The two hands of each side: the left one grabs the stones of a pit, the
// right one takes them over and sows them. Side 2 sits on the near side and
// reaches up into the board; side 1 sits across and reaches down.
#include <algorithm>
#include <cmath>
#include <memory>

#include "Artwork.h"
#include "HandModel.h"

namespace tessum::gfx {

namespace {

constexpr double Deg = 3.14159265358979 / 180.0;

struct HandSetup {
    QPoint hot;      // the hand's point inside the picture
    QPointF forward; // direction the fingers point
    QSize size;      // picture size
};

// The game places each hand by these points; the pictures are just large
// enough for the hand and for the arm to leave the picture towards its owner.
HandSetup SetupOf(int Side, bool Right) {
    if (Side == 2)
        return Right ? HandSetup{{180, 97}, {-0.42, -0.91}, {420, 446}} : HandSetup{{427, 140}, {0.42, -0.91}, {480, 420}};
    return Right ? HandSetup{{460, 383}, {0.42, 0.91}, {500, 424}} : HandSetup{{213, 340}, {-0.42, 0.91}, {430, 380}};
}

double Lerp(double A, double B, double T) { return A + (B - A) * T; }

struct FingerSpec {
    double t, fOffset, splay;
    double len[3];
    double radius;
};
const FingerSpec Fingers[4] = {
    {14.0, -2.0, 6.0, {19.0, 12.0, 10.0}, 6.6},   // index
    {4.8, 0.0, 1.0, {21.0, 13.0, 10.5}, 6.8},     // middle
    {-4.8, -2.0, -4.0, {20.0, 12.5, 10.0}, 6.4},  // ring
    {-13.5, -6.5, -10.0, {15.0, 10.0, 8.5}, 5.6}, // little finger
};
Material SkinOf(int Side) {
    Material m;
    m.albedo = Side == 1 ? Rgb::Of(236, 190, 158) : Rgb::Of(222, 170, 132);
    m.specular = 0.10;
    m.shininess = 12;
    m.subsurface = Rgb(0.20, 0.07, 0.04);
    return m;
}

Material SleeveOf(int Side) {
    Material m;
    // Each side's sleeve carries its colour from the small boards: green and yellow.
    m.albedo = Side == 1 ? Rgb::Of(44, 118, 58) : Rgb::Of(196, 160, 38);
    m.specular = 0.04;
    m.shininess = 6;
    auto noise = std::make_shared<Noise>(static_cast<std::uint64_t>(100 + Side));
    m.texture = [noise](double X, double Y, const Rgb& Base) {
        // A fine knit: diagonal ribs with a little irregularity.
        const double rib = 0.5 + 0.5 * std::sin((X + Y) * 1.25 + noise->At(X / 6.0, Y / 6.0) * 2.0);
        const double fleck = noise->Fbm(X / 2.0, Y / 2.0, 2);
        return Base * (0.86 + 0.12 * rib + 0.06 * fleck);
    };
    return m;
}

}  // namespace

Pose GrabPose(int Frame) {
    const double c = SmoothStep(0.0, 1.0, Frame / 11.0);
    // Closing, the hand also sweeps a little towards its little finger, so
    // the stones end up cupped under the curled fingertips where the game
    // draws the heap.
    return {Lerp(4, 80, c), Lerp(6, 96, c), Lerp(4, 66, c), Lerp(1.15, 0.25, c), 0.0, c, Lerp(-8, -1, c), Lerp(0, 13, c)};
}

Pose SowPose(int Frame) {
    const double c = Frame / 4.0;
    return {Lerp(10, 42, c), Lerp(12, 44, c), Lerp(6, 26, c), Lerp(1.0, 0.2, c), c, Lerp(0.15, 0.8, c), -14.0, 0.0};
}

HandBuilder::HandBuilder(SplatScene& S, QPointF Hot, QPointF Forward, bool RightHand)
    : s_(S), hot_(Hot), f_(Forward / std::hypot(Forward.x(), Forward.y())) {
    // Palm down, the thumb lies to the right of a left hand's fingers.
    t_ = RightHand ? QPointF(f_.y(), -f_.x()) : QPointF(-f_.y(), f_.x());
}

void HandBuilder::Build(const Pose& Pz, const HandMaterials& M, bool Pinched, bool WithArm) {
    const int Skin = M.skin, Nail = M.nail, Sleeve = M.sleeve, Cuff = M.cuff, Stone = M.stone;
    const double fk = Pz.knuckle;
    shift_ = Pz.shift;
    // Arm and sleeve first; the hand's own parts rise above them.
    s_.Capsule(P(fk - 46, 0, 9), P(fk - 76, -1, 11), 16.5, 17.5, Skin);
    if (WithArm) {
        s_.Capsule(P(fk - 76, -1, 11), P(fk - 118, -3, 13), 17.5, 20.0, Skin);
        s_.Capsule(P(fk - 112, -3, 15), P(fk - 124, -3, 15.5), 25.5, 26.0, Cuff);
        s_.Capsule(P(fk - 124, -3, 15), P(fk - 460, -8, 19), 25.0, 31.0, Sleeve);
    }

    // Back of the hand and the ball of the thumb.
    s_.Ellipsoid(P(fk - 21, 0.5, 9), Dir(1, 0), 26, 21.5, 12.5, Skin);
    s_.Ellipsoid(P(fk - 33, 14, 7), Dir(0.8, 0.6), 19, 11, 10, Skin);

    for (int i = 0; i < 4; ++i) {
        const FingerSpec& fs = Fingers[i];
        // Bunching turns each finger towards the middle one and the tips meet.
        const double splay = fs.splay * Pz.splay - Pz.bunch * (fs.t - 4.5) * 1.6;
        const double h = splay * Deg;
        double a = Pz.mcp * Deg;
        Vec3 p = P(fk + fs.fOffset, fs.t, 15.5);
        double r = fs.radius;
        for (int j = 0; j < 3; ++j) {
            const double ca = std::cos(a), sa = std::sin(a);
            const QPointF d = Dir(std::cos(h) * ca, std::sin(h) * ca);
            const Vec3 q = p + Vec3(d.x(), d.y(), -sa) * fs.len[j];
            const double r2 = r * (j == 2 ? 0.84 : 0.93);
            s_.Capsule(p, q, r, r2, Skin);
            if (j == 2) {
                // The nail lies on the back of the last joint, near its tip.
                const Vec3 along = q - p;
                const Vec3 up = Vec3(-d.x() * sa, -d.y() * sa, ca).Normalized();
                const Vec3 c = p + along * 0.72 + up * (r2 * 0.55);
                s_.Capsule(c - along.Normalized() * 2.6, c + along.Normalized() * 2.2, r2 * 0.56, r2 * 0.5, Nail);
            }
            p = q;
            r = r2;
            a += (j == 0 ? Pz.pip : Pz.dip) * Deg;
        }
    }

    // Thumb: spread out to the side when open, wrapped across the front of
    // the curled fingers when closed, opposed to the fingertips in a pinch.
    const double c = Pz.thumb;
    const double pinch = Pz.bunch;
    const double yaw[3] = {Lerp(36, 22, c) + pinch * -4, Lerp(20, -34, c) + pinch * 8, Lerp(10, -78, c) + pinch * 20};
    const double pitch[3] = {Lerp(10, 22, c), Lerp(12, 14, c) + pinch * 16, Lerp(10, 4, c) + pinch * 20};
    const double len[3] = {21, 14.5, 11.5};
    const double rad[3] = {8.2, 7.2, 6.5};
    Vec3 p = P(fk - 37, 17, 8.5);
    for (int j = 0; j < 3; ++j) {
        const double h = yaw[j] * Deg, a = pitch[j] * Deg;
        const QPointF d = Dir(std::cos(h) * std::cos(a), std::sin(h) * std::cos(a));
        const Vec3 q = p + Vec3(d.x(), d.y(), -std::sin(a)) * len[j];
        s_.Capsule(p, q, rad[j], j == 2 ? rad[j] * 0.86 : rad[j + 1], Skin);
        p = q;
    }

    if (Pinched) {
        // A stone caught between the fingertips, about to fall.
        s_.Sphere(P(7.0, 3.0, 2.0), 6.0, Stone);
    }
}

HandMaterials AddHandMaterials(SplatScene& Scene, int Side) {
    HandMaterials m;
    m.skin = Scene.AddMaterial(SkinOf(Side));
    Material nail;
    nail.albedo = Rgb::Of(244, 206, 192);
    nail.specular = 0.22;
    nail.shininess = 30;
    m.nail = Scene.AddMaterial(nail);
    m.sleeve = Scene.AddMaterial(SleeveOf(Side));
    Material cuff = SleeveOf(Side);
    cuff.albedo = cuff.albedo * 0.72;
    m.cuff = Scene.AddMaterial(cuff);
    Material stone;
    stone.albedo = Rgb::Of(40, 96, 214);
    stone.specular = 0.9;
    stone.shininess = 60;
    stone.subsurface = Rgb(0.05, 0.12, 0.3);
    m.stone = Scene.AddMaterial(stone);
    return m;
}

HandFrame PaintHand(int Side, bool Right, int Frame, int Scale) {
    const HandSetup setup = SetupOf(Side, Right);
    SplatScene scene(setup.size.width() * Scale, setup.size.height() * Scale, 3);
    // The hand is modelled in picture coordinates of scale 1.
    scene.SetTransform(Scale, QPointF(0, 0));
    scene.TexturePixels = Scale;
    const HandMaterials materials = AddHandMaterials(scene, Side);
    HandBuilder hand(scene, QPointF(setup.hot) + QPointF(0.5, 0.5), setup.forward, Right);
    const Pose pose = Right ? SowPose(Frame) : GrabPose(Frame);
    hand.Build(pose, materials, Right && Frame == 4);
    const QImage rendered = scene.Render();

    // The game punches the mask into the board with AND and adds the picture
    // with OR, so the picture must be black wherever the mask is white.
    HandFrame out;
    out.picture = QImage(rendered.size(), QImage::Format_RGB32);
    out.mask = QImage(rendered.size(), QImage::Format_RGB32);
    for (int y = 0; y < rendered.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(rendered.constScanLine(y));
        QRgb* pic = reinterpret_cast<QRgb*>(out.picture.scanLine(y));
        QRgb* msk = reinterpret_cast<QRgb*>(out.mask.scanLine(y));
        for (int x = 0; x < rendered.width(); ++x) {
            const bool inside = qAlpha(in[x]) >= 128;
            // A darker contour keeps the hand readable on the light board.
            bool edge = false;
            for (int k = 0; k < 4 && inside; ++k) {
                const int nx = x + ((k == 0) - (k == 1)) * Scale, ny = y + ((k == 2) - (k == 3)) * Scale;
                if (nx < 0 || ny < 0 || nx >= rendered.width() || ny >= rendered.height() ||
                    qAlpha(rendered.pixel(nx, ny)) < 128)
                    edge = true;
            }
            const double k = edge ? 0.55 : 1.0;
            pic[x] = inside ? qRgb(static_cast<int>(qRed(in[x]) * k), static_cast<int>(qGreen(in[x]) * k),
                                   static_cast<int>(qBlue(in[x]) * k))
                            : qRgb(0, 0, 0);
            msk[x] = inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        }
    }
    return out;
}

}  // namespace tessum::gfx
