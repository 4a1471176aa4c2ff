#include "engine/unique_lines.h"

#include <algorithm>
#include <bit>

#include "base/memory.h"
#include "engine/char_classes.h"
#include "engine/crc32.h"
#include "engine/in_halves.h"

namespace quillet {
namespace {

// The checksum of each line (start value 0, no final inversion), over the
// lowered characters when case is ignored. Four lines go side by side: each
// checksum is one long chain of table look-ups, and four chains keep the
// processor busy where one would keep it waiting.
void HashLines(LineRecord* table, std::size_t count, const char16_t* fold) {
  const std::uint32_t* crc = Crc32Table();
  auto unit = [fold](char16_t c) { return fold ? fold[c] : c; };
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    LineRecord* r = table + i;
    const std::uint32_t common = std::min({r[0].length, r[1].length, r[2].length, r[3].length});
    std::uint32_t h[4] = {0, 0, 0, 0};
    for (std::uint32_t k = 0; k < common; ++k) {
      h[0] = Crc32Unit(crc, h[0], unit(r[0].start[k]));
      h[1] = Crc32Unit(crc, h[1], unit(r[1].start[k]));
      h[2] = Crc32Unit(crc, h[2], unit(r[2].start[k]));
      h[3] = Crc32Unit(crc, h[3], unit(r[3].start[k]));
    }
    for (int j = 0; j < 4; ++j) {
      for (std::uint32_t k = common; k < r[j].length; ++k) h[j] = Crc32Unit(crc, h[j], unit(r[j].start[k]));
      r[j].hash = h[j];
    }
  }
  for (; i < count; ++i) {
    std::uint32_t h = 0;
    for (std::uint32_t k = 0; k < table[i].length; ++k) h = Crc32Unit(crc, h, unit(table[i].start[k]));
    table[i].hash = h;
  }
}

bool SameText(const LineRecord& a, const LineRecord& b, const char16_t* fold) {
  if (a.length != b.length) return false;
  if (!fold) return std::equal(a.start, a.start + a.length, b.start);
  for (std::uint32_t i = 0; i < a.length; ++i)
    if (fold[a.start[i]] != fold[b.start[i]]) return false;
  return true;
}

std::uint32_t Digits(std::uint64_t n) {
  std::uint32_t d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

char16_t* PutCount(char16_t* out, std::uint32_t count) {
  char16_t reversed[10];
  int n = 0;
  do {
    reversed[n++] = static_cast<char16_t>(u'0' + count % 10);
    count /= 10;
  } while (count);
  *out++ = u'(';
  while (n) *out++ = reversed[--n];
  *out++ = u')';
  *out++ = u' ';
  return out;
}

// One entry of the table from a text to its first occurrence: the text's
// hash beside the line, so that most probes read no line at all.
struct Slot {
  std::uint32_t hash;
  std::uint32_t line;  // 0 = free, else line index + 1
};

bool Emitted(const LineRecord& r, int job, bool keepBlank) {
  if (keepBlank && r.blank()) return true;
  switch (job) {
    case kUniqueRemoveDuplicates:
      return r.count >= 1;
    case kUniqueOnlyUnique:
      return r.count == 1;
    case kUniqueOnlyRepeated:
      return r.count >= 2;
    default:
      return false;
  }
}

}  // namespace

std::uint64_t UniqueLinesCapacity(const LineRecord* lines, std::size_t count, std::uint64_t textLength) {
  // A count prefix "(c) " takes 3 + digits(c) units. Every emitted first
  // occurrence pays its digits from the four units of each of its c lines
  // (digits(c) <= c). Kept blank repeats carry "(0) " and pay for
  // themselves, so their first occurrence is short by digits(c) - 1 units,
  // which happens only for counts of 10 and more: at most one text in ten
  // of the blank lines.
  std::uint64_t blank = 0;
  for (std::size_t i = 0; i < count; ++i) blank += lines[i].blank();
  return textLength + 4 * static_cast<std::uint64_t>(count) + (Digits(count) - 1) * (blank / 10 + 1);
}

char16_t* UniqueLines(LineRecord* table, std::size_t count, char16_t* out, int job, bool ignoreCase,
                      bool countDuplicates, bool keepBlank, char16_t separator) {
  // Open addressing from a text to its first occurrence: the same verdicts
  // as comparing every line with all earlier ones, since equal texts are
  // all equal to the first of them.
  const std::size_t slots = std::bit_ceil(std::max<std::size_t>(count * 2, 16));
  HeapBlock<Slot> firstOf = HeapBlock<Slot>::Allocate(slots);
  if (!firstOf) return nullptr;
  std::fill_n(firstOf.get(), slots, Slot{0, 0});
  const char16_t* fold = ignoreCase ? GetCharTables().lower : nullptr;
  const std::size_t mask = slots - 1;
  // The checksum's low bits are its best mixed; fold the high ones in too.
  auto home = [mask](std::uint32_t h) { return (h ^ (h >> 16)) & mask; };

  InHalves(count, [&](std::size_t from, std::size_t to) { HashLines(table + from, to - from, fold); });
  for (std::size_t i = 0; i < count; ++i) table[i].count = 0;
  for (std::size_t i = 0; i < count; ++i) {
    // The slots are met in no order: ask for them ahead of time.
    if (i + 16 < count) __builtin_prefetch(&firstOf[home(table[i + 16].hash)]);
    LineRecord& r = table[i];
    for (std::size_t s = home(r.hash);; s = (s + 1) & mask) {
      Slot& slot = firstOf[s];
      if (slot.line == 0) {
        slot = Slot{r.hash, static_cast<std::uint32_t>(i + 1)};
        r.count = 1;
        break;
      }
      if (slot.hash != r.hash) continue;
      LineRecord& first = table[slot.line - 1];
      if (SameText(first, r, fold)) {
        ++first.count;
        break;
      }
    }
  }

  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = table[i];
    if (!Emitted(r, job, keepBlank)) continue;
    if (countDuplicates) out = PutCount(out, r.count);
    out = std::copy(r.start, r.start + r.length, out);
    if (i + 1 < count) {
      if (separator)
        *out++ = separator;
      else
        out = PutLineBreak(out);
    }
  }
  *out = 0;
  return out;
}

}  // namespace quillet
