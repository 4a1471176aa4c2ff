// Character classes and the small string primitives every tool walks text
// with, so that word, white space, line and column mean the same thing in
// every tool. A character is one UTF-16 unit; strings end with a zero unit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/system_text.h"

namespace quillet {

inline constexpr char16_t kCR = u'\r';
inline constexpr char16_t kLF = u'\n';
inline constexpr char16_t kTab = u'\t';

// The word-character test with the "_" option fixed for one run, so a loop
// pays one table lookup per character and never re-reads the settings.
struct WordChars {
  const std::uint16_t* type;  // the CT_CTYPE1 table
  bool underscore;            // "_" joins words

  bool operator()(char16_t c) const {
    return (type[c] & (kCharAlpha | kCharDigit | kCharHexDigit)) != 0 || (underscore && c == u'_');
  }
};

inline WordChars MakeWordChars(bool underscoreIsWord) { return WordChars{GetCharTables().type, underscoreIsWord}; }

inline bool IsSentenceEnd(const char16_t* p) { return *p == u'.' || *p == u'!' || *p == u'?'; }

// Only the pair CR LF breaks a line; a lone CR or LF is an ordinary character.
inline bool IsLineBreak(const char16_t* p) { return p[0] == kCR && p[1] == kLF; }

// Writes CR LF (no terminator) and returns the position after it.
inline char16_t* PutLineBreak(char16_t* p) {
  p[0] = kCR;
  p[1] = kLF;
  return p + 2;
}

// Copies src with its terminator; returns the terminator written in dst, so
// copies chain without measuring anything twice.
char16_t* CopyEnd(char16_t* dst, const char16_t* src);

// At most n - 1 characters of src, always terminated (n = 1 writes only the
// terminator, n = 0 writes nothing); returns the terminator written.
char16_t* CopyLimited(char16_t* dst, const char16_t* src, std::size_t n);

// [first, last) into dst, stopping early at a terminator, and terminated;
// returns the terminator written.
char16_t* CopyRange(char16_t* dst, const char16_t* first, const char16_t* last);

// Walks while p's characters equal q's: 0 when p runs out (equal or a
// prefix of q), else the unsigned difference of the first unequal pair.
int ComparePrefix(const char16_t* p, const char16_t* q);
// The same after lower-casing each character.
int ComparePrefixNoCase(const char16_t* p, const char16_t* q);

// First ch in p, or p's terminator.
const char16_t* FindChar(const char16_t* p, char16_t ch);
inline char16_t* FindChar(char16_t* p, char16_t ch) {
  return const_cast<char16_t*>(FindChar(static_cast<const char16_t*>(p), ch));
}

// ch among exactly the first n units of p (terminators included).
std::size_t CountChar(const char16_t* p, std::size_t n, char16_t ch);

// Display columns of the first n characters of p, stopping at the
// terminator; a TAB moves to the next multiple of tabSize.
std::size_t ColumnWidth(const char16_t* p, std::size_t n, int tabSize);

}  // namespace quillet
