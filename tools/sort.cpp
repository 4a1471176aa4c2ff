#include "tools/sort.h"

#include <algorithm>

#include "engine/char_classes.h"
#include "engine/memory.h"

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

bool IsNumberSpace(char16_t c) { return IsSpaceChar(c); }
bool IsSeparator(char16_t c) { return c == u'.' || c == u','; }
bool IsAlnum(char16_t c) { return (CharTypeOf(c) & (kCharAlpha | kCharDigit | kCharHexDigit)) != 0; }

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

SortSettings& SortKeysInForce() {
  static SortSettings s = DefaultSortSettings();
  return s;
}

SortSettings WithStoredLists(SortSettings keys, const SortKeyStrings& lists) {
  for (int k = 0; k < kSortKeyCount; ++k) {
    keys[k].key.delimiters = lists[k].Dl;
    keys[k].ignoreList = lists[k].I;
    keys[k].keepList = lists[k].U;
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

int CompareKeysNumeric(const char16_t* aFirst, const char16_t* aEnd, const char16_t* bFirst, const char16_t* bEnd) {
  NumberCursor A{aFirst, aFirst ? aEnd : aFirst}, B{bFirst, bFirst ? bEnd : bFirst};
  // 1. and 2. Leading white space, then a sign.
  bool negative[2] = {false, false};
  NumberCursor* numbers[2] = {&A, &B};
  for (int i = 0; i < 2; ++i) {
    NumberCursor& X = *numbers[i];
    while (X.Has() && IsNumberSpace(*X.p)) ++X.p;
    if (X.Has() && (*X.p == u'-' || *X.p == u'+')) {
      negative[i] = *X.p == u'-';
      ++X.p;
    }
  }
  // 3.
  std::int64_t k = 1;
  int R = 0, T = 0;
  bool nonzeroSeen = false;
  bool firstStep = true;
  for (;;) {
    // a. White space anywhere is skipped; leading zeros only at the start.
    for (NumberCursor* X : numbers) {
      while (X->Has() && (IsNumberSpace(*X->p) || (firstStep && *X->p == u'0'))) ++X->p;
    }
    firstStep = false;
    // b. and c. A longer integer part is the larger number.
    for (NumberCursor* X : numbers) {
      if (X->d == 0 && !X->Has()) X->d = k;
    }
    const std::int64_t dA = A.d ? A.d : k, dB = B.d ? B.d : k;
    if (dA != dB) {
      R = dA < dB ? -1 : 1;
      break;
    }
    // d. to f. One decimal separator per number; taking it costs no position.
    bool tookSeparator = false;
    if (A.Has()) {
      if (IsSeparator(*A.p) && A.d == 0) {
        A.d = k;
        ++A.p;
        tookSeparator = true;
      }
    } else if (!B.Has()) {
      if (R == 0) R = T;
      break;
    }
    if (B.Has() && IsSeparator(*B.p) && B.d == 0) {
      B.d = k;
      ++B.p;
      tookSeparator = true;
    }
    if (tookSeparator) continue;
    // g.
    const bool alnumA = A.Has() && IsAlnum(*A.p), alnumB = B.Has() && IsAlnum(*B.p);
    // h.
    if (alnumA) {
      if (alnumB && R == 0) R = static_cast<int>(LowerOf(*A.p)) - static_cast<int>(LowerOf(*B.p));
      if (*A.p != u'0') nonzeroSeen = true;
    } else {
      A.end = A.p;
      if (A.d == 0) A.d = k;
      if (alnumB && (B.d == 0 || *B.p != u'0')) T = -1;
    }
    // i.
    if (!alnumB) {
      B.end = B.p;
      if (B.d == 0) B.d = k;
      if (alnumA && (A.d == 0 || *A.p != u'0')) T = +1;
    } else if (*B.p != u'0') {
      nonzeroSeen = true;
    }
    // j. A number that has ended stays at its end.
    if (A.Has()) ++A.p;
    if (B.Has()) ++B.p;
    ++k;
  }
  // 5.
  if (negative[0] == negative[1]) return negative[0] ? -R : R;
  if (!nonzeroSeen) return 0;  // minus zero equals plus zero
  return negative[0] ? -1 : 1;
}

int CompareSortLines(const SortChain& chain, const LineRecord& a, const LineRecord& b) {
  for (int k = 0; k < chain.active; ++k) {
    const SortKey& key = (*chain.keys)[k];
    const int r = key.numeric ? CompareKeysNumeric(a.keyStart[k], a.keyEnd[k], b.keyStart[k], b.keyEnd[k])
                              : CompareKeysText(chain.maps[k], a.keyStart[k], a.keyEnd[k], b.keyStart[k], b.keyEnd[k]);
    if (r != 0) return key.descending ? -Sign(r) : Sign(r);
  }
  // Input order, also in descending sorts.
  return Sign(static_cast<std::int64_t>(a.offset) - static_cast<std::int64_t>(b.offset));
}

char16_t* SortLines(const LineRecord* lines, std::size_t count, const SortSettings& settings, char16_t* out) {
  HeapBlock<const LineRecord*> order = HeapBlock<const LineRecord*>::Allocate(count);
  HeapBlock<char16_t> maps = HeapBlock<char16_t>::Allocate(kMapSize * kSortKeyCount);
  if (!order || !maps) return nullptr;
  for (std::size_t i = 0; i < count; ++i) order[i] = &lines[i];

  // Key 1 always takes part; the others up to the first that does not.
  SortChain chain;
  chain.keys = &settings;
  chain.active = 1;
  while (chain.active < kSortKeyCount && settings[chain.active].enabled) ++chain.active;
  for (int k = 0; k < chain.active; ++k) {
    char16_t* map = maps.get() + k * kMapSize;
    BuildSortMap(settings[k], map);
    chain.maps[k] = map;
  }

  // A merge sort: its order is the chain's, and it stays within the array
  // whatever a comparison answers.
  std::stable_sort(order.get(), order.get() + count, [&chain](const LineRecord* x, const LineRecord* y) {
    return CompareSortLines(chain, *x, *y) < 0;
  });

  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = *order[i];
    out = std::copy(r.start, r.start + r.length, out);
    if (i + 1 < count) out = PutLineBreak(out);
  }
  *out = 0;
  return out;
}

}  // namespace quillet
