#include "engine/text_tools.h"

#include <algorithm>

#include "engine/in_halves.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char16_t* Put(char16_t* dst, std::u16string_view text) { return std::copy(text.begin(), text.end(), dst); }

bool HasLineBreak(const char16_t* s) {
  for (; *s; ++s)
    if (IsLineBreak(s)) return true;
  return false;
}

}  // namespace

namespace {

// Maps the units of [s, s + n) through map in place, stopping at the first
// zero unit; returns it (s[n] is one).
template <class Map>
char16_t* MapUnits(char16_t* s, std::size_t n, Map map) {
  char16_t* zero[2] = {s + n, s + n};
  UnitsInHalves(n, [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const char16_t c = s[i];
      if (c == 0) {
        zero[from == 0 ? 0 : 1] = s + i;
        return;
      }
      s[i] = map(c);
    }
  });
  // A zero in the first half ends the text there; what the second half did
  // after it is beyond the result.
  return std::min(zero[0], zero[1]);
}

}  // namespace

char16_t* InvertCase(char16_t* s, std::size_t n) {
  const CharTables& t = GetCharTables();
  return MapUnits(s, n, [&t](char16_t c) { return (t.type[c] & kCharUpper) ? t.lower[c] : t.upper[c]; });
}

char16_t* UpperCase(char16_t* s, std::size_t n) {
  const char16_t* upper = GetCharTables().upper;
  return MapUnits(s, n, [upper](char16_t c) { return upper[c]; });
}

char16_t* LowerCase(char16_t* s, std::size_t n) {
  const char16_t* lower = GetCharTables().lower;
  return MapUnits(s, n, [lower](char16_t c) { return lower[c]; });
}

char16_t* WordCase(char16_t* s, WordChars word) {
  const CharTables& t = GetCharTables();
  bool atWordStart = true;
  for (; *s; ++s) {
    if (word(*s)) {
      *s = atWordStart ? t.upper[*s] : t.lower[*s];
      atWordStart = false;
    } else {
      atWordStart = true;
    }
  }
  return s;
}

char16_t* SentenceCase(char16_t* s, WordChars word) {
  const char16_t* upper = GetCharTables().upper;
  bool atSentenceStart = true;
  for (; *s; ++s) {
    if (IsSentenceEnd(s)) {
      atSentenceStart = true;
    } else if (atSentenceStart && word(*s)) {
      *s = upper[*s];
      atSentenceStart = false;
    }
  }
  return s;
}

void ReverseUnits(char16_t* first, char16_t* last) {
  // Swapping each pair first makes the overall reversal put it back in order.
  for (char16_t* p = first; p + 1 < last; ++p) {
    if (IsHighSurrogate(p[0]) && IsLowSurrogate(p[1])) {
      std::swap(p[0], p[1]);
      ++p;
    }
  }
  std::reverse(first, last);
}

void ReverseText(char16_t* s, std::size_t n) {
  ReverseUnits(s, s + n);
  // Each CR LF came out as LF CR; turn those back into line breaks.
  for (char16_t* p = s; p + 1 < s + n; ++p) {
    if (p[0] == kLF && p[1] == kCR) {
      p[0] = kCR;
      p[1] = kLF;
      ++p;
    }
  }
}

void ReverseEachWord(char16_t* s, WordChars word) {
  while (*s) {
    if (!word(*s)) {
      ++s;
      continue;
    }
    char16_t* end = s;
    while (*end && word(*end)) ++end;
    ReverseUnits(s, end);
    s = end;
  }
}

void ReverseWords(char16_t* s, std::size_t n, WordChars word) {
  ReverseText(s, n);
  ReverseEachWord(s, word);
}

namespace {

// The first CR LF inside [p, last) at or after p, or last.
char16_t* NextPair(char16_t* p, char16_t* last, char16_t cr, char16_t lf) {
  for (;; ++p) {
    p = FindUnit(p, last, cr);
    if (p == last || (p + 1 < last && p[1] == lf)) return p;
  }
}

// [first, last) cut after a pair (a, b) near its middle for two threads,
// or not cut (returns last) when it is small or has no such pair there.
char16_t* SplitAfterPair(char16_t* first, char16_t* last, char16_t a, char16_t b) {
  const std::size_t n = static_cast<std::size_t>(last - first);
  if (n < kUnitsForTwoThreads) return last;
  char16_t* at = NextPair(first + n / 2, last, a, b);
  return at == last ? last : at + 2;
}

// Each line of [first, last), lines ending at the pair (a, b), through
// fix(start, end).
template <class Fix>
void ForEachLine(char16_t* first, char16_t* last, char16_t a, char16_t b, Fix fix) {
  for (char16_t* start = first;;) {
    char16_t* end = NextPair(start, last, a, b);
    fix(start, end);
    if (end == last) return;
    start = end + 2;
  }
}

// Both halves of [first, last) side by side when cut is inside it.
template <class Work>
void AroundCut(char16_t* first, char16_t* cut, char16_t* last, Work work) {
  SideBySide(
      cut != last, [&] { work(first, cut); }, [&] { work(cut, last); });
}

}  // namespace

