// Unique lines and duplicate finding: every line is counted against the
// first line with the same text, and lines are emitted by how often their
// text occurs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/line_table.h"
#include "engine/tool_settings.h"

namespace quillet {

enum UniqueJob : int {
  kUniqueRemoveDuplicates = 0,  // every first occurrence
  kUniqueOnlyUnique = 1,        // lines whose text occurs once
  kUniqueOnlyRepeated = 2,      // one copy of each text that occurs more than once
};

struct UniqueSpec {
  int job = kUniqueRemoveDuplicates;
  bool ignoreCase = false;
  bool countDuplicates = false;  // "(count) " before each emitted line
  bool keepBlank = false;        // blank lines are always emitted
};

inline UniqueSpec UniqueFromSettings(const ToolSettings& s) {
  return UniqueSpec{s.uniqueMode, s.uniqueIgnoreCase, s.uniqueCountDuplicates, s.uniqueKeepBlank};
}

// Room the output of UniqueLines can take over count lines whose texts and
// separators total textLength units, without a terminator. This is the
// usual length + 4 per line, and a little more when blank lines are kept
// with counts of ten and more.
std::uint64_t UniqueLinesCapacity(const LineRecord* lines, std::size_t count, std::uint64_t textLength);

// Counts the lines into their records (hash and count: a first occurrence
// holds the number of occurrences of its text, a repeat holds 0) and writes
// the emitted lines into out, each followed by the separator unless it is
// the table's last line; a zero separator means CR LF. The lines are read as
// start and length. Returns the terminator written, or null when the work
// table cannot be had.
char16_t* UniqueLines(LineRecord* table, std::size_t count, char16_t* out, int job, bool ignoreCase,
                      bool countDuplicates, bool keepBlank, char16_t separator);

}  // namespace quillet
