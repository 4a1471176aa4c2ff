#include "shell/dialogs/settings_dialog.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

namespace quillet {
namespace {

TEST(SettingsNumbers, FieldsReadAsDialogNumbersAndNothingElseAsZero) {
  EXPECT_EQ(ReadNumberField(u"4"), 4);
  EXPECT_EQ(ReadNumberField(u"  12"), 12);
  EXPECT_EQ(ReadNumberField(u"-5"), -5);
  EXPECT_EQ(ReadNumberField(u"12abc"), 12);  // reading stops at the first non-digit
  int i = 0;
  for (const char16_t* junk : {u"", u"abc", u"-", u" - 3", u"+3", u"４"}) EXPECT_EQ(ReadNumberField(junk), 0) << i++;
  EXPECT_EQ(ReadNumberField(u"2147483647"), INT32_MAX);
  EXPECT_EQ(ReadNumberField(u"-2147483648"), INT32_MIN);
  // Beyond 32 bits, however far, is no number.
  EXPECT_EQ(ReadNumberField(u"2147483648"), 0);
  EXPECT_EQ(ReadNumberField(u"123456789012"), 0);
  EXPECT_EQ(ReadNumberField(u"-123456789012"), 0);
  EXPECT_EQ(ReadNumberField(std::u16string(400, u'9')), 0);
}

TEST(SettingsNumbers, OnlyValuesThatWouldHarmTheEditControlAreChanged) {
  EXPECT_EQ(NumberFieldSetting(NumberField::kTabSize, 4), 4);
  EXPECT_EQ(NumberFieldSetting(NumberField::kTabSize, 0), 0);
  EXPECT_EQ(NumberFieldSetting(NumberField::kTabSize, -3), -3);  // no tab stops sent, as 0
  EXPECT_EQ(NumberFieldSetting(NumberField::kTabSize, INT32_MAX), kMaxTabSize);
  EXPECT_EQ(NumberFieldSetting(NumberField::kLeftMargin, -1), -1);  // the control keeps its own
  EXPECT_EQ(NumberFieldSetting(NumberField::kLeftMargin, 99999), kMaxLeftMargin);
  EXPECT_EQ(NumberFieldSetting(NumberField::kTextLimit, 7), 7);
  EXPECT_EQ(NumberFieldSetting(NumberField::kTextLimit, INT32_MAX), INT32_MAX);
  EXPECT_EQ(NumberFieldSetting(NumberField::kTextLimit, -5), 0);
}

// Every control shows one setting, and text fields hold what the store
// keeps of their setting, no more.
TEST(SettingsBindings, EachControlOnceAndTextLimitsAsStored) {
  std::set<int> ids;
  auto add = [&](int id) { EXPECT_TRUE(ids.insert(id).second) << "control " << id << " bound twice"; };
  for (const auto& n : GeneralNumbers()) add(n.id);
  for (const auto& c : GeneralChecks()) add(c.id);
  for (const auto& c : FileChecks()) add(c.id);
  for (const auto& c : SaveChecks()) add(c.id);
  for (const auto& t : FileTexts()) add(t.id);
  for (auto groups : {GeneralRadios(), FileRadios()})
    for (const auto& g : groups) {
      ASSERT_LE(static_cast<std::size_t>(g.count), g.ids.size());
      for (int i = 0; i < g.count; ++i) add(g.ids[i]);
      EXPECT_EQ(RadioToCheck(g, g.count), 0);
      EXPECT_EQ(RadioToCheck(g, -1), 0);
    }
  EXPECT_EQ(ids.size(), 3u + 11 + 11 + 9 + 3 + 7 + 5 + 3);

  std::size_t count = 0;
  const SettingField* fields = SettingFields(&count);
  for (const auto& t : FileTexts()) {
    bool found = false;
    for (std::size_t i = 0; i < count; ++i) {
      const auto* member = std::get_if<std::u16string Settings::*>(&fields[i].member);
      if (member && *member == t.setting) {
        EXPECT_EQ(t.limit, static_cast<std::size_t>(fields[i].capacity)) << "control " << t.id;
        found = true;
      }
    }
    EXPECT_TRUE(found) << "control " << t.id;
  }
}

WorkingFavourites Favs(std::initializer_list<const char16_t*> paths) {
  WorkingFavourites list;
  for (const char16_t* p : paths) list.entries.emplace_back(p);
  return list;
}

TEST(SettingsLists, UpDownAndDeleteKeepOrderAndMarkTheListChanged) {
  WorkingFavourites list = Favs({u"a", u"b", u"c"});
  // Without a selection nothing happens, not even the mark.
  EXPECT_EQ(EditList(list, ListEdit::kUp, -1), -1);
  EXPECT_EQ(EditList(list, ListEdit::kDelete, 3), -1);
  EXPECT_FALSE(list.changed);

  // The first cannot go up and the last cannot go down, yet both count.
  EXPECT_EQ(EditList(list, ListEdit::kUp, 0), 0);
  EXPECT_TRUE(list.changed);
  EXPECT_EQ(EditList(list, ListEdit::kDown, 2), 2);
  EXPECT_EQ(list.entries, Favs({u"a", u"b", u"c"}).entries);

  EXPECT_EQ(EditList(list, ListEdit::kDown, 0), 1);
  EXPECT_EQ(list.entries, Favs({u"b", u"a", u"c"}).entries);
  EXPECT_EQ(EditList(list, ListEdit::kUp, 2), 1);
  EXPECT_EQ(list.entries, Favs({u"b", u"c", u"a"}).entries);
  EXPECT_EQ(EditList(list, ListEdit::kDelete, 1), -1);
  EXPECT_EQ(list.entries, Favs({u"b", u"a"}).entries);
  EditList(list, ListEdit::kDelete, 0);
  EditList(list, ListEdit::kDelete, 0);
  EXPECT_TRUE(list.entries.empty());
}

TEST(SettingsLists, FavouritesComeBackCompactedAndAllCanGo) {
  Favourites program;
  program.slots[3] = u"C:\\three.txt";
  program.slots[7] = u"C:\\seven.txt";
  program.slots[49] = u"C:\\last.txt";
  WorkingFavourites copy = CopyFavourites(program);
  EXPECT_EQ(copy.entries, Favs({u"C:\\three.txt", u"C:\\seven.txt", u"C:\\last.txt"}).entries);
  EXPECT_FALSE(copy.changed);

  EditList(copy, ListEdit::kDown, 0);
  ReplaceFavourites(copy, program);
  EXPECT_TRUE(program.changed);
  EXPECT_EQ(program.slots[0], u"C:\\seven.txt");
  EXPECT_EQ(program.slots[1], u"C:\\three.txt");
  EXPECT_EQ(program.slots[2], u"C:\\last.txt");
  EXPECT_TRUE(program.slots[3].empty());

  ReplaceFavourites(WorkingFavourites{}, program);
  for (const auto& slot : program.slots) EXPECT_TRUE(slot.empty());
  ASSERT_EQ(FavouriteMenuItems(program).size(), 4u);  // add, manage, separator, "(无)"
}

TEST(SettingsLists, FiltersAreCutToTheirLengthsAndNeverPastFifty) {
  WorkingFilters list;
  const std::u16string longName = std::u16string(30, u'n') + u"\U0001F600";  // the pair straddles 31
  FilterEntry big{longName, std::u16string(2000, u'c'), std::u16string(5000, u'd')};
  AddFilterEntry(list, &big);
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].name, std::u16string(30, u'n'));
  EXPECT_EQ(list.entries[0].command.size(), kFilterCommandLimit);
  EXPECT_EQ(list.entries[0].description.size(), kFilterDescriptionLimit);
  FilterEntry exact{std::u16string(31, u'x'), std::u16string(1023, u'y'), u""};
  ModifyFilterEntry(list, 0, &exact);
  EXPECT_EQ(list.entries[0].name, exact.name);
  EXPECT_EQ(list.entries[0].command, exact.command);

