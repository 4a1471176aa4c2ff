#include <windows.h>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/resource.h"
#include "document/settings.h"
#include "shell/app/dispatch_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/menu_state.h"
#include "tests/win/allocation_faults.h"
#include "tests/win/file_test_support.h"

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
  EXPECT_EQ(DispatchCommand(Running(), MAKEWPARAM(12345, 7), 0).code, kNotACommand);
}

// A handler that fails half-way, as a shell string that cannot grow would:
// the failure becomes the command's message, and the control's text stays
// what it was (the handler never got to change it).
HWND g_edit = nullptr;
CommandResult CopyThenRunOutOfMemory(const CommandArgs&) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(g_edit)) + 1, L'\0');
  GetWindowTextW(g_edit, text.data(), static_cast<int>(text.size()));
  throw std::bad_alloc();
}
CommandResult FailOtherwise(const CommandArgs&) { throw std::runtime_error("broken"); }

TEST(Dispatch, AHandlerThatThrowsEndsInAMessageAndTheTextStays) {
  g_edit = CreateWindowExW(0, L"edit", L"the document", ES_MULTILINE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(g_edit, nullptr);
  CommandResult result = RunHandler(CopyThenRunOutOfMemory, CommandArgs{Running(), IDM_CASE_UPPER, IDM_CASE_UPPER, 0});
  EXPECT_EQ(result.message.id(), kMsgOutOfMemory);
  result = RunHandler(FailOtherwise, CommandArgs{Running(), IDM_CASE_UPPER, IDM_CASE_UPPER, 0});
  EXPECT_EQ(result.message.id(), kMsgUnexpectedFailure);
  wchar_t text[64] = {};
  GetWindowTextW(g_edit, text, 64);
  EXPECT_STREQ(text, L"the document");
  DestroyWindow(g_edit);
  g_edit = nullptr;
}

// A real command meeting a real allocation failure in turn at each of its
// allocations (the strings of the shell; the tools' large buffers come from
// elsewhere): every failed run ends in "内存不足！" with the document as it
// was, and the run after the last allocation does the work. Enclosing
// copies its two long texts with the settings it runs on.
TEST(Dispatch, EncloseRunsOutOfMemoryAtEachOfItsAllocations) {
  testing_support::FakeMainWindow window;
  AppSettings().encloseBefore = u"<<before the selection>>";
  AppSettings().encloseAfter = u"<<after the selection>>";
  std::size_t n = 1;
  for (; n < 200; ++n) {
    window.SetText(u"abc def");
    SendMessageW(window.edit(), EM_SETSEL, 0, -1);
    testing_support::FailNthAllocation(n);
    const CommandResult result = DispatchCommand(Running(), IDM_TEXT_ENCLOSE_RUN, 0);
    if (!testing_support::AllocationFailed()) {
      EXPECT_FALSE(result.IsMessage());
      EXPECT_EQ(window.Text(), u"<<before the selection>>abc def<<after the selection>>");
      break;
    }
    EXPECT_EQ(result.message.id(), kMsgOutOfMemory) << "allocation " << n;
    EXPECT_EQ(window.Text(), u"abc def") << "allocation " << n;
  }
  EXPECT_GT(n, 2u);  // both texts are copied
  EXPECT_LT(n, 200u);
}

bool Available(std::uint16_t id, const MenuContext& c) {
  const std::optional<bool> available = CommandAvailable(id, c);
  EXPECT_TRUE(available.has_value()) << id;
  return available.value_or(true);
}

// The grey states of the menus come from the table's availability column.
TEST(Dispatch, AvailabilityFollowsTheState) {
  MenuContext c;  // untitled, nothing selected, empty clipboard, no undo
  EXPECT_FALSE(Available(IDM_FILE_PROPERTIES, c));
  EXPECT_FALSE(Available(IDM_FILE_REVERT, c));
  for (std::uint16_t id = IDM_FILE_REOPEN_ANSI; id <= IDM_FILE_REOPEN_UTF8_NO_MARK; ++id) EXPECT_FALSE(Available(id, c));
  EXPECT_FALSE(Available(IDM_FAVOURITES_ADD, c));
  EXPECT_TRUE(Available(IDM_FILE_LINE_END, c));
  EXPECT_FALSE(Available(IDM_EDIT_UNDO, c));
  EXPECT_FALSE(Available(IDM_EDIT_CUT, c));
  EXPECT_FALSE(Available(IDM_EDIT_PASTE, c));
  EXPECT_TRUE(Available(IDM_EDIT_COMPLETE_WORD, c));
  EXPECT_FALSE(Available(IDM_SEARCH_SELECT_NEXT, c));
  EXPECT_FALSE(Available(IDM_SEARCH_LOOK_NEXT, c));
  EXPECT_FALSE(Available(IDM_TOOL_LAST, c));
  EXPECT_TRUE(Available(IDM_WRAP_HARD, c));
  // Commands without a rule are never greyed by it.
  EXPECT_FALSE(CommandAvailable(IDM_CASE_UPPER, c).has_value());
  EXPECT_FALSE(CommandAvailable(IDM_FAVOURITE_FIRST, c).has_value());

  c.useCrLf = 0;
  c.hasFullPath = true;
  c.hasSelection = true;
  c.clipboardHasText = true;
  c.canUndo = true;
  c.findDialogOpen = true;
  c.findTextEmpty = false;
  c.lastToolSet = true;
  c.wordWrap = 0;
  EXPECT_FALSE(Available(IDM_FILE_LINE_END, c));
  EXPECT_TRUE(Available(IDM_FILE_REVERT, c));
  EXPECT_TRUE(Available(IDM_FILE_REOPEN_UTF8_NO_MARK, c));
  EXPECT_TRUE(Available(IDM_EDIT_CUT, c));
  EXPECT_TRUE(Available(IDM_EDIT_SWAP, c));
  EXPECT_TRUE(Available(IDM_EDIT_UNDO, c));
  EXPECT_FALSE(Available(IDM_EDIT_DUPLICATE_ENTER, c));
  EXPECT_FALSE(Available(IDM_EDIT_COMPLETE_WORD, c));
  EXPECT_FALSE(Available(IDM_SEARCH_FIND, c));
  EXPECT_FALSE(Available(IDM_SEARCH_REPLACE, c));
  EXPECT_TRUE(Available(IDM_SEARCH_SELECT_NEXT, c));
  EXPECT_TRUE(Available(IDM_TOOL_LAST, c));
  EXPECT_FALSE(Available(IDM_WRAP_HARD, c));
}

}  // namespace
}  // namespace quillet
