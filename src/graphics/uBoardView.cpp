#include "graphics/uBoardView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessum {

namespace {

// Rows compared and rescaled together. Small enough that two hands far apart
// do not make one big rectangle, large enough that the per-rectangle cost of
// the painter stays small.
constexpr int BandRows = 16;
// Pixels compared at once with memcmp before the exact edge is searched.
constexpr int Chunk = 32;

const std::uint32_t* Row(const QImage& Image, int Y) {
    return reinterpret_cast<const std::uint32_t*>(Image.constScanLine(Y));
}

// First and last differing pixel of A and B in [X0, X1); false when equal.
bool RowDifference(const std::uint32_t* A, const std::uint32_t* B, int X0, int X1, int& First, int& Last) {
    int x = X0;
    while (x < X1) {
        const int n = std::min(Chunk, X1 - x);
        if (std::memcmp(A + x, B + x, static_cast<std::size_t>(n) * 4) != 0) break;
        x += n;
    }
    if (x >= X1) return false;
    while (A[x] == B[x]) ++x;
    First = x;
    int y = X1;
    while (y > First) {
        const int n = std::min(Chunk, y - First);
        if (std::memcmp(A + y - n, B + y - n, static_cast<std::size_t>(n) * 4) != 0) break;
        y -= n;
    }
    --y;
    while (A[y] == B[y]) --y;
    Last = y;
    return true;
}

}  // namespace

TBoardView::TBoardView(int BoardW, int BoardH) : boardW_(std::max(1, BoardW)), boardH_(std::max(1, BoardH)) {}

void TBoardView::SetArea(QSize Area, double DevicePixelRatio) {
    const double ratio = DevicePixelRatio > 0 ? DevicePixelRatio : 1.0;
    if (Area == area_ && ratio == ratio_ && !deviceTarget_.isEmpty()) return;
    area_ = Area;
    ratio_ = ratio;
    Place();
    valid_ = false;
}

void TBoardView::Place() {
    const int w = static_cast<int>(std::lround(area_.width() * ratio_));
    const int h = static_cast<int>(std::lround(area_.height() * ratio_));
    if (w <= 0 || h <= 0) {
        deviceTarget_ = QRect();
        return;
    }
    // The largest board that fits, aspect ratio kept.
    const double f = std::min(static_cast<double>(w) / boardW_, static_cast<double>(h) / boardH_);
    const int tw = std::clamp(static_cast<int>(std::lround(boardW_ * f)), 1, w);
    const int th = std::clamp(static_cast<int>(std::lround(boardH_ * f)), 1, h);
    deviceTarget_ = QRect((w - tw) / 2, (h - th) / 2, tw, th);
}

QRectF TBoardView::Target() const {
    return {deviceTarget_.x() / ratio_, deviceTarget_.y() / ratio_, deviceTarget_.width() / ratio_,
            deviceTarget_.height() / ratio_};
}

double TBoardView::Factor() const { return deviceTarget_.width() / ratio_ / boardW_; }

