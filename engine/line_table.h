// The line table: one record per line of a selection, the form in which
// every line-oriented tool sees its text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

inline constexpr int kColumnKeyCount = 10;

struct LineRecord {
  std::uint32_t offset;      // first character, counted from the selection start
  char16_t* start;           // the line, terminated once the table is built
  std::uint32_t length;      // without the line break
  std::uint32_t blank;       // 1 when every character is white space (or none)
  std::uint32_t leadSpace;   // white space at the start (all of a blank line)
  std::uint32_t trailSpace;  // white space at the end (all of a blank line)
  std::uint32_t hash;        // work fields of the unique-lines tool
  std::uint32_t count;
  // Bounds of column key i inside the line, end exclusive; filled only for
  // the tools that use keys (numbering, sorting, the key preview).
  char16_t* keyStart[kColumnKeyCount];
  char16_t* keyEnd[kColumnKeyCount];
};

// Lines of sel: the CR LF pairs plus one. With a table, fills one record per
// line and overwrites every CR LF with two terminators, so each line becomes
// a terminated string; with null it only counts and changes nothing. A
// table stops after maxLines records and returns how many it filled.
std::size_t BuildLineTable(LineRecord* table, char16_t* sel, std::size_t maxLines = SIZE_MAX);

}  // namespace quillet
