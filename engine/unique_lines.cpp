#include "engine/unique_lines.h"

#include <algorithm>
#include <bit>

#include "engine/char_classes.h"
#include "engine/crc32.h"
#include "engine/memory.h"

namespace quillet {
namespace {

std::uint32_t HashLine(const LineRecord& r, const std::uint32_t* crc, const char16_t* fold) {
  std::uint32_t h = 0;
  const char16_t* p = r.start;
  const char16_t* end = p + r.length;
  if (fold) {
    for (; p < end; ++p) h = Crc32Unit(crc, h, fold[*p]);
  } else {
    for (; p < end; ++p) h = Crc32Unit(crc, h, *p);
  }
  return h;
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

bool Emitted(const LineRecord& r, int job, bool keepBlank) {
  if (keepBlank && r.blank) return true;
  switch (job) {
    case kUniqueRemoveDuplicates: return r.count >= 1;
    case kUniqueOnlyUnique: return r.count == 1;
    case kUniqueOnlyRepeated: return r.count >= 2;
    default: return false;
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
  for (std::size_t i = 0; i < count; ++i) blank += lines[i].blank;
  return textLength + 4 * static_cast<std::uint64_t>(count) + (Digits(count) - 1) * (blank / 10 + 1);
}

char16_t* UniqueLines(LineRecord* table, std::size_t count, char16_t* out, int job, bool ignoreCase,
                      bool countDuplicates, bool keepBlank, char16_t separator) {
  // Open addressing from a text to its first occurrence: the same verdicts
  // as comparing every line with all earlier ones, since equal texts are
  // all equal to the first of them.
  const std::size_t slots = std::bit_ceil(std::max<std::size_t>(count * 2, 16));
  HeapBlock<std::uint32_t> firstOf = HeapBlock<std::uint32_t>::Allocate(slots);
  if (!firstOf) return nullptr;
  std::fill_n(firstOf.get(), slots, 0u);  // 0 = free, else line index + 1
  const std::uint32_t* crc = Crc32Table();
  const char16_t* fold = ignoreCase ? GetCharTables().lower : nullptr;
  const std::size_t mask = slots - 1;

  for (std::size_t i = 0; i < count; ++i) {
    LineRecord& r = table[i];
    r.hash = HashLine(r, crc, fold);
    r.count = 0;
    // The checksum's low bits are its best mixed; fold the high ones in too.
    for (std::size_t s = (r.hash ^ (r.hash >> 16)) & mask;; s = (s + 1) & mask) {
      const std::uint32_t slot = firstOf[s];
      if (slot == 0) {
        firstOf[s] = static_cast<std::uint32_t>(i + 1);
        r.count = 1;
        break;
      }
      LineRecord& first = table[slot - 1];
      if (first.hash == r.hash && SameText(first, r, fold)) {
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
