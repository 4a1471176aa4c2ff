// The pure decisions behind the main window's view: the status bar's texts
// and part edges, sizes that follow the display's DPI, the margin line's
// default place, the tray tip, and a stored window placement made safe to
// show. The glue in view_win.cpp measures, asks the system and applies.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

inline constexpr int kStatusParts = 6;
enum StatusPart : int {
  kStatusLine = 0,
  kStatusColumn = 1,
  kStatusPosition = 2,
  kStatusEncoding = 3,
  kStatusLineEnd = 4,
  kStatusModified = 5,
};

// The narrowest each part may be, in pixels at 96 DPI.
inline constexpr std::array<int, kStatusParts> kStatusPartMinimum = {70, 75, 100, 55, 40, 40};
// Room beside a part's text for the part's borders, at 96 DPI.
inline constexpr int kStatusPartPadding = 12;
// The margin line's distance when the font gives no tab width, at 96 DPI.
inline constexpr int kDefaultMarginFallback = 160;
// The tray tip holds 63 characters and its terminator.
inline constexpr std::size_t kTrayTipLength = 63;

// A length in pixels at 96 DPI, as many pixels at dpi.
int ScaleForDpi(int pixels, int dpi);

// The right edges of the six parts: each part as wide as its text plus the
// padding, but never narrower than its minimum, all scaled to the DPI.
std::array<int, kStatusParts> StatusPartEdges(const std::array<int, kStatusParts>& textWidths, int dpi);

// "行: %d/%d", "列: %d/%d" and "位置: %d/%d", 1-based positions over totals.
struct CaretReport {
  std::int32_t line = 0;        // 0-based
  std::int32_t lineCount = 0;
  std::int32_t column = 0;      // 0-based, from the line start
  std::int32_t lineLength = 0;
  std::int32_t position = 0;    // 0-based
  std::int32_t textLength = 0;
};
std::array<std::u16string, 3> CaretPartTexts(const CaretReport& report);

// Ten default tab widths (a default tab being eight average characters, the
// line stands at eighty); the fallback when the font reports no width.
int DefaultMarginDistance(int tabWidthPixels, int dpi);

// Whether the view draws light text on a dark ground: never under a
// high-contrast scheme (the system's colours win); else as the Theme setting
// says (1 light, 2 dark), following the system's app setting for 0 and for
// any value it does not know.
bool UseDarkColours(std::int32_t themeSetting, bool systemAppsDark, bool highContrast);

// The window title cut to what the tray tip holds, never between the two
// halves of a surrogate pair.
std::u16string TrayTip(std::u16string_view title);

struct ScreenRect {
  std::int64_t left = 0, top = 0, right = 0, bottom = 0;
  std::int64_t Width() const { return right - left; }
  std::int64_t Height() const { return bottom - top; }
};

// The window's normal rectangle from the stored placement: left and top when
// Top was stored, the size when Height was stored and positive; otherwise the
// system's own choice (current) stands.
ScreenRect StoredNormalRect(const ScreenRect& current, std::int32_t left, std::int32_t top, std::int32_t width,
                            std::int32_t height, std::int32_t unset);

// A normal rectangle that can be seen and used: a size below the minimum
// takes the fallback's size, a size beyond the largest work area is cut to
// it, and a window whose caption lies on no work area moves onto the first
// (the primary) one. Work areas are the monitors' areas without task bars.
ScreenRect VisibleNormalRect(ScreenRect rect, const ScreenRect& fallback, const std::vector<ScreenRect>& workAreas,
                             int minWidth, int minHeight);

// The status bar's memory of what it last showed: refreshing costs nothing
// while the caret stays where it was and the text has not changed.
struct StatusCache {
  bool valid = false;
  std::int32_t caret = 0;
  std::int32_t textLength = 0;
  bool Fresh(std::int32_t currentCaret) const { return valid && caret == currentCaret; }
};

}  // namespace quillet
