// Any byte string as a Windows bitmap file, the form every picture of the
// graphics archives but three takes: it must decode to an image within the
// size bounds or fail with EInvalidGraphic. A decoded image must encode and
// decode back to the same pixels.
#include "graphics/Graphics.h"
#include "graphics/PictureCodecs.h"

#include <cstdint>
#include <cstdlib>

using namespace tessum;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    QImage image;
    try {
        image = DecodeBmp(Data, Size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    if (image.isNull()) return 0;
    if (image.width() > MaxPictureSide || image.height() > MaxPictureSide ||
        std::int64_t{image.width()} * image.height() > MaxPicturePixels) {
        std::abort();
    }
    // The round trip is checked on pictures of ordinary sizes only, to keep
    // the run fast; the bounds hold for all.
    if (std::int64_t{image.width()} * image.height() > 1 << 20) return 0;
    const std::vector<std::uint8_t> again = EncodeBmp24(image);
    const QImage back = DecodeBmp(again.data(), again.size());
    if (back.size() != image.size()) std::abort();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((back.pixel(x, y) & 0xFFFFFF) != (image.pixel(x, y) & 0xFFFFFF)) std::abort();
    return 0;
}
