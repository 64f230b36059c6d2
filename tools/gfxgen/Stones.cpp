// Glass stones and the golden pit marker.
#include <algorithm>
#include <array>
#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "Artwork.h"
#include "Layout.h"
#include "Raster.h"

namespace tessum::gfx {

namespace {

constexpr double StoneRadius = 7.0;
// Room the cast shadow needs right of and below a stone.
constexpr int ShadowReach = 4;

// Stone centres relative to a playing pit's stone origin. The hollows' centres
// lie about (38, 24.5) from their origins; the groups are arranged around that
// point, and each sits far enough right and down that its picture, placed at
// origin plus the offset for its count, starts at the picture's top left.
const std::array<std::vector<QPointF>, 10> Groups = {{
    {},
    {{38, 27}},
    {{33, 28}, {45, 24}},
    {{33, 30}, {46, 29}, {40, 18}},
    {{31, 19}, {45, 20}, {32, 32}, {46, 32}},
    {{30, 19}, {46, 19}, {38, 26}, {30, 33}, {46, 33}},
    {{26, 18}, {38, 16}, {50, 19}, {24, 31}, {37, 31}, {50, 32}},
    {{38, 24}, {51, 24}, {44.5, 35}, {31.5, 35}, {25, 24}, {31.5, 13}, {44.5, 13}},
    {{24, 15}, {38, 13}, {52, 15}, {31, 25}, {45, 25}, {24, 35}, {38, 36}, {52, 35}},
    {{27, 13}, {41, 12}, {54, 14}, {20, 25}, {34, 25}, {48, 24}, {61, 26}, {31, 37}, {46, 37}},
}};

struct Glass {
    Rgb body;
};

// A palette of glass colours, cycled so neighbouring stones differ.
const Glass Palette[] = {
    {Rgb::Of(38, 92, 210)},   // sapphire
    {Rgb::Of(236, 160, 36)},  // amber
    {Rgb::Of(34, 156, 86)},   // emerald
    {Rgb::Of(232, 230, 220)}, // milk glass
    {Rgb::Of(128, 62, 180)},  // amethyst
    {Rgb::Of(200, 40, 70)},   // garnet
    {Rgb::Of(30, 168, 178)},  // turquoise
};
constexpr int PaletteSize = static_cast<int>(sizeof(Palette) / sizeof(Palette[0]));

QColor ToColor(const Rgb& C, double Alpha = 1.0) {
    return QColor::fromRgbF(static_cast<float>(Clamp01(C.r)), static_cast<float>(Clamp01(C.g)),
                            static_cast<float>(Clamp01(C.b)), static_cast<float>(Alpha));
}

void DrawGlassStone(QPainter& P, QPointF C, double R, const Rgb& Body) {
    // Body: light passes through and gathers on the side away from the lamp.
    QRadialGradient body(C + QPointF(R * 0.28, R * 0.32), R * 1.25);
    body.setColorAt(0.0, ToColor(Mix(Body, Rgb(1, 1, 1), 0.45)));
    body.setColorAt(0.35, ToColor(Body));
    body.setColorAt(0.8, ToColor(Body * 0.62));
    body.setColorAt(1.0, ToColor(Body * 0.38));
    P.setPen(QPen(ToColor(Body * 0.3, 0.9), 0.8));
    P.setBrush(body);
    P.drawEllipse(C, R, R * 0.96);
    // Broad soft reflection of the lamp.
    QRadialGradient sheen(C + QPointF(-R * 0.38, -R * 0.42), R * 0.55);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 225));
    sheen.setColorAt(0.6, QColor(255, 255, 255, 70));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    P.setPen(Qt::NoPen);
    P.setBrush(sheen);
    P.drawEllipse(C + QPointF(-R * 0.38, -R * 0.42), R * 0.55, R * 0.42);
    // Sharp glint.
    P.setBrush(QColor(255, 255, 255, 245));
    P.drawEllipse(C + QPointF(-R * 0.42, -R * 0.45), R * 0.17, R * 0.14);
    // Thin rim of light on the far edge.
    P.setPen(QPen(QColor(255, 255, 255, 70), 0.9));
    P.setBrush(Qt::NoBrush);
    P.drawArc(QRectF(C.x() - R * 0.82, C.y() - R * 0.82, R * 1.64, R * 1.64), -20 * 16, -110 * 16);
}

