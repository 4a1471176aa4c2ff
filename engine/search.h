// The one search engine behind Find and Replace, the look-for commands, the
// extended replace tool and the placeholders of filter commands: Horspool
// over a skip table with one entry per 16-bit character value, optionally
// case-insensitive and whole-word, forward and backward.
//
// Positions are indices into the text being searched. A whole-word test
// looks at the characters around a candidate; outside the text there is no
// character, which counts as a word boundary, so no search ever reads
// beyond the text it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/memory.h"
#include "engine/char_classes.h"

namespace quillet {

// A search or replacement text field holds 8192 units with its terminator.
inline constexpr std::size_t kSearchTextUnits = 8192;
inline constexpr std::size_t kMaxSearchTextLength = kSearchTextUnits - 1;

inline constexpr std::size_t kNoMatch = static_cast<std::size_t>(-1);

struct SearchOptions {
  bool matchCase = false;
  bool wholeWord = false;
  bool underscoreIsWord = true;  // the setting underscoreIsWordChar
};

// A pattern with its flags as a command searches with it: the find pattern
// (Find, FindWW, FindMC and the dialog's direction) or the look-for pattern
// (LookFor, every flag clear).
struct SearchPattern {
  std::u16string_view pattern;
  bool up = false;
  bool wholeWord = false;
  bool matchCase = false;
};

// A pattern prepared for one direction. The skip table costs 128 KB and is
// built once per search (or once per replace-all), never per match.
class Searcher {
 public:
  // False when the memory for the tables is refused; nothing is found then.
  bool Prepare(std::u16string_view pattern, const SearchOptions& options, bool backward);

  // The first match starting at or after from, or kNoMatch. An empty
  // pattern matches at from.
  std::size_t Forward(std::u16string_view text, std::size_t from) const;
  // The same, with before taken as the character in front of text[from]
  // for the whole-word test (0: a boundary). Replace all uses it to see its
  // own replacement in front of the next search.
  std::size_t Forward(std::u16string_view text, std::size_t from, char16_t before) const;
  // The start of the last match that ends at or before limit, or kNoMatch.
  // An empty pattern matches at limit.
  std::size_t Backward(std::u16string_view text, std::size_t limit) const;

  std::size_t length() const { return length_; }
  bool backward() const { return backward_; }
  bool ready() const { return static_cast<bool>(skip_); }

 private:
  template <bool kFold>
  std::size_t ScanForward(std::u16string_view text, std::size_t from, char16_t before) const;
  template <bool kFold>
  std::size_t ScanBackward(std::u16string_view text, std::size_t limit) const;
  bool WordAt(std::u16string_view text, std::size_t i) const { return i < text.size() && word_(text[i]); }

  HeapBlock<std::uint16_t> skip_;  // shift for each character value
  HeapBlock<char16_t> pattern_;    // lower-cased when the search ignores case
  std::size_t length_ = 0;
  bool matchCase_ = true;
  bool wholeWord_ = false;
  bool backward_ = false;
  WordChars word_{};
};

// One-shot searches over a whole text; kNoMatch also when memory is refused.
std::size_t SearchForward(std::u16string_view text, std::size_t from, std::u16string_view pattern,
                          const SearchOptions& options);
std::size_t SearchBackward(std::u16string_view text, std::size_t limit, std::u16string_view pattern,
                           const SearchOptions& options);

// Where the Find commands look from the selection [selStart, selEnd): a
// forward search starts at its end, a backward one accepts only matches
// ending at or before its start; with includeSelection a forward search
// starts at its start and a backward one accepts matches ending at or before
// its end, so a selected match is found again. The searcher's direction
// decides which.
std::size_t FindFromSelection(const Searcher& searcher, std::u16string_view text, std::size_t selStart,
                              std::size_t selEnd, bool includeSelection);

// Length of text after replacing every non-overlapping match, left to right:
// length(text) + (length(replace) - length(find)) x matches. An empty find
// changes nothing. Nullopt when the memory for the search is refused.
std::optional<std::uint64_t> ReplacedLength(std::u16string_view text, std::u16string_view find,
                                            std::u16string_view replace, const SearchOptions& options);

// Writes text with every such match replaced into out, which has room for
// capacity units, and returns the end of what it wrote (no terminator). Null
// when memory is refused or out is too small.
char16_t* ReplaceAllInText(std::u16string_view text, char16_t* out, std::size_t capacity, std::u16string_view find,
                           std::u16string_view replace, const SearchOptions& options);

// In place over the n units at text, for a replacement no longer than the
// pattern: the same result as ReplaceAllInText, written over the text
// itself. Returns the new length.
std::size_t ReplaceAllInPlace(const Searcher& find, char16_t* text, std::size_t n, std::u16string_view replace);

// The same with a pattern already prepared for a forward search.
std::uint64_t ReplacedLength(const Searcher& find, std::u16string_view text, std::u16string_view replace);
char16_t* ReplaceAllInText(const Searcher& find, std::u16string_view text, char16_t* out, std::size_t capacity,
                           std::u16string_view replace);

// Replace all as the Replace dialog runs it: from `from` on, each match is
// replaced and the next search starts right after the inserted replacement,
// whose last character is what the whole-word test sees in front of it.
// Only the span from the first match to the end of the last one changes.
struct ReplaceSpan {
  std::size_t count = 0;     // matches replaced
  std::size_t first = 0;     // start of the first match in text
  std::size_t end = 0;       // end of the last match in text
  std::uint64_t length = 0;  // of the rewritten span
};
// With out null only counts; otherwise writes the rewritten span into out,
// which must hold the length a counting run gave.
ReplaceSpan ReplaceInTurn(const Searcher& searcher, std::u16string_view text, std::size_t from,
                          std::u16string_view replacement, char16_t* out);

// The text a search field takes from a buffer of capacity units that
// another party wrote: up to its terminator, at most 8191 characters.
std::u16string TakeSearchText(const char16_t* buffer, std::size_t capacity);

// The find text the dialogs open with stops before its first CR or LF.
void CutAtLineBreak(std::u16string& text);

}  // namespace quillet
