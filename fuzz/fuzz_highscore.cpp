// Loading a highscore table must end in a sorted table of at most 20 entries
// or in ECorruptFile with the table as it was; never a crash, a hang or a huge
// allocation. The input is tried as a whole "hs<n>.dat" file and as the bare
// table stream behind the cipher.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/QDStreamCol.h"
#include "highscore/uTHighscore.h"

using namespace tessum;

namespace {

std::vector<std::uint8_t> Bytes(const THighscore& t) {
    TMemoryStream s;
    t.SaveToStream(s);
    return s.Bytes();
}

void Fill(THighscore& t) { t.AddScore("keep", 100, 30, 18, 20, false, "k@x.org", "europa"); }

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckTable(const THighscore& t) {
    Check(t.Count() <= t.MaxEntries);
    for (int i = 0; i + 1 < t.Count(); ++i) Check(CompareScores(t.Items(i), t.Items(i + 1)) <= 0);
    // Every text the dialog, the printout and the submission ask for.
    for (int i = 0; i < t.Count(); ++i)
        for (int f = 0; f < t.Template().Count(); ++f) (void)t.GetValueText(t.Template().Items(f).Name, i);
}

void Try(const std::vector<std::uint8_t>& input, bool container) {
    THighscore t;
    Fill(t);
    const auto before = Bytes(t);
    TMemoryStream s(input);
    try {
        if (container)
            t.LoadFromContainerStream(s);
        else
            t.LoadFromStream(s);
        CheckTable(t);
        // A loaded table survives its own save and load with the same size.
        TMemoryStream again;
        t.SaveToStream(again);
        again.SetPosition(0);
        THighscore r;
        r.LoadFromStream(again);
        Check(r.Count() == t.Count());
    } catch (const ECorruptFile&) {
        Check(Bytes(t) == before);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::vector<std::uint8_t> input(Data, Data + Size);
    Try(input, false);
    Try(input, true);
    return 0;
}
