#include "engine/sort.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "base/memory.h"
#include "engine/char_classes.h"
#include "engine/in_halves.h"

namespace quillet {
namespace {

constexpr std::size_t kMapSize = 65536;

SortSettings MakePreset(bool descending) {
  SortSettings s = DefaultSortSettings();
  s[0].descending = descending;
  return s;
}

// The characters of a list up to its first zero, at most kKeyListLimit.
template <class F>
void ForEachListed(const std::u16string& list, F f) {
  std::size_t taken = 0;
  for (char16_t c : list) {
    if (c == 0 || taken++ == kKeyListLimit) break;
    f(c);
  }
}

int Sign(std::int64_t v) { return (v > 0) - (v < 0); }

// How far the next number unit is from being readable: the numeric
// comparison walks one number with these.
struct NumberCursor {
  const char16_t* p;
  const char16_t* end;
  std::int64_t d = 0;  // the integer part's length, 0 while unknown
  bool Has() const { return p < end; }
};

bool IsSeparator(char16_t c) { return c == u'.' || c == u','; }

// The class tests of the numeric comparison with the tables fetched once.
struct NumberClasses {
  const std::uint16_t* type = GetCharTables().type;
  const char16_t* lower = GetCharTables().lower;
  bool Space(char16_t c) const { return (type[c] & kCharSpace) != 0; }
  bool Alnum(char16_t c) const { return (type[c] & (kCharAlpha | kCharDigit | kCharHexDigit)) != 0; }
};

// Six-bit codes that keep the order of the units of a number: 0 for its
// end, the digits and the letters each a code of their own, and one code
// for each range between them, after which nothing more is packed.
constexpr int kCodeBits = 6;
constexpr int kCodesPacked = 9;
struct UnitCode {
  std::uint64_t code;
  bool last;  // a range code: what follows cannot be told apart
};
UnitCode CodeOf(char16_t u) {
  if (u < u'0') return {1, true};
  if (u <= u'9') return {2 + static_cast<std::uint64_t>(u - u'0'), false};
  if (u < u'a') return {12, true};
  if (u <= u'z') return {13 + static_cast<std::uint64_t>(u - u'a'), false};
  return {39, true};
}

// One sort entry: the first key's prefix, then the line and its length.
// The line is its index in the line table, or, when the lines come without
// a table, its offset in the text, so that reaching its text needs no
// second look-up. Either orders the lines as the text does. Comparing the
// prefixes decides most pairs without reading the lines.
struct SortEntry {
  std::uint64_t prefix;
  std::uint32_t line;
  std::uint32_t length;
};

// One comparison chain of a run: the enabled keys in order (with their maps,
// directions and each line's key), then the input position.
struct SortChain {
  const SortSettings* keys = nullptr;
  const char16_t* maps[kSortKeyCount] = {};
  const KeyColumn* columns[kSortKeyCount] = {};
  const LineSource* lines = nullptr;
  int active = 0;  // keys taking part: 1 to 3
};

KeyRange KeyOf(const SortChain& chain, int k, const SortEntry& e) {
  if (!chain.lines->table) {
    char16_t* start = chain.lines->text + e.line;
    return KeyRange{start, start + e.length};
  }
  return (*chain.columns[k])[e.line];
}

const char16_t* StartOf(const LineSource& lines, const SortEntry& e) {
  return lines.table ? lines.table[e.line].start : lines.text + e.line;
}

int CompareSortLines(const SortChain& chain, const SortEntry& a, const SortEntry& b) {
  for (int k = 0; k < chain.active; ++k) {
    const SortKey& key = (*chain.keys)[k];
    const KeyRange x = KeyOf(chain, k, a), y = KeyOf(chain, k, b);
    const int r = key.numeric ? CompareKeysNumeric(x.start, x.end, y.start, y.end)
                              : CompareKeysText(chain.maps[k], x.start, x.end, y.start, y.end);
    if (r != 0) return key.descending ? -Sign(r) : Sign(r);
  }
  // Input order, also in descending sorts.
  return Sign(static_cast<std::int64_t>(a.line) - static_cast<std::int64_t>(b.line));
}

// Least significant digit first, eleven bits a digit (six passes cover the
// 64 bits); digits that are the same in every entry cost no pass. The
// counts live on the heap: 6 x 2048 of them would crowd a thread's stack.
constexpr int kDigitBits = 11;
constexpr int kDigits = (64 + kDigitBits - 1) / kDigitBits;
constexpr std::size_t kDigitValues = std::size_t{1} << kDigitBits;

bool RadixSortByPrefix(SortEntry* entries, SortEntry* spare, std::size_t count) {
  HeapBlock<std::size_t> counts = HeapBlock<std::size_t>::Allocate(kDigits * kDigitValues);
  if (!counts) return false;
  std::fill_n(counts.get(), kDigits * kDigitValues, std::size_t{0});
  auto digit = [](std::uint64_t prefix, int d) { return (prefix >> (kDigitBits * d)) & (kDigitValues - 1); };
  // The histograms of the two halves side by side, then added up.
  HeapBlock<std::size_t> second = HeapBlock<std::size_t>::Allocate(kDigits * kDigitValues);
  if (!second) return false;
  std::fill_n(second.get(), kDigits * kDigitValues, std::size_t{0});
  auto histogram = [&](std::size_t from, std::size_t to, std::size_t* into) {
    for (std::size_t i = from; i < to; ++i)
      for (int d = 0; d < kDigits; ++d) ++into[d * kDigitValues + digit(entries[i].prefix, d)];
  };
  SideBySide(
      count >= kLinesForTwoThreads, [&] { histogram(0, count / 2, counts.get()); },
      [&] { histogram(count / 2, count, second.get()); });
  for (std::size_t i = 0; i < kDigits * kDigitValues; ++i) counts[i] += second[i];
  SortEntry* from = entries;
  SortEntry* to = spare;
  for (int d = 0; d < kDigits; ++d) {
    std::size_t* bucket = counts.get() + d * kDigitValues;
    if (std::find(bucket, bucket + kDigitValues, count) != bucket + kDigitValues) continue;
    std::size_t at = 0;
    for (std::size_t v = 0; v < kDigitValues; ++v) at += std::exchange(bucket[v], at);
    for (std::size_t i = 0; i < count; ++i) to[bucket[digit(from[i].prefix, d)]++] = from[i];
    std::swap(from, to);
  }
  if (from != entries) std::copy(from, from + count, entries);
  return true;
}

// Whether every line's first key in [first, last) is the same text.
bool SameKeys(const SortEntry* first, const SortEntry* last, const SortChain& chain) {
  const KeyRange key = KeyOf(chain, 0, *first);
  const std::u16string_view text(key.start, static_cast<std::size_t>(key.end - key.start));
  for (const SortEntry* e = first + 1; e < last; ++e) {
    const KeyRange other = KeyOf(chain, 0, *e);
    if (std::u16string_view(other.start, static_cast<std::size_t>(other.end - other.start)) != text) return false;
  }
  return true;
}

// Puts the runs of equal prefixes in [first, last) in order (of count
// entries) and writes their lines at out, each followed by CR LF unless it
// is the last line of all. Returns the end of what it wrote; it writes no
// terminator, since another thread may be writing right after it.
char16_t* WriteRuns(SortEntry* order, const LineSource& lines, std::size_t first, std::size_t last,
                    std::size_t count, const SortChain& chain, char16_t* out) {
  // The lines come in a new order: their text (and first their records,
  // when there is a table) is asked for ahead of time.
  constexpr std::size_t kRecordAhead = 16, kTextAhead = 8;
  auto ask = [&](std::size_t i) {
    if (lines.table && i + kRecordAhead < last) __builtin_prefetch(lines.table + order[i + kRecordAhead].line);
    if (i + kTextAhead < last) __builtin_prefetch(StartOf(lines, order[i + kTextAhead]));
  };
  while (first < last) {
    std::size_t end = first + 1;
    while (end < last && order[end].prefix == order[first].prefix) ++end;
    for (std::size_t i = first; i < end; ++i) ask(i);
    // With one key, a run of lines whose keys are the very same text is in
    // input order already, which is the chain's order for equal keys.
    if (end - first > 1 && !(chain.active == 1 && SameKeys(order + first, order + end, chain))) {
      // A merge sort stays within the run whatever a comparison answers.
      std::stable_sort(order + first, order + end, [&chain](const SortEntry& x, const SortEntry& y) {
        return CompareSortLines(chain, x, y) < 0;
      });
    }
    for (std::size_t i = first; i < end; ++i) {
      const char16_t* start = StartOf(lines, order[i]);
      out = std::copy(start, start + order[i].length, out);
      if (i + 1 < count) out = PutLineBreak(out);
    }
    first = end;
  }
  return out;
}

}  // namespace

SortSettings DefaultSortSettings() {
  SortSettings s{};
  s[0].enabled = true;
  return s;
}

const SortSettings& AscendingSort() {
  static const SortSettings s = MakePreset(false);
  return s;
}

const SortSettings& DescendingSort() {
  static const SortSettings s = MakePreset(true);
  return s;
}

SortSettings WithStoredLists(SortSettings keys, const SortKeyStrings& lists) {
  for (int k = 0; k < kSortKeyCount; ++k) {
    keys[k].key.delimiters = lists[k].delimiters;
    keys[k].ignoreList = lists[k].ignoreList;
    keys[k].keepList = lists[k].keepList;
  }
  return keys;
}

void BuildSortMap(const SortKey& key, char16_t* map) {
  if (key.keepOnly) {
    std::fill_n(map, kMapSize, char16_t{0});
    ForEachListed(key.keepList, [&](char16_t c) { map[c] = c; });
  } else {
    for (std::size_t c = 0; c < kMapSize; ++c) map[c] = static_cast<char16_t>(c);
  }
  if (key.ignoreChars) ForEachListed(key.ignoreList, [&](char16_t c) { map[c] = 0; });
  if (key.ignoreCase) {
    // In increasing order, in place: an upper-case letter takes the weight
    // (or the skipped state) its lower-case form has by then.
    const char16_t* lower = GetCharTables().lower;
    for (std::size_t c = 0; c < kMapSize; ++c) map[c] = map[lower[c]];
  }
}

int CompareKeysText(const char16_t* map, const char16_t* a, const char16_t* aEnd, const char16_t* b,
                    const char16_t* bEnd) {
  for (;;) {
    while (a < aEnd && map[*a] == 0) ++a;
    while (b < bEnd && map[*b] == 0) ++b;
    if (a == aEnd || b == bEnd) return Sign((aEnd - a) - (bEnd - b));
    if (map[*a] != map[*b]) return static_cast<int>(map[*a]) - static_cast<int>(map[*b]);
    ++a;
    ++b;
  }
}

namespace {

// Leading white space, then an optional sign; true for a minus.
bool TakeSign(NumberCursor& X, const NumberClasses& is) {
  while (X.Has() && is.Space(*X.p)) ++X.p;
  if (!X.Has() || (*X.p != u'-' && *X.p != u'+')) return false;
  const bool negative = *X.p == u'-';
  ++X.p;
  return negative;
}

// Two numbers walked side by side, one position k at a time. R is the
// verdict of the first differing digit, T the tie-break when one number
// runs out of digits before the other.
struct NumericWalk {
  const NumberClasses& is;
  NumberCursor& A;
  NumberCursor& B;
  std::int64_t k = 1;
  int R = 0;
  int T = 0;
  bool nonzeroSeen = false;
  bool firstStep = true;
};

// White space anywhere is skipped; leading zeros only at the start.
void SkipFiller(NumericWalk& w) {
  for (NumberCursor* X : {&w.A, &w.B}) {
    while (X->Has() && (w.is.Space(*X->p) || (w.firstStep && *X->p == u'0'))) ++X->p;
  }
  w.firstStep = false;
}

// A longer integer part is the larger number; true once that decides.
bool IntegerLengthsDecide(NumericWalk& w) {
  for (NumberCursor* X : {&w.A, &w.B}) {
    if (X->d == 0 && !X->Has()) X->d = w.k;
  }
  const std::int64_t dA = w.A.d ? w.A.d : w.k, dB = w.B.d ? w.B.d : w.k;
  if (dA == dB) return false;
  w.R = dA < dB ? -1 : 1;
  return true;
}

enum class SeparatorStep { kNone, kTaken, kBothEnded };

// One decimal separator per number; taking it costs no position.
SeparatorStep TakeSeparators(NumericWalk& w) {
  bool taken = false;
  if (w.A.Has()) {
    if (IsSeparator(*w.A.p) && w.A.d == 0) {
      w.A.d = w.k;
      ++w.A.p;
      taken = true;
    }
  } else if (!w.B.Has()) {
    return SeparatorStep::kBothEnded;
  }
  if (w.B.Has() && IsSeparator(*w.B.p) && w.B.d == 0) {
    w.B.d = w.k;
    ++w.B.p;
    taken = true;
  }
  return taken ? SeparatorStep::kTaken : SeparatorStep::kNone;
}

// The characters at position k: the first differing pair decides, and a
// number whose digits end here ends its integer part and may set the
// tie-break.
void CompareAtPosition(NumericWalk& w) {
  NumberCursor& A = w.A;
  NumberCursor& B = w.B;
  const bool alnumA = A.Has() && w.is.Alnum(*A.p), alnumB = B.Has() && w.is.Alnum(*B.p);
  if (alnumA) {
    if (alnumB && w.R == 0) w.R = static_cast<int>(w.is.lower[*A.p]) - static_cast<int>(w.is.lower[*B.p]);
    if (*A.p != u'0') w.nonzeroSeen = true;
  } else {
    A.end = A.p;
    if (A.d == 0) A.d = w.k;
    if (alnumB && (B.d == 0 || *B.p != u'0')) w.T = -1;
  }
  if (!alnumB) {
    B.end = B.p;
    if (B.d == 0) B.d = w.k;
    if (alnumA && (A.d == 0 || *A.p != u'0')) w.T = +1;
  } else if (*B.p != u'0') {
    w.nonzeroSeen = true;
  }
  // A number that has ended stays at its end.
  if (A.Has()) ++A.p;
  if (B.Has()) ++B.p;
  ++w.k;
}

}  // namespace

int CompareKeysNumeric(const char16_t* aFirst, const char16_t* aEnd, const char16_t* bFirst, const char16_t* bEnd) {
  const NumberClasses is;
  NumberCursor A{aFirst, aFirst ? aEnd : aFirst}, B{bFirst, bFirst ? bEnd : bFirst};
  const bool negativeA = TakeSign(A, is);
  const bool negativeB = TakeSign(B, is);
  NumericWalk w{is, A, B};
  for (;;) {
    SkipFiller(w);
    if (IntegerLengthsDecide(w)) break;
    const SeparatorStep separators = TakeSeparators(w);
    if (separators == SeparatorStep::kBothEnded) {
      if (w.R == 0) w.R = w.T;
      break;
    }
    if (separators == SeparatorStep::kTaken) continue;
    CompareAtPosition(w);
  }
  // The signs: equal ones keep (or turn) the magnitude's verdict.
  if (negativeA == negativeB) return negativeA ? -w.R : w.R;
  if (!w.nonzeroSeen) return 0;  // minus zero equals plus zero
  return negativeA ? -1 : 1;
}

std::uint64_t TextKeyPrefix(const char16_t* map, const char16_t* a, const char16_t* end) {
  // Eight bits per weight, high first: weights below 128 as themselves,
  // larger ones by their range (128 + w / 512), after which nothing more is
  // packed since equal ranges tell nothing. A key that ends leaves zeros,
  // which are below every weight.
  std::uint64_t prefix = 0;
  for (int shift = 56; a < end && shift >= 0; ++a) {
    const char16_t w = map[*a];
    if (w == 0) continue;
    if (w < 128) {
      prefix |= static_cast<std::uint64_t>(w) << shift;
      shift -= 8;
    } else {
      prefix |= static_cast<std::uint64_t>(128 + (w >> 9)) << shift;
      break;
    }
  }
  return prefix;
}

std::uint64_t NumericKeyPrefix(const char16_t* p, const char16_t* end) {
  // The comparison reads a number as a sign, an integer part without its
  // leading zeros and a fraction without its trailing zeros; it orders by
  // sign (minus zero equals plus zero), then by the integer part's length,
  // then unit by unit through both parts. The prefix packs the same: two
  // bits of sign class, eight of length, nine units of six bits.
  const NumberClasses is;
  if (!p) end = p;
  while (p < end && is.Space(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == u'-' || *p == u'+')) negative = *p++ == u'-';
  while (p < end && (is.Space(*p) || *p == u'0')) ++p;

  std::uint64_t integerLength = 0, codes = 0, pendingZeros = 0;
  int packed = 0;
  bool separator = false, nonzero = false, full = false;
  auto pack = [&](char16_t u) {
    if (full) return;
    const UnitCode c = CodeOf(u);
    codes |= c.code << (kCodeBits * (kCodesPacked - 1 - packed));
    full = c.last || ++packed == kCodesPacked;
  };
  for (; p < end; ++p) {
    const char16_t c = *p;
    if (is.Space(c)) continue;
    if (IsSeparator(c) && !separator) {
      separator = true;
      continue;
    }
    if (!is.Alnum(c)) break;
    const char16_t u = is.lower[c];
    if (!separator) {
      ++integerLength;
      nonzero = true;  // no leading zeros are left
      pack(u);
    } else if (c == u'0') {
      ++pendingZeros;  // counts only when a non-zero unit follows
    } else {
      nonzero = true;
      for (; pendingZeros; --pendingZeros) pack(u'0');
      pack(u);
    }
  }
  if (!nonzero) return std::uint64_t{1} << 62;  // zero, whatever its sign
  // A length beyond the field says nothing about the units.
  if (integerLength >= 255) {
    integerLength = 255;
    codes = 0;
  }
  const std::uint64_t magnitude = integerLength << (kCodeBits * kCodesPacked) | codes;
  constexpr std::uint64_t kMagnitudeMask = (std::uint64_t{1} << 62) - 1;
  return negative ? ~magnitude & kMagnitudeMask : std::uint64_t{2} << 62 | magnitude;
}

int ActiveSortKeys(const SortSettings& settings) {
  int active = 1;
  while (active < kSortKeyCount && settings[active].enabled) ++active;
  return active;
}

bool SortsWholeLines(const SortSettings& settings) {
  for (int k = 0; k < ActiveSortKeys(settings); ++k)
    if (!IsWholeLine(settings[k].key)) return false;
  return true;
}

char16_t* SortLines(const LineSource& lines, std::size_t count, const SortSettings& settings,
                    const KeyColumn* columns, char16_t* out, std::size_t outUnits) {
  HeapBlock<SortEntry> order = HeapBlock<SortEntry>::Allocate(count);
  HeapBlock<char16_t> maps = HeapBlock<char16_t>::Allocate(kMapSize * kSortKeyCount);
  if (!order || !maps) return nullptr;

  SortChain chain;
  chain.keys = &settings;
  chain.lines = &lines;
  chain.active = ActiveSortKeys(settings);
  for (int k = 0; k < chain.active; ++k) {
    char16_t* map = maps.get() + k * kMapSize;
    BuildSortMap(settings[k], map);
    chain.maps[k] = map;
    chain.columns[k] = &columns[k];
  }

  // Different prefixes order two lines as their first keys do; equal ones
  // leave it to the whole chain.
  const SortKey& first = settings[0];
  const KeyColumn& firstKeys = columns[0];
  InHalves(count, [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const KeyRange key = firstKeys[i];
      const std::uint64_t prefix = first.numeric ? NumericKeyPrefix(key.start, key.end)
                                                 : TextKeyPrefix(chain.maps[0], key.start, key.end);
      const std::uint32_t line = lines.table ? static_cast<std::uint32_t>(i) : lines.offsets[i];
      order[i] = SortEntry{first.descending ? ~prefix : prefix, line, lines.Length(i)};
    }
  });

