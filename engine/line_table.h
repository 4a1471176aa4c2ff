// The line table: one record per line of a selection, the form in which
// every line-oriented tool sees its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet {

inline constexpr int kColumnKeyCount = 10;

// 32 bytes on a 64-bit build: a table of a million lines is a fraction of
// the text it describes. The column keys of the tools that use them live in
// tables of their own (column_keys.h).
struct LineRecord {
  char16_t* start;           // the line, terminated once the table is built
  std::uint32_t offset;      // first character, counted from the selection start
  std::uint32_t length;      // without the line break
  std::uint32_t leadSpace;   // white space at the start (all of a blank line)
  std::uint32_t trailSpace;  // white space at the end (all of a blank line)
  std::uint32_t hash;        // work fields of the unique-lines tool
  std::uint32_t count;

  // Every character is white space (or there is none): the leading white
  // space is the whole line.
  bool blank() const { return leadSpace == length; }
};

// What counting the lines of a selection found, so that filling the table
// afterwards need not look for the end again.
struct LineScan {
  std::size_t lines = 1;            // CR LF pairs plus one
  char16_t* end = nullptr;          // the first zero unit: where the text ends
  char16_t* split = nullptr;        // a line start near the middle, or null
  std::size_t linesBeforeSplit = 0;
};

// Counts the lines of the length units at sel (sel[length] must be a zero
// unit; an earlier zero ends the text there). Large selections are counted
// by two threads.
LineScan ScanLines(char16_t* sel, std::size_t length);

// Whether a text holds more than one line: a CR LF anywhere in it, also
// as its last two units (the break before an empty last line).
inline bool SpansLines(std::u16string_view text) { return text.find(u"\r\n") != std::u16string_view::npos; }

// Fills one record per line, at most maxLines, and overwrites the CR LF
// after each filled line with two terminators, so each line becomes a
// terminated string. Returns the number of records filled.
std::size_t FillLineTable(LineRecord* table, const LineScan& scan, char16_t* sel, std::size_t maxLines = SIZE_MAX);

// The lines a tool reads: a line table, or the text with the offset of
// each line's start (and one more at the end: the text's length + 2), which
// is all a tool that looks only at whole lines needs.
struct LineSource {
  const LineRecord* table = nullptr;
  char16_t* text = nullptr;
  const std::uint32_t* offsets = nullptr;

  char16_t* Start(std::size_t i) const { return table ? table[i].start : text + offsets[i]; }
  std::uint32_t Length(std::size_t i) const { return table ? table[i].length : offsets[i + 1] - offsets[i] - 2; }
};

// The CR LF pairs whose CR lies in [p, end), up to the first zero unit;
// the unit at end must be readable.
std::size_t CountLineBreaks(const char16_t* p, const char16_t* end);

// Fills scan.lines + 1 offsets for LineSource; the text is not changed.
void FillLineOffsets(std::uint32_t* offsets, const LineScan& scan, char16_t* sel);

// Both in one call. With a null table only counts and changes nothing.
std::size_t BuildLineTable(LineRecord* table, char16_t* sel, std::size_t maxLines = SIZE_MAX);

}  // namespace quillet
