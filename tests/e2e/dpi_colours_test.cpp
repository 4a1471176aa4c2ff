// The view at another DPI (WM_DPICHANGED, as Windows sends it when the
// window moves to a monitor of another scale) and in the system's dark
// colours, seen from outside: sizes through window messages, colours
// through the pixels on the screen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

LRESULT Ask(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, 5000, &r);
  return static_cast<LRESULT>(r);
}

// What is sized in pixels, read from outside the process.
struct Sizes {
  int lineHeight = 0;  // the edit font's height, as the distance between two lines
  int leftMargin = 0;
  int marginLineX = 0;  // in the edit control's client area
  std::array<int, 6> partWidths{};
  int settingsDialogWidth = 0;
};

int YOf(HWND edit, int index) { return static_cast<short>(HIWORD(Ask(edit, EM_POSFROMCHAR, index))); }

Sizes Measure(QuilletProcess& q) {
  Sizes s;
  HWND edit = q.edit();
  s.lineHeight = YOf(edit, 3) - YOf(edit, 0);
  s.leftMargin = LOWORD(Ask(edit, EM_GETMARGINS));
  if (HWND line = GetDlgItem(edit, IDC_MARGINLINE)) {
    RECT r{};
    GetWindowRect(line, &r);
    MapWindowPoints(nullptr, edit, reinterpret_cast<POINT*>(&r), 2);
    s.marginLineX = r.left;
  }
  RemoteBuffer edges(q.pid(), 16 * sizeof(int));
  if (edges && Ask(StatusBar(q), SB_GETPARTS, 16, edges.address()) >= 7) {
    std::array<int, 7> at{};
    edges.Read(at.data(), sizeof at);
    int left = 0;
    for (std::size_t i = 0; i < s.partWidths.size(); ++i) {
      s.partWidths[i] = at[i] - left;
      left = at[i];
    }
  }
  if (q.PostCommand(IDM_OPTIONS_SETTINGS)) {
    const Dialog frame = WaitForDialogWith(q, IDC_SETTINGS_TABS, 0xFFFF);
    RECT r{};
    if (frame && GetWindowRect(frame.hwnd, &r)) s.settingsDialogWidth = r.right - r.left;
    if (frame) {
      PostClick(frame, IDCANCEL);
      WaitUntil([&] { return !IsWindow(frame.hwnd); });
    }
  }
  return s;
}

// WM_DPICHANGED with the window's rectangle scaled as the system suggests.
bool ChangeDpi(QuilletProcess& q, int from, int to) {
  RECT r{};
  GetWindowRect(q.window(), &r);
  const RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, to, from),
                       r.top + MulDiv(r.bottom - r.top, to, from)};
  RemoteBuffer rect(q.pid(), sizeof suggested);
  if (!rect || !rect.Write(&suggested, sizeof suggested)) return false;
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(q.window(), WM_DPICHANGED, MAKEWPARAM(to, to), rect.address(), SMTO_NORMAL, 5000, &ignored))
    return false;
  q.Sync();
  return true;
}

::testing::AssertionResult Scaled(int before, int after, int numerator, int denominator, const char* what) {
  const int want = MulDiv(before, numerator, denominator);
  if (std::abs(after - want) <= 1) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << what << ": " << before << " became " << after << ", not " << want;
}

TEST(Dpi, WhatIsSizedInPixelsFollowsTheMonitorAndComesBack) {
  // A left margin and a margin line to measure.
  CopyWithIni copy(L"[Setts]\r\nGutter=8\r\n[Opts]\r\nMargin=240\r\n");
  ASSERT_TRUE(copy.ok());
  QuilletProcess q(L"/ns", copy.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"a\r\nb"));
  const Sizes at96 = Measure(q);
  ASSERT_GT(at96.lineHeight, 0);
  ASSERT_GT(at96.leftMargin, 0);
  ASSERT_GT(at96.marginLineX, 0);
  ASSERT_GT(at96.settingsDialogWidth, 0);

  ASSERT_TRUE(ChangeDpi(q, 96, 144));
  const Sizes at144 = Measure(q);
  EXPECT_TRUE(Scaled(at96.lineHeight, at144.lineHeight, 3, 2, "line height"));
  EXPECT_TRUE(Scaled(at96.leftMargin, at144.leftMargin, 3, 2, "left margin"));
  EXPECT_TRUE(Scaled(at96.marginLineX, at144.marginLineX, 3, 2, "margin line"));
  for (std::size_t i = 0; i < at96.partWidths.size(); ++i)
    EXPECT_TRUE(Scaled(at96.partWidths[i], at144.partWidths[i], 3, 2, "status bar part")) << "part " << i;
  // The dialog's font goes from 9 to 14 points: its units with it.
  EXPECT_GT(at144.settingsDialogWidth, at96.settingsDialogWidth * 13 / 10);

  ASSERT_TRUE(ChangeDpi(q, 144, 96));
  const Sizes back = Measure(q);
  EXPECT_EQ(back.lineHeight, at96.lineHeight);
  EXPECT_EQ(back.leftMargin, at96.leftMargin);
  EXPECT_TRUE(Scaled(at96.marginLineX, back.marginLineX, 1, 1, "margin line"));
  EXPECT_EQ(back.partWidths, at96.partWidths);
  EXPECT_EQ(back.settingsDialogWidth, at96.settingsDialogWidth);
}

