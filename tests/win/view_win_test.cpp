// The view against the real main window, made hidden in this process: the
// status bar's parts as the system control holds them, word wrap, the margin
// line, fonts and placement from settings that make no sense.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "base/messages.h"
#include "base/resource.h"
#include "base/system_calls.h"
#include "document/document.h"
#include "document/settings.h"
#include "engine/caret_ops.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/document_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/view/view_win.h"
#include "tests/win/file_test_support.h"

namespace quillet {
namespace {

class ViewWin : public ::testing::Test {
 protected:
  void SetUp() override {
    App().instance = GetModuleHandleW(nullptr);
    RegisterMainWindowClass(App().instance);  // fails harmlessly after the first test
  }
  void TearDown() override {
    if (main_) DestroyWindow(main_);
    // The start-up command and the quit message of WM_DESTROY are not for
    // the test runner's queue.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // The main window as start-up makes it, not shown; settings written by
  // its destruction are kept out of the store.
  void MakeMain() {
    App().startup.noSaveSettings = 1;
    main_ = CreateWindowExW(0, kMainWindowClass, kMainWindowClass, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 700,
                            500, nullptr, nullptr, App().instance, &Running());
    ASSERT_NE(main_, nullptr);
    ASSERT_NE(App().edit, nullptr);
    ASSERT_NE(App().statusBar, nullptr);
    ApplyViewSettings(false);
    SetCurrentEncoding(AppSettings().defaultEncoding);
    SetCurrentLineEnd(AppSettings().defaultLineEnd);
  }

  HWND Edit() const { return App().edit; }
  void SetText(const std::wstring& text) {
    SetWindowTextW(Edit(), text.c_str());
    SetModified(false);
  }
  void Caret(DWORD at) {
    SendMessageW(Edit(), EM_SETSEL, at, at);
    RefreshStatusBar();
  }
  std::wstring Part(int n) const {
    wchar_t text[256] = {};
    const LRESULT length = SendMessageW(App().statusBar, SB_GETTEXTLENGTHW, n, 0);
    if (LOWORD(length) >= 256) return L"<too long>";
    SendMessageW(App().statusBar, SB_GETTEXTW, n, reinterpret_cast<LPARAM>(text));
    return text;
  }

  std::unique_ptr<EditorState> state_ = std::make_unique<EditorState>();
  RunningState inForce_{*state_};
  HWND main_ = nullptr;
};

TEST_F(ViewWin, StatusBarFollowsTheCaretAndTheText) {
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  SetText(L"ab\r\ncde\r\n");
  Caret(5);
  EXPECT_EQ(Part(0), L"行: 2/3");
  EXPECT_EQ(Part(1), L"列: 2/3");
  EXPECT_EQ(Part(2), L"位置: 6/9");
  EXPECT_EQ(Part(3), L"ANSI");
  EXPECT_EQ(Part(4), L"Win");
  EXPECT_EQ(Part(5), L"");

  // Typing changes the totals without moving the caret's line, and marks
  // the document.
  SendMessageW(Edit(), WM_CHAR, L'x', 1);
  RefreshStatusBar();
  EXPECT_EQ(Part(1), L"列: 3/4");
  EXPECT_EQ(Part(2), L"位置: 7/10");
  EXPECT_EQ(Part(5), L"已修改");

  // A caret on the last, empty line.
  Caret(10);
  EXPECT_EQ(Part(0), L"行: 3/3");
  EXPECT_EQ(Part(1), L"列: 1/0");
}

TEST_F(ViewWin, DoubleClickingTheEncodingPartCyclesItAndLineEndsFollowUseCrLf) {
  AppSettings().detectLineEnds = false;
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  auto doubleClick = [&](int part) {
    NMMOUSE mouse{};
    mouse.hdr.hwndFrom = App().statusBar;
    mouse.hdr.idFrom = IDC_STATUSBAR;
    mouse.hdr.code = NM_DBLCLK;
    mouse.dwItemSpec = static_cast<DWORD_PTR>(part);
    SendMessageW(main_, WM_NOTIFY, IDC_STATUSBAR, reinterpret_cast<LPARAM>(&mouse));
  };
  const wchar_t* expected[] = {L"Unicode", L"Unicode, Big Endian", L"UTF-8", L"UTF-8 无签名", L"ANSI"};
  for (const wchar_t* name : expected) {
    doubleClick(3);
    EXPECT_EQ(Part(3), name);
  }
  doubleClick(4);
  doubleClick(4);
  EXPECT_EQ(Part(4), L"Win");
  EXPECT_EQ(Doc().lineEnd, kLineEndWin);
  // The modified part does nothing.
  doubleClick(5);
  EXPECT_EQ(Part(3), L"ANSI");
}

TEST_F(ViewWin, UnWrapCountsRealLinesNotDisplayLines) {
  AppSettings().wordWrap = true;
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  ASSERT_TRUE(RecreateEditControl(true));
  SendMessageW(main_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 400));
  std::wstring paragraph;
  for (int i = 0; i < 60; ++i) paragraph += L"word ";
  SetText(paragraph);
  AppSettings().unwrappedLineNumbers = false;
  Caret(static_cast<DWORD>(paragraph.size()));
  const std::wstring display = Part(0);
  EXPECT_NE(display, L"行: 1/1") << "the paragraph should wrap in a 300-pixel window";

