// Decoders and encoders of the two picture file formats the archives hold.
// They work on whole files in memory and produce or take Format_RGB32 images.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessum {

// A complete Windows bitmap file; throws EInvalidGraphic when it is damaged,
// unsupported or larger than MaxPictureSide / MaxPicturePixels.
QImage DecodeBmp(const std::uint8_t* Data, std::size_t Size);
// A 24-bit bottom-up Windows bitmap file of Image.
std::vector<std::uint8_t> EncodeBmp24(const QImage& Image);

// A complete JPEG file; throws EInvalidGraphic like DecodeBmp, also for data
// that libjpeg can only decode by guessing (truncated or corrupt scans).
QImage DecodeJpeg(const std::uint8_t* Data, std::size_t Size);
// A baseline JPEG file of Image at Quality 1..100.
std::vector<std::uint8_t> EncodeJpeg(const QImage& Image, int Quality);

}  // namespace tessum
