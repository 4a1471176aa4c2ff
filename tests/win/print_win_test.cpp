// The print run against a printer that fails, in-process: a memory device
// context stands in for the printer's and the document and page calls are
// replaced, so that StartDoc or StartPage can fail on demand.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "document/document.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/runs/print_win.h"
#include "tests/win/edit_fixture.h"

namespace quillet {
namespace {

struct Counts {
  int startDoc = 0, startPage = 0, endPage = 0, endDoc = 0;
  int failStartDoc = 0;   // non-zero: StartDoc fails
  int failStartPage = 0;  // the page number (from 1) whose StartPage fails
};
Counts g_counts;

int WINAPI FakeStartDoc(HDC, const DOCINFOW*) {
  ++g_counts.startDoc;
  return g_counts.failStartDoc ? SP_ERROR : 1;
}
int WINAPI FakeStartPage(HDC) {
  ++g_counts.startPage;
  return g_counts.startPage == g_counts.failStartPage ? SP_ERROR : 1;
}
int WINAPI FakeEndPage(HDC) {
  ++g_counts.endPage;
  return 1;
}
int WINAPI FakeEndDoc(HDC) {
  ++g_counts.endDoc;
  return 1;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class PrintWin : public EditFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MakeHost(HostProc, L"QuilletPrintHost", ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL));
    savedCalls_ = ActivePrinterCalls();
    ActivePrinterCalls() = PrinterCalls{FakeStartDoc, FakeStartPage, FakeEndPage, FakeEndDoc};
    g_counts = {};
    dc_ = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc_, nullptr);
  }
  void TearDown() override {
    if (dc_) DeleteDC(dc_);
    ActivePrinterCalls() = savedCalls_;
    DestroyHost();
  }

  // Prints the whole document (or the selection) on the memory "printer".
  Failure PrintDocument(bool selection, int* code = nullptr) {
    PrintRun run{PrintText, dc_};
    Failure message = PrintEditText(run, selection);
    if (code) *code = run.code;
    return message;
  }

  PrinterCalls savedCalls_;
  HDC dc_ = nullptr;
};

TEST_F(PrintWin, AFailingPrinterIsReportedAndTheDocumentStays) {
  std::wstring text;
  for (int i = 0; i < 500; ++i) text += L"a line that is printed " + std::to_wstring(i) + L"\r\n";
  SetText(text);
  Select(3, 40);

  // A printer that works: every page started is ended, the document is
  // ended once, the window takes input again.
  int code = -1;
  EXPECT_EQ(PrintDocument(false, &code).id(), std::nullopt);
  EXPECT_EQ(code, 0);
  EXPECT_GT(g_counts.startPage, 1);
  EXPECT_EQ(g_counts.endPage, g_counts.startPage);
  EXPECT_EQ(g_counts.endDoc, 1);
  EXPECT_TRUE(IsWindowEnabled(host_));

  // The document cannot start: nothing more is tried.
  g_counts = {};
  g_counts.failStartDoc = 1;
  EXPECT_EQ(PrintDocument(false).id(), kMsgCannotPrint);
  EXPECT_EQ(g_counts.startPage, 0);
  EXPECT_EQ(g_counts.endDoc, 0);
  EXPECT_TRUE(IsWindowEnabled(host_));

  // A page cannot start (the second of the document, the first of the
  // selection): what was sent stays sent, the document is ended, and
  // neither the text nor the selection has changed.
  for (const int failing : {2, 1}) {
    const bool selection = failing == 1;
    g_counts = {};
    g_counts.failStartPage = failing;
    EXPECT_EQ(PrintDocument(selection).id(), kMsgCannotPrint);
    EXPECT_EQ(g_counts.startPage, failing);
    EXPECT_EQ(g_counts.endPage, failing - 1);
    EXPECT_EQ(g_counts.endDoc, 1);
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(Selection(), (std::pair<DWORD, DWORD>{3, 40}));
    EXPECT_TRUE(IsWindowEnabled(host_));
  }
}

// A printer that remembers what it was given.
struct Captured {
  std::u16string text;
  int calls = 0;
  Failure answer;
};

Failure Capture(PrintRun& run, std::u16string_view text) {
  auto& c = *static_cast<Captured*>(run.context);
  c.text = text;
  ++c.calls;
  return c.answer;
}

TEST_F(PrintWin, TheSelectionOrTheWholeDocumentGoesToThePrinter) {
  Captured captured;
  PrintRun print{Capture, &captured};
  const std::wstring text = L"one\r\ntwo\r\nthree";
  SetText(text);

  // The selection, without its final line break; nothing is replaced.
  Select(5, 10);
  EXPECT_EQ(PrintEditText(print, true).id(), std::nullopt);
  EXPECT_EQ(captured.text, u"two");
  EXPECT_EQ(Text(), text);

  // An empty selection is refused before anything is printed.
  captured.calls = 0;
  Select(3, 5);
  EXPECT_EQ(PrintEditText(print, true).id(), kMsgSelectionEmpty);
  EXPECT_EQ(captured.calls, 0);

  // The printer's message comes back as the print's.
  captured.answer = kMsgCannotPrint;
  Select(0, 3);
  EXPECT_EQ(PrintEditText(print, true).id(), kMsgCannotPrint);
  EXPECT_EQ(Text(), text);

  // The whole document, wherever the selection is, with its last break.
  captured.answer = {};
  SetText(L"a\r\nb\r\n");
  Select(2, 2);
  EXPECT_EQ(PrintEditText(print, false).id(), std::nullopt);
  EXPECT_EQ(captured.text, u"a\r\nb\r\n");
  EXPECT_EQ(Text(), L"a\r\nb\r\n");
}

}  // namespace
}  // namespace quillet
