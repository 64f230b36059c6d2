#include "graphics/Graphics.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QStringList>
#include <QTextOption>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include "i18n/Ansi.h"
#include "graphics/PictureCodecs.h"

namespace tessum {

// --- Fonts -------------------------------------------------------------------

QString InstalledFontName(std::string_view WindowsName) {
    // Metric twins first (same advance widths, so texts fit where they were
    // designed to fit), then close look-alikes.
    static const std::unordered_map<std::string, const char*> twins = {
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"ms sans serif", "DejaVu Sans"},
        {"microsoft sans serif", "DejaVu Sans"},
        {"ms shell dlg", "DejaVu Sans"},
        {"ms shell dlg 2", "DejaVu Sans"},
        {"tahoma", "DejaVu Sans"},
        {"verdana", "DejaVu Sans"},
        {"segoe ui", "DejaVu Sans"},
        {"comic sans ms", "Comic Neue"},
        {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
    };
    std::string key(WindowsName);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto it = twins.find(key);
    if (it != twins.end()) return QString::fromLatin1(it->second);
    return FromAnsi(WindowsName);
}

QFont TFont::ToQFont(int PixelsPerInch) const {
    QFont f(InstalledFontName(Name));
    int pixels = Height != 0 ? std::abs(Height)
                             : static_cast<int>(std::lround(static_cast<double>(Size) * PixelsPerInch / 72.0));
    f.setPixelSize(std::max(1, pixels));
    f.setBold(Bold);
    f.setItalic(Italic);
    // Kerning would make measured widths depend on neighbouring letters in ways
    // the layouts (cut names, centred numbers) do not expect.
    f.setKerning(false);
    return f;
}

// --- Painter access ------------------------------------------------------------

// A painter for one canvas operation: the canvas's own external painter (state
// saved and restored around the call), or a fresh one on its image.
class TPainterScope {
public:
    explicit TPainterScope(TCanvas& Canvas) {
        if (Canvas.external_) {
            painter_ = Canvas.external_;
            painter_->save();
        } else {
            own_.emplace(Canvas.image_);
            painter_ = &*own_;
        }
    }
    ~TPainterScope() {
        if (!own_) painter_->restore();
    }
    TPainterScope(const TPainterScope&) = delete;
    TPainterScope& operator=(const TPainterScope&) = delete;
    QPainter* operator->() { return painter_; }
    QPainter& operator*() { return *painter_; }

private:
    std::optional<QPainter> own_;
    QPainter* painter_ = nullptr;
};

namespace {

QColor ToQColor(TColor C) { return QColor::fromRgb(C | 0xff000000u); }

bool IsFastImage(const QImage* Image) { return Image && Image->format() == QImage::Format_RGB32; }

int ScaleOf(const QImage& Image) { return std::max(1, static_cast<int>(std::lround(Image.devicePixelRatio()))); }

// A logical rectangle in device pixels at Scale.
TRect ToDevice(const TRect& R, int Scale) {
    return {R.Left * Scale, R.Top * Scale, R.Right * Scale, R.Bottom * Scale};
}

double DeviceRatioOf(const QPainter& Painter) {
    const QPaintDevice* d = Painter.device();
    return d ? std::max(1.0, d->devicePixelRatioF()) : 1.0;
}

// Cuts a copy of W x H pixels from (SX, SY) of a SrcW x SrcH source to (DX, DY)
// of a DstW x DstH target down to the part inside both. False when nothing is left.
bool ClipCopy(int& DX, int& DY, int& SX, int& SY, int& W, int& H, int SrcW, int SrcH, int DstW, int DstH) {
    if (SX < 0) { DX -= SX; W += SX; SX = 0; }
    if (SY < 0) { DY -= SY; H += SY; SY = 0; }
    if (DX < 0) { SX -= DX; W += DX; DX = 0; }
    if (DY < 0) { SY -= DY; H += DY; DY = 0; }
    W = std::min({W, SrcW - SX, DstW - DX});
    H = std::min({H, SrcH - SY, DstH - DY});
    return W > 0 && H > 0;
}

// Pixel combination on two RGB32 images; the images may be the same one.
void Combine(QImage& Dst, int DX, int DY, const QImage& Src, int SX, int SY, int W, int H, TCopyMode Mode) {
    if (!ClipCopy(DX, DY, SX, SY, W, H, Src.width(), Src.height(), Dst.width(), Dst.height())) return;
    // Writing detaches a target that shares its pixels with another picture,
    // so the source pointer is taken afterwards.
    std::uint8_t* dstBits = Dst.bits();
    const bool same = &Dst == &Src;
    const std::uint8_t* srcBits = same ? dstBits : Src.constBits();
    const qsizetype dstStride = Dst.bytesPerLine();
    const qsizetype srcStride = Src.bytesPerLine();
    // Within one picture, rows run upward when the copy moves down and pixels
    // run leftward when it moves right, so nothing is overwritten before it is read.
    const bool upward = same && DY > SY;
    const bool leftward = same && DY == SY && DX > SX;
    for (int i = 0; i < H; ++i) {
        const int r = upward ? H - 1 - i : i;
        auto* d = reinterpret_cast<std::uint32_t*>(dstBits + (DY + r) * dstStride) + DX;
        const auto* s = reinterpret_cast<const std::uint32_t*>(srcBits + (SY + r) * srcStride) + SX;
        switch (Mode) {
        case TCopyMode::Copy:
            std::memmove(d, s, static_cast<std::size_t>(W) * 4);
            break;
        case TCopyMode::And:
            if (leftward) for (int x = W - 1; x >= 0; --x) d[x] &= s[x] | 0xff000000u;
            else for (int x = 0; x < W; ++x) d[x] &= s[x] | 0xff000000u;
            break;
        case TCopyMode::Or:
            if (leftward) for (int x = W - 1; x >= 0; --x) d[x] |= s[x] | 0xff000000u;
            else for (int x = 0; x < W; ++x) d[x] |= s[x] | 0xff000000u;
            break;
        }
    }
}

QPainter::CompositionMode ToComposition(TCopyMode Mode) {
    switch (Mode) {
    case TCopyMode::And: return QPainter::RasterOp_SourceAndDestination;
    case TCopyMode::Or: return QPainter::RasterOp_SourceOrDestination;
    case TCopyMode::Copy: break;
    }
    return QPainter::CompositionMode_Source;
}

}  // namespace

// --- Canvas --------------------------------------------------------------------

TCanvas::TCanvas(QPainter& Painter) : external_(&Painter) {}
TCanvas::TCanvas(QImage& Image) : image_(&Image) {}

int TCanvas::Scale() const { return image_ ? ScaleOf(*image_) : 1; }

const QFont& TCanvas::CurrentQFont() {
    if (!haveFont_ || cachedPpi_ != PixelsPerInch || !(cachedFont_ == Font)) {
        qfont_ = Font.ToQFont(PixelsPerInch);
        cachedFont_ = Font;
        cachedPpi_ = PixelsPerInch;
        haveFont_ = true;
    }
    return qfont_;
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas& SourceCanvas, const TRect& Source, TCopyMode Mode,
                       bool Smooth) {
    if (Dest.IsEmpty() || Source.IsEmpty()) return;
    const QImage* src = SourceCanvas.Image();
    if (!src || src->isNull()) return;  // painter canvases cannot be read back
    // Both rectangles in the device pixels of their own surfaces.
    const TRect dst = ToDevice(Dest, Scale());
    const TRect from = ToDevice(Source, SourceCanvas.Scale());
    const bool sameSize = dst.Width() == from.Width() && dst.Height() == from.Height();
    if (sameSize && IsFastImage(image_) && IsFastImage(src)) {
        Combine(*image_, dst.Left, dst.Top, *src, from.Left, from.Top, dst.Width(), dst.Height(), Mode);
        return;
    }
    if (!sameSize) {
        // Scale the source part first; QImage's smooth scaling averages areas
        // when shrinking, which the painter's bilinear filter does not.
        const double ratio = image_ ? 1.0 : DeviceRatioOf(*external_);
        const int w = image_ ? dst.Width() : static_cast<int>(std::lround(Dest.Width() * ratio));
        const int h = image_ ? dst.Height() : static_cast<int>(std::lround(Dest.Height() * ratio));
        if (w <= 0 || h <= 0) return;
        const QImage part = src->copy(from.ToQRect());
        QImage scaled = part.scaled(w, h, Qt::IgnoreAspectRatio,
                                    Smooth ? Qt::SmoothTransformation : Qt::FastTransformation)
                            .convertToFormat(QImage::Format_RGB32);
        if (IsFastImage(image_)) {
            Combine(*image_, dst.Left, dst.Top, scaled, 0, 0, w, h, Mode);
            return;
        }
        scaled.setDevicePixelRatio(image_ ? Scale() : ratio);
        TPainterScope p(*this);
        p->setCompositionMode(ToComposition(Mode));
        p->drawImage(QPoint(Dest.Left, Dest.Top), scaled);
        return;
    }
    TPainterScope p(*this);
    p->setCompositionMode(ToComposition(Mode));
    p->drawImage(QRectF(Dest.ToQRect()), *src, QRectF(from.ToQRect()));
}

void TCanvas::DrawCombined(int X, int Y, const TBitmap& Picture, TCopyMode Mode) {
    if (Picture.Empty()) return;
    if (IsFastImage(image_)) {
        const int s = Scale();
        // Pictures are normally loaded at the canvas's scale; anything else is
        // brought to it by repeating pixels, which keeps masks exact.
        const QImage resampled = Picture.Scale() == s ? QImage() : ResampledToScale(Picture.Image(), s, false);
        const QImage& src = Picture.Scale() == s ? Picture.Image() : resampled;
        Combine(*image_, X * s, Y * s, src, 0, 0, src.width(), src.height(), Mode);
        return;
    }
    TPainterScope p(*this);
    p->setCompositionMode(ToComposition(Mode));
    p->drawImage(QPoint(X, Y), Picture.Image());
}

void TCanvas::DrawTransparent(int X, int Y, const TBitmap& Picture) {
    const std::uint32_t key = Picture.TransparentColor() & 0x00ffffffu;
    if (IsFastImage(image_)) {
        const int s = Scale();
        const QImage resampled = Picture.Scale() == s ? QImage() : ResampledToScale(Picture.Image(), s, false);
        const QImage& src = Picture.Scale() == s ? Picture.Image() : resampled;
        int dx = X * s, dy = Y * s, sx = 0, sy = 0, w = src.width(), h = src.height();
        if (!ClipCopy(dx, dy, sx, sy, w, h, src.width(), src.height(), image_->width(), image_->height())) return;
        std::uint8_t* dstBits = image_->bits();
        const qsizetype dstStride = image_->bytesPerLine();
        for (int r = 0; r < h; ++r) {
            auto* d = reinterpret_cast<std::uint32_t*>(dstBits + (dy + r) * dstStride) + dx;
            const auto* s = reinterpret_cast<const std::uint32_t*>(src.constScanLine(sy + r)) + sx;
            for (int x = 0; x < w; ++x)
                if ((s[x] & 0x00ffffffu) != key) d[x] = s[x] | 0xff000000u;
        }
        return;
    }
    // Printers and windows: let the painter blend an image whose left-out
    // pixels are fully transparent.
    QImage masked = Picture.Image().convertToFormat(QImage::Format_ARGB32);
    for (int r = 0; r < masked.height(); ++r) {
        auto* line = reinterpret_cast<std::uint32_t*>(masked.scanLine(r));
        for (int x = 0; x < masked.width(); ++x)
            line[x] = (line[x] & 0x00ffffffu) == key ? 0u : (line[x] | 0xff000000u);
    }
    TPainterScope p(*this);
    p->drawImage(QPoint(X, Y), masked);
}

void TCanvas::Draw(int X, int Y, const TBitmap& Picture, TCopyMode Mode) {
    if (Picture.Empty()) return;
    if (Picture.Transparent) DrawTransparent(X, Y, Picture);
    else DrawCombined(X, Y, Picture, Mode);
}

void TCanvas::StretchDraw(const TRect& Dest, const TBitmap& Picture) {
    if (Picture.Empty()) return;
    CopyRect(Dest, Picture.Canvas(), Bounds(0, 0, Picture.Width(), Picture.Height()), TCopyMode::Copy, true);
}

int TCanvas::TextWidth(std::string_view Text) {
    if (Text.empty()) return 0;
    const QFontMetrics m(CurrentQFont(), external_ ? external_->device() : image_);
    return m.horizontalAdvance(FromAnsi(Text));
}

int TCanvas::TextHeight(std::string_view) {
    const QFontMetrics m(CurrentQFont(), external_ ? external_->device() : image_);
    return m.height();
}

void TCanvas::TextOut(int X, int Y, std::string_view Text) {
    if (Text.empty()) return;
    const QString s = FromAnsi(Text);
    TPainterScope p(*this);
    p->setFont(CurrentQFont());
    const QFontMetrics m = p->fontMetrics();
    if (Brush.Style == TBrushStyle::Solid)
        p->fillRect(QRect(X, Y, m.horizontalAdvance(s), m.height()), ToQColor(Brush.Color));
    p->setPen(ToQColor(Font.Color));
    p->drawText(QPoint(X, Y + m.ascent()), s);
}

void TCanvas::TextRect(const TRect& Clip, int X, int Y, std::string_view Text) {
    if (Clip.IsEmpty()) return;
    TPainterScope p(*this);
    p->setClipRect(Clip.ToQRect());
    if (Brush.Style == TBrushStyle::Solid) p->fillRect(Clip.ToQRect(), ToQColor(Brush.Color));
    if (Text.empty()) return;
    p->setFont(CurrentQFont());
    p->setPen(ToQColor(Font.Color));
    p->drawText(QPoint(X, Y + p->fontMetrics().ascent()), FromAnsi(Text));
}

int TCanvas::TextWrappedCentered(const TRect& Rect, std::string_view Text) {
    if (Rect.IsEmpty() || Text.empty()) return 0;
    TPainterScope p(*this);
    p->setClipRect(Rect.ToQRect());
    p->setFont(CurrentQFont());
    p->setPen(ToQColor(Font.Color));
    QRect used;
    const QString s = FromAnsi(Text);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    if (Brush.Style == TBrushStyle::Solid) {
        const QRect bounds = p->boundingRect(Rect.ToQRect(), flags, s);
        p->fillRect(bounds.intersected(Rect.ToQRect()), ToQColor(Brush.Color));
    }
    p->drawText(Rect.ToQRect(), flags, s, &used);
    return used.height();
}

int TCanvas::TextWrappedHeight(int Width, std::string_view Text) {
    if (Width <= 0 || Text.empty()) return 0;
    const QFontMetrics m(CurrentQFont(), external_ ? external_->device() : image_);
    return m.boundingRect(QRect(0, 0, Width, 1 << 20), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                          FromAnsi(Text))
        .height();
}

void TCanvas::TextEllipsis(const TRect& Rect, std::string_view Text, THorzAlign HAlign, TVertAlign VAlign) {
    if (Rect.IsEmpty() || Text.empty()) return;
    TPainterScope p(*this);
    p->setClipRect(Rect.ToQRect());
    p->setFont(CurrentQFont());
    p->setPen(ToQColor(Font.Color));
    QString s = FromAnsi(Text);
    // One line: line breaks would otherwise start a second one.
    s.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString cut = p->fontMetrics().elidedText(s, Qt::ElideRight, Rect.Width());
    int flags = Qt::TextSingleLine;
    flags |= HAlign == THorzAlign::Left ? Qt::AlignLeft : HAlign == THorzAlign::Right ? Qt::AlignRight : Qt::AlignHCenter;
    flags |= VAlign == TVertAlign::Top ? Qt::AlignTop : VAlign == TVertAlign::Bottom ? Qt::AlignBottom : Qt::AlignVCenter;
    p->drawText(Rect.ToQRect(), flags, cut);
}

void TCanvas::FillRect(const TRect& Rect) {
    if (Rect.IsEmpty() || Brush.Style == TBrushStyle::Clear) return;
    if (IsFastImage(image_)) {
        const TRect d = ToDevice(Rect, Scale());
        int x0 = std::max(0, d.Left), y0 = std::max(0, d.Top);
        int x1 = std::min(image_->width(), d.Right), y1 = std::min(image_->height(), d.Bottom);
        if (x0 >= x1 || y0 >= y1) return;
        const std::uint32_t c = Brush.Color | 0xff000000u;
        std::uint8_t* bits = image_->bits();
        const qsizetype stride = image_->bytesPerLine();
        for (int y = y0; y < y1; ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(bits + y * stride);
            std::fill(line + x0, line + x1, c);
        }
        return;
    }
    TPainterScope p(*this);
    p->fillRect(Rect.ToQRect(), ToQColor(Brush.Color));
}

namespace {

QPen MakePen(const TPen& Pen) {
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(std::max(1, Pen.Width));
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

void TCanvas::Rectangle(const TRect& Rect) {
    if (Rect.IsEmpty()) return;
    TPainterScope p(*this);
    if (Brush.Style == TBrushStyle::Solid) p->fillRect(Rect.ToQRect(), ToQColor(Brush.Color));
    // The outline runs along the rectangle's inner edge, as on Windows.
    const double half = std::max(1, Pen.Width) / 2.0;
    p->setPen(MakePen(Pen));
    p->setBrush(Qt::NoBrush);
    p->drawRect(QRectF(Rect.Left + half, Rect.Top + half, Rect.Width() - 2 * half, Rect.Height() - 2 * half));
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    if (X2 <= X1 || Y2 <= Y1) return;
    TPainterScope p(*this);
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(MakePen(Pen));
    p->setBrush(Brush.Style == TBrushStyle::Solid ? QBrush(ToQColor(Brush.Color)) : QBrush(Qt::NoBrush));
    // The outline stays inside the bounding rectangle, however wide the pen.
    const double w = std::max(1, Pen.Width);
    p->drawEllipse(QRectF(X1 + w / 2, Y1 + w / 2, X2 - X1 - w, Y2 - Y1 - w));
}

void TCanvas::LineTo(int X, int Y) {
    const TPoint from = penPos_;
    penPos_ = {X, Y};
    if (from == penPos_) return;
    TPainterScope p(*this);
    p->setPen(MakePen(Pen));
    p->drawLine(QLineF(from.X, from.Y, X, Y));
}

TColor TCanvas::Pixel(int X, int Y) const {
    if (!image_) return 0;
    const int s = Scale();
    X *= s;
    Y *= s;
    if (X < 0 || Y < 0 || X >= image_->width() || Y >= image_->height()) return 0;
    return image_->pixel(X, Y) | 0xff000000u;
}

void TCanvas::SetPixel(int X, int Y, TColor Color) {
    if (image_) {
        const int s = Scale();
        if (X < 0 || Y < 0 || X * s >= image_->width() || Y * s >= image_->height()) return;
        for (int dy = 0; dy < s; ++dy)
            for (int dx = 0; dx < s; ++dx)
                if (X * s + dx < image_->width() && Y * s + dy < image_->height())
                    image_->setPixel(X * s + dx, Y * s + dy, Color | 0xff000000u);
        return;
    }
    TPainterScope p(*this);
    p->fillRect(QRect(X, Y, 1, 1), ToQColor(Color));
}

// --- Bitmap --------------------------------------------------------------------

TBitmap::TBitmap() : canvas_(std::make_unique<TCanvas>(image_)) {}

TBitmap::TBitmap(int Width, int Height, int Scale) : TBitmap() {
    scale_ = std::max(1, Scale);
    SetSize(Width, Height);
}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int Width, int Height) {
    if (Width <= 0 || Height <= 0) {
        image_ = QImage();
        return;
    }
    image_ = QImage(Width * scale_, Height * scale_, QImage::Format_RGB32);
    if (image_.isNull()) throw EInvalidGraphic("Bitmap image is not valid: out of memory");
    image_.setDevicePixelRatio(scale_);
    image_.fill(0xff000000u);
}

void TBitmap::SetScale(int Scale) {
    scale_ = std::max(1, Scale);
    if (!image_.isNull()) image_.setDevicePixelRatio(scale_);
}

void TBitmap::Rescale(int Scale, bool Smooth) {
    Scale = std::max(1, Scale);
    if (Scale == scale_) return;
    if (!image_.isNull()) {
        image_.setDevicePixelRatio(scale_);
        image_ = ResampledToScale(image_, Scale, Smooth);
    }
    scale_ = Scale;
}

TColor TBitmap::TransparentColor() const {
    if (fixedTransparentColor_) return transparentColor_;
    if (Empty()) return 0;
    return image_.pixel(0, image_.height() - 1) | 0xff000000u;
}

void TBitmap::SetTransparentColor(TColor Color) {
    transparentColor_ = Color | 0xff000000u;
    fixedTransparentColor_ = true;
}

void TBitmap::Assign(const TBitmap& Source) {
    if (&Source == this) return;
    image_ = Source.image_;  // shared until one side writes
    scale_ = Source.scale_;
    Transparent = Source.Transparent;
    transparentColor_ = Source.transparentColor_;
    fixedTransparentColor_ = Source.fixedTransparentColor_;
}

void TBitmap::Assign(const TJPEGImage& Source) { Assign(Source.Image()); }

void TBitmap::Assign(const QImage& Source) {
    image_ = Source.format() == QImage::Format_RGB32 ? Source : Source.convertToFormat(QImage::Format_RGB32);
    scale_ = ScaleOf(image_);
    image_.setDevicePixelRatio(scale_);
}

void TBitmap::LoadFromStream(TStream& Stream) {
    const std::int64_t remaining = Stream.Remaining();
    if (remaining <= 0) {
        image_ = QImage();
        return;
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(remaining));
    Stream.ReadBuffer(data.data(), data.size());
    image_ = DecodeBmp(data.data(), data.size());
    // A file holds plain pixels; whoever knows better says so with SetScale.
    scale_ = 1;
}

void TBitmap::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, TFileMode::OpenRead);
    LoadFromStream(f);
}