  AppSettings().unwrappedLineNumbers = true;
  InvalidateStatusCache();
  RefreshStatusBar();
  EXPECT_EQ(Part(0), L"行: 1/1");
  EXPECT_EQ(Part(2), L"位置: 301/300");
}

TEST_F(ViewWin, WordWrapKeepsTextSelectionFirstLineAndModifiedMark) {
  AppSettings().wordWrap = false;
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  SendMessageW(main_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 200));
  std::wstring text;
  for (int i = 0; i < 200; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
  SetText(text);
  SetModified(true);
  SendMessageW(Edit(), EM_SETSEL, 700, 720);
  SendMessageW(Edit(), EM_LINESCROLL, 0, 90);
  const LRESULT firstLine = SendMessageW(Edit(), EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(firstLine, 0);
  HWND before = Edit();

  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_WORD_WRAP, 0), 0);
  EXPECT_NE(Edit(), before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(GetDlgCtrlID(Edit()), IDC_EDIT);
  EXPECT_TRUE(AppSettings().wordWrap);
  EXPECT_EQ(GetWindowLongPtrW(Edit(), GWL_STYLE) & WS_HSCROLL, 0);
  wchar_t got[4096] = {};
  GetWindowTextW(Edit(), got, 4096);
  EXPECT_EQ(std::wstring(got), text);
  DWORD s = 0, e = 0;
  SendMessageW(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 700u);
  EXPECT_EQ(e, 720u);
  EXPECT_EQ(SendMessageW(Edit(), EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
  EXPECT_TRUE(Doc().modified);
  // The margin line came along, inside the new control.
  ASSERT_NE(App().marginLine, nullptr);
  EXPECT_EQ(GetParent(App().marginLine), Edit());

  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_WORD_WRAP, 0), 0);
  EXPECT_FALSE(AppSettings().wordWrap);
  EXPECT_NE(GetWindowLongPtrW(Edit(), GWL_STYLE) & WS_HSCROLL, 0);
}

TEST_F(ViewWin, MarginLineStandsAtTenTabsAndHidesAtTheLeftEdge) {
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  ASSERT_EQ(AppSettings().marginLineOffset, 0);
  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_MARGIN_LINE, 0), 0);
  EXPECT_NE(GetWindowLongPtrW(App().marginLine, GWL_STYLE) & WS_VISIBLE, 0);

  HDC dc = GetDC(App().marginLine);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Edit(), WM_GETFONT, 0, 0)));
  const int tab = LOWORD(GetTabbedTextExtentW(dc, L"\t", 1, 0, nullptr));
  SelectObject(dc, old);
  ReleaseDC(App().marginLine, dc);
  ASSERT_GT(tab, 0);
  EXPECT_EQ(AppSettings().marginLineOffset, 10 * tab);

  // The line sits that far right of the text's left edge.
  RECT line{};
  GetWindowRect(App().marginLine, &line);
  POINT origin{0, 0};
  ClientToScreen(Edit(), &origin);
  const int gutter = LOWORD(SendMessageW(Edit(), EM_GETMARGINS, 0, 0));
  EXPECT_EQ(line.left - origin.x, gutter + 10 * tab + 2);

  // And it can be seen: the pixels there are the grey of disabled text.
  ShowWindow(main_, SW_SHOWNORMAL);
  SetWindowPos(main_, nullptr, 0, 0, 1200, 600, SWP_NOZORDER);
  SetText(L"some text\r\nover two lines");
  UpdateWindow(main_);
  RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GetWindowRect(App().marginLine, &line);
  HDC screen = GetDC(nullptr);
  const COLORREF seen = GetPixel(screen, line.left, (line.top + line.bottom) / 2);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(seen, GetSysColor(COLOR_GRAYTEXT)) << "at " << line.left << "," << line.top << "-" << line.bottom;

  // Dragged past the left edge and let go: hidden, and 0 to be stored.
  SendMessageW(App().marginLine, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 5));
  SendMessageW(App().marginLine, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-(10 * tab + 50)), 5));
  SendMessageW(App().marginLine, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-(10 * tab + 50)), 5));
  EXPECT_EQ(AppSettings().marginLineOffset, 0);
  EXPECT_EQ(GetWindowLongPtrW(App().marginLine, GWL_STYLE) & WS_VISIBLE, 0);
}

