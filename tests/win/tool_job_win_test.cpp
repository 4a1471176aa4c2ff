// Tool jobs against a real edit control: what the user sees after a tool,
// what one undo brings back, the clipboard as the system keeps it, and what
// the commands outside the tool job read of the control.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "engine/statistics.h"
#include "shell/app/app_win.h"
#include "shell/app/dispatch_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/runs/edit_snapshot_win.h"
#include "shell/runs/tool_job_win.h"
#include "tests/win/edit_fixture.h"

namespace quillet {
namespace {

// Stands in for the main window: routes commands to the dispatcher and
// answers as the real one does (without showing message boxes).
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    const CommandResult r = DispatchCommand(Running(), wParam, lParam);
    return CommandReturnValue(r);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ToolJobWin : public EditFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(
        MakeHost(HostProc, L"QuilletToolJobHost", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL));
  }

  void TearDown() override { DestroyHost(); }
};

TEST_F(ToolJobWin, OneUndoTakesTheWholeRunBack) {
  const std::wstring original = L"one\r\ntwo\r\nthree\r\nfour";
  SetText(original);
  Select(0, 17);  // three lines, ending with the break after "three"
  EXPECT_EQ(RunTextTool(kOpUpperCase).id(), std::nullopt);
  EXPECT_EQ(Text(), L"ONE\r\nTWO\r\nTHREE\r\nfour");  // the break stays where it was
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), original);

  // A tool whose result differs in length undoes as one step too.
  Select(0, 15);
  EXPECT_EQ(RunTextTool(kOpReverseLines).id(), std::nullopt);
  EXPECT_EQ(Text(), L"three\r\ntwo\r\none\r\nfour");
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), original);

  // Typing right before the selection is not taken back with the tool.
  Select(0, 0);
  SendMessageW(edit_, WM_CHAR, L'x', 1);
  Select(1, 4);
  EXPECT_EQ(RunTextTool(kOpUpperCase).id(), std::nullopt);
  EXPECT_EQ(Text(), L"xONE\r\ntwo\r\nthree\r\nfour");
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), L"x" + original);

  // Nor is typing right before an insertion at the caret.
  SetText(L"ab");
  Select(1, 1);
  SendMessageW(edit_, WM_CHAR, L'x', 1);
  AppSettings().encloseBefore = u"(";
  AppSettings().encloseAfter = u")";
  EXPECT_EQ(RunTextToolEx(kOpEnclose, {}, false, true).id(), std::nullopt);
  EXPECT_EQ(Text(), L"ax()b");
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), L"axb");
}

TEST_F(ToolJobWin, ReselectionFollowsPersist) {
  SetText(L"ab cd ef");
  AppSettings().selectToolResult = true;
  Select(3, 5);
  ASSERT_EQ(RunTextTool(kOpUpperCase).id(), std::nullopt);
  EXPECT_EQ(Selection(), std::make_pair(DWORD{3}, DWORD{5}));

  AppSettings().selectToolResult = false;
  Select(0, 2);
  AppSettings().encloseBefore = u"[[";
  AppSettings().encloseAfter = u"]]";
  ASSERT_EQ(RunTextToolEx(kOpEnclose, {}, false, true).id(), std::nullopt);
  EXPECT_EQ(Text(), L"[[ab]] CD ef");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{6}, DWORD{6}));  // caret after the result

  AppSettings().selectToolResult = true;  // a grown result is selected whole
  Select(7, 9);
  ASSERT_EQ(RunTextToolEx(kOpEnclose, {}, true, true).id(), std::nullopt);
  EXPECT_EQ(Selection(), std::make_pair(DWORD{7}, DWORD{13}));
}

