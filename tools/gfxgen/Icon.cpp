#include "Icon.h"

#include <cstdio>
#include <vector>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tessum::gfx {

namespace {

// The drawing on a 256-unit square. The board fills the width so that it
// stays a board at 16 pixels: two rows of three hollows between two end
// pits, every hollow with a bright stone that shows as a dot even there.
constexpr double Unit = 256.0;

struct Board {
    double x = 6, y = 52, w = 244, h = 152, radius = 34;
    double outline = 8;
};

struct Hollow {
    double cx, cy, rx, ry;
};

struct Stone {
    double cx, cy, r;
    QRgb colour;
};

const Board TheBoard;

std::vector<Hollow> Hollows() {
    std::vector<Hollow> h;
    h.push_back({38, 128, 20, 56});   // end pits
    h.push_back({218, 128, 20, 56});
    for (double cx : {84.0, 128.0, 172.0})
        for (double cy : {100.0, 156.0}) h.push_back({cx, cy, 19, 19});
    return h;
}

std::vector<Stone> Stones() {
    const QRgb red = qRgb(0xe0, 0x30, 0x30), blue = qRgb(0x30, 0x70, 0xe8), green = qRgb(0x30, 0xb0, 0x48),
               yellow = qRgb(0xf4, 0xc8, 0x20), white = qRgb(0xf4, 0xf0, 0xe8);
    return {
        {84, 100, 11, red},    {128, 100, 11, yellow}, {172, 100, 11, blue},
        {84, 156, 11, green},  {128, 156, 11, blue},   {172, 156, 11, red},
        {38, 108, 10, yellow}, {38, 134, 10, white},   {38, 156, 9, green},
        {218, 104, 10, blue},  {218, 130, 10, red},    {218, 154, 9, white},
    };
}

const QColor WoodLight(0xb0, 0x78, 0x40), WoodDark(0x70, 0x44, 0x1c), Outline(0x3a, 0x22, 0x0e);
const QColor HollowRim(0x4a, 0x2c, 0x12), HollowFloor(0x8a, 0x5a, 0x2c);

std::string Hex(const QColor& C) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", C.red(), C.green(), C.blue());
    return buf;
}

std::string Num(double V) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", V);
    return buf;
}

}  // namespace

QImage PaintIcon(int Size) {
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(Size / Unit, Size / Unit);

    const Board& b = TheBoard;
    QLinearGradient wood(0, b.y, 0, b.y + b.h);
    wood.setColorAt(0, WoodLight);
    wood.setColorAt(1, WoodDark);
    // Below 32 pixels a thin outline would only blur the edge; a darker rim does it.
    const double outline = Size < 32 ? b.outline * 1.5 : b.outline;
    p.setPen(QPen(Outline, outline));
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(b.x + outline / 2, b.y + outline / 2, b.w - outline, b.h - outline), b.radius,
                      b.radius);

    p.setPen(Qt::NoPen);
    for (const Hollow& h : Hollows()) {
        QRadialGradient g(QPointF(h.cx, h.cy - h.ry * 0.3), std::max(h.rx, h.ry));
        g.setColorAt(0, HollowFloor);
        g.setColorAt(1, HollowRim);
        p.setBrush(g);
        p.drawEllipse(QPointF(h.cx, h.cy), h.rx, h.ry);
    }
    for (const Stone& s : Stones()) {
        const QColor c = QColor::fromRgb(s.colour);
        QRadialGradient g(QPointF(s.cx - s.r * 0.35, s.cy - s.r * 0.35), s.r * 1.3);
        g.setColorAt(0, c.lighter(150));
        g.setColorAt(0.6, c);
        g.setColorAt(1, c.darker(140));
        p.setBrush(g);
        p.drawEllipse(QPointF(s.cx, s.cy), s.r, s.r);
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

std::string IconSvg() {
    const Board& b = TheBoard;
    std::string s;
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    s += "  <defs>\n";
    s += "    <linearGradient id=\"wood\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n";
    s += "      <stop offset=\"0\" stop-color=\"" + Hex(WoodLight) + "\"/>\n";
    s += "      <stop offset=\"1\" stop-color=\"" + Hex(WoodDark) + "\"/>\n";
    s += "    </linearGradient>\n";
    s += "    <radialGradient id=\"hollow\" cx=\"0.5\" cy=\"0.35\" r=\"0.6\">\n";
    s += "      <stop offset=\"0\" stop-color=\"" + Hex(HollowFloor) + "\"/>\n";
    s += "      <stop offset=\"1\" stop-color=\"" + Hex(HollowRim) + "\"/>\n";
    s += "    </radialGradient>\n";
    int n = 0;
    for (const Stone& st : Stones()) {
        const QColor c = QColor::fromRgb(st.colour);
        s += "    <radialGradient id=\"stone" + std::to_string(n++) + "\" cx=\"0.32\" cy=\"0.32\" r=\"0.8\">\n";
        s += "      <stop offset=\"0\" stop-color=\"" + Hex(c.lighter(150)) + "\"/>\n";
        s += "      <stop offset=\"0.55\" stop-color=\"" + Hex(c) + "\"/>\n";
        s += "      <stop offset=\"1\" stop-color=\"" + Hex(c.darker(140)) + "\"/>\n";
        s += "    </radialGradient>\n";
    }
    s += "  </defs>\n";
    const double o = b.outline;
    s += "  <rect x=\"" + Num(b.x + o / 2) + "\" y=\"" + Num(b.y + o / 2) + "\" width=\"" + Num(b.w - o) +
         "\" height=\"" + Num(b.h - o) + "\" rx=\"" + Num(b.radius) + "\" fill=\"url(#wood)\" stroke=\"" +
         Hex(Outline) + "\" stroke-width=\"" + Num(o) + "\"/>\n";
    for (const Hollow& h : Hollows())
        s += "  <ellipse cx=\"" + Num(h.cx) + "\" cy=\"" + Num(h.cy) + "\" rx=\"" + Num(h.rx) + "\" ry=\"" +
             Num(h.ry) + "\" fill=\"url(#hollow)\"/>\n";
    n = 0;
    for (const Stone& st : Stones())
        s += "  <circle cx=\"" + Num(st.cx) + "\" cy=\"" + Num(st.cy) + "\" r=\"" + Num(st.r) +
             "\" fill=\"url(#stone" + std::to_string(n++) + ")\"/>\n";
    s += "</svg>\n";
    return s;
}

}  // namespace tessum::gfx
