// The numbering, find-duplicates and sort dialogs without their windows:
// number fields, which field is reported, what a page turns into when the
// tool runs, the sort pages' enabling and the numbering preview.
#include "shell/dialogs/line_dialogs.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "base/messages.h"
#include "base/resource.h"
#include "engine/tool_job.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::Apply;
using testing::RunOptions;

TEST(DialogNumbers, FieldsHoldOnlyNumbersAndNeverWrap) {
  EXPECT_EQ(ParseFieldNumber(u"12"), 12);
  EXPECT_EQ(ParseFieldNumber(u" +7 "), 7);
  EXPECT_EQ(ParseFieldNumber(u"-3"), -3);
  EXPECT_EQ(ParseFieldNumber(u"0000000000000000000042"), 42);
  for (const char16_t* bad : {u"", u"  ", u"-", u"+", u"1 2", u"12a", u"x", u"１２", u"1.5"})
    EXPECT_EQ(ParseFieldNumber(bad), std::nullopt) << "accepted a field that is no number";
  // Ten digits and more stop at the edge of the range.
  EXPECT_EQ(ParseFieldNumber(u"9999999999"), INT32_MAX);
  EXPECT_EQ(ParseFieldNumber(u"4294967297"), INT32_MAX);
  EXPECT_EQ(ParseFieldNumber(u"-99999999999999999999"), INT32_MIN);
  // A stored value at the top is shown one higher, not wrapped below zero.
  EXPECT_EQ(OneBasedText(INT32_MAX), u"2147483648");
  EXPECT_EQ(OneBasedText(0), u"1");
}

TEST(NumberingDialog, FirstBadFieldNamesItsPageAndControl) {
  NumberingSettings settings;
  NumberingForm form = NumberingFormOf(settings);
  EXPECT_EQ(form.pages[2].toColumn, u"1");
  EXPECT_EQ(ReadNumberingForm(form, settings), std::nullopt);

  // A zero in "到" of %3.
  form.pages[2].columns = true;
  form.pages[2].toColumn = u"0";
  EXPECT_EQ(ReadNumberingForm(form, settings), (FieldError{3, IDC_KEY_TO_COLUMN}));
  // An earlier page in error is named first; the character range counts only when ticked.
  form.pages[0].charFrom = u"";
  EXPECT_EQ(ReadNumberingForm(form, settings), (FieldError{3, IDC_KEY_TO_COLUMN}));
  form.pages[0].useCharRange = true;
  EXPECT_EQ(ReadNumberingForm(form, settings), (FieldError{1, IDC_KEY_CHAR_FROM}));
  // The counter comes before the pages; it may be zero but not empty or negative.
  form.step = u"-1";
  EXPECT_EQ(ReadNumberingForm(form, settings), (FieldError{0, IDC_NUMBER_STEP}));
  form.start = u"";
  EXPECT_EQ(ReadNumberingForm(form, settings), (FieldError{0, IDC_NUMBER_START}));

  // Unused fields that hold no number neither stop the reading nor change the key.
  form = NumberingFormOf(settings);
  settings.keys[4].fromColumn = 6;
  form.pages[3].fromColumn = u"abc";
  form.start = u"0";
  form.step = u"99999999999";
  EXPECT_EQ(ReadNumberingForm(form, settings), std::nullopt);
  EXPECT_EQ(settings.keys[4].fromColumn, 6);
  EXPECT_EQ(settings.start, 0);
  EXPECT_EQ(settings.step, INT32_MAX);
}