// Renders stones (centres in picture coordinates) with their shadows onto a
// transparent picture of the given size.
QImage RenderStones(const std::vector<QPointF>& Centres, const std::vector<int>& Colours, QSize Size, int Scale) {
    QImage shadow(Size * Scale, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter p(&shadow);
        p.scale(Scale, Scale);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 10, 4, 190));
        for (const QPointF& c : Centres) p.drawEllipse(c + QPointF(1.8, 2.2), StoneRadius * 0.95, StoneRadius * 0.9);
    }
    BlurImage(shadow, Scale);
    QImage img(Size * Scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(0, 0, shadow);
    p.scale(Scale, Scale);
    // Back to front, so stones lower in the picture lie over those above.
    std::vector<std::size_t> order(Centres.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return Centres[a].y() < Centres[b].y(); });
    for (std::size_t i : order) {
        const double r = StoneRadius * (0.94 + 0.06 * static_cast<double>((i * 7 + Centres.size()) % 3));
        DrawGlassStone(p, Centres[i], r, Palette[Colours[i] % PaletteSize].body);
    }
    return img;
}

}  // namespace

std::vector<QPointF> StoneCentres(int N) {
    const QPoint off = StoneOffset(N);
    std::vector<QPointF> out;
    for (const QPointF& c : Groups[static_cast<std::size_t>(std::clamp(N, 1, 9))]) out.push_back(c - QPointF(off));
    return out;
}

QImage PaintStones(int N, QRgb Matte, int Scale) {
    const std::vector<QPointF> centres = StoneCentres(N);
    double w = 0, h = 0;
    for (const QPointF& c : centres) {
        w = std::max(w, c.x() + StoneRadius * 1.06 + ShadowReach);
        h = std::max(h, c.y() + StoneRadius * 1.06 + ShadowReach);
    }
    std::vector<int> colours;
    for (int i = 0; i < static_cast<int>(centres.size()); ++i) colours.push_back((i * 3 + N * 2) % PaletteSize);
    const QImage img =
        RenderStones(centres, colours, QSize(static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(h))), Scale);
    return ToKeyed(img, Matte, qRgb(255, 0, 0), 0.35);
}

QImage PaintHighlight(QRgb Matte, int Scale) {
    const int w = 62, h = 48;
    QImage img(w * Scale, h * Scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.scale(Scale, Scale);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF ring(4, 4, w - 8, h - 8);
        QLinearGradient gold(ring.topLeft(), ring.bottomRight());
        gold.setColorAt(0.0, QColor(255, 246, 180));
        gold.setColorAt(0.3, QColor(246, 196, 64));
        gold.setColorAt(0.65, QColor(196, 136, 24));
        gold.setColorAt(1.0, QColor(255, 220, 110));
        p.setPen(QPen(QColor(120, 76, 10), 5.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(ring);
        p.setPen(QPen(QBrush(gold), 3.4));
        p.drawEllipse(ring);
        p.setPen(QPen(QColor(255, 252, 220, 200), 1.0));
        p.drawArc(ring.adjusted(0.6, 0.6, -0.6, -0.6), 100 * 16, 80 * 16);
        // Sparkles where the ring catches the light.
        auto star = [&](QPointF c, double s) {
            QPainterPath path;
            path.moveTo(c + QPointF(0, -s));
            path.quadTo(c, c + QPointF(s, 0));
            path.quadTo(c, c + QPointF(0, s));
            path.quadTo(c, c + QPointF(-s, 0));
            path.quadTo(c, c + QPointF(0, -s));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 250, 215));
            p.drawPath(path);
        };
        star(QPointF(12, 9), 5.5);
        star(QPointF(w - 9, h - 13), 4.0);
        star(QPointF(w * 0.5 + 6, 4), 3.0);
    }
    return ToKeyed(img, Matte, qRgb(255, 255, 255), 0.45);
}

}  // namespace tessum::gfx
