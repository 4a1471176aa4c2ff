// The view of the running program: the status bar under real keys, the tray,
// the margin line dragged with the mouse, and the window's place kept from
// one run to the next.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

TEST(View, RealKeysMoveTheStatusBarAndTypingMarksTheDocument) {
  TempFolder files;
  const std::wstring path = files.File(L"keys.txt");
  ASSERT_TRUE(WriteFileBytes(path, "abc\r\ndefg"));
  QuilletProcess q(std::wstring(kIsolated) + L" \"" + path + L"\"");
  ASSERT_TRUE(q.ok()) << std::string(q.error().begin(), q.error().end());
  ASSERT_NE(StatusBar(q), nullptr);
  EXPECT_TRUE(PartShows(q, 0, L"行: 1/2"));
  EXPECT_TRUE(PartShows(q, 2, L"位置: 1/9"));
  EXPECT_TRUE(PartShows(q, 5, L""));

  ASSERT_TRUE(q.PressKeys({VK_RIGHT})) << "could not type into the window";
  EXPECT_TRUE(PartShows(q, 1, L"列: 2/3"));
  EXPECT_TRUE(PartShows(q, 2, L"位置: 2/9"));
  ASSERT_TRUE(q.PressKeys({VK_DOWN}));
  EXPECT_TRUE(PartShows(q, 0, L"行: 2/2"));
  EXPECT_TRUE(PartShows(q, 1, L"列: 2/4"));
  ASSERT_TRUE(q.PressKeys({VK_END}));
  EXPECT_TRUE(PartShows(q, 2, L"位置: 10/9"));

  ASSERT_TRUE(q.PressKeys({'X'}));
  EXPECT_TRUE(PartShows(q, 1, L"列: 6/5"));
  EXPECT_TRUE(PartShows(q, 2, L"位置: 11/10"));
  EXPECT_TRUE(PartShows(q, 5, L"已修改"));
  EXPECT_TRUE(PartShows(q, 3, L"ANSI"));
  EXPECT_TRUE(PartShows(q, 4, L"Win"));
}

TEST(View, TheTrayIconBringsTheWindowBack) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  const auto hidden = q.Command(IDM_FILE_TO_TRAY);
  ASSERT_TRUE(hidden.has_value());
  if (*hidden == 3) GTEST_SKIP() << "this desktop has no notification area to put the icon in";
  ASSERT_EQ(*hidden, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(q.window()); }));
  // What the notification area sends when the icon is clicked.
  const UINT trayMessage = RegisterWindowMessageW(L"nftray");
  DWORD_PTR r = 0;
  ASSERT_TRUE(SendMessageTimeoutW(q.window(), trayMessage, 1, WM_LBUTTONUP, SMTO_NORMAL, 5000, &r));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(q.window()) != FALSE; }));
  // The icon is gone: a second click changes nothing and hides nothing.
  ASSERT_TRUE(SendMessageTimeoutW(q.window(), trayMessage, 1, WM_RBUTTONUP, SMTO_NORMAL, 5000, &r));
  EXPECT_TRUE(IsWindowVisible(q.window()));
}

TEST(View, FullScreenHasNoCaptionAndF11BringsItBack) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_EQ(q.Command(IDM_VIEW_FULL_SCREEN), 0);
  EXPECT_EQ(GetWindowLongPtrW(q.window(), GWL_STYLE) & WS_CAPTION, 0);
  RECT r{};
  GetWindowRect(q.window(), &r);
  RECT desktop{};
  GetWindowRect(GetDesktopWindow(), &desktop);
  EXPECT_EQ(r.right - r.left, desktop.right - desktop.left);
  ASSERT_TRUE(q.PressKeys({VK_F11})) << "could not type into the window";
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(q.window(), GWL_STYLE) & WS_CAPTION) == WS_CAPTION; }));
}

}  // namespace
}  // namespace quillet_e2e

