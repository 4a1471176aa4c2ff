#include "shell/view/view.h"

#include <algorithm>

#include "base/messages.h"

namespace quillet {

int ScaleForDpi(int pixels, int dpi) {
  if (dpi <= 0) dpi = 96;
  // Rounded to the nearest pixel, as MulDiv does.
  const std::int64_t scaled = (static_cast<std::int64_t>(pixels) * dpi + (pixels >= 0 ? 48 : -48)) / 96;
  return static_cast<int>(std::clamp<std::int64_t>(scaled, INT32_MIN, INT32_MAX));
}

std::array<int, kStatusParts> StatusPartEdges(const std::array<int, kStatusParts>& textWidths, int dpi) {
  std::array<int, kStatusParts> edges{};
  int right = 0;
  const int padding = ScaleForDpi(kStatusPartPadding, dpi);
  for (int i = 0; i < kStatusParts; ++i) {
    const int width = std::max(textWidths[i] + padding, ScaleForDpi(kStatusPartMinimum[i], dpi));
    right += width;
    edges[i] = right;
  }
  return edges;
}

namespace {

std::u16string Counts(std::u16string_view format, std::int64_t at, std::int64_t of) {
  return FormatWithNumber(FormatWithNumber(format, at), of);
}

}  // namespace

std::array<std::u16string, 3> CaretPartTexts(const CaretReport& r) {
  return {Counts(kStatusLineFormat, std::int64_t{r.line} + 1, r.lineCount),
          Counts(kStatusColumnFormat, std::int64_t{r.column} + 1, r.lineLength),
          Counts(kStatusPositionFormat, std::int64_t{r.position} + 1, r.textLength)};
}

int DefaultMarginDistance(int tabWidthPixels, int dpi) {
  if (tabWidthPixels > 0) return 10 * tabWidthPixels;
  return ScaleForDpi(kDefaultMarginFallback, dpi);
}

std::u16string TrayTip(std::u16string_view title) {
  std::u16string tip(title);
  CutText(tip, kTrayTipLength);
  return tip;
}

ScreenRect StoredNormalRect(const ScreenRect& current, std::int32_t left, std::int32_t top, std::int32_t width,
                            std::int32_t height, std::int32_t unset) {
  ScreenRect r = current;
  if (top != unset) {
    const std::int64_t w = r.Width(), h = r.Height();
    r.left = left == unset ? current.left : left;
    r.top = top;
    r.right = r.left + w;
    r.bottom = r.top + h;
  }
  if (height != unset && height > 0) {
    r.right = r.left + (width == unset ? current.Width() : width);
    r.bottom = r.top + height;
  }
  return r;
}

namespace {

std::int64_t Overlap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
  return std::max<std::int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

}  // namespace

ScreenRect VisibleNormalRect(ScreenRect rect, const ScreenRect& fallback, const std::vector<ScreenRect>& workAreas,
                             int minWidth, int minHeight) {
  if (workAreas.empty()) return rect;
  if (rect.Width() < minWidth) rect.right = rect.left + std::max<std::int64_t>(fallback.Width(), minWidth);
  if (rect.Height() < minHeight) rect.bottom = rect.top + std::max<std::int64_t>(fallback.Height(), minHeight);

  std::int64_t widest = 0, tallest = 0;
  for (const ScreenRect& a : workAreas) {
    widest = std::max(widest, a.Width());
    tallest = std::max(tallest, a.Height());
  }
  if (rect.Width() > widest) rect.right = rect.left + widest;
  if (rect.Height() > tallest) rect.bottom = rect.top + tallest;

  // The caption is what the user drags: a strip along the top that must
  // show on some work area, wide enough to take hold of.
  const std::int64_t grip = std::min<std::int64_t>(rect.Width(), 48);
  const std::int64_t captionHeight = std::min<std::int64_t>(rect.Height(), 24);
  for (const ScreenRect& a : workAreas) {
    if (Overlap(rect.left, rect.right, a.left, a.right) >= grip &&
        Overlap(rect.top, rect.top + captionHeight, a.top, a.bottom) >= captionHeight) {
      return rect;
    }
  }
  const ScreenRect& home = workAreas.front();
  const std::int64_t w = std::min(rect.Width(), home.Width()), h = std::min(rect.Height(), home.Height());
  const std::int64_t left = std::clamp(rect.left, home.left, home.right - w);
  const std::int64_t top = std::clamp(rect.top, home.top, home.bottom - h);
  return ScreenRect{left, top, left + w, top + h};
}

bool UseDarkColours(std::int32_t themeSetting, bool systemAppsDark, bool highContrast) {
  if (highContrast) return false;
  switch (themeSetting) {
    case 1:
      return false;
    case 2:
      return true;
    default:
      return systemAppsDark;
  }
}

}  // namespace quillet
