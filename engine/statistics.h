// The figures of the statistics dialog, counted in one pass over a text.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

struct TextStats {
  std::uint32_t characters = 0;
  std::uint32_t crc = 0;  // CRC-32 of the UTF-16 little-endian bytes, start 0, no final inversion
  std::uint32_t nonSpace = 0;
  std::uint32_t alnum = 0;  // word characters
  std::uint32_t words = 0;
  std::uint32_t lines = 0;
  std::uint32_t nonBlankLines = 0;
  std::uint32_t paragraphs = 0;
  std::uint32_t sentences = 0;
  std::uint32_t averageLength = 0;
  std::uint32_t shortest = 0;
  std::uint32_t longest = 0;
};

// Only CR LF ends a line; a line of white space is blank. A sentence counts
// at its closing mark when the first word after the previous mark began
// with a capital; a paragraph begins at the first non-blank character after
// a blank line (or at the first of the text).
TextStats CountTextStats(std::u16string_view text, bool underscoreIsWord);

}  // namespace quillet
