// Where the worldwide highscore lives and the key its check values are made
// with. Everything a distributor must change to run its own highscore server
// is here and nowhere else; the hosts are reserved example domains until a
// real server exists.
#pragma once

#include <cstdint>

namespace tessum::inetconfig {

inline constexpr const char* Server = "www.example.org";
inline constexpr std::uint16_t Port = 80;
// The server's form handler and list page; their paths are fixed, the host follows Server.
inline constexpr const char* Action = "/software/highscore.add.php4";
inline constexpr const char* PageURL = "http://www.example.org/software/tessum_highscore.php4";
inline constexpr const char* GameName = "tessum";

// Shared with the server, which recomputes the check value of every entry and
// rejects entries whose value differs. Changing them breaks the agreement.
inline constexpr std::int32_t CheckModulus = 65521;
inline constexpr std::int32_t CheckSeed = 731;

// A request whose server stops answering is given up after this long, so a
// dead server cannot hold the game.
inline constexpr int RequestTimeoutMs = 20000;
// Nothing in the answer is used; a server that streams without end is cut off here.
inline constexpr std::int64_t MaxResponseBytes = 1 << 20;

}  // namespace tessum::inetconfig
