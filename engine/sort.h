// Sorting the lines of the selection by up to three keys, each the whole
// line or a range of columns, compared as text (through a character map
// that can fold case and skip characters) or as numbers, ascending or
// descending. Equal lines keep their input order in both directions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/column_keys.h"
#include "engine/line_table.h"
#include "engine/tool_settings.h"

namespace quillet {

struct SortKey {
  bool enabled = false;
  ColumnKeySpec key;
  bool descending = false;
  bool numeric = false;
  bool ignoreCase = false;
  bool ignoreChars = false;  // skip the characters of ignoreList
  std::u16string ignoreList;
  bool keepOnly = false;  // skip every character not in keepList
  std::u16string keepList;
};

using SortSettings = std::array<SortKey, kSortKeyCount>;

// Key 1 enabled, keys 2 and 3 not; whole lines, ascending, as text.
SortSettings DefaultSortSettings();
// The fixed records of the quick ascending and descending sorts.
const SortSettings& AscendingSort();
const SortSettings& DescendingSort();

// keys with the lists of the settings put in.
SortSettings WithStoredLists(SortSettings keys, const SortKeyStrings& lists);

// Character map of one key: 65,536 entries, 0 for a character that is
// skipped, otherwise its weight. map must hold 65,536 units.
void BuildSortMap(const SortKey& key, char16_t* map);

// Sign-only comparisons of two key ranges [a, aEnd) and [b, bEnd); null
// ranges are empty.
int CompareKeysText(const char16_t* map, const char16_t* a, const char16_t* aEnd, const char16_t* b,
                    const char16_t* bEnd);
// Numbers with an optional sign, letters counting as digits, "." or "," as
// the decimal separator and white space skipped.
int CompareKeysNumeric(const char16_t* a, const char16_t* aEnd, const char16_t* b, const char16_t* bEnd);

// Prefixes of a key in 64 bits: when the prefixes of two keys differ, they
// order the keys as the comparison does; equal prefixes tell nothing.
std::uint64_t TextKeyPrefix(const char16_t* map, const char16_t* a, const char16_t* end);
std::uint64_t NumericKeyPrefix(const char16_t* a, const char16_t* end);

// The keys that take part in a sort by these settings: key 1 always, the
// others up to the first that is off.
int ActiveSortKeys(const SortSettings& settings);

// Whether every key taking part is its whole line, so that the sort needs
// no line table, only where each line starts.
bool SortsWholeLines(const SortSettings& settings);

// Sorts the lines, whose keys (one column per active key) are extracted
// from the settings' keys, and writes them joined by CR LF into out, which
// holds outUnits units: at least the lines' total length with the breaks
// and a terminator. Returns the terminator written, or null when memory ran
// out.
char16_t* SortLines(const LineSource& lines, std::size_t count, const SortSettings& settings,
                    const KeyColumn* columns, char16_t* out, std::size_t outUnits);

}  // namespace quillet
