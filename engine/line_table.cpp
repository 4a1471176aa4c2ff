#include "engine/line_table.h"

#include <algorithm>
#include <string>

#include "engine/char_classes.h"
#include "engine/in_halves.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

// CR LF pairs whose CR lies in [p, end), up to the first zero unit; *stop is
// set to that zero, or to end. The unit at end must be readable.
std::size_t CountBreaks(const char16_t* p, const char16_t* end, const char16_t** stop) {
  return CountPairs(p, end, kCR, kLF, stop);
}

// The next CR LF whose CR lies in [p, stop), or stop. The unit at stop must
// be readable.
char16_t* NextBreak(char16_t* p, const char16_t* stop) {
  for (;; ++p) {
    p = FindUnit(p, stop, kCR);
    if (p == stop || p[1] == kLF) return p;
  }
}

// Leading and trailing white space are counted from each end, which gives
// the same figures as classifying every character of the line while
// reading only the spaces at its edges.
void FillRecord(LineRecord& r, const char16_t* sel, char16_t* start, const char16_t* end, const std::uint16_t* type) {
  r.start = start;
  r.offset = static_cast<std::uint32_t>(start - sel);
  r.length = static_cast<std::uint32_t>(end - start);
  const char16_t* p = start;
  while (p < end && (type[*p] & kCharSpace)) ++p;
  r.leadSpace = static_cast<std::uint32_t>(p - start);
  const char16_t* q = end;
  if (p != end) {
    while (type[q[-1]] & kCharSpace) --q;  // stops at the line's last non-space
  } else {
    q = start;
  }
  r.trailSpace = static_cast<std::uint32_t>(end - q);
  r.hash = 0;
  r.count = 0;
}

// Up to n lines from start on; the last possible one ends at stop. Every
// CR LF after a filled line becomes two terminators.
std::size_t FillRun(LineRecord* out, std::size_t n, const char16_t* sel, char16_t* start, char16_t* stop,
                    const std::uint16_t* type) {
  for (std::size_t i = 0; i < n; ++i) {
    char16_t* end = NextBreak(start, stop);
    FillRecord(out[i], sel, start, end, type);
    if (end == stop) return i + 1;
    end[0] = 0;
    end[1] = 0;
    start = end + 2;
  }
  return n;
}

}  // namespace

std::size_t CountLineBreaks(const char16_t* p, const char16_t* end) {
  const char16_t* stop = nullptr;
  return CountBreaks(p, end, &stop);
}

LineScan ScanLines(char16_t* sel, std::size_t length) {
  LineScan scan;
  char16_t* limit = sel + length;
  if (length < kUnitsForTwoThreads) {
    const char16_t* stop = nullptr;
    scan.lines = CountBreaks(sel, limit, &stop) + 1;
    scan.end = sel + (stop - sel);
    return scan;
  }
  char16_t* mid = sel + length / 2;
  const char16_t* stopA = nullptr;
  const char16_t* stopB = nullptr;
  std::size_t breaksA = 0, breaksB = 0;
  SideBySide(
      true, [&] { breaksA = CountBreaks(sel, mid, &stopA); }, [&] { breaksB = CountBreaks(mid, limit, &stopB); });
  if (stopA != mid) {  // a zero in the first half ends the text
    scan.lines = breaksA + 1;
    scan.end = sel + (stopA - sel);
    return scan;
  }
  scan.lines = breaksA + breaksB + 1;
  scan.end = sel + (stopB - sel);
  // The lines after the first break that starts in the second half go to
  // a second thread when the table is filled.
  char16_t* split = NextBreak(mid, scan.end);
  if (split != scan.end) {
    scan.split = split + 2;
    scan.linesBeforeSplit = breaksA + 1;
  }
  return scan;
}

std::size_t FillLineTable(LineRecord* table, const LineScan& scan, char16_t* sel, std::size_t maxLines) {
  if (maxLines == 0) return 0;
  const std::uint16_t* type = GetCharTables().type;
  if (scan.split && maxLines >= scan.lines) {
    const std::size_t before = scan.linesBeforeSplit;
    SideBySide(
        true, [&] { FillRun(table, before, sel, sel, scan.split, type); },
        [&] { FillRun(table + before, scan.lines - before, sel, scan.split, scan.end, type); });
    return scan.lines;
  }
  return FillRun(table, std::min(maxLines, scan.lines), sel, sel, scan.end, type);
}

namespace {

// The offsets of n lines from start on; the last possible one ends at stop.
void OffsetRun(std::uint32_t* out, std::size_t n, const char16_t* sel, char16_t* start, const char16_t* stop) {
  for (std::size_t i = 0; i < n; ++i) {
    out[i] = static_cast<std::uint32_t>(start - sel);
    char16_t* end = NextBreak(start, stop);
    if (end == stop) return;
    start = end + 2;
  }
}

}  // namespace

void FillLineOffsets(std::uint32_t* offsets, const LineScan& scan, char16_t* sel) {
  const std::size_t before = scan.split ? scan.linesBeforeSplit : scan.lines;
  SideBySide(
      scan.split != nullptr, [&] { OffsetRun(offsets, before, sel, sel, scan.split ? scan.split : scan.end); },
      [&] {
        if (scan.split) OffsetRun(offsets + before, scan.lines - before, sel, scan.split, scan.end);
      });
  offsets[scan.lines] = static_cast<std::uint32_t>(scan.end - sel) + 2;
}

std::size_t BuildLineTable(LineRecord* table, char16_t* sel, std::size_t maxLines) {
  const LineScan scan = ScanLines(sel, std::char_traits<char16_t>::length(sel));
  if (!table) return scan.lines;
  return FillLineTable(table, scan, sel, maxLines);
}

}  // namespace quillet