void ReverseLineOrderInPlace(char16_t* first, char16_t* last) {
  // Reversing everything puts the lines in reverse order, each read
  // backwards and each CR LF turned into LF CR; reversing each line back
  // and turning the pairs round finishes the job. Every LF CR of the
  // reversed text is exactly one former CR LF.
  const std::size_t n = static_cast<std::size_t>(last - first);
  UnitsInHalves(n / 2, [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) std::swap(first[i], first[n - 1 - i]);
  });
  AroundCut(first, SplitAfterPair(first, last, kLF, kCR), last, [](char16_t* from, char16_t* to) {
    ForEachLine(from, to, kLF, kCR, [to](char16_t* start, char16_t* end) {
      std::reverse(start, end);
      if (end != to) PutLineBreak(end);
    });
  });
}

void ReverseEachLineInPlace(char16_t* first, char16_t* last) {
  AroundCut(first, SplitAfterPair(first, last, kCR, kLF), last, [](char16_t* from, char16_t* to) {
    ForEachLine(from, to, kCR, kLF, [](char16_t* start, char16_t* end) { ReverseUnits(start, end); });
  });
}

void ReverseLineWordsInPlace(char16_t* first, char16_t* last, WordChars word) {
  ReverseEachLineInPlace(first, last);
  // The words read forward again; a break is never part of a word.
  AroundCut(first, SplitAfterPair(first, last, kCR, kLF), last, [word](char16_t* from, char16_t* to) {
    for (char16_t* s = from; s < to;) {
      if (!word(*s)) {
        ++s;
        continue;
      }
      char16_t* end = s;
      while (end < to && word(*end)) ++end;
      ReverseUnits(s, end);
      s = end;
    }
  });
}

char16_t* ReverseLines(const LineRecord* lines, std::size_t count, char16_t* dst) {
  for (std::size_t i = count; i-- > 0;) {
    dst = std::copy(lines[i].start, lines[i].start + lines[i].length, dst);
    if (i > 0) dst = PutLineBreak(dst);
  }
  *dst = 0;
  return dst;
}

char16_t* ReverseEachLine(const LineRecord* lines, std::size_t count, char16_t* dst) {
  char16_t* end = ReverseLines(lines, count, dst);
  ReverseText(dst, static_cast<std::size_t>(end - dst));
  return end;
}

char16_t* ReverseLineWords(const LineRecord* lines, std::size_t count, char16_t* dst, WordChars word) {
  char16_t* end = ReverseEachLine(lines, count, dst);
  ReverseEachWord(dst, word);
  return end;
}

void BuildTranslateTable(char16_t* table, std::u16string_view find, std::u16string_view repl, bool deleteOthers) {
  for (std::size_t c = 0; c < kTranslateTableSize; ++c) table[c] = deleteOthers ? 0 : static_cast<char16_t>(c);
  const std::size_t pairs = std::min(find.size(), repl.size());
  for (std::size_t k = 0; k < pairs; ++k) table[find[k]] = repl[k];
  for (std::size_t k = pairs; k < find.size(); ++k) table[find[k]] = 0;
}

char16_t* TranslateText(char16_t* s, const char16_t* table) {
  char16_t* out = s;
  for (; *s; ++s) {
    const char16_t c = table[*s];
    if (c) *out++ = c;
  }
  *out = 0;
  return out;
}

char16_t* EncloseText(char16_t* dst, const char16_t* sel, std::u16string_view before, std::u16string_view after,
                      char16_t** caret) {
  dst = Put(dst, before);
  if (caret) *caret = dst;
  dst = CopyEnd(dst, sel);
  dst = Put(dst, after);
  *dst = 0;
  return dst;
}

std::size_t TagTextCapacity(std::size_t n, const TagSpec& tag) {
  // "<" name " " attributes ">" CR LF sel CR LF "</" name ">", or
  // sel CR LF "<" name " " attributes " />".
  return n + 2 * tag.name.size() + tag.attributes.size() + 10;
}

char16_t* TagText(char16_t* dst, const char16_t* sel, const TagSpec& tag, char16_t** caret) {
  const bool multiLine = HasLineBreak(sel);
  auto openTag = [&](char16_t* p) {
    *p++ = u'<';
    p = Put(p, tag.name);
    if (!tag.attributes.empty()) {
      *p++ = u' ';
      p = Put(p, tag.attributes);
    }
    return p;
  };
  if (tag.emptyElement) {
    dst = CopyEnd(dst, sel);
    if (multiLine) dst = PutLineBreak(dst);
    dst = Put(openTag(dst), u" />");
    if (caret) *caret = dst;
  } else {
    dst = openTag(dst);
    *dst++ = u'>';
    if (caret) *caret = dst;
    if (multiLine) dst = PutLineBreak(dst);
    dst = CopyEnd(dst, sel);
    if (multiLine) dst = PutLineBreak(dst);
    dst = Put(dst, u"</");
    dst = Put(dst, tag.name);
    *dst++ = u'>';
  }
  *dst = 0;
  return dst;
}

}  // namespace quillet
