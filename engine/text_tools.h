// The tools that rewrite characters rather than lines: case, reversal,
// translation, enclosing and XML/HTML tags. Each works on a terminated
// selection, in place or into a buffer the caller sized beforehand.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/char_classes.h"
#include "engine/line_table.h"

namespace quillet {

// In place over the n units at s up to the first zero unit (s[n] must be
// one); each returns that zero. Every character is mapped on its own, so
// the length never changes. Large texts go in two halves side by side.
char16_t* InvertCase(char16_t* s, std::size_t n);
char16_t* UpperCase(char16_t* s, std::size_t n);
char16_t* LowerCase(char16_t* s, std::size_t n);
// Each run of word characters capitalised, the rest of it lower case.
char16_t* WordCase(char16_t* s, WordChars word);
// The first word character after the start and after every ".", "!" or "?"
// upper-cased; nothing is lower-cased.
char16_t* SentenceCase(char16_t* s, WordChars word);

// Reverses [first, last). A valid surrogate pair is one character to the
// user and stays in order; a lone surrogate moves like any unit.
void ReverseUnits(char16_t* first, char16_t* last);
// The whole text reversed, line breaks kept as CR LF. n is its length.
void ReverseText(char16_t* s, std::size_t n);
// Every maximal run of word characters reversed where it stands.
void ReverseEachWord(char16_t* s, WordChars word);
// The order of the words reversed, each word reading forward again.
void ReverseWords(char16_t* s, std::size_t n, WordChars word);
// In place over [first, last): the order of the lines reversed (85: the
// characters of each line reversed instead; 86: the words of each line).
// Need no line table; large texts go in two halves side by side.
void ReverseLineOrderInPlace(char16_t* first, char16_t* last);
void ReverseEachLineInPlace(char16_t* first, char16_t* last);
void ReverseLineWordsInPlace(char16_t* first, char16_t* last, WordChars word);
// The lines of the table from last to first, joined by CR LF, into dst
// (which holds the total length of the lines plus the breaks and a
// terminator); returns the terminator written.
char16_t* ReverseLines(const LineRecord* lines, std::size_t count, char16_t* dst);
// Lines kept in order, the characters of each line reversed.
char16_t* ReverseEachLine(const LineRecord* lines, std::size_t count, char16_t* dst);
// Lines kept in order, the order of the words inside each line reversed.
char16_t* ReverseLineWords(const LineRecord* lines, std::size_t count, char16_t* dst, WordChars word);

// A map over all 65,536 character values; zero means "delete".
inline constexpr std::size_t kTranslateTableSize = 65536;
// Identity (or all zero with deleteOthers); find[k] maps to repl[k] while
// both exist, a later pair winning; the characters of find beyond repl's
// length map to zero.
void BuildTranslateTable(char16_t* table, std::u16string_view find, std::u16string_view repl, bool deleteOthers);
// One pass: each character c becomes table[c], dropped when that is zero.
char16_t* TranslateText(char16_t* s, const char16_t* table);

// before + sel + after into dst; *caret is set after before.
char16_t* EncloseText(char16_t* dst, const char16_t* sel, std::u16string_view before, std::u16string_view after,
                      char16_t** caret);

// The XML/HTML tag: a normal element around sel (the tags on lines of their
// own when sel holds a line break) or an empty element after it. *caret is
// set after the opening tag (normal) or after the whole element (empty).
struct TagSpec {
  std::u16string_view name;
  std::u16string_view attributes;
  bool emptyElement;
};
char16_t* TagText(char16_t* dst, const char16_t* sel, const TagSpec& tag, char16_t** caret);
// The largest result TagText writes for a selection of n characters.
std::size_t TagTextCapacity(std::size_t n, const TagSpec& tag);

}  // namespace quillet
