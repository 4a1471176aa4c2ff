// The nine clipboards against a real edit control, their dialog from the
// program's own resources, and the submenus built on the menu bar's anchors.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "base/resource.h"
#include "document/clip_slots.h"
#include "document/document.h"
#include "document/lists.h"
#include "shell/app/app_win.h"
#include "shell/app/dispatch_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/list_menus_win.h"
#include "tests/win/edit_fixture.h"

namespace quillet {
namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) return CommandReturnValue(DispatchCommand(Running(), wParam, lParam));
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ClipsWin : public EditFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MakeHost(HostProc, L"QuilletClipsHost", ES_MULTILINE | ES_NOHIDESEL));
  }

  void TearDown() override { DestroyHost(); }
};

TEST_F(ClipsWin, AltDigitCopiesAndCtrlDigitPastes) {
  SetText(L"hello world\r\nsecond line");
  Select(6, 11);
  EXPECT_EQ(Command(IDM_CLIP_COPY_FIRST + 2), 0);
  ASSERT_NE(GetClip(AppClips(), 3), nullptr);
  EXPECT_EQ(*GetClip(AppClips(), 3), u"world");
  EXPECT_TRUE(AppClips().changed);

  // An empty selection keeps the old text.
  Select(2, 2);
  EXPECT_EQ(Command(IDM_CLIP_COPY_FIRST + 2), 0);
  EXPECT_EQ(*GetClip(AppClips(), 3), u"world");

  Select(0, 0);
  EXPECT_EQ(Command(IDM_CLIP_PASTE_FIRST + 2), 0);
  EXPECT_EQ(Text(), L"worldhello world\r\nsecond line");
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), L"hello world\r\nsecond line");

  // An empty slot pastes nothing and reports nothing.
  Select(0, 5);
  EXPECT_EQ(Command(IDM_CLIP_PASTE_FIRST + 3), 0);
  EXPECT_EQ(Text(), L"hello world\r\nsecond line");

  // A selection across lines, final line break included.
  Select(6, 13);
  Command(IDM_CLIP_COPY_FIRST + 8);
  EXPECT_EQ(*GetClip(AppClips(), 9), u"world\r\n");

  EXPECT_EQ(Command(IDM_CLIPS_CLEAR), 0);
  for (int n = 1; n <= kClipSlotCount; ++n) EXPECT_EQ(GetClip(AppClips(), n), nullptr);
}

TEST_F(ClipsWin, ClipboardMenuGreysEmptySlots) {
  HMODULE exe = LoadLibraryExW(L"" QUILLET_EXE_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HMENU bar = LoadMenuW(exe, MAKEINTRESOURCEW(IDR_MAINMENU));
  ASSERT_NE(bar, nullptr);

  StoreClip(AppClips(), 2, u"two");
  BuildClipboardMenu(bar);
  HMENU popup = AnchorPopup(bar, IDM_CLIPS_ROSTER);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 18);
  wchar_t text[128];
  GetMenuStringW(popup, IDM_CLIP_COPY_FIRST, text, 128, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"复制到 &1 剪贴板 \tAlt+1");
  GetMenuStringW(popup, IDM_CLIP_PASTE_LAST, text, 128, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"粘贴来自 &9 剪贴板 \tCtrl+9");
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(popup, IDM_CLIP_PASTE_FIRST, FALSE, &info);
  EXPECT_TRUE(info.fType & MFT_MENUBARBREAK);
  for (int n = 1; n <= 9; ++n) {
    EXPECT_FALSE(GetMenuState(popup, IDM_CLIP_COPY_FIRST + n - 1, MF_BYCOMMAND) & MF_GRAYED) << n;
    const bool grey = GetMenuState(popup, IDM_CLIP_PASTE_FIRST + n - 1, MF_BYCOMMAND) & MF_GRAYED;
    EXPECT_EQ(grey, n != 2) << n;
  }

  // Clearing greys every paste item; building again adds nothing.
  SetText(L"x");
  Command(IDM_CLIPS_CLEAR);
  BuildClipboardMenu(bar);
  EXPECT_EQ(GetMenuItemCount(popup), 18);
  for (int n = 1; n <= 9; ++n) EXPECT_TRUE(GetMenuState(popup, IDM_CLIP_PASTE_FIRST + n - 1, MF_BYCOMMAND) & MF_GRAYED);

  DestroyMenu(bar);
  FreeLibrary(exe);
}

