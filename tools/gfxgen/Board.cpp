// The board background, the pit overlays cut from it, and the small board.
#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

#include "Artwork.h"
#include "Layout.h"
#include "Relief.h"
#include "Wood.h"

namespace tessum::gfx {

double PitShape::Distance(double X, double Y) const {
    const double dx = std::abs(X - cx) / rx, dy = std::abs(Y - cy) / ry;
    return std::pow(std::pow(dx, power) + std::pow(dy, power), 1.0 / power);
}

PitShape HollowOf(int Pit) {
    const Box b = PitBox(Pit);
    // Pixel centres run from l + 0.5 to r - 0.5; leave a rim of two pixels to
    // the hit rectangle so the hollow never reaches into a neighbour's area.
    const double cx = (b.l + b.r) * 0.5 - 0.5, cy = (b.t + b.b) * 0.5 - 0.5;
    if (IsEndPit(Pit)) return {cx, cy, b.w() * 0.5 - 2.5, b.h() * 0.5 - 2.5, 2.7};
    return {cx, cy, b.w() * 0.5 - 2.0, b.h() * 0.5 - 2.0, 2.0};
}

namespace {

// Colours of the materials, linear-ish 0..1.
const WoodStyle TableWood{Rgb(0.34, 0.21, 0.13), Rgb(0.17, 0.10, 0.06), 7.5, 18, 300, 0.30, 0.55, false};
const WoodStyle BoardWood{Rgb(0.88, 0.66, 0.42), Rgb(0.66, 0.42, 0.23), 10, 22, 340, 0.20, 0.50, false};
const WoodStyle StripWood{Rgb(0.80, 0.58, 0.36), Rgb(0.60, 0.38, 0.21), 8, 12, 260, 0.20, 0.50, false};
const WoodStyle DarkWood{Rgb(0.36, 0.23, 0.14), Rgb(0.24, 0.15, 0.09), 5, 6, 120, 0.25, 0.45, false};
const Rgb Cream = Rgb::Of(238, 225, 192);
const Rgb Parchment = Rgb::Of(243, 230, 196);
const Rgb Burnt = Rgb::Of(70, 38, 20);

constexpr double BoardL = 34, BoardT = 132, BoardR = 686, BoardB = 322;
constexpr double BoardRaise = 14;

// Left tray (overview, preview and their captions) and right tray (notes).
constexpr double TrayT = 386, TrayB = 516;
constexpr double LeftTrayL = 4, LeftTrayR = 426;
constexpr double RightTrayL = 434, RightTrayR = 716;
constexpr double TrayHeight = 7;

// The information strip.
constexpr double StripL = 8, StripT = 9, StripR = 712, StripB = 76;
constexpr double StripHeight = 7;

struct Field {
    double l, t, r, b;
};
// Calm recessed fields behind the texts of the information strip: each text
// area with a few pixels of air.
const Field StripFields[] = {
    {ClockArea.l - 5.0, ClockArea.t - 4.0, ClockArea.r + 5.0, ClockArea.b + 3.0},
    {SideToMoveArea.l - 5.0, SideToMoveArea.t - 4.0, SideToMoveArea.r + 5.0, SideToMoveArea.b + 3.0},
    {VariantArea.l - 5.0, VariantArea.t - 4.0, VariantArea.r + 5.0, VariantArea.b + 3.0},
    {HandArea.l - 5.0, HandArea.t - 4.0, HandArea.r + 5.0, HandArea.b + 3.0},
    {CounterArea.l - 5.0, CounterArea.t - 4.0, CounterArea.r + 4.0, CounterArea.b + 3.0},
};

// The notes sit on parchment a little larger than their text area.
const Field NotesField = {NotesArea.l - 7.0, NotesArea.t - 6.0, NotesArea.r + 7.0, NotesArea.b + 6.0};

// Recesses the brass captions are set into.
const Field LegendSlots[] = {
    {OverviewLegendAt.x() - 2.0, OverviewLegendAt.y() - 2.0, OverviewLegendAt.x() + LegendWidth + 2.0,
     OverviewLegendAt.y() + LegendHeight + 2.0},
    {PreviewLegendAt.x() - 2.0, PreviewLegendAt.y() - 2.0, PreviewLegendAt.x() + LegendWidth + 2.0,
     PreviewLegendAt.y() + LegendHeight + 2.0},
};

double Lerp(double A, double B, double T) { return A + (B - A) * T; }

// Icons burnt into the strip beside each field, so the fields explain
// themselves without words.
QImage StripIcons(int Scale) {
    QImage m(BoardWidth * Scale, BoardHeight * Scale, QImage::Format_ARGB32_Premultiplied);
    m.fill(Qt::transparent);
    QPainter p(&m);
    p.scale(Scale, Scale);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // Clock.
    const QPointF clock(48, 44);
    p.drawEllipse(clock, 12.5, 12.5);
    p.drawLine(clock, clock + QPointF(0, -8.5));
    p.drawLine(clock, clock + QPointF(6, 2));
    for (int i = 0; i < 12; ++i) {
        const double a = i * 3.14159265358979 / 6;
        const double r0 = (i % 3 == 0) ? 9.0 : 10.3;
        p.drawLine(clock + QPointF(std::sin(a) * r0, -std::cos(a) * r0),
                   clock + QPointF(std::sin(a) * 11.2, -std::cos(a) * 11.2));
    }
    // Side to move: a figure with an arrow.
    const QPointF who(190, 36);
    p.drawEllipse(who + QPointF(0, -6), 4.2, 4.2);
    QPainterPath body;
    body.moveTo(who + QPointF(-8, 11));
    body.cubicTo(who + QPointF(-8, 0), who + QPointF(8, 0), who + QPointF(8, 11));
    p.drawPath(body);
    p.drawLine(who + QPointF(13, 3), who + QPointF(21, 3));
    p.drawLine(who + QPointF(18, -1), who + QPointF(21.5, 3));
    p.drawLine(who + QPointF(18, 7), who + QPointF(21.5, 3));
    // Variant: a tiny board with its two rows of pits.
    const QPointF var(329, 36);
    p.drawRoundedRect(QRectF(var.x() - 14, var.y() - 8, 28, 16), 5, 5);
    p.setBrush(Qt::white);
    for (int c = 0; c < 3; ++c) {
        p.drawEllipse(QPointF(var.x() - 6 + c * 6, var.y() - 3), 1.6, 1.6);
        p.drawEllipse(QPointF(var.x() - 6 + c * 6, var.y() + 3), 1.6, 1.6);
    }
    p.setBrush(Qt::NoBrush);
    // Stones in hand: a small heap.
    const QPointF heap(452, 46);
    p.drawEllipse(heap + QPointF(-6, 4), 5, 4.5);
    p.drawEllipse(heap + QPointF(6, 4), 5, 4.5);
    p.drawEllipse(heap + QPointF(0, -5), 5, 4.5);
    // Move counter: a circular arrow.
    const QPointF cnt(611, 42);
    p.drawArc(QRectF(cnt.x() - 11, cnt.y() - 11, 22, 22), 100 * 16, 290 * 16);
    const double a = 100 * 3.14159265358979 / 180;
    const QPointF tip = cnt + QPointF(std::cos(a) * 11, -std::sin(a) * 11);
    p.drawLine(tip, tip + QPointF(6.5, -3.5));
    p.drawLine(tip, tip + QPointF(5, 5.5));
    // A quill over the notes.
    QPainterPath quill;
    const QPointF q0(452, 409);
    quill.moveTo(q0);
    quill.cubicTo(q0 + QPointF(18, -2), q0 + QPointF(34, -8), q0 + QPointF(46, -14));
    p.drawPath(quill);
    QPainterPath vane;
    vane.moveTo(q0 + QPointF(12, -1));
    vane.cubicTo(q0 + QPointF(24, -16), q0 + QPointF(40, -16), q0 + QPointF(48, -15));
    vane.cubicTo(q0 + QPointF(40, -8), q0 + QPointF(26, -2), q0 + QPointF(12, -1));
    p.drawPath(vane);
    return m;
}

// The raised plate of a small board whose numbers start at Origin: one hollow
// per pit cell, a tall one for each end pit and a cream plate for the count of
// stones in play.
struct MiniBoard {
    double ox, oy;  // where the numbers start
    double PlateDistance(double X, double Y) const {
        return RoundRectDistance(X, Y, ox - 8, oy - 9, ox - 8 + SmallBoardWidth, oy - 9 + SmallBoardHeight, 8);
    }
    // Depth 0..1 of the cell hollow at (X, Y), and whether it is the middle plate.
    double Hollow(double X, double Y, bool& Middle) const {
        Middle = false;
        double best = 0;
        auto cell = [&](double l, double t, double r, double b, double radius) {
            const double d = RoundRectDistance(X, Y, l, t, r, b, radius);
            best = std::max(best, SmoothStep(0.5, -2.0, d));
        };
        for (int c = 1; c <= 6; ++c) {
            const double x = ox + SmallColumn * c;
            cell(x + 1, oy - 1, x + 22, oy + 14, 6.5);
            cell(x + 1, oy + 2 * SmallRow - 1, x + 22, oy + 2 * SmallRow + 14, 6.5);
        }
        cell(ox + 1, oy - 1, ox + 22, oy + 3 * SmallRow - 1, 9.5);
        cell(ox + 7 * SmallColumn + 1, oy - 1, ox + 7 * SmallColumn + 22, oy + 3 * SmallRow - 1, 9.5);
        const double mx = ox + 92;
        const double md = RoundRectDistance(X, Y, mx - 20, oy + SmallRow - 1, mx + 20, oy + SmallRow + 14, 5);
        if (md < 0.5) Middle = true;
        if (Middle) best = std::max(best, 0.35 * SmoothStep(0.5, -1.5, md));
        return best;
    }
};

const MiniBoard OverviewBoards[] = {
    {static_cast<double>(OverviewArea.l + OverviewInset.x()), static_cast<double>(OverviewArea.t + OverviewInset.y())},
    {static_cast<double>(OverviewArea.l + OverviewSpacing + OverviewInset.x()),
     static_cast<double>(OverviewArea.t + OverviewInset.y())},
};

// Raises a mini board on top of whatever lies at its place.
void ApplyMiniBoard(const MiniBoard& M, double X, double Y, double Base, const Wood& Plate, const Wood& Cells,
                    double& H, Rgb& A, float& G) {
    const double d = M.PlateDistance(X, Y);
    if (d >= 0) return;
    H = std::max(H, Base + BevelProfile(d, 4.0, 3.0));
    A = Plate.At(X * 1.7 + 31, Y * 1.7 + 7);
    G = 0.22f;
    bool middle = false;
    const double hollow = M.Hollow(X, Y, middle);
    if (hollow > 0) {
        H -= 3.0 * hollow;
        if (middle)
            A = Mix(A, Cream, SmoothStep(0.0, 0.3, hollow));
        else
            A = Mix(A, Cells.At(X, Y), SmoothStep(0.0, 0.6, hollow));
        G = middle ? 0.05f : 0.12f;
    }
}

}  // namespace

// The model coordinate of the centre of pixel I at Scale: pixel I itself at
// scale 1, so the pictures of scale 1 stay as they were.
double ModelAt(int I, int Scale) { return (I + 0.5) / Scale - 0.5; }

QImage PaintBackground(int Scale) {
    Relief rel(BoardWidth * Scale, BoardHeight * Scale, Scale);
    Plane& height = rel.Heights();
    const Wood table(TableWood, 11);
    const Wood board(BoardWood, 23);
    const Wood strip(StripWood, 37);
    const Wood dark(DarkWood, 41);
    const Noise paper(53);
    const QImage icons = StripIcons(Scale);

    PitShape pits[15];
    for (int p = 1; p <= 14; ++p) pits[p] = HollowOf(p);

    for (int y = 0; y < BoardHeight * Scale; ++y) {
        for (int x = 0; x < BoardWidth * Scale; ++x) {
            const double X = ModelAt(x, Scale), Y = ModelAt(y, Scale);
            double h = 0;
            Rgb a;
            float gloss = 0.10f;

            // Table of dark planks with a seam between them.
            const int plank = static_cast<int>(Y / 87.0);
            const double inPlank = Y - plank * 87.0;
            a = table.At(X + plank * 1234.5, Y + plank * 377.0);
            a = a * (0.92 + 0.08 * ((plank * 37) % 5) / 4.0);
            if (inPlank < 1.6) {
                h -= 1.8 * (1.0 - inPlank / 1.6);
                a = a * 0.55;
            }

            // Information strip.
            const double sd = RoundRectDistance(X, Y, StripL, StripT, StripR, StripB, 10);
            if (sd < 0) {
                h = BevelProfile(sd, StripHeight, 5);
                a = strip.At(X, Y + 900);
                gloss = 0.22f;
                for (const Field& f : StripFields) {
                    const double fd = RoundRectDistance(X, Y, f.l, f.t, f.r, f.b, 5);
                    if (fd < 1.0) {
                        const double depth = SmoothStep(1.0, -2.5, fd);
                        h -= 2.6 * depth;
                        const double grain = paper.Fbm(X / 9.0, Y / 9.0, 3) * 0.015;
                        a = Mix(a, Cream * (1.0 + grain), depth);
                        gloss = static_cast<float>(Lerp(gloss, 0.04, depth));
                    }
                }
            }

            // The board itself.
            const double bd = RoundRectDistance(X, Y, BoardL, BoardT, BoardR, BoardB, 30);
            if (bd < 0) {
                h = BevelProfile(bd, BoardRaise, 10);
                a = board.At(X, Y);
                gloss = 0.28f;
                // A fine inlaid line around the playing area.
                const double inlay = std::abs(RoundRectDistance(X, Y, BoardL + 10, BoardT + 10, BoardR - 10, BoardB - 10, 21));
                if (inlay < 1.3) {
                    const double k = 1.0 - inlay / 1.3;
                    h -= 0.9 * k;
                    a = Mix(a, dark.At(X, Y), 0.8 * k);
                }
                for (int p = 1; p <= 14; ++p) {
                    const PitShape& s = pits[p];
                    if (std::abs(X - s.cx) > s.rx + 2 || std::abs(Y - s.cy) > s.ry + 2) continue;
                    const double d = s.Distance(X, Y);
                    if (d >= 1.0) continue;
                    const double depth = (IsEndPit(p) ? 15.0 : 12.5) * std::pow(1.0 - d * d, 0.55);
                    h -= depth;
                    // Cutting into the rings bends them round the hollow.
                    a = board.At(X, Y - depth * 2.4);
                    // Carved wood shows its end grain: a little darker and redder inside.
                    const double k = SmoothStep(0.98, 0.6, d);
                    a = Mix(a, a * Rgb(0.86, 0.80, 0.76), k);
                    gloss = static_cast<float>(Lerp(gloss, 0.16, k));
                }
            }

            // Lower trays.
            const double ld = RoundRectDistance(X, Y, LeftTrayL, TrayT, LeftTrayR, TrayB, 9);
            const double rd = RoundRectDistance(X, Y, RightTrayL, TrayT, RightTrayR, TrayB, 9);
            if (ld < 0 || rd < 0) {
                h = BevelProfile(std::min(ld, rd), TrayHeight, 5);
                a = strip.At(X + 400, Y);
                gloss = 0.22f;
            }
            if (ld < 0) {
                for (const Field& f : LegendSlots) {
                    const double fd = RoundRectDistance(X, Y, f.l, f.t, f.r, f.b, 3);
                    if (fd < 0.8) {
                        const double depth = SmoothStep(0.8, -1.2, fd);
                        h -= 2.0 * depth;
                        a = Mix(a, a * 0.45, depth);
                    }
                }
                for (const MiniBoard& m : OverviewBoards) {
                    double hh = h;
                    float g = gloss;
                    ApplyMiniBoard(m, X, Y, TrayHeight, board, dark, hh, a, g);
                    h = hh;
                    gloss = g;
                }
            }
            if (rd < 0) {
                const double fd = RoundRectDistance(X, Y, NotesField.l, NotesField.t, NotesField.r, NotesField.b, 5);
                if (fd < 1.0) {
                    const double depth = SmoothStep(1.0, -2.5, fd);
                    h -= 2.6 * depth;
                    const double blot = paper.Fbm(X / 40.0, Y / 40.0, 4);
                    const double fibres = paper.Fbm(X / 3.0 + 100, Y / 3.0, 2);
                    a = Mix(a, Parchment * (1.0 + 0.035 * blot + 0.012 * fibres), depth);
                    gloss = static_cast<float>(Lerp(gloss, 0.02, depth));
                }
            }

            // Engraved icons.
            const double ink = qAlpha(icons.pixel(x, y)) / 255.0;
            if (ink > 0) {
                h -= 1.1 * ink;
                a = Mix(a, Burnt, 0.78 * ink);
            }

            height.at(x, y) = static_cast<float>(h);
            rel.Albedo(x, y) = a;
            rel.Gloss(x, y) = gloss;
        }
    }
    // Soften every edge a touch: real wood is never knife-sharp.
    BlurPlane(height, Scale);

    Light light;
    QImage img = rel.Shade(light);

    // A gentle vignette pulls the eye to the board.
    for (int y = 0; y < BoardHeight * Scale; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < BoardWidth * Scale; ++x) {
            const double dx = (ModelAt(x, Scale) - 360.0) / 430.0, dy = (ModelAt(y, Scale) - 250.0) / 330.0;
            const double k = 1.0 - 0.22 * SmoothStep(0.55, 1.15, std::sqrt(dx * dx + dy * dy));
            const QRgb c = line[x];
            line[x] = qRgb(static_cast<int>(qRed(c) * k), static_cast<int>(qGreen(c) * k), static_cast<int>(qBlue(c) * k));
        }
    }
    return img;
}

