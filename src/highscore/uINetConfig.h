// Where the worldwide highscore lives and the key its check values are made
// with. Everything a distributor must change to run its own highscore server
// is here and nowhere else; the hosts are reserved example domains until a
// real server exists.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessum::inetconfig {

inline constexpr const char* Server = "www.example.org";
inline constexpr std::uint16_t Port = 80;
// The server's form handler and list page; their paths are fixed, the host follows Server.
inline constexpr const char* Action = "/software/highscore.add.php4";
inline constexpr const char* PagePath = "/software/tessum_highscore.php4";
inline constexpr const char* PageURL = "http://www.example.org/software/tessum_highscore.php4";
inline constexpr const char* GameName = "tessum";

// Shared with the server, which recomputes the check value of every entry and
// rejects entries whose value differs. Changing them breaks the agreement.
inline constexpr std::int32_t CheckModulus = 65521;
inline constexpr std::int32_t CheckSeed = 731;

// What the server accepts of one entry; the game never sends more.
inline constexpr std::size_t MaxFormBytes = 4096;
inline constexpr std::size_t MaxNameBytes = 64;   // "name" and "email", as decoded UTF-8
inline constexpr std::int32_t MaxMoves = 10000;
inline constexpr std::int32_t MaxSeconds = 99 * 3600 + 59 * 60 + 59;
// Twelve playing pits of at most eight stones each.
inline constexpr std::int32_t MaxStones = 12 * 8;
inline constexpr int Variants = 3;

// A request whose server stops answering is given up after this long, so a
// dead server cannot hold the game.
inline constexpr int RequestTimeoutMs = 20000;
// A whole submission (up to sixty entries) is given up after this long, so
// a server that answers every request just before its time-out cannot hold
// the game for twenty minutes.
inline constexpr int SubmissionTimeoutMs = 120000;
// Nothing in the answer is used; a server that streams without end is cut off here.
inline constexpr std::int64_t MaxResponseBytes = 1 << 20;

}  // namespace tessum::inetconfig
