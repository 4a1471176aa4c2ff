// Plain printing without the printer: the page geometry from the device's
// measurements and the print font, where a line too long for the page
// breaks, and the page loop. Everything is measured through a callback, so
// the layout runs (and is tested) without a device context.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/messages.h"
#include "engine/char_classes.h"

namespace quillet {

// What Print hands the document or the selection to: the glue prints it on
// the chosen printer and hands back its failure, if any; code is 20 when the
// user cancelled (nothing is reported then).
struct PrintRun {
  Failure (*print)(PrintRun& run, std::u16string_view text) = nullptr;
  void* context = nullptr;
  int code = 0;
};

// The device, in its own units.
struct PrintDevice {
  int dpiX = 0;    // LOGPIXELSX
  int dpiY = 0;    // LOGPIXELSY
  int width = 0;   // HORZRES
  int height = 0;  // VERTRES
};

// Half-inch margins, the printable width and the lines a page holds.
struct PageGeometry {
  int marginX = 0;
  int marginY = 0;
  int width = 0;
  int lineHeight = 0;
  int linesPerPage = 0;

  bool CanPrint() const { return width >= 1 && linesPerPage >= 1; }
};

// lineHeight is the print font's cell height plus its external leading.
PageGeometry ComputePageGeometry(const PrintDevice& device, int lineHeight);

// The print font's height for the editor font's: scaled to the printer's
// vertical resolution over 89 (rounded as MulDiv rounds) and always a
// positive cell height.
int PrintFontHeight(int editFontHeight, int dpiY);

// How the page is drawn on. measure gives the width of the first n
// characters of text as printed (TAB characters at the default stops) and
// must not shrink when n grows; startPage and endPage report failure with
// false; cancelled is asked before each page.
struct PagePrinter {
  void* context = nullptr;
  long (*measure)(void* context, const char16_t* text, std::size_t n) = nullptr;
  bool (*startPage)(void* context) = nullptr;
  void (*drawLine)(void* context, int x, int y, const char16_t* text, std::size_t n) = nullptr;
  bool (*endPage)(void* context) = nullptr;
  bool (*cancelled)(void* context) = nullptr;
};

// How many of line's characters (a line without its break) go on one
// printed line of the given width: all that fit; else up to and including
// the last non-word character (past the first) that fits; else as many
// characters as stay narrower than the width, at least one. A surrogate
// pair is never split. Zero only for an empty line.
std::size_t FitPrintLine(std::u16string_view line, long width, const PagePrinter& printer, const WordChars& word);

enum class PrintOutcome { kPrinted, kCancelled, kFailed };

// Prints text page by page: lines end at CR LF, long lines wrap with
// FitPrintLine, N lines to a page from the top margin down. An empty text
// prints one empty page. Stops before the next page when cancelled and at
// the first page call that fails.
PrintOutcome PrintPages(std::u16string_view text, const PageGeometry& page, const PagePrinter& printer,
                        const WordChars& word);

}  // namespace quillet