void TBitmap::SaveToStream(TStream& Stream) const {
    const std::vector<std::uint8_t> data = EncodeBmp24(image_);
    Stream.WriteBuffer(data.data(), data.size());
}

void TBitmap::SaveToFile(const std::string& FileName) const {
    WriteFileSafely(FileName, [this](TStream& s) { SaveToStream(s); });
}

std::uint32_t* TBitmap::ScanLine(int Y) { return reinterpret_cast<std::uint32_t*>(image_.scanLine(Y)); }
const std::uint32_t* TBitmap::ScanLine(int Y) const {
    return reinterpret_cast<const std::uint32_t*>(image_.constScanLine(Y));
}

// --- JPEG ----------------------------------------------------------------------

void TJPEGImage::LoadFromStream(TStream& Stream) {
    const std::int64_t remaining = Stream.Remaining();
    if (remaining <= 0) {
        image_ = QImage();
        return;
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(remaining));
    Stream.ReadBuffer(data.data(), data.size());
    image_ = DecodeJpeg(data.data(), data.size());
}

void TJPEGImage::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, TFileMode::OpenRead);
    LoadFromStream(f);
}

void TJPEGImage::SaveToStream(TStream& Stream) const {
    const std::vector<std::uint8_t> data = EncodeJpeg(image_, CompressionQuality);
    Stream.WriteBuffer(data.data(), data.size());
}