  // A cancelled dialog changes nothing but still counts as an edit.
  WorkingFilters untouched;
  AddFilterEntry(untouched, nullptr);
  EXPECT_TRUE(untouched.changed);
  EXPECT_TRUE(untouched.entries.empty());

  FilterEntry one{u"f", u"cmd", u""};
  while (!FiltersFull(list)) AddFilterEntry(list, &one);
  EXPECT_EQ(list.entries.size(), static_cast<std::size_t>(kFilterSlots));
  AddFilterEntry(list, &one);
  EXPECT_EQ(list.entries.size(), static_cast<std::size_t>(kFilterSlots));
}

TEST(SettingsLists, FiltersGoBackInListOrderWithoutNamelessOnes) {
  FilterList program;
  ASSERT_EQ(AddFilter(program, u"Sort", u"sort", u"sorts"), AddFilterResult::kAdded);
  ASSERT_EQ(AddFilter(program, u"Upper", u"upper %1", u""), AddFilterResult::kAdded);
  WorkingFilters copy = CopyFilters(program);
  ASSERT_EQ(copy.entries.size(), 2u);
  EditList(copy, ListEdit::kUp, 1);
  FilterEntry nameless{u"", u"cmd", u""};
  AddFilterEntry(copy, &nameless);
  FilterEntry last{u"Last", u"last", u"d"};
  AddFilterEntry(copy, &last);

  ASSERT_TRUE(ReplaceFilters(copy, program));
  EXPECT_TRUE(program.changed);
  EXPECT_EQ(std::u16string(FilterName(program, 0)), u"Upper");
  EXPECT_EQ(std::u16string(FilterCommand(program, 0)), u"upper %1");
  EXPECT_EQ(std::u16string(FilterName(program, 1)), u"Sort");
  EXPECT_EQ(std::u16string(FilterDescription(program, 1)), u"sorts");
  // The nameless one would have ended the list before "Last".
  EXPECT_EQ(std::u16string(FilterName(program, 2)), u"Last");
  EXPECT_EQ(FilterName(program, 3), nullptr);
}

TEST(SettingsOk, ViewBeforeFilesAndListsOnlyWhenChanged) {
  using enum OkStep;
  EXPECT_EQ(OkSteps(false, false),
            (std::vector<OkStep>{kReadGeneral, kApplyView, kReadFiles, kShowLineEnd, kReadSaveOptions}));
  EXPECT_EQ(OkSteps(true, true), (std::vector<OkStep>{kReadGeneral, kApplyView, kReadFiles, kShowLineEnd,
                                                      kReplaceFavourites, kReplaceFilters, kReadSaveOptions}));
  EXPECT_EQ(OkSteps(false, true)[4], kReplaceFilters);
}

}  // namespace
}  // namespace quillet