TEST_F(ToolJobWin, EmptySelectionChangesNothing) {
  SetText(L"abc\r\ndef");
  Select(2, 2);
  EXPECT_EQ(RunTextTool(kOpUpperCase).id(), kMsgSelectionEmpty);
  Select(3, 5);  // only a line break
  EXPECT_EQ(RunTextTool(kOpReverseText).id(), kMsgSelectionEmpty);
  EXPECT_EQ(Text(), L"abc\r\ndef");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{3}, DWORD{5}));
  EXPECT_FALSE(SendMessageW(edit_, EM_CANUNDO, 0, 0));
}

TEST_F(ToolJobWin, EnclosingNothingLeavesTheCaretBetween) {
  SetText(L"xy");
  AppSettings().encloseBefore = u"(";
  AppSettings().encloseAfter = u")";
  AppSettings().selectToolResult = true;  // the caret wins over selecting the result
  Select(1, 1);
  EXPECT_EQ(Command(IDM_TEXT_ENCLOSE_RUN), 0);
  EXPECT_EQ(Text(), L"x()y");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{2}, DWORD{2}));
  EXPECT_EQ(App().lastToolCommand, IDM_TEXT_ENCLOSE_RUN);

  AppSettings().tagName = u"p";
  Select(4, 4);
  EXPECT_EQ(Command(IDM_TEXT_TAG_RUN), 0);
  EXPECT_EQ(Text(), L"x()y<p></p>");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{7}, DWORD{7}));
}

bool PutOnClipboard(HWND owner, const std::wstring* text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  bool ok = true;
  if (text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text->size() + 1) * sizeof(wchar_t));
    auto* p = static_cast<wchar_t*>(GlobalLock(block));
    std::copy(text->c_str(), text->c_str() + text->size() + 1, p);
    GlobalUnlock(block);
    ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  }
  CloseClipboard();
  return ok;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"<closed>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  } else {
    text = L"<none>";
  }
  CloseClipboard();
  return text;
}

TEST_F(ToolJobWin, SwapExchangesSelectionAndClipboard) {
  const std::wstring clip = L"CLIP\r\nBOARD";
  ASSERT_TRUE(PutOnClipboard(host_, &clip));
  SetText(L"a sel\r\n b");
  AppSettings().selectToolResult = true;  // the swap never selects
  Select(2, 7);
  EXPECT_EQ(Command(IDM_EDIT_SWAP), 0);
  EXPECT_EQ(Text(), L"a CLIP\r\nBOARD b");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{13}, DWORD{13}));
  EXPECT_EQ(ClipboardText(), L"sel\r\n");
  EXPECT_EQ(App().lastToolCommand, 0u);  // not a tool Last tool repeats

  // Nothing on the clipboard: the document stays, the selection goes over.
  ASSERT_TRUE(PutOnClipboard(host_, nullptr));
  Select(0, 1);
  EXPECT_EQ(Command(IDM_EDIT_SWAP), 0);
  EXPECT_EQ(Text(), L"a CLIP\r\nBOARD b");
  EXPECT_EQ(ClipboardText(), L"a");
  // An empty text on the clipboard is the same.
  const std::wstring empty;
  ASSERT_TRUE(PutOnClipboard(host_, &empty));
  Select(2, 6);
  EXPECT_EQ(Command(IDM_EDIT_SWAP), 0);
  EXPECT_EQ(Text(), L"a CLIP\r\nBOARD b");
  EXPECT_EQ(ClipboardText(), L"CLIP");

  // Never more is read than was measured, should the clipboard grow between.
  char16_t read[8] = u"#######";
  EXPECT_EQ(ReadClipboardText(nullptr, 0), 4u);
  EXPECT_EQ(ReadClipboardText(read, 2), 2u);
  EXPECT_EQ(std::u16string(read), u"CL");

  // An empty selection: the clipboard's text goes in at the caret, as one
  // undo step of its own.
  Select(1, 1);
  EXPECT_EQ(Command(IDM_EDIT_SWAP), 0);
  EXPECT_EQ(Text(), L"aCLIP CLIP\r\nBOARD b");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{5}, DWORD{5}));
  SendMessageW(edit_, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(), L"a CLIP\r\nBOARD b");
}