void TJPEGImage::SaveToFile(const std::string& FileName) const {
    WriteFileSafely(FileName, [this](TStream& s) { SaveToStream(s); });
}

void TJPEGImage::Assign(const TBitmap& Source) { image_ = Source.Image(); }

int TJPEGImage::Scale() const { return image_.isNull() ? 1 : ScaleOf(image_); }

void TJPEGImage::SetScale(int Scale, bool Resample) {
    Scale = std::max(1, Scale);
    if (image_.isNull()) return;
    if (Resample) image_ = ResampledToScale(image_, Scale, true);
    else image_.setDevicePixelRatio(Scale);
}

int ScaleForPixelRatio(double Ratio) { return Ratio >= 1.5 ? 2 : 1; }

QImage ResampledToScale(const QImage& Image, int Scale, bool Smooth) {
    Scale = std::max(1, Scale);
    const int from = ScaleOf(Image);
    if (Image.isNull() || from == Scale) return Image;
    const int w = Image.width() / from, h = Image.height() / from;
    if (w <= 0 || h <= 0) return QImage();
    QImage out;
    if (!Smooth && Scale % from == 0) {
        // Whole-number enlargement: every pixel becomes a block, nothing new
        // is invented (colour keys and masks must stay exact).
        const int k = Scale / from;
        const QImage src = Image.convertToFormat(QImage::Format_RGB32);
        out = QImage(w * Scale, h * Scale, QImage::Format_RGB32);
        for (int y = 0; y < out.height(); ++y) {
            const auto* s = reinterpret_cast<const std::uint32_t*>(src.constScanLine(std::min(y / k, src.height() - 1)));
            auto* d = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x) d[x] = s[std::min(x / k, src.width() - 1)];
        }
    } else {
        out = Image.scaled(w * Scale, h * Scale, Qt::IgnoreAspectRatio,
                           Smooth ? Qt::SmoothTransformation : Qt::FastTransformation)
                  .convertToFormat(QImage::Format_RGB32);
    }
    out.setDevicePixelRatio(Scale);
    return out;
}

}  // namespace tessum
