// The digits of pi that seed every Blowfish key schedule.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessum {

inline constexpr std::size_t BlowfishPiWords = 18 + 4 * 256;
extern const std::uint32_t BlowfishPi[BlowfishPiWords];

}  // namespace tessum
