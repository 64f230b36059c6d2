// Any byte string as a JPEG entry, the path "bg.jpg" and the start-draw
// pictures take from an archive into a picture object and on into a bitmap:
// it must decode within the size bounds or fail with EInvalidGraphic, never
// crash or take unbounded memory inside libjpeg.
#include "archive/Streams.h"
#include "graphics/Graphics.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace tessum;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TMemoryStream entry(std::vector<std::uint8_t>(Data, Data + Size));
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromStream(entry);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    if (jpeg.Width() > MaxPictureSide || jpeg.Height() > MaxPictureSide) std::abort();
    TBitmap bitmap;
    bitmap.Assign(jpeg);
    if (bitmap.Width() != jpeg.Width() || bitmap.Height() != jpeg.Height()) std::abort();
    return 0;
}
