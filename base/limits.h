// Sizes the whole program agrees on.
#pragma once

#include <cstddef>

namespace quillet {

// The longest path the program handles, terminator included.
inline constexpr std::size_t kMaxPath = 260;

}  // namespace quillet
