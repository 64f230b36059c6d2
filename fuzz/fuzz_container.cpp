// Any byte string handed to the container loader: it must either fail with
// the container's own errors or load something that saves and loads back
// unchanged.
#include "archive/QDStreamCol.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace tessum;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TQDStreams q;
    q.Key = "fuzz-key";
    TMemoryStream in(std::vector<std::uint8_t>(Data, Data + Size));
    try {
        q.LoadFromStream(in);
    } catch (const ECorruptFile&) {
        return 0;
    } catch (const EReadError&) {
        return 0;
    }

    TMemoryStream out;
    q.SaveToStream(out);
    TQDStreams back;
    back.Key = q.Key;
    back.LoadFromStream(out);
    if (back.Count() != q.Count() || back.Compressed != q.Compressed ||
        back.Encrypted != (q.Encrypted && !q.Key.empty())) {
        std::abort();
    }
    for (int i = 0; i < q.Count(); ++i) {
        if (back.Names(i) != q.Names(i) || back.Streams(i).Bytes() != q.Streams(i).Bytes()) std::abort();
    }
    return 0;
}
