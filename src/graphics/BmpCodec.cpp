// Windows bitmap files. Every size and offset in the headers is checked
// against the bytes actually present before anything is allocated or read:
// the archives are data files, and a damaged one must end in EInvalidGraphic,
// never in a crash or a huge allocation.
#include <array>
#include <bit>
#include <cstring>
#include <string>

#include "graphics/Graphics.h"
#include "graphics/PictureCodecs.h"

namespace tessum {

namespace {

[[noreturn]] void Invalid(const char* Why) { throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + Why); }

std::uint16_t U16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }
std::uint32_t U32(const std::uint8_t* P) {
    return static_cast<std::uint32_t>(P[0]) | (static_cast<std::uint32_t>(P[1]) << 8) |
           (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}
std::int32_t I32(const std::uint8_t* P) { return static_cast<std::int32_t>(U32(P)); }

constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

// One colour channel described by a bit mask of the pixel word.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    static TChannel FromMask(std::uint32_t Mask) {
        TChannel c;
        c.Mask = Mask;
        if (Mask == 0) return c;
        c.Shift = std::countr_zero(Mask);
        const std::uint32_t m = Mask >> c.Shift;
        if ((m & (m + 1)) != 0) Invalid("colour mask with gaps");
        c.Bits = std::popcount(m);
        return c;
    }

    // The channel scaled to 0..255, low bits filled by repeating the high ones.
    std::uint32_t Extract(std::uint32_t Pixel) const {
        if (Bits == 0) return 0;
        std::uint32_t v = (Pixel & Mask) >> Shift;
        if (Bits >= 8) return v >> (Bits - 8);
        std::uint32_t out = 0;
        int have = 0;
        while (have < 8) {
            out = (out << Bits) | v;
            have += Bits;
        }
        return out >> (have - 8);
    }
};

struct TBmpInfo {
    std::int64_t Width = 0;
    std::int64_t Height = 0;  // rows, always positive
    bool TopDown = false;
    int BitCount = 0;
    std::uint32_t Compression = BI_RGB;
    TChannel Red, Green, Blue;
    std::array<std::uint32_t, 256> Palette{};
    std::size_t PaletteSize = 0;
};

void DecodeRle(const std::uint8_t* Data, std::size_t Size, const TBmpInfo& Info, QImage& Out) {
    const bool four = Info.Compression == BI_RLE4;
    const int w = static_cast<int>(Info.Width);
    const int h = static_cast<int>(Info.Height);
    auto colour = [&](unsigned Index) { return Index < Info.PaletteSize ? Info.Palette[Index] : 0xff000000u; };
    // Pixels the stream skips over keep the first palette colour.
    Out.fill(colour(0));
    std::int64_t x = 0;
    std::int64_t row = 0;  // counted from the bottom, as the stream runs
    std::size_t i = 0;
    auto put = [&](unsigned Index) {
        if (x < w && row < h)
            reinterpret_cast<std::uint32_t*>(Out.scanLine(static_cast<int>(h - 1 - row)))[x] = colour(Index);
        ++x;
    };
    while (true) {
        if (row >= h) return;  // everything further would land outside
        if (i + 2 > Size) Invalid("compressed data ends early");
        const unsigned count = Data[i];
        const unsigned value = Data[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && x < w; ++k)
                put(four ? ((k & 1) ? (value & 0x0f) : (value >> 4)) : value);
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++row;
            break;
        case 1:  // end of bitmap
            return;
        case 2:  // move right and up
            if (i + 2 > Size) Invalid("compressed data ends early");
            x += Data[i];
            row += Data[i + 1];
            i += 2;
            break;
        default: {  // a literal run, padded to a whole number of 16-bit words
            const std::size_t n = value;
            const std::size_t bytes = four ? (n + 1) / 2 : n;
            const std::size_t padded = (bytes + 1) & ~std::size_t{1};
            if (i + bytes > Size) Invalid("compressed data ends early");
            for (std::size_t k = 0; k < n; ++k) {
                if (x >= w) break;
                const std::uint8_t b = Data[i + (four ? k / 2 : k)];
                put(four ? ((k & 1) ? (b & 0x0f) : (b >> 4)) : b);
            }
            i += padded <= Size - i ? padded : Size - i;
            break;
        }
        }
    }
}

}  // namespace

