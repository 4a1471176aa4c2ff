#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "base/resource.h"
#include "shell/dispatch_win.h"

namespace quillet {
namespace {

void CollectMenuIds(HMENU menu, std::vector<UINT>& ids) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      CollectMenuIds(sub, ids);
      continue;
    }
    const UINT id = GetMenuItemID(menu, i);
    if (id != 0 && id != static_cast<UINT>(-1)) ids.push_back(id);
  }
}

// Every item of the menu and every key of the accelerator table reaches a
// handler; a typo in either would otherwise fall through as "no command".
TEST(Dispatch, EveryMenuItemAndKeyIsKnown) {
  HMODULE exe = LoadLibraryExW(L"" QUILLET_EXE_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HMENU menu = LoadMenuW(exe, MAKEINTRESOURCEW(IDR_MAINMENU));
  ASSERT_NE(menu, nullptr);
  std::vector<UINT> ids;
  CollectMenuIds(menu, ids);
  EXPECT_GT(ids.size(), 100u);
  for (UINT id : ids) EXPECT_TRUE(IsKnownCommand(static_cast<std::uint16_t>(id))) << id;
  DestroyMenu(menu);

  HACCEL accel = LoadAcceleratorsW(exe, MAKEINTRESOURCEW(IDR_ACCEL));
  ASSERT_NE(accel, nullptr);
  std::vector<ACCEL> keys(static_cast<std::size_t>(CopyAcceleratorTableW(accel, nullptr, 0)));
  CopyAcceleratorTableW(accel, keys.data(), static_cast<int>(keys.size()));
  for (const ACCEL& key : keys) EXPECT_TRUE(IsKnownCommand(key.cmd)) << key.cmd;
  DestroyAcceleratorTable(accel);
  FreeLibrary(exe);
}

TEST(Dispatch, RangesAndUnknownIds) {
  EXPECT_TRUE(IsKnownCommand(IDM_FILE_RECENT_LAST));
  EXPECT_TRUE(IsKnownCommand(IDM_FAVOURITE_FIRST + 49));
  EXPECT_TRUE(IsKnownCommand(IDM_FILTER_FIRST + 49));
  EXPECT_FALSE(IsKnownCommand(IDM_FILTER_LAST + 1));
  EXPECT_FALSE(IsKnownCommand(IDM_CLIP_PASTE_LAST + 1));
  EXPECT_FALSE(IsKnownCommand(12345));
  // Only the low 16 bits name the command; the high word is a notification.
  EXPECT_EQ(DispatchCommand(MAKEWPARAM(12345, 7), 0).code, kNotACommand);
}

}  // namespace
}  // namespace quillet