TEST_F(ViewWin, StatusBarAndViewSwitchesFollowTheirCommands) {
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  ShowWindow(main_, SW_SHOWNORMAL);
  ASSERT_NE(AppSettings().statusBarHeight, 0);
  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_STATUS_BAR, 0), 0);
  EXPECT_EQ(AppSettings().statusBarHeight, 0);
  EXPECT_EQ(GetWindowLongPtrW(App().statusBar, GWL_STYLE) & WS_VISIBLE, 0);
  // Without the bar the edit control takes the whole client area.
  RECT client{}, edit{};
  GetClientRect(main_, &client);
  GetWindowRect(Edit(), &edit);
  EXPECT_EQ(edit.bottom - edit.top, client.bottom);
  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_STATUS_BAR, 0), 0);
  EXPECT_GT(AppSettings().statusBarHeight, 0);

  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_ON_TOP, 0), 0);
  EXPECT_TRUE(AppSettings().alwaysOnTop);
  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_ON_TOP, 0), 0);
  EXPECT_FALSE(AppSettings().alwaysOnTop);

  HFONT before = reinterpret_cast<HFONT>(SendMessageW(Edit(), WM_GETFONT, 0, 0));
  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_FIXED_FONT, 0), 0);
  EXPECT_FALSE(AppSettings().fixedFont);
  HFONT after = reinterpret_cast<HFONT>(SendMessageW(Edit(), WM_GETFONT, 0, 0));
  EXPECT_NE(after, nullptr);
  EXPECT_NE(after, before);
}

TEST_F(ViewWin, FullScreenDropsTheCaptionAndComesBackToTheStoredPlace) {
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  ShowWindow(main_, SW_SHOWNORMAL);
  SetWindowPos(main_, nullptr, 40, 50, 640, 480, SWP_NOZORDER);
  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_FULL_SCREEN, 0), 0);
  EXPECT_EQ(AppSettings().fullScreen, 1);
  EXPECT_EQ(GetWindowLongPtrW(main_, GWL_STYLE) & WS_CAPTION, 0);
  ASSERT_EQ(SendMessageW(main_, WM_COMMAND, IDM_VIEW_FULL_SCREEN, 0), 0);
  EXPECT_EQ(AppSettings().fullScreen, 0);
  EXPECT_EQ(GetWindowLongPtrW(main_, GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(main_, &wp);
  EXPECT_EQ(wp.rcNormalPosition.left, 40);
  EXPECT_EQ(wp.rcNormalPosition.top, 50);
  EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 640);
  // Applying the view again (after the settings dialog) moves nothing.
  SetWindowPos(main_, nullptr, 60, 70, 500, 400, SWP_NOZORDER);
  ApplyViewSettings(false);
  RECT r{};
  GetWindowRect(main_, &r);
  EXPECT_EQ(r.left, 60);
  EXPECT_EQ(r.right - r.left, 500);
}

TEST_F(ViewWin, SettingsThatMakeNoSenseStillGiveAUsableWindow) {
  Settings& s = AppSettings();
  s.windowLeft = -30000;
  s.windowTop = 40000;
  s.windowWidth = -5;
  s.windowHeight = 0;
  s.statusBarHeight = 100000;
  s.marginLineOffset = -7;
  s.tabWidth = -5;
  s.leftMargin = -3;
  s.customFixedFont = 1;
  s.fixedFontRecord.fill(0xFF);  // no font the system can make: a face name without an end
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  RestorePlacement(SW_SHOWNORMAL);
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(main_, &wp);
  const RECT& r = wp.rcNormalPosition;
  EXPECT_GE(r.right - r.left, 200);
  EXPECT_GE(r.bottom - r.top, 120);
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_GE(r.left, screen.left);
  EXPECT_LE(r.right, screen.right);
  EXPECT_GE(r.top, screen.top);
  EXPECT_LE(r.bottom, screen.bottom);

  EXPECT_GT(s.statusBarHeight, 0);
  EXPECT_LT(s.statusBarHeight, 1000) << "the bar's real height is what is kept";
  EXPECT_GT(s.marginLineOffset, 0) << "a negative distance is worked out anew";
  EXPECT_NE(SendMessageW(Edit(), WM_GETFONT, 0, 0), 0);
  // The document still takes text.
  SetText(L"still here");
  Caret(3);
  EXPECT_EQ(Part(2), L"位置: 4/10");
}

