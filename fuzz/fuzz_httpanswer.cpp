// Hostile answers of a highscore server: whatever arrives, in whatever
// pieces, the reader ends in one state, keeps its body within the bound and
// never grows without limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "highscore/WebPostForm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    using tessum::THttpResponseReader;
    if (Size < 2) return 0;
    // The first two bytes choose the piece size and the body bound, so that
    // splits inside heads, chunk lines and bodies all get tried.
    const std::size_t step = 1 + Data[0] % 64;
    const std::size_t bound = Data[1] * 16;
    Data += 2;
    Size -= 2;
    THttpResponseReader r(bound);
    auto state = THttpResponseReader::TState::NeedMore;
    for (std::size_t i = 0; i < Size && state == THttpResponseReader::TState::NeedMore; i += step) {
        const std::size_t n = Size - i < step ? Size - i : step;
        state = r.Feed(reinterpret_cast<const char*>(Data + i), n);
    }
    if (state == THttpResponseReader::TState::NeedMore) state = r.Finish();
    if (state == THttpResponseReader::TState::NeedMore) std::abort();
    if (r.Body().size() > bound) std::abort();
    if (state == THttpResponseReader::TState::Complete && !r.HeadComplete()) std::abort();
    return 0;
}
