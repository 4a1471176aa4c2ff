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

// Memory inside the program's process, for the status bar messages whose
// buffers the system does not carry across processes.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD pid, SIZE_T size)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)), size_(size) {
    if (process_) at_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (at_) VirtualFreeEx(process_.get(), at_, 0, MEM_RELEASE);
  }
  LPARAM address() const { return reinterpret_cast<LPARAM>(at_); }
  bool Read(void* into, SIZE_T size) const {
    SIZE_T got = 0;
    return at_ && ReadProcessMemory(process_.get(), at_, into, size, &got) && got == size;
  }
  explicit operator bool() const { return at_ != nullptr; }

 private:
  Handle process_;
  SIZE_T size_;
  void* at_ = nullptr;
};

HWND StatusBar(const QuilletProcess& q) { return GetDlgItem(q.window(), IDC_STATUSBAR); }

std::wstring StatusPart(const QuilletProcess& q, int part) {
  RemoteBuffer buffer(q.pid(), 512 * sizeof(wchar_t));
  if (!buffer) return L"<no memory>";
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(StatusBar(q), SB_GETTEXTW, part, buffer.address(), SMTO_NORMAL, 5000, &r)) {
    return L"<no answer>";
  }
  wchar_t text[512] = {};
  if (!buffer.Read(text, sizeof text)) return L"<unreadable>";
  text[511] = L'\0';
  return text;
}

// Waits for the part to show the text (the bar is refreshed by the program's
// own loop, after the keys were handled).
::testing::AssertionResult PartShows(const QuilletProcess& q, int part, const std::wstring& want) {
  std::wstring got;
  if (WaitUntil([&] { return (got = StatusPart(q, part)) == want; }, 5000)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "part " << part << " shows \"" << std::string(got.begin(), got.end())
                                       << "\"";
}

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
  ASSERT_TRUE(q.ok());
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
  ASSERT_TRUE(q.ok());
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
  ASSERT_TRUE(q.ok());
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

// A copy of the program with a Quillet.ini beside it, so that its settings
// are read and written there and nowhere else.
class CopyWithIni {
 public:
  explicit CopyWithIni(const std::wstring& ini) : exe_(home_.File(L"quillet.exe")) {
    ok_ = CopyFileW(ProgramPath().c_str(), exe_.c_str(), FALSE) && WriteUtf16File(Ini(), ini);
  }
  bool ok() const { return ok_; }
  std::wstring Ini() const { return home_.File(L"Quillet.ini"); }
  QuilletProcess::Options Options() const {
    QuilletProcess::Options o;
    o.program = exe_;
    return o;
  }
  // The value as the program wrote it, or "<none>".
  std::wstring Value(const std::wstring& name) const {
    const std::string bytes = ReadFileBytes(Ini());
    std::wstring text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    const std::wstring key = L"\n" + name + L"=";
    const std::size_t at = text.find(key);
    if (at == std::wstring::npos) return L"<none>";
    const std::size_t from = at + key.size();
    return text.substr(from, text.find_first_of(L"\r\n", from) - from);
  }

 private:
  TempFolder home_;
  std::wstring exe_;
  bool ok_ = false;
};

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
    ASSERT_TRUE(q.ok());
    ASSERT_TRUE(SetWindowPos(q.window(), nullptr, 90, 70, 700, 450, SWP_NOZORDER));
    CloseNormally(q);
  }
  EXPECT_EQ(copy.Value(L"Left"), L"90");
  EXPECT_EQ(copy.Value(L"Width"), L"700");
  {
    QuilletProcess q(L"", copy.Options());
    ASSERT_TRUE(q.ok());
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
    ASSERT_TRUE(q.ok());
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
  ASSERT_TRUE(q.ok());
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
