// The tools that treat the selection as a list of lines: prefixing,
// closing, deleting empty lines, unindenting, unquoting, trimming,
// tabifying, and turning soft line breaks into real ones or paragraphs into
// single lines. Each reads the line table and writes the lines joined by
// CR LF, in place over the selection or into a buffer the engine sized.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/line_table.h"

namespace quillet {

// The prefix and close texts are held to this many characters by their
// settings; the tools size their output for longer texts all the same.
inline constexpr std::size_t kLineTextLimit = 511;

struct PrefixSpec {
  std::u16string_view text;
  bool onlyNonEmpty = false;      // lines of length 0 get no prefix
  bool skipLeadingSpace = false;  // the prefix goes after the leading white space
};

// Into out; each returns the terminator written.
char16_t* PrefixLines(const LineRecord* lines, std::size_t count, const PrefixSpec& prefix, char16_t* out);
// text after every line, or only after the lines that are not blank.
char16_t* AppendToLines(const LineRecord* lines, std::size_t count, std::u16string_view text, bool onlyNonBlank,
                        char16_t* out);
char16_t* DeleteEmptyLines(const LineRecord* lines, std::size_t count, char16_t* out);
// Leading white space widened to spaces; the rest of each line unchanged.
char16_t* Untabify(const LineRecord* lines, std::size_t count, int tabSize, char16_t* out);

// In place over sel, the text the table was built from; each returns the
// new terminator.
// Drops the first character of every non-empty line (onlyWhiteSpace: only
// when it is white space).
char16_t* DropFirstCharacter(const LineRecord* lines, std::size_t count, char16_t* sel, bool onlyWhiteSpace);
// The quote character is the first character of the first non-empty line;
// from there on, a line that starts with it loses it.
char16_t* Unquote(const LineRecord* lines, std::size_t count, char16_t* sel);
char16_t* TrimTrailingSpace(const LineRecord* lines, std::size_t count, char16_t* sel);
// Leading white space rewritten as TABs and then spaces of the same width.
char16_t* Tabify(const LineRecord* lines, std::size_t count, int tabSize, char16_t* sel);
// A CR that ends a line (what is left of a soft break) is dropped.
char16_t* HardWrap(const LineRecord* lines, std::size_t count, char16_t* sel);
// Runs of non-blank lines joined into one line by single spaces.
char16_t* UnwrapParagraphs(const LineRecord* lines, std::size_t count, char16_t* sel);

}  // namespace quillet
