#include "shell/dialogs/tool_dialogs.h"

#include <gtest/gtest.h>

#include <variant>

#include "document/settings.h"

namespace quillet {
namespace {

TEST(GotoDialog, LinesCountDownFromTheSelectionWhenRelative) {
  GotoRequest r;
  r.line = 4;  // the field said 5
  r.relative = true;
  const GotoLines lines = GotoTargetLines(r, 9, 11);
  EXPECT_EQ(lines.first, 14);
  EXPECT_EQ(lines.second, 16);

  r.relative = false;
  EXPECT_EQ(GotoTargetLines(r, 9, 11).first, 4);
  // A field of 0, of a negative number or of no number at all: the first line.
  r.line = -1;
  EXPECT_EQ(GotoTargetLines(r, 9, 11).first, 0);
  r.line = -2'147'483'649LL;
  r.relative = true;
  EXPECT_EQ(GotoTargetLines(r, 9, 11).second, 0);
}

TEST(GotoDialog, SelectOnlyEverGrowsTheSelection) {
  GotoRequest r;
  r.select = true;
  const GotoSelection current{20, 30};
  // A target inside the selection keeps it whole.
  GotoSelection s = GotoLineSelection(r, current, 25, 25, 100);
  EXPECT_EQ(s.start, 20);
  EXPECT_EQ(s.end, 30);
  r.position = 49;
  s = GotoPositionSelection(r, current, 100);
  EXPECT_EQ(s.start, 20);
  EXPECT_EQ(s.end, 49);
  r.position = 4;
  s = GotoPositionSelection(r, current, 100);
  EXPECT_EQ(s.start, 4);
  EXPECT_EQ(s.end, 30);

  // Relative positions count forward from each end; the text's end stops them.
  r.select = false;
  r.relative = true;
  r.position = 4;
  s = GotoPositionSelection(r, current, 100);
  EXPECT_EQ(s.start, 25);
  EXPECT_EQ(s.end, 35);
  r.position = 2'147'483'646;
  s = GotoPositionSelection(r, current, 100);
  EXPECT_EQ(s.start, 100);
  EXPECT_EQ(s.end, 100);
  r.relative = false;
  r.position = -1;
  EXPECT_EQ(GotoPositionSelection(r, current, 100).start, 0);
}

TEST(CompareDialog, FirstDifferenceAndCase) {
  std::u16string one = u"ABC", two = u"abc";
  EXPECT_EQ(FirstDifference(one, two), 0u);
  PrepareCompareText(one, true);
  PrepareCompareText(two, true);
  EXPECT_EQ(one, u"abc");  // the remembered text keeps the lowered form
  EXPECT_FALSE(FirstDifference(one, two).has_value());

  EXPECT_EQ(FirstDifference(u"abc", u"abd"), 2u);
  // One text a start of the other: they differ where the shorter ends.
  EXPECT_EQ(FirstDifference(u"ab", u"abc"), 2u);
  EXPECT_EQ(FirstDifference(u"abc", u"ab"), 2u);
  EXPECT_FALSE(FirstDifference(u"", u"").has_value());

  std::u16string longText(kCompareTextLimit + 5, u'x');
  PrepareCompareText(longText, false);
  EXPECT_EQ(longText.size(), static_cast<std::size_t>(kCompareTextLimit));
}

int StoredCapacity(std::u16string ToolSettings::*text) {
  std::size_t count = 0;
  const SettingField* fields = SettingFields(&count);
  const std::u16string Settings::*member = text;
  for (std::size_t i = 0; i < count; ++i) {
    const auto* m = std::get_if<std::u16string Settings::*>(&fields[i].member);
    if (m && *m == member) return fields[i].capacity;
  }
  return -1;
}

// A field never takes more than the store writes and the next start reads
// back.
TEST(ParamDialogs, FieldLimitsAreTheStoredOnes) {
  for (const ParamDialogDescriptor* d : {&kCloseLinesDialog, &kTranslateDialog, &kExtendedReplaceDialog, &kQuoteDialog,
                                         &kEncloseDialog, &kTagDialog}) {
    EXPECT_EQ(d->edit1Limit, StoredCapacity(d->edit1Text)) << d->dialogId;
    if (d->edit2) {
      EXPECT_EQ(d->edit2Limit, StoredCapacity(d->edit2Text)) << d->dialogId;
    }
  }
  EXPECT_EQ(CutToLimit(u"abcdef", 4), u"abcd");
  EXPECT_EQ(CutToLimit(u"abc", 4), u"abc");
}

}  // namespace
}  // namespace quillet
