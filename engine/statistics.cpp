#include "engine/statistics.h"

#include <algorithm>
#include <limits>

#include "engine/char_classes.h"
#include "engine/crc32.h"

namespace quillet {

TextStats CountTextStats(std::u16string_view text, bool underscoreIsWord) {
  const std::uint32_t* table = Crc32Table();
  const std::uint16_t* type = GetCharTables().type;
  const WordChars isWord = MakeWordChars(underscoreIsWord);
  constexpr std::uint32_t kNoLine = std::numeric_limits<std::uint32_t>::max();

  TextStats s;
  s.shortest = kNoLine;
  std::uint32_t lineLen = 0, sum = 0, breaksSinceText = 2;
  bool lineBlank = true, prevWasWord = false, afterSentenceEnd = true, sentenceOpen = false;
  char16_t prev = 0;
  std::uint32_t crc = 0;

  if (!text.empty()) {
    for (const char16_t ch : text) {
      ++s.characters;
      crc = Crc32Unit(table, crc, ch);
      const std::uint16_t t = type[ch];
      if (!(t & kCharSpace)) {
        ++s.nonSpace;
        lineBlank = false;
        if (breaksSinceText > 1) ++s.paragraphs;
        breaksSinceText = 0;
      }
      if (ch == u'.' || ch == u'!' || ch == u'?') {
        if (sentenceOpen) ++s.sentences;
        sentenceOpen = false;
        afterSentenceEnd = true;
      }
      if ((t & kCharUpper) && afterSentenceEnd) sentenceOpen = true;
      if (isWord(ch)) {
        if (!prevWasWord) {
          ++s.words;
          afterSentenceEnd = false;
        }
        ++s.alnum;
        prevWasWord = true;
      } else {
        prevWasWord = false;
      }
      ++lineLen;
      if (ch == kLF && prev == kCR) {
        ++s.lines;
        if (!lineBlank) ++s.nonBlankLines;
        lineLen -= 2;
        s.longest = std::max(s.longest, lineLen);
        if (!lineBlank && lineLen < s.shortest) s.shortest = lineLen;
        sum += lineLen;
        lineLen = 0;
        ++breaksSinceText;
        lineBlank = true;
      }
      prev = ch;
    }
    // The last line, also when a final line break leaves it empty.
    ++s.lines;
    if (!lineBlank) ++s.nonBlankLines;
  }

  s.crc = crc;
  s.longest = std::max(s.longest, lineLen);
  if (!lineBlank && lineLen < s.shortest) s.shortest = lineLen;
  if (s.shortest == kNoLine) s.shortest = 0;
  if (s.lines > 0) s.averageLength = (sum + lineLen) / s.lines;
  return s;
}

}  // namespace quillet