TEST(NumberingDialog, WhatThePagesSayIsWhatTheToolDoes) {
  NumberingSettings settings;
  NumberingForm form = NumberingFormOf(settings);
  form.mask = u"%d:%1|%2";
  form.start = u"5";
  form.step = u"10";
  // %1: the second comma-separated column; %2: characters 2 to 3 of the line from the right.
  form.pages[0] = {true, u"2", u"2", u",", false, false, false, u"1", u"1", false};
  form.pages[1] = {false, u"1", u"1", u"\t", false, false, true, u"2", u"3", true};
  ASSERT_EQ(ReadNumberingForm(form, settings), std::nullopt);
  RunOptions o;
  o.params = NumberingParams{&settings};
  EXPECT_EQ(Apply(kOpNumberLines, u"a,bc,d\r\nx,yz", o), u"5:bc|c,\r\n15:yz|,y");

  // Stored and shown again, the dialog opens as it was left; key 0 stays the whole line.
  ToolSettings stored;
  ColumnKeys keys{};
  keys[0].mode = 1;
  StoreNumbering(settings, stored, keys);
  EXPECT_EQ(stored.numberingMask, u"%d:%1|%2");
  EXPECT_EQ(stored.numberingStart, 5);
  EXPECT_EQ(keys[0].mode, 1);
  const NumberingForm again = NumberingFormOf(NumberingFromSettings(stored, keys));
  EXPECT_EQ(again.pages[0].toColumn, u"2");
  EXPECT_EQ(again.pages[1].charTo, u"3");
  EXPECT_TRUE(again.pages[1].charsFromRight);

  // Texts longer than their fields are cut; a negative stored start shows as the 1 it counts as.
  form.mask = std::u16string(kMaskLimit + 1, u'm');
  form.pages[0].delimiters = std::u16string(kKeyListLimit + 1, u';');
  ASSERT_EQ(ReadNumberingForm(form, settings), std::nullopt);
  EXPECT_EQ(settings.mask.size(), kMaskLimit);
  EXPECT_EQ(settings.keys[1].delimiters.size(), kKeyListLimit);
  settings.start = -4;
  EXPECT_EQ(NumberingFormOf(settings).start, u"1");
}

TEST(NumberingDialog, PreviewShowsTheMessageEvenWhenFrozen) {
  EXPECT_EQ(NumberingPreviewStep(false, false).placeholder, std::u16string_view(MessageText(kMsgNumbersPositive)));
  EXPECT_FALSE(NumberingPreviewStep(false, false).run);
  EXPECT_EQ(NumberingPreviewStep(false, true).placeholder, std::u16string_view(MessageText(kMsgNumbersPositive)));
  EXPECT_EQ(NumberingPreviewStep(true, true).placeholder, nullptr);
  EXPECT_FALSE(NumberingPreviewStep(true, true).run);
  EXPECT_TRUE(NumberingPreviewStep(true, false).run);
}

TEST(DuplicatesDialog, StoredJobsMapToTheirRadios) {
  for (std::int32_t job : {0, 1, 2}) EXPECT_EQ(UniJobOf(DuplicatesRadioOf(job)), job);
  // A value the dialog never wrote shows as "all lines" and is stored as 0.
  EXPECT_EQ(DuplicatesRadioOf(7), IDC_DUP_ALL);
  EXPECT_EQ(DuplicatesRadioOf(-1), IDC_DUP_ALL);
  EXPECT_FALSE(CountDuplicatesEnabled(IDC_DUP_ONLY_UNIQUE));
  EXPECT_TRUE(CountDuplicatesEnabled(IDC_DUP_ONLY_REPEATED));
}

