// Picture files as the game reads them: 24-bit Windows bitmaps and baseline
// JPEG files, produced byte for byte here rather than by Qt's writers so the
// archive contents stay exactly what the game's decoders expect.
#pragma once

#include <cstdint>
#include <vector>

#include <QImage>

namespace tessum::gfx {

using Bytes = std::vector<std::uint8_t>;

// A complete BITMAPFILEHEADER + BITMAPINFOHEADER file, bottom-up, 24 bits,
// rows padded to four bytes.
Bytes EncodeBmp(const QImage& Image);

// Baseline colour JPEG without chroma subsampling (the board's fine lines
// would bleed otherwise). Throws std::runtime_error when libjpeg fails.
Bytes EncodeJpeg(const QImage& Image, int Quality);
// Decodes with libjpeg's default settings, as the game does, so pictures cut
// from a decoded background match what the game shows.
QImage DecodeJpeg(const Bytes& Data);

}  // namespace tessum::gfx