QImage DecodeBmp(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 14 + 12) Invalid("file too short");
    if (Data[0] != 'B' || Data[1] != 'M') Invalid("no bitmap signature");
    const std::uint32_t offBits = U32(Data + 10);
    const std::uint32_t headerSize = U32(Data + 14);
    if (headerSize < 12 || headerSize > Size - 14) Invalid("header runs past the end");
    const std::uint8_t* h = Data + 14;

    TBmpInfo info;
    std::size_t paletteEntrySize = 4;
    std::uint32_t colorsUsed = 0;
    std::size_t afterHeader = 14 + headerSize;
    if (headerSize == 12) {  // OS/2 core header
        info.Width = U16(h + 4);
        info.Height = U16(h + 6);
        info.BitCount = U16(h + 10);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40) Invalid("unknown header size");
        info.Width = I32(h + 4);
        const std::int32_t height = I32(h + 8);
        info.BitCount = U16(h + 14);
        info.Compression = U32(h + 16);
        colorsUsed = U32(h + 32);
        if (height == INT32_MIN) Invalid("height out of range");
        info.TopDown = height < 0;
        info.Height = height < 0 ? -static_cast<std::int64_t>(height) : height;
        if (info.Compression == BI_BITFIELDS || info.Compression == BI_ALPHABITFIELDS) {
            // The masks sit inside the larger headers, or right after the basic one.
            const std::uint8_t* masks = h + 40;
            if (headerSize < 52) {
                const std::size_t maskBytes = info.Compression == BI_ALPHABITFIELDS ? 16 : 12;
                if (afterHeader + maskBytes > Size) Invalid("colour masks missing");
                masks = Data + afterHeader;
                afterHeader += maskBytes;
            }
            info.Red = TChannel::FromMask(U32(masks));
            info.Green = TChannel::FromMask(U32(masks + 4));
            info.Blue = TChannel::FromMask(U32(masks + 8));
        }
    }

    switch (info.BitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: Invalid("unsupported colour depth");
    }
    switch (info.Compression) {
    case BI_RGB: break;
    case BI_RLE8: if (info.BitCount != 8) Invalid("RLE8 needs 8 bits per pixel"); break;
    case BI_RLE4: if (info.BitCount != 4) Invalid("RLE4 needs 4 bits per pixel"); break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (info.BitCount != 16 && info.BitCount != 32) Invalid("bit fields need 16 or 32 bits per pixel");
        break;
    default: Invalid("unsupported compression");
    }
    if ((info.Compression == BI_RLE8 || info.Compression == BI_RLE4) && info.TopDown)
        Invalid("compressed bitmaps cannot be top-down");
    if (info.Width <= 0 || info.Height <= 0) Invalid("no pixels");
    if (info.Width > MaxPictureSide || info.Height > MaxPictureSide ||
        info.Width * info.Height > MaxPicturePixels)
        Invalid("picture too large");

    if (info.Compression == BI_RGB && info.BitCount == 16) {
        info.Red = TChannel::FromMask(0x7c00);
        info.Green = TChannel::FromMask(0x03e0);
        info.Blue = TChannel::FromMask(0x001f);
    }

    if (info.BitCount <= 8) {
        const std::size_t maxColours = std::size_t{1} << info.BitCount;
        std::size_t n = colorsUsed == 0 || colorsUsed > maxColours ? maxColours : colorsUsed;
        // Some writers drop the unused tail of the palette: take what is there
        // before the pixels start, but at least one entry must be present.
        std::size_t available = 0;
        if (offBits > afterHeader && offBits <= Size) available = (offBits - afterHeader) / paletteEntrySize;
        else if (afterHeader < Size) available = (Size - afterHeader) / paletteEntrySize;
        if (available < n) n = available;
        if (n == 0) Invalid("colour table missing");
        for (std::size_t k = 0; k < n; ++k) {
            const std::uint8_t* e = Data + afterHeader + k * paletteEntrySize;
            info.Palette[k] = 0xff000000u | (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
        }
        info.PaletteSize = n;
        afterHeader += n * paletteEntrySize;
    }

    std::size_t pixelStart = offBits;
    if (offBits == 0) pixelStart = afterHeader;  // writers that leave the offset out
    if (pixelStart < 14 + std::size_t{headerSize} || pixelStart >= Size) Invalid("pixel data missing");
    const std::uint8_t* pixels = Data + pixelStart;
    const std::size_t pixelBytes = Size - pixelStart;

    const int w = static_cast<int>(info.Width);
    const int ht = static_cast<int>(info.Height);

    if (info.Compression == BI_RLE8 || info.Compression == BI_RLE4) {
        QImage out(w, ht, QImage::Format_RGB32);
        if (out.isNull()) Invalid("out of memory");
        DecodeRle(pixels, pixelBytes, info, out);
        return out;
    }

    const std::uint64_t rowBits = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(info.BitCount);
    const std::uint64_t stride = ((rowBits + 31) / 32) * 4;
    const std::uint64_t lastRow = (rowBits + 7) / 8;
    // The final row may lack its padding; everything before it must be whole.
    if (stride * static_cast<std::uint64_t>(ht - 1) + lastRow > pixelBytes) Invalid("pixel data ends early");

    QImage out(w, ht, QImage::Format_RGB32);
    if (out.isNull()) Invalid("out of memory");
    for (int r = 0; r < ht; ++r) {
        const std::uint8_t* src = pixels + stride * static_cast<std::uint64_t>(r);
        auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(info.TopDown ? r : ht - 1 - r));
        switch (info.BitCount) {
        case 1: case 4: case 8: {
            const int bpp = info.BitCount;
            const unsigned mask = (1u << bpp) - 1;
            for (int x = 0; x < w; ++x) {
                const std::uint64_t bit = static_cast<std::uint64_t>(x) * bpp;
                const unsigned index = (src[bit / 8] >> (8 - bpp - bit % 8)) & mask;
                dst[x] = index < info.PaletteSize ? info.Palette[index] : 0xff000000u;
            }
            break;
        }
        case 16:
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = U16(src + 2 * x);
                dst[x] = 0xff000000u | (info.Red.Extract(p) << 16) | (info.Green.Extract(p) << 8) | info.Blue.Extract(p);
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = src + 3 * x;
                dst[x] = 0xff000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
            }
            break;
        case 32:
            if (info.Compression == BI_RGB) {
                for (int x = 0; x < w; ++x) dst[x] = 0xff000000u | (U32(src + 4 * x) & 0x00ffffffu);
            } else {
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t p = U32(src + 4 * x);
                    dst[x] = 0xff000000u | (info.Red.Extract(p) << 16) | (info.Green.Extract(p) << 8) |
                             info.Blue.Extract(p);
                }
            }
            break;
        }
    }
    return out;
}