TEST_F(ViewWin, StatusRefreshAfterOneCaretMoveIsCheapInALongDocument) {
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  std::wstring text;
  text.reserve(200000 * 12);
  for (int i = 0; i < 200000; ++i) text += L"line " + std::to_wstring(i) + L"\r\n";
  SetText(text);
  const DWORD middle = static_cast<DWORD>(text.size() / 2);
  Caret(middle);
  auto timeOneMove = [&](DWORD to) {
    SendMessageW(Edit(), EM_SETSEL, to, to);
    const auto start = std::chrono::steady_clock::now();
    RefreshStatusBar();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  };
  double displayLines = 1e9;
  for (int i = 1; i <= 5; ++i) displayLines = std::min(displayLines, timeOneMove(middle + i));
  AppSettings().unwrappedLineNumbers = true;
  double realLines = 1e9;
  for (int i = 1; i <= 3; ++i) realLines = std::min(realLines, timeOneMove(middle + 10 + i));
  std::printf("status refresh, 200000 lines: %.3f ms by display lines, %.3f ms by real lines\n", displayLines,
              realLines);
  RecordProperty("display_lines_ms", std::to_string(displayLines));
  RecordProperty("real_lines_ms", std::to_string(realLines));
  EXPECT_LT(displayLines, 5.0);
  const std::wstring line = Part(0);
  EXPECT_EQ(line.rfind(L"行: ", 0), 0u);
  EXPECT_EQ(line.substr(line.size() - 7), L"/200001");
}


TEST_F(ViewWin, RefusedMemoryKeepsTheOldControlAndItsText) {
  AppSettings().wordWrap = true;
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  SetText(L"keep me whole");
  SendMessageW(Edit(), EM_SETSEL, 2, 6);
  HWND before = Edit();
  // Every large request is above the free memory, and the user declines.
  SystemCalls calls = System();
  calls.freePhysicalMemory = []() -> std::uint64_t { return 0; };
  calls.askYesNo = [](const char16_t*) { return false; };
  ScopedSystemCalls scoped(calls);
  std::wstring seen;
  const DWORD thread = GetWindowThreadProcessId(main_, nullptr);
  std::thread closer([&] {
    for (int i = 0; i < 500; ++i) {
      // The box is found before it is filled in: wait for its text.
      HWND box = FindWindowW(L"#32770", nullptr);
      wchar_t text[256] = {};
      if (box && GetWindowThreadProcessId(box, nullptr) == thread && IsWindowVisible(box) &&
          GetDlgItemTextW(box, 0xFFFF, text, 256) > 0) {
        seen = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
  SendMessageW(main_, WM_COMMAND, IDM_VIEW_WORD_WRAP, 0);
  closer.join();
  EXPECT_EQ(seen, L"内存不足！");
  EXPECT_EQ(Edit(), before);
  EXPECT_TRUE(IsWindow(before));
  EXPECT_EQ(GetDlgCtrlID(before), IDC_EDIT);
  EXPECT_TRUE(AppSettings().wordWrap);
  wchar_t text[64] = {};
  GetWindowTextW(before, text, 64);
  EXPECT_STREQ(text, L"keep me whole");
}

// Declining the memory question for a file to open keeps the open
// document whole: its text, its name and its modified mark.
TEST_F(ViewWin, DecliningTheMemoryQuestionKeepsThePreviousDocument) {
  ASSERT_NO_FATAL_FAILURE(MakeMain());
  // The start-up command (an empty command line) runs first.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  testing_support::ScratchFolder folder;
  ASSERT_TRUE(testing_support::WriteBytes(folder.File(u"big.txt"), std::string(100000, 'x')));
  Doc().fullPath = folder.File(u"mine.txt");
  Doc().title = u"mine.txt";
  SetText(L"unsaved work");
  SetModified(true);
  SystemCalls calls = System();
  calls.freePhysicalMemory = []() -> std::uint64_t { return 0; };
  calls.askYesNo = [](const char16_t*) { return false; };
  ScopedSystemCalls scoped(calls);
  std::vector<std::u16string> boxes;
  {
    testing_support::BoxAnswerer answerer(IDOK);
    EXPECT_EQ(OpenPath(folder.File(u"big.txt"), false).code, kFailedReported);
    boxes = answerer.Texts();
  }
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.front(), MessageText(kMsgOutOfMemory));
  wchar_t text[64] = {};
  GetWindowTextW(Edit(), text, 64);
  EXPECT_STREQ(text, L"unsaved work");
  EXPECT_EQ(Doc().fullPath, folder.File(u"mine.txt"));
  EXPECT_EQ(Doc().title, u"mine.txt");
  EXPECT_TRUE(Doc().modified);
  GetWindowTextW(main_, text, 64);
  EXPECT_EQ(std::wstring(text).rfind(L"mine.txt*", 0), 0u);
  SetModified(false);  // closing the window asks no question
}

}  // namespace
}  // namespace quillet
