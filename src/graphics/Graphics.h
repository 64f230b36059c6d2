// The drawing layer of the game: bitmaps, JPEG pictures and canvases.
//
// Everything the board, the hands, the history pictures and the printouts draw
// goes through these few classes, so the rest of the program never talks to Qt
// painting directly. Bitmaps hold 24-bit colour (kept as 0xffRRGGBB words so
// the pixel loops and Qt's painter both work on the same memory without
// conversion). The operations the animation runs many times per frame (rect
// copies, transparent sprites, AND/OR masks) are plain pixel loops; text and
// shapes go through a QPainter opened for the call.
//
// Rectangles are Windows-style: Right and Bottom are exclusive.
//
// Pixel scale: a bitmap may hold Scale() device pixels per logical pixel in
// each direction (2 on high-density screens). Every coordinate, size and font
// the canvas takes is logical, so the board's geometry tables serve every
// scale; pictures, text and shapes land on the device pixels. ScanLine and
// Image() are the device pixels.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "archive/Streams.h"

namespace tessum {

// A picture file that cannot be decoded (damaged, truncated, unsupported or
// absurdly large). The message says what was wrong.
class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// 0xffRRGGBB, the same value Qt calls QRgb.
using TColor = std::uint32_t;

constexpr TColor RGBColor(int R, int G, int B) {
    return 0xff000000u | (static_cast<TColor>(R & 0xff) << 16) | (static_cast<TColor>(G & 0xff) << 8) |
           static_cast<TColor>(B & 0xff);
}
constexpr int RedOf(TColor C) { return static_cast<int>((C >> 16) & 0xff); }
constexpr int GreenOf(TColor C) { return static_cast<int>((C >> 8) & 0xff); }
constexpr int BlueOf(TColor C) { return static_cast<int>(C & 0xff); }

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clWhite = RGBColor(255, 255, 255);
constexpr TColor clRed = RGBColor(255, 0, 0);

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;   // exclusive
    int Bottom = 0;  // exclusive

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int X, int Y) const { return X >= Left && X < Right && Y >= Top && Y < Bottom; }
    bool Contains(TPoint P) const { return Contains(P.X, P.Y); }
    TPoint TopLeft() const { return {Left, Top}; }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Bounds(int Left, int Top, int Width, int Height) { return {Left, Top, Left + Width, Top + Height}; }

// The fonts the program asks for carry Windows names; this maps each onto the
// installed font drawn with the same metrics ("Arial" -> "Liberation Sans",
// "Comic Sans MS" -> "Comic Neue", "Tahoma" -> "DejaVu Sans", ...). Names
// without a twin pass through unchanged. The only place the mapping lives.
QString InstalledFontName(std::string_view WindowsName);

struct TFont {
    std::string Name = "Tahoma";
    // Size in points; turned into pixels with the canvas's PixelsPerInch.
    int Size = 8;
    // When not 0, the character height in device pixels and Size is ignored
    // (printouts size their fonts from the page height).
    int Height = 0;
    bool Bold = false;
    bool Italic = false;
    TColor Color = clBlack;

    // Sets Size and forgets a pixel Height.
    void SetSize(int Points) { Size = Points; Height = 0; }
    // The Qt font for a device of PixelsPerInch dots per inch.
    QFont ToQFont(int PixelsPerInch = 96) const;
    friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TBrushStyle { Solid, Clear };

struct TBrush {
    TBrushStyle Style = TBrushStyle::Solid;
    TColor Color = clWhite;
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    friend bool operator==(const TPen&, const TPen&) = default;
};

enum class THorzAlign { Left, Center, Right };
enum class TVertAlign { Top, Center, Bottom };

// How a picture is combined with the pixels already on the target.
enum class TCopyMode { Copy, And, Or };

class TBitmap;
class TJPEGImage;

// A drawing surface: a bitmap's pixels, or any Qt paint device behind an open
// QPainter (a window's paint event, a printer page). Font, Brush and Pen are
// the current drawing state and may be changed freely between calls.
class TCanvas {
public:
    TFont Font;
    TBrush Brush;
    TPen Pen;
    // Resolution used to turn font sizes in points into pixels. Bitmaps and
    // windows use 96 like the desktop; a printer canvas sets its own.
    int PixelsPerInch = 96;