namespace quillet_e2e {
namespace {

TEST(View, TheMarginLineShowsInsideTheText) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"some text to stand beside the line"));
  ASSERT_EQ(q.Command(IDM_VIEW_MARGIN_LINE), 0);
  HWND line = GetDlgItem(q.edit(), IDC_MARGINLINE);
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(IsWindowVisible(line));
  RECT at{}, edit{};
  GetWindowRect(line, &at);
  GetWindowRect(q.edit(), &edit);
  EXPECT_EQ(at.right - at.left, 1);
  EXPECT_GT(at.left, edit.left + 100) << "ten tab widths from the text's left edge";
  EXPECT_LT(at.right, edit.right) << "line at " << at.left << ", text " << edit.left << "-" << edit.right;
}

}  // namespace
}  // namespace quillet_e2e

namespace quillet_e2e {
namespace {

constexpr wchar_t kSavePlacement[] = L"[Save]\r\nSave=1\r\nPlace=1\r\nSize=1\r\nOpts=1\r\n";

void CloseNormally(QuilletProcess& q) {
  ASSERT_TRUE(q.PostCommand(IDM_FILE_EXIT));
  ASSERT_EQ(q.WaitForExit(), 0u);
}

TEST(View, TheWindowComesBackWhereItWasAndMaximisedWhenItWas) {
  CopyWithIni copy(kSavePlacement);
  ASSERT_TRUE(copy.ok());
  {
    QuilletProcess q(L"", copy.Options());
    ASSERT_TRUE(q.ok()) << q.error();
    ASSERT_TRUE(SetWindowPos(q.window(), nullptr, 90, 70, 700, 450, SWP_NOZORDER));
    CloseNormally(q);
  }
  EXPECT_EQ(copy.Value(L"Left"), L"90");
  EXPECT_EQ(copy.Value(L"Width"), L"700");
  {
    QuilletProcess q(L"", copy.Options());
    ASSERT_TRUE(q.ok()) << q.error();
    RECT r{};
    EXPECT_TRUE(WaitUntil([&] {
      GetWindowRect(q.window(), &r);
      return r.left == 90 && r.top == 70 && r.right - r.left == 700 && r.bottom - r.top == 450;
    })) << "came back at " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
    ShowWindowAsync(q.window(), SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(q.window()) != FALSE; }));
    CloseNormally(q);
  }
  EXPECT_EQ(copy.Value(L"Maxed"), L"1");
  {
    QuilletProcess q(L"", copy.Options());
    ASSERT_TRUE(q.ok()) << q.error();
    EXPECT_TRUE(WaitUntil([&] { return IsZoomed(q.window()) != FALSE; }));
    // Restored, it takes the place it had before it was maximised.
    ShowWindowAsync(q.window(), SW_RESTORE);
    RECT r{};
    // The state changes first and the window moves after, on a busy machine
    // noticeably later.
    EXPECT_TRUE(WaitUntil([&] {
      GetWindowRect(q.window(), &r);
      return !IsZoomed(q.window()) && r.left == 90 && r.right - r.left == 700;
    }, 10000)) << "restored to " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
  }
}

TEST(View, AMarginLineDraggedToTheLeftEdgeIsStoredAsNone) {
  CopyWithIni copy(kSavePlacement);
  ASSERT_TRUE(copy.ok());
  QuilletProcess q(L"", copy.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_EQ(q.Command(IDM_VIEW_MARGIN_LINE), 0);
  HWND line = GetDlgItem(q.edit(), IDC_MARGINLINE);
  ASSERT_TRUE(line && IsWindowVisible(line));
  RECT at{}, edit{};
  GetWindowRect(line, &at);
  GetWindowRect(q.edit(), &edit);
  // Pressed on the line, moved to the control's left edge, let go.
  const int to = static_cast<int>(edit.left - at.left);
  DWORD_PTR r = 0;
  SendMessageTimeoutW(line, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 10), SMTO_NORMAL, 5000, &r);
  SendMessageTimeoutW(line, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(to), 10), SMTO_NORMAL, 5000, &r);
  SendMessageTimeoutW(line, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(to), 10), SMTO_NORMAL, 5000, &r);
  EXPECT_FALSE(IsWindowVisible(line));
  CloseNormally(q);
  EXPECT_EQ(copy.Value(L"Margin"), L"0");
}

}  // namespace
}  // namespace quillet_e2e
