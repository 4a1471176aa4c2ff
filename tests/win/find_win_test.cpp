// Find and Replace against a real edit control and the system's real Find
// and Replace dialogs, in-process. Wrapping is switched off so that no
// question box waits for an answer here; the questions are covered from
// outside by the end-to-end tests.
#include "shell/runs/find_win.h"
#include "shell/app/editor_state_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/messages.h"
#include "base/resource.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/dispatch_win.h"
#include "tests/win/edit_fixture.h"

namespace quillet {
namespace {

using Sel = std::pair<DWORD, DWORD>;

constexpr int kFindText = 0x480;      // the dialogs' edt1
constexpr int kWholeWordBox = 0x410;  // chx1

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (App().findMessage && message == App().findMessage) return OnFindReport();
  if (message == WM_COMMAND) return CommandReturnValue(DispatchCommand(Running(), wParam, lParam));
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class FindWin : public EditFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MakeHost(HostProc, L"QuilletFindHost", ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL));
    App().instance = GetModuleHandleW(nullptr);
    App().modelessDialog = nullptr;
    App().findMessage = RegisterWindowMessageW(L"commdlg_FindReplace");
    AppSettings().findWrapsAround = false;
    SetFindGoesUp(false);
  }

  void TearDown() override {
    if (App().modelessDialog && IsWindow(App().modelessDialog)) DestroyWindow(App().modelessDialog);
    DestroyHost();
  }

  static std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
  }
};

TEST_F(FindWin, FindsForwardAndBackwardFromTheSelection) {
  SetText(L"ab\r\nAB ab");
  AppSettings().findText = u"ab";
  AppSettings().findMatchCase = true;
  Select(0, 2);
  EXPECT_EQ(FindNext(PatternSlot::kFind, false).message.id(), std::nullopt);
  EXPECT_EQ(Selection(), (Sel{7, 9}));
  // A miss without wrapping is reported and moves nothing.
  const CommandResult miss = FindNext(PatternSlot::kFind, false);
  EXPECT_EQ(miss.message.id(), kMsgTextNotFound);
  EXPECT_EQ(Selection(), (Sel{7, 9}));
  EXPECT_EQ(FindNext(PatternSlot::kFind, true).message.id(), std::nullopt);
  EXPECT_EQ(Selection(), (Sel{0, 2}));
  // Ignoring case, the match in between counts.
  AppSettings().findMatchCase = false;
  EXPECT_EQ(FindNext(PatternSlot::kFind, false).message.id(), std::nullopt);
  EXPECT_EQ(Selection(), (Sel{4, 6}));
  // The dialog's upward direction turns find previous around.
  SetFindGoesUp(true);
  EXPECT_EQ(FindNext(PatternSlot::kFind, true).message.id(), std::nullopt);
  EXPECT_EQ(Selection(), (Sel{7, 9}));
}

TEST_F(FindWin, FindSelectedTakesTheSelectionAndClearsTheFlags) {
  SetText(L"Cat cat CAT");
  AppSettings().findText = u"dog";
  AppSettings().findMatchCase = true;
  AppSettings().findWholeWord = true;
  SetFindGoesUp(true);

  Select(4, 4);
  EXPECT_EQ(Command(IDM_SEARCH_FIND_SELECTION), 3);  // the warning
  EXPECT_EQ(FindSelected(PatternSlot::kFind, true).message.id(), kMsgSelectionEmpty);
  EXPECT_EQ(AppSettings().findText, u"dog");  // nothing is lost
  EXPECT_TRUE(AppSettings().findMatchCase);

  Select(0, 3);
  EXPECT_EQ(Command(IDM_SEARCH_FIND_SELECTION), 0);
  EXPECT_EQ(AppSettings().findText, u"Cat");
  EXPECT_FALSE(AppSettings().findMatchCase);
  EXPECT_FALSE(AppSettings().findWholeWord);
  EXPECT_FALSE(FindGoesUp());
  EXPECT_EQ(Selection(), (Sel{4, 7}));

  // Taking without searching leaves the selection alone.
  Select(8, 11);
  EXPECT_EQ(Command(IDM_SEARCH_TAKE_SELECTION), 0);
  EXPECT_EQ(AppSettings().findText, u"CAT");
  EXPECT_EQ(Selection(), (Sel{8, 11}));
}

TEST_F(FindWin, FindNextWithNothingToFind) {
  SetText(L"text");
  Select(1, 1);
  AppSettings().lookForText.clear();
  AppSettings().findText.clear();
  EXPECT_EQ(Command(IDM_SEARCH_LOOK_NEXT), 0);
  EXPECT_EQ(Command(IDM_SEARCH_SELECT_NEXT), 3);  // failed quietly
  EXPECT_EQ(Selection(), (Sel{1, 1}));
  // An empty Find text opens the dialog instead.
  EXPECT_EQ(Command(IDM_SEARCH_FIND_PREVIOUS), 1);
  ASSERT_NE(App().modelessDialog, nullptr);
  EXPECT_TRUE(IsWindow(App().modelessDialog));
}