    // A canvas drawing through Painter, which the caller keeps open for as long
    // as the canvas is used.
    explicit TCanvas(QPainter& Painter);
    // A canvas drawing straight into Image (which must be Format_RGB32 for
    // the fast paths; other formats go through QPainter).
    explicit TCanvas(QImage& Image);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The pixels behind this canvas, or nullptr for a painter canvas.
    QImage* Image() const { return image_; }
    // Device pixels per logical pixel of a bitmap canvas; 1 for a painter
    // canvas (Qt scales painter devices itself).
    int Scale() const;

    // Copies Source of SourceCanvas into Dest. Equal sizes copy pixel by pixel
    // (combined by Mode); different sizes stretch, smoothly when Smooth is set.
    // Parts outside either surface are left out.
    void CopyRect(const TRect& Dest, const TCanvas& SourceCanvas, const TRect& Source,
                  TCopyMode Mode = TCopyMode::Copy, bool Smooth = false);

    // Draws Picture with its top-left corner at (X, Y). A transparent bitmap
    // leaves out the pixels of its transparent colour; any other bitmap is
    // combined by Mode.
    void Draw(int X, int Y, const TBitmap& Picture, TCopyMode Mode = TCopyMode::Copy);
    // Picture ANDed into the target (masks: black keeps nothing, white keeps all).
    void DrawAnd(int X, int Y, const TBitmap& Picture) { DrawCombined(X, Y, Picture, TCopyMode::And); }
    // Picture ORed into the target (sprites drawn on black over their AND mask).
    void DrawOr(int X, int Y, const TBitmap& Picture) { DrawCombined(X, Y, Picture, TCopyMode::Or); }
    // Stretches Picture into Dest with smooth (halftone-like) filtering.
    void StretchDraw(const TRect& Dest, const TBitmap& Picture);

    // Text extents in pixels with the current font.
    int TextWidth(std::string_view Text);
    int TextHeight(std::string_view Text);
    // Writes Text with its top-left corner at (X, Y). A solid brush fills the
    // text's cell first.
    void TextOut(int X, int Y, std::string_view Text);
    // Writes Text at (X, Y) clipped to Clip. A solid brush fills Clip first.
    void TextRect(const TRect& Clip, int X, int Y, std::string_view Text);
    // Word-wraps Text inside Rect, each line centred, starting at the top
    // (explicit line breaks are kept). Returns the height used.
    int TextWrappedCentered(const TRect& Rect, std::string_view Text);
    // Height Text needs when word-wrapped to Width (as TextWrappedCentered).
    int TextWrappedHeight(int Width, std::string_view Text);
    // One line inside Rect, cut with "..." at the end when too wide.
    void TextEllipsis(const TRect& Rect, std::string_view Text, THorzAlign HAlign, TVertAlign VAlign);

    // Fills Rect with the brush colour; a clear brush fills nothing.
    void FillRect(const TRect& Rect);
    // Outline with the pen, filled with the brush unless it is clear.
    void Rectangle(const TRect& Rect);
    // The ellipse inside the bounding rectangle (X1, Y1)-(X2, Y2), outlined
    // with the pen and filled unless the brush is clear.
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void MoveTo(int X, int Y) { penPos_ = {X, Y}; }
    // A line from the pen position to (X, Y), which is left out as on Windows;
    // the pen position moves there.
    void LineTo(int X, int Y);
    TPoint PenPos() const { return penPos_; }

    TColor Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);

private:
    QPainter* external_ = nullptr;
    QImage* image_ = nullptr;
    TPoint penPos_;

    // Cached Qt font for Font at PixelsPerInch.
    TFont cachedFont_;
    int cachedPpi_ = 0;
    QFont qfont_;
    bool haveFont_ = false;

    friend class TPainterScope;
    const QFont& CurrentQFont();
    void DrawCombined(int X, int Y, const TBitmap& Picture, TCopyMode Mode);
    void DrawTransparent(int X, int Y, const TBitmap& Picture);
};

// A picture in memory with 24 bits of colour per pixel. Neither copyable nor
// movable because its canvas refers to it; use Assign to copy pictures.
class TBitmap {
public:
    // Drawn transparently, pixels of TransparentColor() are left out.
    bool Transparent = false;

    TBitmap();
    TBitmap(int Width, int Height, int Scale = 1);
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap();

