#include "document/lists.h"

#include <gtest/gtest.h>

#include <string>

#include "base/resource.h"
#include "document/clip_slots.h"

namespace quillet {
namespace {

std::u16string Path(int i) {
  const std::string n = std::to_string(i);
  return u"C:\\docs\\file" + std::u16string(n.begin(), n.end()) + u".txt";
}

TEST(RecentFiles, KeepsTheLastTenNewestFirst) {
  RecentFiles list;
  EXPECT_FALSE(HasRecent(list));
  auto none = RecentMenuItems(list);
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].text, u"(无)");
  EXPECT_TRUE(none[0].greyed);

  for (int i = 1; i <= 11; ++i) AddRecent(list, Path(i));
  AddRecent(list, u"");
  EXPECT_EQ(list.slots[0], Path(2));
  EXPECT_EQ(list.slots[9], Path(11));
  const auto items = RecentMenuItems(list);
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items[0].text, u"&0. " + Path(11));
  EXPECT_EQ(items[0].id, IDM_FILE_RECENT_FIRST + 9);
  EXPECT_EQ(items[9].text, u"&9. " + Path(2));
  EXPECT_EQ(items[9].id, IDM_FILE_RECENT_FIRST);

  // An entry opened again moves to the top, in the letter case of the new call.
  std::u16string upper = Path(5);
  for (char16_t& c : upper) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  AddRecent(list, upper);
  EXPECT_EQ(list.slots[9], upper);
  EXPECT_EQ(list.slots[0], Path(2));
  int count = 0;
  for (const auto& s : list.slots) count += SamePath(s, Path(5)) ? 1 : 0;
  EXPECT_EQ(count, 1);

  AddRecent(list, std::u16string(300, u'p'));
  EXPECT_EQ(list.slots[9].size(), kListPathLimit);
  ClearRecent(list);
  EXPECT_FALSE(HasRecent(list));
}

TEST(RecentFiles, FewEntriesAreNumberedFromTheNewest) {
  RecentFiles list;
  AddRecent(list, u"a&b.txt");
  AddRecent(list, u"c.txt");
  const auto items = RecentMenuItems(list);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, u"&0. c.txt");
  EXPECT_EQ(items[1].text, u"&1. a&&b.txt");  // shown as "a&b.txt", not with an underlined b
}

TEST(Favourites, AddRules) {
  Favourites list;
  EXPECT_FALSE(AddFavourite(list, u""));
  EXPECT_TRUE(AddFavourite(list, u"C:\\a.txt"));
  EXPECT_TRUE(AddFavourite(list, u"c:\\A.TXT"));  // there already: nothing added
  EXPECT_EQ(list.slots[1], u"");
  EXPECT_FALSE(list.changed);

  // The first empty slot is taken, also between entries.
  list.slots[2] = u"C:\\c.txt";
  EXPECT_TRUE(AddFavourite(list, u"C:\\b.txt"));
  EXPECT_EQ(list.slots[1], u"C:\\b.txt");

  for (int i = 0; i < kFavouriteSlots; ++i) list.slots[static_cast<std::size_t>(i)] = Path(i);
  EXPECT_FALSE(AddFavourite(list, u"C:\\one more.txt"));
  EXPECT_TRUE(AddFavourite(list, Path(49)));
}

TEST(Favourites, MenuNumbersTheFirstNineOnly) {
  Favourites list;
  auto empty = FavouriteMenuItems(list);
  ASSERT_EQ(empty.size(), 4u);
  EXPECT_EQ(empty[0].id, IDM_FAVOURITES_ADD);
  EXPECT_EQ(empty[0].text, u"添加此文件(&A)");
  EXPECT_EQ(empty[1].id, IDM_FAVOURITES_MANAGE);
  EXPECT_EQ(empty[1].text, u"管理列表(&M)...");
  EXPECT_TRUE(empty[2].separator);
  EXPECT_EQ(empty[3].text, u"(无)");
  EXPECT_TRUE(empty[3].greyed);

  for (int i = 0; i < 12; ++i) AddFavourite(list, Path(i));
  list.slots[3].clear();
  const auto items = FavouriteMenuItems(list);
  ASSERT_EQ(items.size(), 3u + 11u);
  EXPECT_EQ(items[3].text, u"&1. " + Path(0));
  EXPECT_EQ(items[5].text, u"&3. " + Path(2));
  EXPECT_EQ(items[6].text, u"&5. " + Path(4));  // numbered by slot: slot 3 is empty
  EXPECT_EQ(items[6].id, IDM_FAVOURITE_FIRST + 4);
  EXPECT_EQ(items[10].text, u"&9. " + Path(8));
  EXPECT_EQ(items[11].text, u"&0. " + Path(9));
  EXPECT_EQ(items[13].text, u"&0. " + Path(11));
}

