// Any byte string as a compressed layer: the decoder must fail cleanly or
// produce bytes that our encoder packs and the decoder restores exactly.
#include "archive/QDStreamRoutines.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace tessum;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TMemoryStream in(std::vector<std::uint8_t>(Data, Data + Size));
    TMemoryStream out;
    try {
        DecompressStream(in, out);
    } catch (const ECorruptFile&) {
        return 0;
    }
    // Round trips of big outputs would only slow the search down.
    if (out.Size() > (1 << 20)) return 0;
    out.SetPosition(0);
    TMemoryStream packed;
    CompressStream(out, packed);
    packed.SetPosition(0);
    TMemoryStream again;
    DecompressStream(packed, again);
    if (again.Bytes() != out.Bytes()) std::abort();
    return 0;
}
