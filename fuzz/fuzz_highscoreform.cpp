// Hostile bodies sent to the highscore server's form handler: whatever
// arrives, the parser answers with a verdict, and an accepted entry keeps
// every limit the server promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "highscore/uINetConfig.h"
#include "highscore/uGVHTMLUtils.h"
#include "server/uHighscoreForm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    using namespace tessum;
    static const std::set<std::string> countries = {"deutschland", "europa", "schweiz"};
    server::TNetEntry e;
    const std::string_view body(reinterpret_cast<const char*>(Data), Size);
    const server::TFormVerdict v = server::ParseHighscoreForm(body, countries, e);
    if (v.Ok()) {
        if (e.Variant < 1 || e.Variant > inetconfig::Variants || e.Name.empty() || e.EMail.empty() ||
            e.Name.size() > inetconfig::MaxNameBytes || e.EMail.size() > inetconfig::MaxNameBytes ||
            e.Punkte < 0 || e.Punkte > 10000 || e.PunkteGegner < 0 || e.PunkteGegner > inetconfig::MaxStones ||
            e.Runden < 0 || e.Runden > inetconfig::MaxMoves || e.Zeit < 0 || e.Zeit > inetconfig::MaxSeconds ||
            (!e.Land.empty() && !countries.count(e.Land)))
            std::abort();
    } else if (v.Status < 400 || v.Status > 499 || v.Reason.empty() ||
               v.Reason.find_first_of("\r\n") != std::string::npos) {
        std::abort();
    }
    HTMLDecode(body);
    return 0;
}