QImage PaintPitOverlay(const QImage& Decoded, int Pit, int Scale) {
    const Box b = PitBox(Pit);
    const QPoint at = OverlayOrigin(Pit);
    const PitShape s = HollowOf(Pit);
    // Reach to the pit's right and bottom edges and no further, so drawing it
    // never touches a neighbour's area.
    const int w = b.r - at.x(), h = b.b - at.y();
    QImage out(w * Scale, h * Scale, QImage::Format_RGB32);
    out.fill(qRgb(255, 255, 255));
    for (int y = 0; y < h * Scale; ++y) {
        for (int x = 0; x < w * Scale; ++x) {
            // Device pixel of the background, and the model pixel it lies in.
            const int dx = at.x() * Scale + x, dy = at.y() * Scale + y;
            if (dx / Scale < b.l || dy / Scale < b.t) continue;
            // The near wall of the hollow and the board in front of it; the
            // floor stays open so the stones show.
            if (s.Distance(ModelAt(dx, Scale), ModelAt(dy, Scale)) < 0.86) continue;
            QRgb c = Decoded.pixel(dx, dy) | 0xFF000000u;
            if (c == 0xFFFFFFFFu) c = qRgb(254, 254, 254);
            out.setPixel(x, y, c);
        }
    }
    return out;
}

QImage PaintSmallBoard(int Scale) {
    Relief rel(SmallBoardWidth * Scale, SmallBoardHeight * Scale, Scale);
    const Wood board(BoardWood, 23);
    const Wood dark(DarkWood, 41);
    const MiniBoard m{static_cast<double>(SmallBoardInset.x()), static_cast<double>(SmallBoardInset.y())};
    for (int y = 0; y < SmallBoardHeight * Scale; ++y) {
        for (int x = 0; x < SmallBoardWidth * Scale; ++x) {
            double h = 0;
            Rgb a(1, 1, 1);
            float g = 0;
            ApplyMiniBoard(m, ModelAt(x, Scale), ModelAt(y, Scale), 0.0, board, dark, h, a, g);
            rel.Heights().at(x, y) = static_cast<float>(h);
            rel.Albedo(x, y) = a;
            rel.Gloss(x, y) = g;
        }
    }
    BlurPlane(rel.Heights(), Scale);
    Light light;
    light.occlusionRadius = 4;
    return rel.Shade(light);
}

}  // namespace tessum::gfx
