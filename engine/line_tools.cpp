#include "engine/line_tools.h"

#include <algorithm>

#include "engine/char_classes.h"

namespace quillet {
namespace {

// Copies [first, last) forwards; in place the destination never passes the
// source, so the copy is safe.
char16_t* Put(char16_t* out, const char16_t* first, const char16_t* last) { return std::copy(first, last, out); }
char16_t* Put(char16_t* out, std::u16string_view text) { return std::copy(text.begin(), text.end(), out); }

// The join rule: a break after every line but the table's last.
char16_t* Join(char16_t* out, std::size_t i, std::size_t count) { return i + 1 < count ? PutLineBreak(out) : out; }

char16_t* Finish(char16_t* out) {
  *out = 0;
  return out;
}

std::size_t TabSize(int tab) { return tab > 0 ? static_cast<std::size_t>(tab) : 1; }

}  // namespace

char16_t* PrefixLines(const LineRecord* lines, std::size_t count, const PrefixSpec& prefix, char16_t* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    const char16_t* rest = r.start;
    if (prefix.skipLeadingSpace) {
      out = Put(out, r.start, r.start + r.leadSpace);
      rest += r.leadSpace;
    }
    // The test is the length: a line of spaces still gets the prefix.
    if (!prefix.text.empty() && (!prefix.onlyNonEmpty || r.length != 0)) out = Put(out, prefix.text);
    out = Put(out, rest, r.start + r.length);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* AppendToLines(const LineRecord* lines, std::size_t count, std::u16string_view text, bool onlyNonBlank,
                        char16_t* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    out = Put(out, r.start, r.start + r.length);
    // Unlike the prefix, the test is blankness: a line of spaces gets nothing.
    if (!text.empty() && (!onlyNonBlank || !r.blank())) out = Put(out, text);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* DeleteEmptyLines(const LineRecord* lines, std::size_t count, char16_t* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    if (r.blank()) continue;
    out = Put(out, r.start, r.start + r.length);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* Untabify(const LineRecord* lines, std::size_t count, int tabSize, char16_t* out) {
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    out = std::fill_n(out, ColumnWidth(r.start, r.leadSpace, tabSize), u' ');
    out = Put(out, r.start + r.leadSpace, r.start + r.length);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* DropFirstCharacter(const LineRecord* lines, std::size_t count, char16_t* sel, bool onlyWhiteSpace) {
  char16_t* out = sel;
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    const char16_t* first = r.start;
    if (r.length > 0 && (!onlyWhiteSpace || IsSpaceChar(*first))) ++first;
    out = Put(out, first, r.start + r.length);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* Unquote(const LineRecord* lines, std::size_t count, char16_t* sel) {
  char16_t* out = sel;
  bool haveQuote = false;
  char16_t quote = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    const char16_t* first = r.start;
    if (r.length > 0) {
      if (!haveQuote) {
        quote = *first;
        haveQuote = true;
      }
      if (*first == quote) ++first;
    }
    out = Put(out, first, r.start + r.length);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* TrimTrailingSpace(const LineRecord* lines, std::size_t count, char16_t* sel) {
  char16_t* out = sel;
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    out = Put(out, r.start, r.start + (r.length - r.trailSpace));
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* Tabify(const LineRecord* lines, std::size_t count, int tabSize, char16_t* sel) {
  // The indentation's width is at least one column per TAB written and one
  // per space, so the line never grows and the rewrite stays in place.
  const std::size_t tab = TabSize(tabSize);
  char16_t* out = sel;
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    const std::size_t width = ColumnWidth(r.start, r.leadSpace, tabSize);
    out = std::fill_n(out, width / tab, kTab);
    out = std::fill_n(out, width % tab, u' ');
    out = Put(out, r.start + r.leadSpace, r.start + r.length);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* HardWrap(const LineRecord* lines, std::size_t count, char16_t* sel) {
  char16_t* out = sel;
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    std::uint32_t length = r.length;
    if (length > 0 && r.start[length - 1] == kCR) --length;
    out = Put(out, r.start, r.start + length);
    out = Join(out, i, count);
  }
  return Finish(out);
}

char16_t* UnwrapParagraphs(const LineRecord* lines, std::size_t count, char16_t* sel) {
  char16_t* out = sel;
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    out = Put(out, r.start, r.start + r.length);
    if (i + 1 == count) break;
    if (!r.blank() && !lines[i + 1].blank()) {
      // A non-blank line is never empty, so out[-1] is its last character.
      if (!IsSpaceChar(out[-1])) *out++ = u' ';
    } else {
      out = PutLineBreak(out);
    }
  }
  return Finish(out);
}

}  // namespace quillet