TEST_F(ClipsWin, ListSubmenusAreRebuiltOnTheirAnchors) {
  HMODULE exe = LoadLibraryExW(L"" QUILLET_EXE_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HMENU bar = LoadMenuW(exe, MAKEINTRESOURCEW(IDR_MAINMENU));
  ASSERT_NE(bar, nullptr);
  RecentFiles& recent = AppRecentFiles();
  ClearRecent(recent);

  RebuildRecentMenu(bar);
  HMENU popup = AnchorPopup(bar, IDM_FILE_RECENT);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 1);
  wchar_t text[300];
  GetMenuStringW(popup, 0, text, 300, MF_BYPOSITION);
  EXPECT_STREQ(text, L"(无)");
  EXPECT_TRUE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);

  AddRecent(recent, u"C:\\one.txt");
  AddRecent(recent, u"C:\\two.txt");
  RebuildRecentMenu(bar);
  EXPECT_EQ(AnchorPopup(bar, IDM_FILE_RECENT), popup);
  ASSERT_EQ(GetMenuItemCount(popup), 2);
  GetMenuStringW(popup, 0, text, 300, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&0. C:\\two.txt");
  EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(IDM_FILE_RECENT_FIRST + 8));

  Favourites& favourites = AppFavourites();
  ClearFavourites(favourites);
  AddFavourite(favourites, u"C:\\fav.txt");
  RebuildFavouritesMenu(bar);
  HMENU favMenu = AnchorPopup(bar, IDM_FAVOURITES);
  ASSERT_NE(favMenu, nullptr);
  ASSERT_EQ(GetMenuItemCount(favMenu), 4);
  EXPECT_EQ(GetMenuItemID(favMenu, 0), static_cast<UINT>(IDM_FAVOURITES_ADD));
  EXPECT_EQ(GetMenuItemID(favMenu, 1), static_cast<UINT>(IDM_FAVOURITES_MANAGE));
  EXPECT_EQ(GetMenuItemID(favMenu, 3), static_cast<UINT>(IDM_FAVOURITE_FIRST));
  // The add item is found by its id for greying, inside the built popup.
  EXPECT_NE(GetMenuState(bar, IDM_FAVOURITES_ADD, MF_BYCOMMAND), static_cast<UINT>(-1));

  RebuildFiltersMenu(bar);
  HMENU filterMenu = AnchorPopup(bar, IDM_FILTERS);
  ASSERT_NE(filterMenu, nullptr);
  EXPECT_EQ(GetMenuItemCount(filterMenu), 3);

  DestroyRecentMenu(bar);
  EXPECT_EQ(AnchorPopup(bar, IDM_FILE_RECENT), nullptr);
  EXPECT_FALSE(IsMenu(popup));

  ClearRecent(recent);
  ClearFavourites(favourites);
  DestroyMenu(bar);
  FreeLibrary(exe);
}

TEST_F(ClipsWin, AddFavouriteNeedsAPathAndMarksTheChange) {
  Favourites& favourites = AppFavourites();
  Doc().fullPath.clear();
  EXPECT_EQ(DispatchCommand(Running(), IDM_FAVOURITES_ADD, 0).message.id(), kMsgCannotAddItem);
  EXPECT_FALSE(favourites.changed);
  Doc().fullPath = u"C:\\docs\\note.txt";
  EXPECT_EQ(DispatchCommand(Running(), IDM_FAVOURITES_ADD, 0).code, kDone);
  EXPECT_TRUE(favourites.changed);
  EXPECT_EQ(favourites.slots[0], u"C:\\docs\\note.txt");
}

// The dialog runs its own loop; a timer inside that loop plays the user.
struct DialogScript {
  HWND dialog = nullptr;
  std::vector<std::wstring> buttonTexts;
  std::vector<bool> buttonEnabled;
  std::wstring box5;
  bool stillOpenAfterOk = false;
  int ticks = 0;
};
DialogScript* g_script = nullptr;

void CALLBACK PlayDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  DialogScript& s = *g_script;
  if (++s.ticks > 100) {  // never hang the test run
    KillTimer(nullptr, timer);
    if (s.dialog) EndDialog(s.dialog, IDCANCEL);
    return;
  }
  HWND dialog = FindWindowW(L"#32770", L"剪贴板");
  // The modal loop shows the dialog once its queue is first empty.
  if (!dialog || !IsWindowVisible(dialog)) return;
  KillTimer(nullptr, timer);
  s.dialog = dialog;
  for (int n = 1; n <= 9; ++n) {
    HWND button = GetDlgItem(dialog, IDC_CLIP_PASTE_FIRST + n - 1);
    wchar_t text[64] = {};
    GetWindowTextW(button, text, 64);
    s.buttonTexts.push_back(text);
    s.buttonEnabled.push_back(IsWindowEnabled(button) != FALSE);
  }
  std::wstring box(256, L'\0');
  box.resize(static_cast<std::size_t>(GetDlgItemTextW(dialog, IDC_CLIP_TEXT_FIRST + 4, box.data(), 256)));
  s.box5 = box;
  SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  s.stillOpenAfterOk = IsWindow(dialog) && IsWindowVisible(dialog);
  SendMessageW(GetDlgItem(dialog, IDC_CLIP_PASTE_FIRST + 4), BM_CLICK, 0, 0);
}

TEST_F(ClipsWin, DialogShowsTheSlotsAndPastesOne) {
  HMODULE exe = LoadLibraryExW(L"" QUILLET_EXE_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  App().instance = exe;
  StoreClip(AppClips(), 5, u"fifth\r\nslot");
  SetText(L"abc");
  Select(1, 2);

  DialogScript script;
  g_script = &script;
  SetTimer(nullptr, 0, 30, PlayDialog);
  EXPECT_EQ(Command(IDM_CLIPS_SHOW), 0);
  g_script = nullptr;

  ASSERT_NE(script.dialog, nullptr) << "the dialog did not appear";
  EXPECT_FALSE(IsWindow(script.dialog));
  EXPECT_TRUE(script.stillOpenAfterOk);
  ASSERT_EQ(script.buttonTexts.size(), 9u);
  EXPECT_EQ(script.buttonTexts[0], L"粘贴来自 &1 剪贴板 ");
  EXPECT_EQ(script.buttonTexts[8], L"粘贴来自 &9 剪贴板 ");
  for (int n = 1; n <= 9; ++n) EXPECT_EQ(script.buttonEnabled[static_cast<std::size_t>(n - 1)], n == 5) << n;
  EXPECT_EQ(script.box5, L"fifth\r\nslot");
  EXPECT_EQ(Text(), L"afifth\r\nslotc");
  FreeLibrary(exe);
}

}  // namespace
}  // namespace quillet