TPoint TBoardView::ToBoard(QPointF WidgetPos) const {
    if (deviceTarget_.isEmpty()) return {-1, -1};
    const double x = (WidgetPos.x() * ratio_ - deviceTarget_.x()) * boardW_ / deviceTarget_.width();
    const double y = (WidgetPos.y() * ratio_ - deviceTarget_.y()) * boardH_ / deviceTarget_.height();
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

QPointF TBoardView::ToWidget(TPoint BoardPos) const {
    const double x = deviceTarget_.x() + static_cast<double>(BoardPos.X) * deviceTarget_.width() / boardW_;
    const double y = deviceTarget_.y() + static_cast<double>(BoardPos.Y) * deviceTarget_.height() / boardH_;
    return {x / ratio_, y / ratio_};
}

QRect TBoardView::ToWidget(const TRect& BoardRect) const {
    const QPointF a = ToWidget(BoardRect.TopLeft());
    const QPointF b = ToWidget(TPoint{BoardRect.Right, BoardRect.Bottom});
    const int l = static_cast<int>(std::floor(a.x())), t = static_cast<int>(std::floor(a.y()));
    const int r = static_cast<int>(std::ceil(b.x())), d = static_cast<int>(std::ceil(b.y()));
    return QRect(l, t, r - l, d - t);
}

QRegion TBoardView::Update(const TBitmap& Picture, const TRect& Hint) {
    if (deviceTarget_.isEmpty() || Picture.Empty()) return {};
    const QImage& source = Picture.Image();
    if (source.format() != QImage::Format_RGB32) return {};
    if (!valid_ || last_.size() != source.size() || scaled_.size() != deviceTarget_.size()) {
        last_ = source.copy();
        scaled_ = QImage(deviceTarget_.size(), QImage::Format_RGB32);
        scaled_.setDevicePixelRatio(ratio_);
        valid_ = true;
        Rescale(source, {source.rect()});
        return QRegion(QRect(QPoint(0, 0), area_));
    }

    // Compare only where the caller says the change is, in device pixels.
    QRect within = source.rect();
    if (!Hint.IsEmpty()) {
        const int s = std::max(1, Picture.Scale());
        within &= QRect(Hint.Left * s, Hint.Top * s, Hint.Width() * s, Hint.Height() * s);
    }
    std::vector<QRect> changed;
    const qsizetype stride = last_.bytesPerLine();
    std::uint8_t* lastBits = last_.bits();
    for (int band = within.top(); band <= within.bottom(); band += BandRows) {
        const int bandEnd = std::min(within.bottom() + 1, band + BandRows);
        int minX = within.right() + 1, maxX = -1, minY = -1, maxY = -1;
        for (int y = band; y < bandEnd; ++y) {
            auto* old = reinterpret_cast<std::uint32_t*>(lastBits + y * stride);
            int first = 0, last = 0;
            if (!RowDifference(Row(source, y), old, within.left(), within.right() + 1, first, last)) continue;
            std::memcpy(old + first, Row(source, y) + first, static_cast<std::size_t>(last - first + 1) * 4);
            minX = std::min(minX, first);
            maxX = std::max(maxX, last);
            if (minY < 0) minY = y;
            maxY = y;
        }
        if (maxX >= 0) changed.push_back(QRect(QPoint(minX, minY), QPoint(maxX, maxY)));
    }
    return changed.empty() ? QRegion() : Rescale(source, changed);
}

namespace {

std::vector<TBoardView::TTap> Taps(int Source, int Target);

}  // namespace

QRegion TBoardView::Rescale(const QImage& Source, const std::vector<QRect>& Changed) {
    if (xTaps_.size() != static_cast<std::size_t>(scaled_.width()) ||
        yTaps_.size() != static_cast<std::size_t>(scaled_.height()) || tapsFor_ != Source.size())
        MakeTaps(Source.size());
    const double fx = static_cast<double>(scaled_.width()) / Source.width();
    const double fy = static_cast<double>(scaled_.height()) / Source.height();
    std::uint8_t* bits = scaled_.bits();
    const qsizetype stride = scaled_.bytesPerLine();
    QRegion repaint;
    for (const QRect& r : Changed) {
        // A filtered pixel also depends on its neighbours: one source pixel of
        // margin on every side.
        const int l = static_cast<int>(std::floor((r.left() - 1) * fx));
        const int t = static_cast<int>(std::floor((r.top() - 1) * fy));
        const int rr = static_cast<int>(std::ceil((r.right() + 2) * fx));
        const int b = static_cast<int>(std::ceil((r.bottom() + 2) * fy));
        const QRect dest = QRect(QPoint(l, t), QPoint(rr - 1, b - 1)) & scaled_.rect();
        if (dest.isEmpty()) continue;
        // Source columns the destination columns read.
        const int s0 = xTaps_[static_cast<std::size_t>(dest.left())].Index;
        const int s1 = std::min(Source.width() - 1, xTaps_[static_cast<std::size_t>(dest.right())].Index + 1);
        rowBuffer_.resize(static_cast<std::size_t>(Source.width()));
        std::uint32_t* mixed = rowBuffer_.data();
        for (int y = dest.top(); y <= dest.bottom(); ++y) {
            const TTap ty = yTaps_[static_cast<std::size_t>(y)];
            const auto* upper = reinterpret_cast<const std::uint32_t*>(Source.constScanLine(ty.Index));
            const auto* lower = reinterpret_cast<const std::uint32_t*>(
                Source.constScanLine(std::min(Source.height() - 1, ty.Index + 1)));
            // First between the two source rows, then along the row.
            const std::uint32_t wl = static_cast<std::uint32_t>(ty.Weight), wu = 256 - wl;
            for (int x = s0; x <= s1; ++x) {
                const std::uint32_t a = upper[x], c = lower[x];
                const std::uint32_t rb = (((a & 0xff00ffu) * wu + (c & 0xff00ffu) * wl) >> 8) & 0xff00ffu;
                const std::uint32_t g = (((a & 0x00ff00u) * wu + (c & 0x00ff00u) * wl) >> 8) & 0x00ff00u;
                mixed[x] = rb | g;
            }
            auto* out = reinterpret_cast<std::uint32_t*>(bits + y * stride);
            const TTap* tap = xTaps_.data();
            for (int x = dest.left(); x <= dest.right(); ++x) {
                const std::uint32_t w = static_cast<std::uint32_t>(tap[x].Weight), wv = 256 - w;
                const std::uint32_t a = mixed[tap[x].Index];
                const std::uint32_t c = mixed[std::min(tap[x].Index + 1, s1)];
                const std::uint32_t rb = (((a & 0xff00ffu) * wv + (c & 0xff00ffu) * w) >> 8) & 0xff00ffu;
                const std::uint32_t g = (((a & 0x00ff00u) * wv + (c & 0x00ff00u) * w) >> 8) & 0x00ff00u;
                out[x] = 0xff000000u | rb | g;
            }
        }
        const QRect device = dest.translated(deviceTarget_.topLeft());
        const int wl = static_cast<int>(std::floor(device.left() / ratio_));
        const int wt = static_cast<int>(std::floor(device.top() / ratio_));
        const int wr = static_cast<int>(std::ceil((device.right() + 1) / ratio_));
        const int wb = static_cast<int>(std::ceil((device.bottom() + 1) / ratio_));
        repaint += QRect(wl, wt, wr - wl, wb - wt);
    }
    return repaint;
}

void TBoardView::MakeTaps(QSize Source) {
    xTaps_ = Taps(Source.width(), scaled_.width());
    yTaps_ = Taps(Source.height(), scaled_.height());
    tapsFor_ = Source;
}

namespace {

std::vector<TBoardView::TTap> Taps(int Source, int Target) {
    std::vector<TBoardView::TTap> taps(static_cast<std::size_t>(std::max(0, Target)));
    const double step = static_cast<double>(Source) / Target;
    for (int d = 0; d < Target; ++d) {
        // Pixel centres map onto pixel centres.
        const double s = std::clamp((d + 0.5) * step - 0.5, 0.0, static_cast<double>(Source - 1));
        int i = static_cast<int>(std::floor(s));
        int w = static_cast<int>(std::lround((s - i) * 256));
        if (w >= 256) {
            ++i;
            w = 0;
        }
        if (i >= Source - 1) {
            i = Source - 1;
            w = 0;
        }
        taps[static_cast<std::size_t>(d)] = {i, w};
    }
    return taps;
}

}  // namespace

void TBoardView::Paint(QPainter& Painter, const QRect& Exposed) const {
    Painter.save();
    Painter.setClipRect(Exposed);
    const QRectF target = Target();
    if (valid_ && !scaled_.isNull()) {
        QRegion surround(Exposed);
        surround -= QRect(static_cast<int>(std::ceil(target.left())), static_cast<int>(std::ceil(target.top())),
                          static_cast<int>(std::floor(target.width())), static_cast<int>(std::floor(target.height())));
        for (const QRect& r : surround) Painter.fillRect(r, Surround);
        // The copy carries the window's ratio, so this is a plain 1:1 copy.
        Painter.drawImage(target.topLeft(), scaled_);
    } else {
        Painter.fillRect(Exposed, Surround);
    }
    Painter.restore();
}

}  // namespace tessum
