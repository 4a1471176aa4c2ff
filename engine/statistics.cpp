#include "engine/statistics.h"

#include <algorithm>
#include <limits>

#include "base/memory.h"
#include "engine/char_classes.h"
#include "engine/crc32.h"
#include "engine/in_halves.h"
#include "engine/unit_scan.h"

namespace quillet {

namespace {

// One class table per run: white space, word character, upper case and
// sentence end, so that each unit costs one look-up.
enum : std::uint8_t { kSpace = 1, kWord = 2, kUpper = 4, kSentenceEnd = 8 };

// The figures that go character by character: non-space and word
// characters, words and sentences.
void CountCharacters(std::u16string_view text, bool underscoreIsWord, TextStats& s) {
  const std::uint16_t* type = GetCharTables().type;
  const WordChars isWord = MakeWordChars(underscoreIsWord);
  auto classOf = [&](char16_t c) -> unsigned {
    const std::uint16_t t = type[c];
    return ((t & kCharSpace) ? kSpace : 0) | (isWord(c) ? kWord : 0) | ((t & kCharUpper) ? kUpper : 0) |
           ((c == u'.' || c == u'!' || c == u'?') ? kSentenceEnd : 0);
  };
  HeapBlock<std::uint8_t> classes = HeapBlock<std::uint8_t>::Allocate(65536);
  if (classes)
    for (std::uint32_t c = 0; c < 65536; ++c) classes[c] = static_cast<std::uint8_t>(classOf(static_cast<char16_t>(c)));

  std::uint32_t nonSpace = 0, sentences = 0, words = 0, alnum = 0;
  bool prevWasWord = false, afterSentenceEnd = true, sentenceOpen = false;
  for (const char16_t ch : text) {
    const unsigned c = classes ? classes[ch] : classOf(ch);
    const bool word = c & kWord, end = c & kSentenceEnd;
    nonSpace += !(c & kSpace);
    // A mark closes the sentence that a capital opened after the last mark
    // and before the next word began.
    sentences += end && sentenceOpen;
    afterSentenceEnd = afterSentenceEnd || end;
    sentenceOpen = (sentenceOpen && !end) || ((c & kUpper) && afterSentenceEnd);
    const bool wordStarts = word && !prevWasWord;
    words += wordStarts;
    afterSentenceEnd = afterSentenceEnd && !wordStarts;
    alnum += word;
    prevWasWord = word;
  }
  s.nonSpace = nonSpace;
  s.sentences = sentences;
  s.words = words;
  s.alnum = alnum;
}

// The figures that go line by line. A line is blank when it holds only
// white space; a paragraph begins at the first non-blank line after a blank
// one (or at the first of the text).
void CountLineFigures(std::u16string_view text, TextStats& s) {
  constexpr std::uint32_t kNoLine = std::numeric_limits<std::uint32_t>::max();
  const std::uint16_t* type = GetCharTables().type;
  s.shortest = kNoLine;
  std::uint32_t sum = 0, breaksSinceText = 2, lineLen = 0;
  bool lineBlank = true;
  if (!text.empty()) {
    const char16_t* end = text.data() + text.size();
    for (const char16_t* start = text.data();;) {
      const char16_t* lineEnd = start;
      for (;; ++lineEnd) {
        lineEnd = FindUnit(lineEnd, end, kCR);
        if (lineEnd == end || (lineEnd + 1 < end && lineEnd[1] == kLF)) break;
      }
      const char16_t* q = start;
      while (q < lineEnd && (type[*q] & kCharSpace)) ++q;
      lineBlank = q == lineEnd;
      lineLen = static_cast<std::uint32_t>(lineEnd - start);
      if (!lineBlank) {
        if (breaksSinceText > 1) ++s.paragraphs;
        breaksSinceText = 0;
      }
      if (lineEnd == end) break;
      ++s.lines;
      if (!lineBlank) ++s.nonBlankLines;
      s.longest = std::max(s.longest, lineLen);
      if (!lineBlank && lineLen < s.shortest) s.shortest = lineLen;
      sum += lineLen;
      ++breaksSinceText;
      start = lineEnd + 2;
    }
    // The last line, also when a final line break leaves it empty.
    ++s.lines;
    if (!lineBlank) ++s.nonBlankLines;
  }
  s.longest = std::max(s.longest, lineLen);
  if (!lineBlank && lineLen < s.shortest) s.shortest = lineLen;
  if (s.shortest == kNoLine) s.shortest = 0;
  if (s.lines > 0) s.averageLength = (sum + lineLen) / s.lines;
}

}  // namespace

TextStats CountTextStats(std::u16string_view text, bool underscoreIsWord) {
  // On a large text the character figures are counted beside the line
  // figures and the checksum, which is one long chain of look-ups.
  // The two write different figures of the one record.
  TextStats s;
  SideBySide(
      text.size() >= kUnitsForTwoThreads, [&] { CountCharacters(text, underscoreIsWord, s); },
      [&] {
        CountLineFigures(text, s);
        s.crc = Crc32Units(0, text.data(), text.size());
      });
  s.characters = static_cast<std::uint32_t>(text.size());
  return s;
}

}  // namespace quillet