TEST_F(FindWin, ReplaceAllIsOneUndoableChange) {
  const std::wstring original = L"x cat cat\r\ncat y";
  SetText(original);
  AppSettings().findText = u"cat";
  AppSettings().replaceText = u"lion";
  Select(5, 5);
  EXPECT_EQ(ReplaceAll().message.id(), std::nullopt);
  EXPECT_EQ(Text(), L"x lion lion\r\nlion y");
  EXPECT_EQ(Selection(), (Sel{17, 17}));
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), original);

  // Each new search sees the replacement in front of it, as a search after
  // a real replacement would.
  SetText(L"--");
  AppSettings().findText = u"-";
  AppSettings().replaceText = u"q";
  AppSettings().findWholeWord = true;
  EXPECT_EQ(ReplaceAll().message.id(), std::nullopt);
  EXPECT_EQ(Text(), L"q-");

  // Nothing to replace: reported, the caret at the start, nothing changed.
  SetText(L"no match");
  Select(3, 5);
  EXPECT_EQ(ReplaceAll().message.id(), kMsgTextNotFound);
  EXPECT_EQ(Selection(), (Sel{0, 0}));
  EXPECT_EQ(Text(), L"no match");
  AppSettings().findText.clear();
  EXPECT_EQ(ReplaceAll().message.id(), kMsgTextNotFound);
  EXPECT_EQ(Text(), L"no match");

  // Searching upward from the start finds nothing to replace.
  SetText(L"cat");
  AppSettings().findText = u"cat";
  AppSettings().findWholeWord = false;
  SetFindGoesUp(true);
  EXPECT_EQ(ReplaceAll().message.id(), kMsgTextNotFound);
  EXPECT_EQ(Text(), L"cat");
}

TEST_F(FindWin, ReplaceOnceNeedsTheMatchSelected) {
  SetText(L"a cat a cat");
  AppSettings().findText = u"cat";
  AppSettings().replaceText = u"dog";
  Select(0, 1);
  EXPECT_EQ(ReplaceOnce(false).message.id(), std::nullopt);
  EXPECT_EQ(Text(), L"a cat a cat");
  EXPECT_EQ(Selection(), (Sel{2, 5}));
  EXPECT_EQ(ReplaceOnce(false).message.id(), std::nullopt);
  EXPECT_EQ(Text(), L"a dog a cat");
  EXPECT_EQ(Selection(), (Sel{8, 11}));
  EXPECT_EQ(ReplaceOnce(false).message.id(), std::nullopt);
  EXPECT_EQ(Text(), L"a dog a dog");
  EXPECT_EQ(ReplaceOnce(false).message.id(), kMsgTextNotFound);
}

TEST_F(FindWin, TheDialogOpensWithTheFirstLineAndReportsItsSearch) {
  SetText(L"abc\r\ndef abc def");
  AppSettings().findText = u"stored";
  Select(0, 8);  // "abc\r\ndef"
  ASSERT_TRUE(OpenFindDialog(false));
  HWND find = App().modelessDialog;
  ASSERT_NE(find, nullptr);
  EXPECT_EQ(ItemText(find, kFindText), L"abc");
  EXPECT_EQ(AppSettings().findText, u"stored");  // only the dialog's text changed

  // Opening the Replace dialog closes the Find dialog first.
  Select(0, 0);
  ASSERT_TRUE(OpenFindDialog(true));
  HWND replace = App().modelessDialog;
  EXPECT_FALSE(IsWindow(find));
  ASSERT_TRUE(IsWindow(replace));
  EXPECT_EQ(ItemText(replace, kFindText), L"stored");
  SendMessageW(replace, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(App().modelessDialog, nullptr);

  // A Find Next from the dialog stores the text and its options, then searches.
  ASSERT_TRUE(OpenFindDialog(false));
  find = App().modelessDialog;
  SetDlgItemTextW(find, kFindText, L"def");
  CheckDlgButton(find, kWholeWordBox, BST_CHECKED);
  Select(0, 0);
  SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(find, IDOK)));
  EXPECT_EQ(AppSettings().findText, u"def");
  EXPECT_TRUE(AppSettings().findWholeWord);
  EXPECT_FALSE(FindGoesUp());
  EXPECT_EQ(Selection(), (Sel{5, 8}));
  SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(App().modelessDialog, nullptr);
  EXPECT_FALSE(IsWindow(find));
}

TEST_F(FindWin, AStrayFindMessageIsIgnored) {
  SetText(L"abc");
  AppSettings().findText = u"abc";
  // Anyone can send the registered message; without our dialog open it
  // means nothing, whatever pointer comes with it.
  SendMessageW(host_, App().findMessage, 0, 0x1234);
  EXPECT_EQ(AppSettings().findText, u"abc");
  EXPECT_EQ(Selection(), (Sel{0, 0}));
}

TEST_F(FindWin, ExtendedReplaceRunsAsALastTool) {
  SetText(L"one\r\ntwo one\r\ntwo");
  AppSettings().extendedFindText = u"one\r\ntwo";
  AppSettings().extendedReplaceText = u"1";
  AppSettings().selectToolResult = true;
  Select(0, 8);
  EXPECT_EQ(Command(IDM_REPLACE_EXTENDED_RUN), 0);
  EXPECT_EQ(Text(), L"1 one\r\ntwo");
  EXPECT_EQ(Selection(), (Sel{0, 1}));  // Persist selects the result
  EXPECT_EQ(App().lastToolCommand, IDM_REPLACE_EXTENDED_RUN);
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), L"one\r\ntwo one\r\ntwo");
}

}  // namespace
}  // namespace quillet
