// Text tools on the running program: by command and by key, with one undo
// step per run, the empty-selection warning, Last tool and the swap.
#include <gtest/gtest.h>

#include "base/resource.h"
#include "tests/e2e/harness.h"

namespace quillet_e2e {
namespace {

TEST(Tools, UpperCaseOfThreeLinesUndoesInOneStep) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  const std::wstring text = L"one\r\ntwo\r\nthree\r\nfour";
  ASSERT_TRUE(q.SetText(text));

  ASSERT_TRUE(q.SetSelection(0, 17));  // ends with the break after "three"
  EXPECT_EQ(q.Command(IDM_CASE_UPPER), 0);
  EXPECT_EQ(q.Text(), L"ONE\r\nTWO\r\nTHREE\r\nfour");
  EXPECT_EQ(q.Selection(), (Sel{17, 17}));  // not selected unless the settings ask for it
  EXPECT_EQ(q.Command(IDM_EDIT_UNDO), 0);
  EXPECT_EQ(q.Text(), text);

  // The same through the keys: Ctrl+Shift+U, then Ctrl+Z.
  ASSERT_TRUE(q.SetSelection(5, 8));
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, VK_SHIFT, 'U'})) << "could not type into the window";
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == L"one\r\nTWO\r\nthree\r\nfour"; })) << "text: " << q.Text();
  ASSERT_TRUE(q.PressKeys({VK_CONTROL, 'Z'}));
  EXPECT_TRUE(WaitUntil([&] { return q.Text() == text; })) << "text: " << q.Text();
}

TEST(Tools, EmptySelectionIsReportedAndChangesNothing) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"abc"));
  ASSERT_TRUE(q.SetSelection(1, 1));
  auto answer = q.CommandAsync(IDM_CASE_UPPER);
  Dialog box = q.WaitForDialog();
  ASSERT_TRUE(box) << "no warning";
  EXPECT_EQ(box.Caption(), L"Quillet");
  EXPECT_EQ(box.MessageText(), L"选定内容为空！请首先选择一些文本。");
  ASSERT_TRUE(box.Press(IDOK));
  EXPECT_EQ(answer.get(), 3);
  EXPECT_EQ(q.Text(), L"abc");
  EXPECT_EQ(q.Selection(), (Sel{1, 1}));
}

TEST(Tools, LastToolRepeatsTheTool) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"abc def"));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST), 0);  // nothing remembered yet: nothing happens
  EXPECT_EQ(q.Text(), L"abc def");
  ASSERT_TRUE(q.SetSelection(0, 3));
  EXPECT_EQ(q.Command(IDM_REVERSE_TEXT), 0);
  ASSERT_TRUE(q.SetSelection(4, 7));
  EXPECT_EQ(q.Command(IDM_TOOL_LAST), 0);
  EXPECT_EQ(q.Text(), L"cba fed");
}

bool PutOnClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* p = static_cast<wchar_t*>(GlobalLock(block));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
  GlobalUnlock(block);
  const bool ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  return ok;
}

std::wstring ClipboardText() {
  std::wstring text = L"<none>";
  if (!OpenClipboard(nullptr)) return L"<closed>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST(Tools, SwapExchangesSelectionAndClipboard) {
  QuilletProcess q(kIsolated);
  ASSERT_TRUE(q.ok()) << q.error();
  ASSERT_TRUE(q.SetText(L"keep this word"));
  ASSERT_TRUE(PutOnClipboard(L"剪贴板"));
  ASSERT_TRUE(q.SetSelection(5, 9));
  EXPECT_EQ(q.Command(IDM_EDIT_SWAP), 0);
  EXPECT_EQ(q.Text(), L"keep 剪贴板 word");
  EXPECT_EQ(q.Selection(), (Sel{8, 8}));
  EXPECT_EQ(ClipboardText(), L"this");
}

}  // namespace
}  // namespace quillet_e2e
