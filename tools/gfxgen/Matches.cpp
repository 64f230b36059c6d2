// The start draw: a fist holding out two matches, and the two outcomes.
#include <cmath>
#include <memory>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "Artwork.h"
#include "HandModel.h"
#include "Layout.h"
#include "Wood.h"

namespace tessum::gfx {

namespace {

constexpr double FistScale = 1.9;
const QPointF FistAt(196, 178);  // where the fist's point lands in the picture

// The table: warm wood under a lamp at the upper left, darker along the top
// so the white result text written there stays readable.
QImage Table(int Scale) {
    const WoodStyle style{Rgb(0.46, 0.28, 0.16), Rgb(0.26, 0.15, 0.08), 8, 16, 260, 0.28, 0.55, false};
    const Wood wood(style, 71);
    QImage img(MatchPictureWidth * Scale, MatchPictureHeight * Scale, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        // Model coordinates of the pixel's centre; pixel (x, y) itself at scale 1.
        const double Y = (y + 0.5) / Scale - 0.5;
        for (int x = 0; x < img.width(); ++x) {
            const double X = (x + 0.5) / Scale - 0.5;
            const double dx = (X - 150.0) / 300.0, dy = (Y - 150.0) / 230.0;
            const double lamp = 1.15 - 0.55 * SmoothStep(0.0, 1.2, std::sqrt(dx * dx + dy * dy));
            const double top = 0.55 + 0.45 * SmoothStep(10.0, 70.0, Y);
            line[x] = (wood.At(X, Y) * (lamp * top)).ToQRgb();
        }
    }
    return img;
}

struct Match {
    QPointF head;   // centre of the head
    QPointF dir;    // from the head towards the end of the stick
    double length;  // of the stick
    bool burnt;     // head charred and the end broken off
};

// Size is the scale of the scene's current transform, so a match keeps its
// thickness whether it is placed in hand or in picture coordinates.
void AddMatch(SplatScene& S, const Match& M, double Z, int Wood, int Head, double Size) {
    const double l = std::hypot(M.dir.x(), M.dir.y());
    const QPointF d = M.dir / l;
    const QPointF end = M.head + d * M.length;
    const double k = 1.0 / Size;
    S.Capsule(Vec3(M.head.x() + d.x() * 4 * k, M.head.y() + d.y() * 4 * k, Z), Vec3(end.x(), end.y(), Z), 3.6 * k, 3.6 * k, Wood);
    S.Ellipsoid(Vec3(M.head.x(), M.head.y(), Z + 0.5 * k), d, 8.5 * k, 5.6 * k, 5.2 * k, Head);
}

void DrawFlame(QPainter& P, QPointF Head, QPointF Up) {
    const double l = std::hypot(Up.x(), Up.y());
    const QPointF u = Up / l, s(-u.y(), u.x());
    // Warm light thrown around the flame.
    P.save();
    P.setCompositionMode(QPainter::CompositionMode_Screen);
    QRadialGradient glow(Head + u * 14, 90);
    glow.setColorAt(0.0, QColor(255, 200, 90, 170));
    glow.setColorAt(0.35, QColor(255, 150, 40, 60));
    glow.setColorAt(1.0, QColor(255, 120, 20, 0));
    P.setPen(Qt::NoPen);
    P.setBrush(glow);
    P.drawEllipse(Head + u * 14, 90, 90);
    P.restore();
    auto tongue = [&](double Len, double Wid, QColor Inner, QColor Outer) {
        QPainterPath path;
        const QPointF base = Head - u * 3;
        path.moveTo(base - s * Wid);
        path.cubicTo(base - s * Wid * 1.5 + u * Len * 0.5, base - s * Wid * 0.3 + u * Len * 0.8, base + u * Len);
        path.cubicTo(base + s * Wid * 0.3 + u * Len * 0.8, base + s * Wid * 1.5 + u * Len * 0.5, base + s * Wid);
        path.cubicTo(base + s * Wid - u * Wid, base - s * Wid - u * Wid, base - s * Wid);
        QRadialGradient g(base + u * Len * 0.25, Len * 0.8);
        g.setColorAt(0.0, Inner);
        g.setColorAt(1.0, Outer);
        P.setPen(Qt::NoPen);
        P.setBrush(g);
        P.drawPath(path);
    };
    tongue(44, 10, QColor(255, 190, 60, 230), QColor(230, 70, 10, 170));
    tongue(30, 6.5, QColor(255, 250, 210), QColor(255, 190, 60, 220));
    tongue(12, 3.5, QColor(120, 150, 255, 200), QColor(255, 230, 150, 120));
}

// P draws in model coordinates at Scale device pixels each.
void DrawSmoke(QPainter& P, QPointF From, int Scale) {
    QImage smoke(MatchPictureWidth * Scale, MatchPictureHeight * Scale, QImage::Format_ARGB32_Premultiplied);
    smoke.fill(Qt::transparent);
    {
        QPainter s(&smoke);
        s.scale(Scale, Scale);
        s.setRenderHint(QPainter::Antialiasing);
        for (int k = 0; k < 3; ++k) {
            QPainterPath path;
            const QPointF o = From + QPointF(k * 3 - 3, 0);
            path.moveTo(o);
            path.cubicTo(o + QPointF(-14, -25), o + QPointF(18, -40), o + QPointF(2, -66));
            path.cubicTo(o + QPointF(-10, -82), o + QPointF(16, -96), o + QPointF(6, -118));
            s.setPen(QPen(QColor(215, 210, 205, 110 - k * 25), 5 - k, Qt::SolidLine, Qt::RoundCap));
            s.drawPath(path);
        }
    }
    BlurImage(smoke, 3 * Scale);
    P.save();
    P.resetTransform();
    P.drawImage(0, 0, smoke);
    P.restore();
}

}  // namespace

QImage PaintMatches(MatchScene Scene, int Scale) {
    QImage img = Table(Scale);
    SplatScene scene(MatchPictureWidth * Scale, MatchPictureHeight * Scale, 2);
    scene.TexturePixels = Scale;
    const HandMaterials hand = AddHandMaterials(scene, 2);
    Material wood;
    wood.albedo = Rgb::Of(238, 208, 150);
    wood.specular = 0.08;
    auto grain = std::make_shared<Noise>(5);
    wood.texture = [grain](double X, double Y, const Rgb& Base) { return Base * (0.92 + 0.08 * grain->At(X / 2.0, Y / 14.0)); };
    const int woodMat = scene.AddMaterial(wood);
    Material head;
    head.albedo = Rgb::Of(178, 30, 26);
    head.specular = 0.35;
    head.shininess = 24;
    const int headMat = scene.AddMaterial(head);
    Material charred;
    charred.albedo = Rgb::Of(46, 36, 32);
    charred.specular = 0.2;
    const int charMat = scene.AddMaterial(charred);

    // The fist: a closed left hand lying on its side, knuckles to the left,
    // the thumb on top where the matches come out.
    scene.SetTransform(FistScale * Scale, FistAt * Scale);
    HandBuilder fist(scene, QPointF(0, 0), QPointF(-0.96, -0.22), false);
    const Pose pose = GrabPose(11);
    fist.Build(pose, hand, false);
    // Matches held in the fist: only their heads and a little of the stick show.
    auto held = [&](double F) {
        const Vec3 top = fist.P(F, 44, 0), bottom = fist.P(F, 8, 0);
        return Match{QPointF(top.x, top.y), QPointF(bottom.x - top.x, bottom.y - top.y), 40, false};
    };
    const Match left = held(-17), right = held(1);
    if (Scene == MatchScene::Hidden) AddMatch(scene, left, 6, woodMat, headMat, FistScale);
    AddMatch(scene, right, 6, woodMat, headMat, FistScale);

    // The drawn match, in picture coordinates.
    scene.SetTransform(Scale, QPointF(0, 0));
    Match drawn{};
    if (Scene == MatchScene::Won) {
        drawn = Match{QPointF(96, 96), QPointF(-0.30, 1), 170, false};
        AddMatch(scene, drawn, 20, woodMat, headMat, 1.0);
    } else if (Scene == MatchScene::Lost) {
        drawn = Match{QPointF(96, 172), QPointF(-0.35, 1), 44, true};
        AddMatch(scene, drawn, 10, woodMat, charMat, 1.0);
    }
    const QImage solids = scene.Render();

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Soft shadow of everything on the table, away from the lamp.
    QImage shadow(solids.size(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter s(&shadow);
        s.drawImage(QPointF(9 * Scale, 11 * Scale), solids);
        s.setCompositionMode(QPainter::CompositionMode_SourceIn);
        s.fillRect(shadow.rect(), QColor(10, 5, 2, 150));
    }
    BlurImage(shadow, 6 * Scale);
    p.drawImage(0, 0, shadow);
    p.drawImage(0, 0, solids);
    p.scale(Scale, Scale);

    if (Scene == MatchScene::Lost) {
        // The broken end of the short match, and a thread of smoke from its head.
        const QPointF d = drawn.dir / std::hypot(drawn.dir.x(), drawn.dir.y());
        const QPointF end = drawn.head + d * drawn.length;
        QPainterPath splinter;
        const QPointF s(-d.y(), d.x());
        splinter.moveTo(end + s * 3.2);
        splinter.lineTo(end + d * 5 + s * 1.5);
        splinter.lineTo(end + d * 2);
        splinter.lineTo(end + d * 7 - s * 0.8);
        splinter.lineTo(end - s * 3.2);
        splinter.closeSubpath();
        p.setPen(QPen(QColor(150, 120, 80), 0.8));
        p.setBrush(QColor(226, 196, 140));
        p.drawPath(splinter);
        DrawSmoke(p, drawn.head - d * 6, Scale);
    } else if (Scene == MatchScene::Won) {
        DrawFlame(p, drawn.head, -drawn.dir);
    }
    p.end();
    return img;
}

}  // namespace tessum::gfx