  // By prefix first (a stable radix sort); the runs of equal prefixes are
  // left to the whole chain as they are written out. The radix sort's
  // spare room is the result buffer when that is large enough: its pages
  // are written first there and then again by the lines, not twice over.
  static_assert(alignof(SortEntry) <= alignof(std::max_align_t));
  HeapBlock<SortEntry> ownSpare;
  SortEntry* spare = reinterpret_cast<SortEntry*>(out);
  if (outUnits * sizeof(char16_t) < count * sizeof(SortEntry)) {
    ownSpare = HeapBlock<SortEntry>::Allocate(count);
    if (!ownSpare) return nullptr;
    spare = ownSpare.get();
  }
  if (!RadixSortByPrefix(order.get(), spare, count)) return nullptr;

  // Two halves, split between runs, go out side by side on large
  // selections: the second half starts where the first half's lines end.
  std::size_t half = count < kLinesForTwoThreads ? count : count / 2;
  while (half < count && order[half].prefix == order[half - 1].prefix) ++half;
  std::uint64_t offset = 0;
  if (half < count)
    for (std::size_t i = 0; i < half; ++i) offset += order[i].length + 2;
  char16_t* firstEnd = nullptr;
  char16_t* end = nullptr;
  SideBySide(
      half < count, [&] { firstEnd = WriteRuns(order.get(), lines, 0, half, count, chain, out); },
      [&] { end = half < count ? WriteRuns(order.get(), lines, half, count, count, chain, out + offset) : nullptr; });
  if (!end) end = firstEnd;
  *end = 0;
  return end;
}

}  // namespace quillet