TEST(SortDialog, PagesEnableOnlyWhatTheirKeyUses) {
  SortPageForm page;
  // The first page can never be switched off.
  SortPageEnables e = SortPageEnabling(page, true, false);
  EXPECT_FALSE(e.none);
  EXPECT_TRUE(e.lineOrColumns && e.keyOptions && e.textOptions);
  EXPECT_FALSE(e.columnFields || e.charFields || e.ignoreList || e.keepList);

  page.choice = kSortKeyColumns;
  page.useCharRange = true;
  page.ignoreChars = true;
  e = SortPageEnabling(page, false, false);
  EXPECT_TRUE(e.none && e.columnFields && e.charFields && e.ignoreList);
  EXPECT_FALSE(e.keepList);
  // Numbers have no case or characters to skip.
  page.numeric = true;
  e = SortPageEnabling(page, false, false);
  EXPECT_FALSE(e.textOptions || e.ignoreList);
  EXPECT_TRUE(e.columnFields);

  // After a page with "无" nothing is usable; with its own "无" only the key choice is.
  EXPECT_EQ(SortPageEnabling(page, false, true), SortPageEnables{});
  page.choice = kSortKeyNone;
  e = SortPageEnabling(page, false, false);
  EXPECT_TRUE(e.none && e.lineOrColumns);
  EXPECT_FALSE(e.keyOptions || e.columnFields || e.charFields || e.textOptions);
}

TEST(SortDialog, PagesReadIntoTheKeysTheSortUses) {
  SortSettings keys = DefaultSortSettings();
  EXPECT_EQ(SortPageFormOf(keys[1], false).choice, kSortKeyNone);
  keys[0].enabled = false;
  EXPECT_EQ(SortPageFormOf(keys[0], true).choice, kSortKeyWholeLine);

  // Column 2 numerically descending, then the whole line ignoring case.
  SortPageForm first = SortPageFormOf(keys[0], true);
  first.choice = kSortKeyColumns;
  first.column = u"2";
  first.delimiters = u" ";
  first.numeric = true;
  first.descending = true;
  SortPageForm second = SortPageFormOf(keys[1], false);
  second.choice = kSortKeyWholeLine;
  second.ignoreCase = true;
  ASSERT_EQ(ReadSortPage(first, true, true, keys[0]), std::nullopt);
  ASSERT_EQ(ReadSortPage(second, false, true, keys[1]), std::nullopt);
  EXPECT_TRUE(keys[0].enabled);
  EXPECT_EQ(keys[0].key.fromColumn, 1);
  EXPECT_EQ(keys[0].key.toColumn, 1);
  RunOptions o;
  o.params = SortParams{keys.data()};
  EXPECT_EQ(Apply(kOpSortLines, u"b 1\r\nA 10\r\na 10\r\nc 9", o), u"A 10\r\na 10\r\nc 9\r\nb 1");

  // Only the numbers a key in use reads are checked, in the order of the page.
  SortKey key = keys[0];
  first.column = u"0";
  EXPECT_EQ(ReadSortPage(first, true, true, key), IDC_SORT_COLUMN);
  EXPECT_EQ(ReadSortPage(first, false, false, key), std::nullopt);
  first.choice = kSortKeyWholeLine;
  first.useCharRange = true;
  first.charFrom = u"2";
  first.charTo = u"-2";
  EXPECT_EQ(ReadSortPage(first, true, true, key), IDC_SORT_CHAR_TO);
  first.charTo = u"4";
  ASSERT_EQ(ReadSortPage(first, true, true, key), std::nullopt);
  EXPECT_EQ(key.key.mode, 0);
  EXPECT_EQ(key.key.fromColumn, 1);  // the unusable "0" left it alone
  EXPECT_EQ(key.key.charTo, 3);

  // "无" switches a key off but keeps its mode for when it comes back.
  second.choice = kSortKeyNone;
  keys[1].key.mode = 1;
  ASSERT_EQ(ReadSortPage(second, false, true, keys[1]), std::nullopt);
  EXPECT_FALSE(keys[1].enabled);
  EXPECT_EQ(keys[1].key.mode, 1);

  // The lists go to the settings, key by key.
  keys[2].keepList = u"0123456789";
  SortSettings inForce;
  SortKeyStrings lists;
  StoreSortKeys(keys, inForce, lists);
  EXPECT_EQ(lists[0].delimiters, u" ");
  EXPECT_EQ(lists[2].keepList, u"0123456789");
  EXPECT_TRUE(inForce[0].numeric);
}

}  // namespace
}  // namespace quillet
