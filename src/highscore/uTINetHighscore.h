// A highscore table that can send its entries to the worldwide highscore
// server: one form post per entry, signed with a check value the server
// recomputes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "highscore/WebPostForm.h"
#include "highscore/uTGVHighscore.h"

namespace tessum {

// Decides whether an entry is sent.
using THighscoreFilter = std::function<bool(const TGVValueList& Entry)>;

// Check value of Text: an ANSI lower-cased, byte-wise product chain reduced
// by Modulus; between 1 and Modulus - 1 for a positive Modulus, "1" for an
// empty Text.
std::string CheckValue(std::string_view Text, std::int32_t Modulus, std::int32_t Seed);

class TCustomINetHighscore : public TCustomHighscore {
public:
    TCustomINetHighscore(std::string Key, TGVCompare Compare, const TGVValueList& Template);

    std::string Server;
    std::uint16_t Port = 80;
    std::string Action;
    std::string GameName;
    // The table's number on the server; the sender sets it before each table.
    std::string Index = "0";
    std::string PageURL;
    std::int32_t CheckModulus = 0;
    std::int32_t CheckSeed = 0;
    // Absent: every entry is sent.
    THighscoreFilter OnFilter;

    // The eleven pairs of Entry as they go out: the template's fields, then
    // "hs_name", "hs_index" and "check", every value percent-encoded.
    void BuildForm(const TGVValueList& Entry, TWebPostItems& Items) const;

    // Posts every entry that passes OnFilter, best first. 0 when all went out
    // (also when there was nothing to send); -1 at the first failed post, and
    // the rest stay unsent. The table itself is not touched.
    int SendToNet(TCustomWebPost& Post) const;
};

}  // namespace tessum
