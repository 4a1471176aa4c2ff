#include "engine/print_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace quillet {
namespace {

// The first prefix of a line that is measured: longer than a printed line
// usually is, so that most lines are measured once.
constexpr std::size_t kFirstProbe = 64;

long WidthOf(const PagePrinter& printer, std::u16string_view line, std::size_t n) {
  return printer.measure(printer.context, line.data(), n);
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The largest count below tooWide whose width passes fits (the empty
// prefix always does); the width of tooWide characters fails it.
template <class Fits>
std::size_t LongestPrefix(std::u16string_view line, std::size_t tooWide, const PagePrinter& printer, Fits fits) {
  std::size_t lo = 0, hi = tooWide;
  while (hi - lo > 1) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (fits(WidthOf(printer, line, mid))) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return lo;
}

// The break by characters: as many as stay narrower than the width, but at
// least one, so that a character wider than the page is printed alone.
std::size_t FitByCharacters(std::u16string_view line, std::size_t tooWide, long width, const PagePrinter& printer) {
  std::size_t n = LongestPrefix(line, tooWide, printer, [width](long w) { return w < width; });
  n = std::max<std::size_t>(n, 1);
  // Half a surrogate pair is no character at all: the pair stays together.
  if (n < line.size() && IsHighSurrogate(line[n - 1]) && IsLowSurrogate(line[n])) n = n > 1 ? n - 1 : 2;
  return n;
}

}  // namespace

PageGeometry ComputePageGeometry(const PrintDevice& device, int lineHeight) {
  PageGeometry page;
  page.marginX = device.dpiX / 2;
  page.marginY = device.dpiY / 2;
  page.width = device.width - 2 * page.marginX;
  page.lineHeight = lineHeight;
  // A font without height would put every line on the same spot.
  page.linesPerPage = lineHeight > 0 ? std::max((device.height - 2 * page.marginY) / lineHeight, 0) : 0;
  return page;
}

int PrintFontHeight(int editFontHeight, int dpiY) {
  // MulDiv(editFontHeight, dpiY, 89): the exact quotient rounded half away
  // from zero.
  const std::int64_t product = static_cast<std::int64_t>(editFontHeight) * dpiY;
  const std::int64_t half = 89 / 2;
  const std::int64_t scaled = product >= 0 ? (product + half) / 89 : (product - half) / 89;
  return static_cast<int>(std::llabs(scaled));
}

std::size_t FitPrintLine(std::u16string_view line, long width, const PagePrinter& printer, const WordChars& word) {
  const std::size_t length = line.size();
  if (length == 0) return 0;

  // The widths grow with the count, so only a prefix shorter than the first
  // one found too wide can fit. Doubling the probe finds such a prefix at a
  // cost in proportion to what fits, however long the line is.
  std::size_t tooWide = std::min(length, kFirstProbe);
  for (;;) {
    if (WidthOf(printer, line, tooWide) > width) break;
    if (tooWide == length) return length;
    tooWide = std::min(length, tooWide * 2);
  }

  // Every prefix up to fits is no wider than the page, every longer one is.
  const std::size_t fits = LongestPrefix(line, tooWide, printer, [width](long w) { return w <= width; });

  // The line breaks after the last non-word character that fits; the first
  // character is never a break, so a line that begins with a space and goes
  // on with one long word is broken by characters.
  for (std::size_t i = fits; i-- > 1;) {
    if (!word(line[i]) && !(IsHighSurrogate(line[i]) && IsLowSurrogate(line[i + 1]))) return i + 1;
  }
  return FitByCharacters(line, fits + 1, width, printer);
}

PrintOutcome PrintPages(std::u16string_view text, const PageGeometry& page, const PagePrinter& printer,
                        const WordChars& word) {
  const std::size_t length = text.size();
  std::size_t pos = 0;
  // Where the line that pos is in ends (a CR LF or the end of the text);
  // found once per line, not once per printed part of it.
  std::size_t lineEnd = 0;
  bool lineKnown = false;
  for (;;) {
    if (printer.cancelled && printer.cancelled(printer.context)) return PrintOutcome::kCancelled;
    if (!printer.startPage(printer.context)) return PrintOutcome::kFailed;
    int y = page.marginY;
    for (int row = 0; row < page.linesPerPage; ++row) {
      if (!lineKnown) {
        lineEnd = std::min(text.find(u"\r\n", pos), length);
        lineKnown = true;
      }
      const std::size_t n = FitPrintLine(text.substr(pos, lineEnd - pos), page.width, printer, word);
      printer.drawLine(printer.context, page.marginX, y, text.data() + pos, n);
      pos += n;
      if (pos >= length) break;
      if (pos == lineEnd) {
        pos += 2;  // the CR LF
        lineKnown = false;
      }
      y += page.lineHeight;
    }
    if (!printer.endPage(printer.context)) return PrintOutcome::kFailed;
    if (pos >= length) return PrintOutcome::kPrinted;
  }
}

}  // namespace quillet