// What the commands outside the tool job read: the selection by the tools'
// rules, or the whole text whatever is selected; nothing in the document
// changes.
TEST_F(ToolJobWin, SnapshotsTakeWhatTheToolsWouldRead) {
  SetText(L"xx abc\r\nyy");
  Select(3, 8);
  EditSnapshot taken;
  // Counted and printed without the selection's final break ...
  ASSERT_EQ(SnapshotTextOrSelection(edit_, taken, true).id(), std::nullopt);
  EXPECT_EQ(std::u16string(taken.text), u"abc");
  // ... copied with it when asked, and never more than the limit.
  ASSERT_EQ(SnapshotSelection(edit_, taken, {.keepFinalBreak = true, .limit = 4}).id(), std::nullopt);
  EXPECT_EQ(std::u16string(taken.text), u"abc\r");
  EXPECT_EQ(taken.text.data()[taken.text.size()], 0);

  // Nothing selected (or only a break) is refused for counting and printing,
  // and taken as nothing by the others.
  Select(1, 1);
  EXPECT_EQ(SnapshotTextOrSelection(edit_, taken, true).id(), kMsgSelectionEmpty);
  ASSERT_EQ(SnapshotSelection(edit_, taken, {.keepFinalBreak = true}).id(), std::nullopt);
  EXPECT_TRUE(taken.text.empty());
  Select(6, 8);
  EXPECT_EQ(SnapshotTextOrSelection(edit_, taken, true).id(), kMsgSelectionEmpty);

  // The document column counts the whole text.
  ASSERT_EQ(SnapshotTextOrSelection(edit_, taken, false).id(), std::nullopt);
  const TextStats whole = CountTextStats(taken.text, true);
  EXPECT_EQ(whole.characters, 10u);
  EXPECT_EQ(whole.lines, 2u);
  EXPECT_EQ(Text(), L"xx abc\r\nyy");
  EXPECT_EQ(Selection(), std::make_pair(DWORD{6}, DWORD{8}));
}

TEST_F(ToolJobWin, CommandsRememberTheToolAndLastToolRepeatsIt) {
  SetText(L"abc def");
  Select(0, 3);
  EXPECT_EQ(Command(IDM_CASE_UPPER), 0);
  EXPECT_EQ(App().lastToolCommand, IDM_CASE_UPPER);
  Select(4, 7);
  EXPECT_EQ(Command(IDM_TOOL_LAST), 0);
  EXPECT_EQ(Text(), L"ABC DEF");

  // A failing tool is still remembered, and Last tool reports the failure.
  Select(1, 1);
  EXPECT_NE(Command(IDM_REVERSE_TEXT), 0);
  EXPECT_EQ(App().lastToolCommand, IDM_REVERSE_TEXT);
  EXPECT_NE(Command(IDM_TOOL_LAST), 0);

  AppSettings().translateFrom = u"AD";
  AppSettings().translateTo = u"ad";
  Select(0, 7);
  EXPECT_EQ(Command(IDM_REPLACE_TRANSLATE_RUN), 0);
  EXPECT_EQ(Text(), L"aBC dEF");
  EXPECT_EQ(App().lastToolCommand, IDM_REPLACE_TRANSLATE_RUN);
  // This test program has no dialog templates: the dialog command fails
  // with a message and its tool does not run.
  EXPECT_EQ(Command(IDM_REPLACE_TRANSLATE), 3);
  EXPECT_EQ(Text(), L"aBC dEF");
  EXPECT_EQ(App().lastToolCommand, IDM_REPLACE_TRANSLATE_RUN);
}