std::vector<std::uint8_t> EncodeBmp24(const QImage& Image) {
    const QImage img = Image.format() == QImage::Format_RGB32 ? Image : Image.convertToFormat(QImage::Format_RGB32);
    const int w = img.width();
    const int h = img.height();
    const std::size_t stride = ((static_cast<std::size_t>(w) * 24 + 31) / 32) * 4;
    const std::size_t dataSize = stride * static_cast<std::size_t>(h);
    std::vector<std::uint8_t> out(14 + 40 + dataSize, 0);
    auto put16 = [&](std::size_t At, std::uint32_t V) {
        out[At] = static_cast<std::uint8_t>(V);
        out[At + 1] = static_cast<std::uint8_t>(V >> 8);
    };
    auto put32 = [&](std::size_t At, std::uint32_t V) {
        put16(At, V & 0xffff);
        put16(At + 2, V >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 14 + 40);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    put16(26, 1);
    put16(28, 24);
    put32(34, static_cast<std::uint32_t>(dataSize));
    put32(38, 3780);  // 96 dots per inch
    put32(42, 3780);
    for (int r = 0; r < h; ++r) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(img.constScanLine(h - 1 - r));
        std::uint8_t* dst = out.data() + 54 + stride * static_cast<std::size_t>(r);
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = static_cast<std::uint8_t>(src[x]);
            dst[3 * x + 1] = static_cast<std::uint8_t>(src[x] >> 8);
            dst[3 * x + 2] = static_cast<std::uint8_t>(src[x] >> 16);
        }
    }
    return out;
}

}  // namespace tessum
