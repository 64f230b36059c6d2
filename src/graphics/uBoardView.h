// The board picture shown at the size of the window.
//
// The board is composed at a fixed logical size (720 x 520) and a whole-number
// pixel scale; the window it is shown in may have any size and any device
// pixel ratio. TBoardView places the board at the largest size that fits the
// area with its aspect ratio kept, centred, the rest in the surround colour,
// keeps a smoothly scaled copy at the area's device pixels, and maps pointer
// positions back to board coordinates, so hit tests, the hover pointer, the
// hint window and the hands' hot spots all keep working on the one set of
// geometry tables.
//
// Animation frames change small parts of the board: Update finds what changed
// since the last update by comparing the pictures, rescales only those parts
// and returns the window area to repaint, so a frame at full-screen size
// costs in proportion to what moved, not to the screen.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <cstdint>
#include <vector>

#include "graphics/Graphics.h"

class QPainter;

namespace tessum {

class TBoardView {
public:
    // For every column and row of the scaled copy: the source pixel and the
    // weight (0..256) of its right or lower neighbour. Every update samples
    // through the same taps, so a part rescaled alone equals the same part of
    // a whole rescale, and no seams appear where parts meet.
    struct TTap {
        int Index;
        int Weight;
    };

    // Painted around the board where the area is wider or taller than it.
    QColor Surround = Qt::black;

    // A board of BoardW x BoardH logical pixels.
    TBoardView(int BoardW, int BoardH);

    // The area the board is shown in, in logical pixels of the widget, and
    // the widget's device pixel ratio. A change forgets the scaled copy.
    void SetArea(QSize Area, double DevicePixelRatio);
    QSize Area() const { return area_; }
    double DevicePixelRatio() const { return ratio_; }

    // Where the board lies in the area: in device pixels (whole numbers) and
    // in logical widget pixels.
    QRect DeviceTarget() const { return deviceTarget_; }
    QRectF Target() const;
    // Logical widget pixels per board pixel.
    double Factor() const;

    // Board coordinates of a widget position (logical pixels, as mouse
    // events give them). Positions beside the board map outside 0..W x 0..H,
    // where no pit lies.
    TPoint ToBoard(QPointF WidgetPos) const;
    // Widget position of a board point, and the smallest widget rectangle
    // covering a board rectangle.
    QPointF ToWidget(TPoint BoardPos) const;
    QRect ToWidget(const TRect& BoardRect) const;

    // Brings the scaled copy up to date with Picture (the composed board at
    // any whole-number scale). Only the parts that differ from the picture of
    // the last update are rescaled; Hint, when not empty, says the change lies
    // inside this board rectangle and spares the comparison elsewhere.
    // Returns the widget area that changed and needs repainting.
    QRegion Update(const TBitmap& Picture, const TRect& Hint = TRect());
    // Forgets the scaled copy; the next Update rescales everything.
    void Invalidate() { valid_ = false; }

    // Paints the scaled board and the surround into the widget area Exposed
    // (logical pixels). Update must have run since the last change.
    void Paint(QPainter& Painter, const QRect& Exposed) const;

    // The scaled copy in device pixels (DeviceTarget().size()).
    const QImage& Scaled() const { return scaled_; }

private:
    int boardW_, boardH_;
    QSize area_;
    double ratio_ = 1.0;
    QRect deviceTarget_;
    QImage scaled_;   // the board at device pixels of the area
    QImage last_;     // the composed picture as last scaled
    bool valid_ = false;
    std::vector<TTap> xTaps_, yTaps_;
    QSize tapsFor_;
    std::vector<std::uint32_t> rowBuffer_;

    void Place();
    void MakeTaps(QSize Source);
    // Rescales the device rectangles Changed (pixels of Source) into scaled_
    // and returns the widget region they cover.
    QRegion Rescale(const QImage& Source, const std::vector<QRect>& Changed);
};

}  // namespace tessum
