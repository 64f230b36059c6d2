// Loading a saved game must end in a history or in ECorruptFile, never in a
// crash, a hang or a huge allocation, and a refused file must leave the
// running game's history untouched. The input is tried twice: as a whole
// ".tsm" file (container, cipher, compression, record) and as the bare record,
// which the cipher otherwise keeps the fuzzer from ever reaching.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/QDStreamCol.h"
#include "records/uTHistory.h"

using namespace tessum;

namespace {

std::vector<std::uint8_t> Bytes(const THistory& h) {
    TMemoryStream s;
    h.SaveToStream(s);
    return s.Bytes();
}

THistory Running() {
    THistory h;
    h.Start("keep", "me", "", "", "europa", "europa", 1, false, 4, 1, 1, 0);
    h.AddMove(3, 2, 1);
    return h;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::vector<std::uint8_t> input(Data, Data + Size);
    static const std::vector<std::uint8_t> untouched = Bytes(Running());

    {
        THistory h = Running();
        TMemoryStream s(input);
        try {
            h.LoadFromStream(s);
            // What was accepted takes as many bytes when written back, and
            // writing is stable from then on (only a Boolean byte other than
            // 0 or 1 and a negative move count are not kept as they were).
            const auto again = Bytes(h);
            Check(again.size() == static_cast<std::size_t>(s.Position()));
            TMemoryStream back(again);
            THistory r;
            r.LoadFromStream(back);
            Check(Bytes(r) == again);
        } catch (const ECorruptFile&) {
            Check(Bytes(h) == untouched);
        }
    }
    {
        THistory h = Running();
        TMemoryStream s(input);
        try {
            h.LoadFromContainerStream(s);
        } catch (const ECorruptFile&) {
            Check(Bytes(h) == untouched);
        }
    }
    return 0;
}