TEST_F(ToolJobWin, SelectionIntoAnotherWindowAndPreview) {
  SetText(L"first\r\nsecond");
  HWND other = CreateWindowExW(0, L"STATIC", L"old", WS_CHILD, 0, 0, 10, 10, host_, nullptr, nullptr, nullptr);
  EditSnapshot selection;
  Select(7, 13);
  ASSERT_EQ(SnapshotSelection(edit_, selection, {.keepFinalBreak = true}).id(), std::nullopt);
  SetWindowTextW(other, W(selection.text.data()));
  wchar_t got[32] = {};
  GetWindowTextW(other, got, 32);
  EXPECT_STREQ(got, L"second");
  // A selection taken without its final break ends before it.
  Select(0, 7);
  ASSERT_EQ(SnapshotSelection(edit_, selection).id(), std::nullopt);
  SetWindowTextW(other, W(selection.text.data()));
  GetWindowTextW(other, got, 32);
  EXPECT_STREQ(got, L"first");

  char16_t pane[kPreviewBufferUnits];
  Select(0, 13);
  EXPECT_EQ(PreviewTextTool(kOpReverseLines, {}, pane).id(), std::nullopt);
  EXPECT_EQ(std::u16string(pane), u"second\r\nfirst");
  EXPECT_EQ(Text(), L"first\r\nsecond");  // the document is untouched
  Select(3, 3);
  EXPECT_EQ(PreviewTextTool(kOpReverseLines, {}, pane).id(), kMsgSelectionEmpty);
  EXPECT_EQ(std::u16string(pane), MessageText(kMsgSelectionEmpty));

  // A long selection far into the text, with lines long enough that the
  // first 20 run past what a preview reads: the preview reads only what it
  // can show and shows what a preview over all of the text shows.
  std::wstring many;
  for (int i = 0; i < 300; ++i) many += L"line " + std::to_wstring(i) + std::wstring(300, L'x') + L"\r\n";
  SetText(many);
  const auto end = static_cast<std::uint32_t>(many.size() - 5);
  Select(1001, end);
  EXPECT_EQ(PreviewTextTool(kOpReverseLines, {}, pane).id(), std::nullopt);
  char16_t whole[kPreviewBufferUnits];
  ToolJob job;
  job.op = kOpReverseLines;
  job.settings = AppSettings();
  job.previewBuffer = whole;
  job.selStart = 1001;
  job.selEnd = end;
  ASSERT_EQ(
      RunToolJobOnText(job, std::u16string_view(reinterpret_cast<const char16_t*>(many.c_str()), many.size())).id(),
      std::nullopt);
  EXPECT_EQ(std::u16string(pane), std::u16string(whole));
  EXPECT_EQ(std::u16string(pane).size(), kPreviewMaxChars);
}

TEST_F(ToolJobWin, HardWrapNeverLeavesSoftBreaksInTheText) {
  // A narrow wrapping control: soft breaks exist while the job reads.
  HWND wrapping = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 60, 200,
                                  host_, nullptr, nullptr, nullptr);
  const std::wstring text = L"alpha beta gamma delta epsilon zeta eta theta";
  SetWindowTextW(wrapping, text.c_str());
  ASSERT_GT(SendMessageW(wrapping, EM_GETLINECOUNT, 0, 0), 1);
  SendMessageW(wrapping, EM_SETSEL, 6, 16);
  App().edit = wrapping;
  ToolJob job;
  job.op = kOpHardWrap;
  EXPECT_EQ(RunToolJob(wrapping, job).id(), std::nullopt);
  // Any soft breaks the job read (this control may not show them) only
  // ever move the working bounds forward.
  EXPECT_GE(job.selStart, 6u);
  EXPECT_GE(job.selEnd, 16u);
  EXPECT_EQ(job.selEnd - job.selStart - 10, (job.selEnd - 16) - (job.selStart - 6));
  wchar_t buffer[128] = {};
  GetWindowTextW(wrapping, buffer, 128);
  EXPECT_EQ(std::wstring(buffer), text);
}

}  // namespace
}  // namespace quillet