// The app colour setting under HKCU, put back as it was on scope exit.
class AppsColourSetting {
 public:
  AppsColourSetting() {
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
    DWORD size = sizeof old_;
    had_ = key_ &&
           RegQueryValueExW(key_, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
  }
  ~AppsColourSetting() {
    if (!key_) return;
    if (had_) {
      RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
    } else {
      RegDeleteValueW(key_, kValue);
    }
    RegCloseKey(key_);
  }
  bool Light(bool light) {
    const DWORD value = light ? 1 : 0;
    return key_ && RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                       ERROR_SUCCESS;
  }

 private:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
  static constexpr wchar_t kValue[] = L"AppsUseLightTheme";
  HKEY key_ = nullptr;
  DWORD old_ = 1;
  bool had_ = false;
};

int Brightness(COLORREF c) { return (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10; }

// The edit control as it is on the screen: the ground below the text and
// the brightest and darkest pixels of the first line's letters.
struct Look {
  int ground = -1;
  int brightest = -1;
  int darkest = 256;
};

Look LookAt(QuilletProcess& q) {
  q.Sync();
  Sleep(300);  // the repaint reaches the screen
  Look look;
  HWND edit = q.edit();
  RECT client{};
  GetClientRect(edit, &client);
  POINT corner{client.right - 40, client.bottom - 20};
  ClientToScreen(edit, &corner);
  HDC screen = GetDC(nullptr);
  look.ground = Brightness(GetPixel(screen, corner.x, corner.y));
  const int lineBottom = YOf(edit, static_cast<int>(Ask(edit, EM_LINEINDEX, 1)));
  for (int y = 0; y < lineBottom; ++y) {
    for (int x = 0; x < 120; ++x) {
      POINT p{x, y};
      ClientToScreen(edit, &p);
      const int b = Brightness(GetPixel(screen, p.x, p.y));
      look.brightest = std::max(look.brightest, b);
      look.darkest = std::min(look.darkest, b);
    }
  }
  ReleaseDC(nullptr, screen);
  return look;
}

void ExpectDark(const Look& look) {
  EXPECT_LT(look.ground, 80) << "the ground is not dark";
  EXPECT_GT(look.brightest, 150) << "the text is not light";
}
void ExpectLight(const Look& look) {
  EXPECT_GT(look.ground, 200) << "the ground is not light";
  EXPECT_LT(look.darkest, 100) << "the text is not dark";
}

TEST(Colours, TheEditorFollowsTheSystemsDarkSettingAtOnce) {
  AppsColourSetting system;
  ASSERT_TRUE(system.Light(false));
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.Activate());
  ASSERT_TRUE(q.SetText(L"MMMM WWWW 深色\r\nline"));
  ExpectDark(LookAt(q));

  // Switched while the program runs: the message the system broadcasts.
  ASSERT_TRUE(system.Light(true));
  DWORD_PTR ignored = 0;
  ASSERT_TRUE(SendMessageTimeoutW(q.window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                                  SMTO_NORMAL, 5000, &ignored));
  ExpectLight(LookAt(q));
}

TEST(Colours, TheThemeSettingWinsOverTheSystem) {
  AppsColourSetting system;
  ASSERT_TRUE(system.Light(true));
  CopyWithIni copy(L"[Setts]\r\nTheme=2\r\n");
  ASSERT_TRUE(copy.ok());
  QuilletProcess q(L"/ns", copy.Options());
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.Activate());
  ASSERT_TRUE(q.SetText(L"MMMM WWWW 深色\r\nline"));
  ExpectDark(LookAt(q));
}

}  // namespace
}  // namespace quillet_e2e
