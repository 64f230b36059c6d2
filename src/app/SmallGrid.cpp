#include "app/SmallGrid.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace tessum {

namespace {

// Keeps hostile or careless counts and sizes from overflowing the sums.
constexpr int MaxCells = 100000;
constexpr int MaxExtent = 100000;

int Bounded(int Value, int Low, int High) { return std::clamp(Value, Low, High); }

}  // namespace

TSmallGrid::TSmallGrid(QWidget* Parent) : QWidget(Parent) {
    resize(200, 250);
}

void TSmallGrid::SetRowCount(int Value) {
    RowCount_ = Bounded(Value, 0, MaxCells);
    UpdateSize();
}

void TSmallGrid::SetColCount(int Value) {
    ColCount_ = Bounded(Value, 0, MaxCells);
    UpdateSize();
}

void TSmallGrid::SetDefaultRowHeight(int Value) {
    DefaultRowHeight_ = Bounded(Value, 0, MaxExtent);
    UpdateSize();
}

void TSmallGrid::SetDefaultColWidth(int Value) {
    DefaultColWidth_ = Bounded(Value, 0, MaxExtent);
    UpdateSize();
}

int TSmallGrid::ColWidth(int aCol) {
    int w = DefaultColWidth_;
    if (OnGetColWidth) OnGetColWidth(*this, aCol, w);
    return Bounded(w, 0, MaxExtent);
}

int TSmallGrid::RowHeight(int aRow) {
    int h = DefaultRowHeight_;
    if (OnGetRowHeight) OnGetRowHeight(*this, aRow, h);
    return Bounded(h, 0, MaxExtent);
}

int TSmallGrid::TotalColWidth() {
    long long sum = 0;
    for (int c = 0; c < ColCount_; ++c) sum += ColWidth(c);
    return static_cast<int>(std::min<long long>(sum, 1LL << 30));
}

int TSmallGrid::TotalRowHeight() {
    long long sum = 0;
    for (int r = 0; r < RowCount_; ++r) sum += RowHeight(r);
    return static_cast<int>(std::min<long long>(sum, 1LL << 30));
}

void TSmallGrid::UpdateSize() {
    // Qt refuses widgets beyond this size; such a grid is only ever printed.
    constexpr int MaxWidgetSize = 16777215;
    const int w = std::min(TotalColWidth() + 1, MaxWidgetSize);
    const int h = std::min(TotalRowHeight() + 1, MaxWidgetSize);
    if (width() != w || height() != h) {
        setFixedSize(w, h);
        resize(w, h);
    }
    update();
}

void TSmallGrid::SelectRow(int Row) {
    Selection_ = {0, Row, ColCount_, Row + 1};
    update();
}

bool TSmallGrid::IsSelected(int aCol, int aRow) const {
    return aCol >= Selection_.Left && aCol < Selection_.Right && aRow >= Selection_.Top &&
           aRow < Selection_.Bottom;
}

void TSmallGrid::PaintTo(TCanvas& Canvas, TPoint Origin, int Scale) {
    Scale = std::clamp(Scale, 1, 10000);
    std::vector<int> widths(static_cast<std::size_t>(ColCount_));
    std::vector<int> heights(static_cast<std::size_t>(RowCount_));
    long long totalW = 0, totalH = 0;
    for (int c = 0; c < ColCount_; ++c) totalW += widths[static_cast<std::size_t>(c)] = ColWidth(c) * Scale;
    for (int r = 0; r < RowCount_; ++r) totalH += heights[static_cast<std::size_t>(r)] = RowHeight(r) * Scale;
    const int fullW = static_cast<int>(std::min<long long>(totalW, 1LL << 30));
    const int fullH = static_cast<int>(std::min<long long>(totalH, 1LL << 30));

    const TBrush brush = Canvas.Brush;
    TColor color = Canvas.Brush.Color;
    int y = Origin.Y;
    for (int r = 0; r < RowCount_; ++r) {
        const int h = heights[static_cast<std::size_t>(r)];
        int x = Origin.X;
        for (int c = 0; c < ColCount_; ++c) {
            const int w = widths[static_cast<std::size_t>(c)];
            TRect cell{x, y, x + w, y + h};
            std::string text;
            if (OnGetCellStr) OnGetCellStr(*this, c, r, text);
            THorzAlign hAlign = THorzAlign::Left;
            TVertAlign vAlign = TVertAlign::Center;
            if (OnGetCellAlignment) OnGetCellAlignment(*this, c, r, hAlign, vAlign);
            // Colour carries over from the previous cell unless the owner changes it.
            if (OnGetCellColorBG) OnGetCellColorBG(*this, c, r, color);
            Canvas.Brush.Style = TBrushStyle::Solid;
            Canvas.Brush.Color = color;
            Canvas.FillRect(cell);
            cell.Top += CellPaddingVert * Scale;
            cell.Bottom -= CellPaddingVert * Scale;
            cell.Left += CellPaddingHori * Scale;
            cell.Right -= CellPaddingHori * Scale;
            Canvas.TextEllipsis(cell, text, hAlign, vAlign);
            x += w;
        }
        y += h;
    }

    // Lines are filled bands rather than pen strokes, so a width of n covers
    // exactly n pixels below or right of its position at every scale.
    Canvas.Brush.Style = TBrushStyle::Solid;
    Canvas.Brush.Color = Canvas.Pen.Color;
    if (GridLineHori > 0) {
        const int lw = GridLineHori * Scale;
        int ly = Origin.Y;
        for (int r = 0; r <= RowCount_; ++r) {
            Canvas.FillRect({Origin.X, ly, Origin.X + fullW + lw, ly + lw});
            if (r < RowCount_) ly += heights[static_cast<std::size_t>(r)];
        }
    }
    if (GridLineVert > 0) {
        const int lw = GridLineVert * Scale;
        int lx = Origin.X;
        for (int c = 0; c <= ColCount_; ++c) {
            Canvas.FillRect({lx, Origin.Y, lx + lw, Origin.Y + fullH + lw});
            if (c < ColCount_) lx += widths[static_cast<std::size_t>(c)];
        }
    }
    Canvas.Brush = brush;
}

void TSmallGrid::paintEvent(QPaintEvent*) {
    const int w = TotalColWidth() + 1, h = TotalRowHeight() + 1;
    if (width() != w || height() != h) UpdateSize();
    QPainter painter(this);
    TCanvas canvas(painter);
    canvas.Font = Font;
    canvas.Brush.Color = palette().color(QPalette::Base).rgb();
    canvas.Pen.Color = GridLineColor;
    PaintTo(canvas, {0, 0}, 1);
}

}  // namespace tessum