TEST(Filters, AddRulesAndSlots) {
  FilterList list;
  EXPECT_EQ(AddFilter(list, nullptr, u"c", u"d"), AddFilterResult::kRejected);
  EXPECT_EQ(AddFilter(list, u"n", nullptr, u"d"), AddFilterResult::kRejected);
  EXPECT_EQ(AddFilter(list, u"n", u"c", nullptr), AddFilterResult::kRejected);
  EXPECT_EQ(AddFilter(list, u"", u"c", u"d"), AddFilterResult::kRejected);
  EXPECT_EQ(AddFilter(list, u"n", u"", u""), AddFilterResult::kAdded);
  EXPECT_EQ(std::u16string(FilterName(list, 0)), u"n");
  EXPECT_EQ(FilterName(list, 1), nullptr);
  EXPECT_EQ(FilterCommand(list, -1), nullptr);
  EXPECT_EQ(FilterDescription(list, kFilterSlots), nullptr);

  for (int i = 1; i < kFilterSlots; ++i) EXPECT_EQ(AddFilter(list, u"f", u"c", u"d"), AddFilterResult::kAdded);
  EXPECT_EQ(AddFilter(list, u"full", u"c", u"d"), AddFilterResult::kRejected);
  FreeFilters(list);
  EXPECT_EQ(FilterName(list, 0), nullptr);
  EXPECT_EQ(AddFilter(list, u"again", u"c", u"d"), AddFilterResult::kAdded);
}

TEST(Filters, MenuShowsShortcutsForTheFirstTwelve) {
  FilterList list;
  auto empty = FilterMenuItems(list);
  ASSERT_EQ(empty.size(), 3u);
  EXPECT_EQ(empty[0].id, IDM_FILTERS_MANAGE);
  EXPECT_TRUE(empty[1].separator);
  EXPECT_EQ(empty[2].text, u"(无)");

  for (int i = 0; i < 14; ++i)
    AddFilter(list, (u"F" + std::u16string(1, static_cast<char16_t>(u'a' + i))).c_str(), u"c", u"d");
  // The list ends at the first free slot.
  list.slots[13] = FilterEntry{};
  list.slots[14] = FilterEntry{u"after a gap", u"c", u"d"};
  const auto items = FilterMenuItems(list);
  ASSERT_EQ(items.size(), 2u + 13u);
  EXPECT_EQ(items[2].text, u"&Fa\tAlt+Ctrl+F1");
  EXPECT_EQ(items[2].id, IDM_FILTER_FIRST);
  EXPECT_EQ(items[13].text, u"&Fl\tAlt+Ctrl+F12");
  EXPECT_EQ(items[14].text, u"&Fm");
  EXPECT_EQ(items[14].id, IDM_FILTER_FIRST + 12);
}

TEST(ClipSlots, StoreClearAndLabels) {
  ClipSlots clips;
  EXPECT_TRUE(StoreClip(clips, 3, u"three"));
  EXPECT_TRUE(StoreClip(clips, 3, u""));  // an empty text keeps the old one
  EXPECT_EQ(*GetClip(clips, 3), u"three");
  EXPECT_FALSE(StoreClip(clips, 0, u"x"));
  EXPECT_FALSE(StoreClip(clips, 10, u"x"));
  EXPECT_EQ(GetClip(clips, 10), nullptr);
  EXPECT_EQ(GetClip(clips, 4), nullptr);
  EXPECT_FALSE(clips.changed);

  FreeClips(clips);
  EXPECT_EQ(GetClip(clips, 3), nullptr);
  EXPECT_FALSE(clips.changed);
  StoreClip(clips, 1, u"one");
  ClearClips(clips);
  EXPECT_EQ(GetClip(clips, 1), nullptr);
  EXPECT_TRUE(clips.changed);

  EXPECT_EQ(FormatClipLabel(u"复制到 &%d 剪贴板 %cAlt+%d", 3, u'\t', 3), u"复制到 &3 剪贴板 \tAlt+3");
  EXPECT_EQ(FormatClipLabel(u"粘贴来自 &%d 剪贴板 %cCtrl+%d", 9, 0, 0), u"粘贴来自 &9 剪贴板 ");
}

}  // namespace
}  // namespace quillet