    // Logical size: device pixels divided by Scale().
    int Width() const { return image_.width() / scale_; }
    int Height() const { return image_.height() / scale_; }
    int PixelWidth() const { return image_.width(); }
    int PixelHeight() const { return image_.height(); }
    bool Empty() const { return image_.isNull() || Width() == 0 || Height() == 0; }
    // New logical size at the current scale; the content is lost and becomes black.
    void SetSize(int Width, int Height);

    // Device pixels per logical pixel (1 or more).
    int Scale() const { return scale_; }
    // Takes the pixels as they are to be Scale device pixels per logical one
    // (a picture drawn for that scale); the logical size shrinks accordingly.
    void SetScale(int Scale);
    // Resamples the pixels to Scale, keeping the logical size: smoothly for
    // photographs, by repeating or dropping pixels otherwise, so colour keys
    // and masks stay exact and in step with their pictures.
    void Rescale(int Scale, bool Smooth);

    TCanvas& Canvas() { return *canvas_; }
    const TCanvas& Canvas() const { return *canvas_; }

    // The colour left out when drawing transparently: the one set with
    // SetTransparentColor, or else the bottom-left pixel.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Color);

    // Copies pixels, size and transparency; the canvas state stays as it is.
    void Assign(const TBitmap& Source);
    // Takes over the decoded pixels of a JPEG picture.
    void Assign(const TJPEGImage& Source);
    // Takes over any Qt image, converted to 24-bit colour.
    void Assign(const QImage& Source);

    // Reads a complete Windows bitmap file from Stream's position to its end:
    // 1, 4, 8, 16, 24 or 32 bits per pixel, uncompressed, RLE or bit fields,
    // bottom-up or top-down. The result is 24-bit colour; alpha is dropped.
    // An empty remainder gives an empty bitmap. Throws EInvalidGraphic for
    // anything damaged; the bitmap is then unchanged.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const std::string& FileName);
    // Writes a 24-bit bottom-up Windows bitmap file at Stream's position.
    void SaveToStream(TStream& Stream) const;
    void SaveToFile(const std::string& FileName) const;

    // Direct pixel access (0xffRRGGBB) for code that generates pictures.
    std::uint32_t* ScanLine(int Y);
    const std::uint32_t* ScanLine(int Y) const;
    // The pixels as a Qt image (Format_RGB32). Code that opens its own
    // QPainter on it must end that painter before using Canvas() again.
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

private:
    QImage image_;
    std::unique_ptr<TCanvas> canvas_;
    TColor transparentColor_ = 0;
    bool fixedTransparentColor_ = false;
    int scale_ = 1;
};

// A JPEG picture decoded with libjpeg.
class TJPEGImage {
public:
    // Quality 1..100 used by SaveToStream.
    int CompressionQuality = 90;

    // Logical size (device pixels divided by Scale()).
    int Width() const { return image_.width() / Scale(); }
    int Height() const { return image_.height() / Scale(); }
    bool Empty() const { return image_.isNull(); }
    int Scale() const;
    // Marks the decoded pixels as drawn for Scale device pixels per logical
    // one, or, when Resample is set, smoothly resamples them to that scale
    // keeping the logical size.
    void SetScale(int Scale, bool Resample);

    // Decodes a complete JPEG file from Stream's position to its end (baseline
    // or progressive, grey or colour). An empty remainder gives an empty
    // picture. Damaged, truncated or absurdly large data throws
    // EInvalidGraphic; the picture is then unchanged.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const std::string& FileName);
    // Encodes the picture as a baseline colour JPEG at Stream's position.
    void SaveToStream(TStream& Stream) const;
    void SaveToFile(const std::string& FileName) const;

    void Assign(const TBitmap& Source);
    // Format_RGB32 pixels.
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};

// Largest picture the decoders accept: far beyond anything the game ships,
// small enough that hostile headers never make us allocate gigabytes.
constexpr int MaxPictureSide = 16384;
constexpr std::int64_t MaxPicturePixels = 16LL * 1024 * 1024;

// The whole-number pixel scale pictures are composed at for a display's
// device pixel ratio: 2 from 1.5 on (drawn at 2 and reduced is sharper than
// drawn at 1 and enlarged), else 1.
int ScaleForPixelRatio(double Ratio);
// Image resampled to Scale device pixels per logical pixel (its own
// devicePixelRatio says what it holds now), logical size kept.
QImage ResampledToScale(const QImage& Image, int Scale, bool Smooth);

}  // namespace tessum
