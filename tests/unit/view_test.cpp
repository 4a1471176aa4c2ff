#include "shell/view/view.h"

#include <gtest/gtest.h>

#include <climits>

namespace quillet {
namespace {

TEST(StatusBar, PartsAreAsWideAsTheirTextButNeverNarrowerThanTheMinimum) {
  // Empty parts keep their minimums; a long text pushes its part and every
  // edge after it.
  auto edges = StatusPartEdges({0, 0, 0, 0, 0, 0}, 96);
  EXPECT_EQ(edges, (std::array<int, kStatusParts>{70, 145, 245, 300, 340, 380}));
  edges = StatusPartEdges({100, 10, 0, 120, 0, 0}, 96);
  EXPECT_EQ(edges[0], 112);
  EXPECT_EQ(edges[1], 112 + 75);
  EXPECT_EQ(edges[3] - edges[2], 132);
  // At 144 DPI the minimums and the padding grow by half.
  edges = StatusPartEdges({0, 0, 0, 0, 0, 0}, 144);
  EXPECT_EQ(edges[0], 105);
  EXPECT_EQ(edges[5], 571);
  EXPECT_EQ(StatusPartEdges({100, 0, 0, 0, 0, 0}, 144)[0], 118);
}

TEST(StatusBar, CaretPartsAreOneBased) {
  CaretReport r;
  r.line = 2;
  r.lineCount = 10;
  r.column = 0;
  r.lineLength = 7;
  r.position = 41;
  r.textLength = 1000;
  const auto texts = CaretPartTexts(r);
  EXPECT_EQ(texts[0], u"行: 3/10");
  EXPECT_EQ(texts[1], u"列: 1/7");
  EXPECT_EQ(texts[2], u"位置: 42/1000");
  // An empty document still has its one line.
  EXPECT_EQ(CaretPartTexts(CaretReport{0, 1, 0, 0, 0, 0})[2], u"位置: 1/0");
  // The largest position the control can report does not wrap around.
  r.position = INT32_MAX;
  EXPECT_EQ(CaretPartTexts(r)[2], u"位置: 2147483648/1000");
}

TEST(StatusBar, CacheSkipsOnlyAnUnmovedCaret) {
  StatusCache cache;
  EXPECT_FALSE(cache.Fresh(0));
  cache = StatusCache{true, 5, 20};
  EXPECT_TRUE(cache.Fresh(5));
  EXPECT_FALSE(cache.Fresh(6));
  cache.valid = false;
  EXPECT_FALSE(cache.Fresh(5));
}

TEST(View, SizesFollowTheDisplay) {
  EXPECT_EQ(ScaleForDpi(10, 96), 10);
  EXPECT_EQ(ScaleForDpi(10, 144), 15);
  EXPECT_EQ(ScaleForDpi(75, 120), 94);
  EXPECT_EQ(ScaleForDpi(-10, 144), -15);
  // No DPI reported counts as the standard one.
  EXPECT_EQ(ScaleForDpi(70, 0), 70);
  EXPECT_EQ(ScaleForDpi(INT_MAX, 192), INT_MAX);
}

TEST(View, MarginLineStandsAtTenTabs) {
  EXPECT_EQ(DefaultMarginDistance(64, 96), 640);
  EXPECT_EQ(DefaultMarginDistance(0, 96), 160);
  EXPECT_EQ(DefaultMarginDistance(0, 144), 240);
}

TEST(View, TrayTipIsTheTitleCutTo63) {
  const std::u16string title = u"一个很长的文件名称" + std::u16string(80, u'x') + u" - Quillet";
  EXPECT_EQ(TrayTip(title), title.substr(0, 63));
  EXPECT_EQ(TrayTip(u"a.txt  - Quillet"), u"a.txt  - Quillet");
  // A pair cut in half would show as a broken character.
  std::u16string pair(62, u'a');
  pair += u"\U0001F600tail";
  EXPECT_EQ(TrayTip(pair), std::u16string(62, u'a'));
}

constexpr std::int32_t kUnset = INT32_MIN;
const ScreenRect kSystemChoice{100, 80, 900, 680};
const std::vector<ScreenRect> kOneScreen{{0, 0, 1280, 900}};

TEST(Placement, StoredValuesReplaceTheSystemsChoice) {
  // Nothing stored: the system's rectangle stands.
  ScreenRect r = StoredNormalRect(kSystemChoice, kUnset, kUnset, kUnset, kUnset, kUnset);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.Width(), 800);
  // Position and size stored.
  r = StoredNormalRect(kSystemChoice, 20, 30, 640, 480, kUnset);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right, 660);
  EXPECT_EQ(r.bottom, 510);
  // Only the position: the system's size moves along.
  r = StoredNormalRect(kSystemChoice, 20, 30, kUnset, kUnset, kUnset);
  EXPECT_EQ(r.Width(), 800);
  EXPECT_EQ(r.Height(), 600);
  // A height of zero or less is no size.
  r = StoredNormalRect(kSystemChoice, 20, 30, 640, 0, kUnset);
  EXPECT_EQ(r.Height(), 600);
  // Extreme values do not overflow.
  r = StoredNormalRect(kSystemChoice, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, kUnset);
  EXPECT_EQ(r.Width(), INT32_MAX);
}

