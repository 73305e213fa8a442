// Integers of the kernel's callers become the shell's 16-bit arguments:
// values beyond that range are held at its ends instead of wrapping round.
#pragma once

#include <algorithm>
#include <cstdint>

namespace kesto::plot {

inline std::int16_t to_short(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, INT16_MIN, INT16_MAX));
}

}  // namespace kesto::plot