TEST(Placement, AWindowThatCannotBeSeenOrUsedComesBack) {
  // On the screen and usable: untouched.
  ScreenRect r = VisibleNormalRect({20, 30, 660, 510}, kSystemChoice, kOneScreen, 200, 120);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.right, 660);
  // Far off every screen: moved onto the first one, size kept.
  r = VisibleNormalRect({-30000, 40000, -29360, 40480}, kSystemChoice, kOneScreen, 200, 120);
  EXPECT_EQ(r.Width(), 640);
  EXPECT_GE(r.left, 0);
  EXPECT_LE(r.right, 1280);
  EXPECT_GE(r.top, 0);
  EXPECT_LE(r.bottom, 900);
  // Zero or negative size: the system's size.
  r = VisibleNormalRect({50, 50, 50, 40}, kSystemChoice, kOneScreen, 200, 120);
  EXPECT_EQ(r.Width(), 800);
  EXPECT_EQ(r.Height(), 600);
  // Larger than any screen: cut to the screen.
  r = VisibleNormalRect({0, 0, 100000, 100000}, kSystemChoice, kOneScreen, 200, 120);
  EXPECT_EQ(r.Width(), 1280);
  EXPECT_EQ(r.Height(), 900);
  // Only a sliver of the caption on screen is not enough to grab it.
  r = VisibleNormalRect({1270, 100, 1910, 580}, kSystemChoice, kOneScreen, 200, 120);
  EXPECT_LE(r.right, 1280);
  // The caption above the top of the screen cannot be reached either.
  r = VisibleNormalRect({100, -400, 740, 80}, kSystemChoice, kOneScreen, 200, 120);
  EXPECT_GE(r.top, 0);
}

TEST(Placement, ASecondScreenIsAPlaceToo) {
  const std::vector<ScreenRect> two{{0, 0, 1280, 900}, {1280, 0, 3200, 1080}};
  ScreenRect r = VisibleNormalRect({2000, 100, 2800, 700}, kSystemChoice, two, 200, 120);
  EXPECT_EQ(r.left, 2000);
  // Gone since: back to the primary screen.
  r = VisibleNormalRect({2000, 100, 2800, 700}, kSystemChoice, kOneScreen, 200, 120);
  EXPECT_LE(r.right, 1280);
  EXPECT_EQ(r.Width(), 800);
}

TEST(Colours, HighContrastWinsThenTheSettingThenTheSystem) {
  for (bool systemDark : {false, true}) {
    for (int setting : {0, 1, 2, 3, -1}) EXPECT_FALSE(UseDarkColours(setting, systemDark, true)) << setting;
    EXPECT_EQ(UseDarkColours(0, systemDark, false), systemDark);
    EXPECT_FALSE(UseDarkColours(1, systemDark, false));
    EXPECT_TRUE(UseDarkColours(2, systemDark, false));
    // A stored value the program does not know follows the system.
    EXPECT_EQ(UseDarkColours(7, systemDark, false), systemDark);
    EXPECT_EQ(UseDarkColours(-1, systemDark, false), systemDark);
  }
}

}  // namespace
}  // namespace quillet
