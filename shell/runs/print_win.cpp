#include "shell/runs/print_win.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <utility>

#include "base/handles_win.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/settings.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/dialogs/wait_window_win.h"
#include "shell/runs/edit_snapshot_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

using PrinterDc = Owned<HDC, DeleteDC>;

// Lives for the program's run, so that the next dialog offers the printer
// and the settings chosen in the last one.
PRINTDLGW& PrintDialogRecord() { return Running().printDialog; }

// One print run: the printer, the waiting window and its "取消".
struct PrintSession {
  HDC dc = nullptr;
  HWND waitWindow = nullptr;
  std::atomic<bool> cancel{false};
  bool quit = false;
  WPARAM quitCode = 0;
  // Up to this many characters the 16-bit extent cannot overflow.
  int safeMeasureCount = INT_MAX;
  // GetLastError of the document or page call that failed.
  DWORD error = 0;
};

// The run PrintAbortProc pumps messages for; the spooler hands it only the
// device context.
PrintSession* g_session = nullptr;

void PumpMessages(PrintSession& session) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The program is asked to end: stop after this page and pass it on.
      session.quit = true;
      session.quitCode = msg.wParam;
      session.cancel = true;
      break;
    }
    if (session.waitWindow && IsDialogMessageW(session.waitWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

PrintSession& SessionOf(void* context) { return *static_cast<PrintSession*>(context); }

long MeasureText(void* context, const char16_t* text, std::size_t n) {
  const PrintSession& session = SessionOf(context);
  const int count = static_cast<int>(std::min<std::size_t>(n, INT_MAX));
  // The extent comes back in 16 bits and would wrap for a long text; one
  // whose plain extent is beyond them is wider than any page.
  if (count > session.safeMeasureCount) {
    SIZE plain{};
    if (GetTextExtentPoint32W(session.dc, W(text), count, &plain) && plain.cx > 0xFFFF) return LONG_MAX;
  }
  return LOWORD(GetTabbedTextExtentW(session.dc, W(text), count, 0, nullptr));
}

// Keeps the system's error of a document or page call that failed.
bool Succeeded(PrintSession& session, int answer) {
  if (answer > 0) return true;
  session.error = GetLastError();
  return false;
}

bool StartPrintedPage(void* context) {
  PrintSession& session = SessionOf(context);
  return Succeeded(session, ActivePrinterCalls().startPage(session.dc));
}

void DrawPrintedLine(void* context, int x, int y, const char16_t* text, std::size_t n) {
  PrintSession& session = SessionOf(context);
  if (n != 0) {
    TabbedTextOutW(session.dc, x, y, W(text), static_cast<int>(std::min<std::size_t>(n, INT_MAX)), 0, nullptr, 0);
  }
  // Some printer drivers take a long while over a page, and not every
  // spooler calls the abort procedure while it works: the window stays
  // alive line by line ("取消" still counts at the next page).
  PrintAbortProc(session.dc, 0);
}

bool EndPrintedPage(void* context) {
  PrintSession& session = SessionOf(context);
  const bool ended = Succeeded(session, ActivePrinterCalls().endPage(session.dc));
  PrintAbortProc(session.dc, 0);
  return ended;
}

bool PrintCancelled(void* context) { return SessionOf(context).cancel; }

// The editor's font as the edit control uses it; the system font when the
// control has none of its own.
LOGFONTW EditLogFont() {
  LOGFONTW font{};
  const auto current = reinterpret_cast<HFONT>(SendMessageW(App().edit, WM_GETFONT, 0, 0));
  if (!current || !GetObjectW(current, sizeof font, &font)) {
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    return font;
  }
  // The control's font is sized for the monitor; pages are sized from the
  // font as the system's DPI has it.
  font.lfHeight = MulDiv(font.lfHeight, SystemDpi(), ViewDpi());
  return font;
}

}  // namespace

PrinterCalls& ActivePrinterCalls() {
  static PrinterCalls calls;
  return calls;
}

bool ShowPrintDialog() {
  PRINTDLGW& record = PrintDialogRecord();
  record.lStructSize = sizeof record;
  record.hwndOwner = App().mainWindow;
  record.Flags = PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE;
  record.hDC = nullptr;
  return PrintDlgW(&record) != FALSE && record.hDC;
}

BOOL CALLBACK PrintAbortProc(HDC, int) {
  if (g_session) PumpMessages(*g_session);
  return TRUE;
}

Failure PrintText(PrintRun& run, std::u16string_view text) {
  PrintSession session;
  session.dc = static_cast<HDC>(run.context);
  HDC dc = session.dc;
  if (!dc) return kMsgCannotPrint;

  const PrintDevice device{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), GetDeviceCaps(dc, HORZRES),
                           GetDeviceCaps(dc, VERTRES)};
  LOGFONTW logFont = EditLogFont();
  logFont.lfHeight = PrintFontHeight(logFont.lfHeight, device.dpiY);
  logFont.lfWidth = 0;
  const UniqueFont font(CreateFontIndirectW(&logFont));
  if (!font) return SystemFailure(kMsgCannotPrint, GetLastError());
  const SelectedObject selected(dc, font.get());
  // Pages are black on white whatever colours the screen uses.
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc, &metrics)) return kMsgCannotPrint;
  const PageGeometry page = ComputePageGeometry(device, metrics.tmHeight + metrics.tmExternalLeading);
  if (!page.CanPrint()) return kMsgCannotPrint;
  // The widest a character can be: a TAB goes at most to the next default
  // stop (eight average characters); a glyph taken from another font may be
  // wider than this one's widest.
  const long widest =
      std::max({static_cast<long>(metrics.tmMaxCharWidth), 8L * metrics.tmAveCharWidth, 2L * metrics.tmHeight, 1L});
  session.safeMeasureCount = static_cast<int>(0xFFFF / widest);

  HWND main = App().mainWindow;
  const std::u16string title = Doc().title;
  EnableWindow(main, FALSE);
  session.waitWindow = CreateWaitWindow(main, title.c_str(), MessageText(kMsgPrintingFrom), &session.cancel);
  g_session = &session;
  SetAbortProc(dc, PrintAbortProc);

  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = W(title.c_str());
  PrintOutcome outcome = PrintOutcome::kFailed;
  if (Succeeded(session, ActivePrinterCalls().startDoc(dc, &info))) {
    PagePrinter printer;
    printer.context = &session;
    printer.measure = MeasureText;
    printer.startPage = StartPrintedPage;
    printer.drawLine = DrawPrintedLine;
    printer.endPage = EndPrintedPage;
    printer.cancelled = PrintCancelled;
    outcome = PrintPages(text, page, printer, MakeWordChars(AppSettings().underscoreIsWordChar));
    // Pages already sent stay sent, also after a cancel or a failure.
    ActivePrinterCalls().endDoc(dc);
  }

  g_session = nullptr;
  EnableWindow(main, TRUE);
  SetFocus(main);
  if (session.waitWindow) DestroyWindow(session.waitWindow);
  if (session.quit) PostQuitMessage(static_cast<int>(session.quitCode));

  switch (outcome) {
    case PrintOutcome::kPrinted:
      return {};
    case PrintOutcome::kCancelled:
      run.code = kCancelled;
      return {};
    case PrintOutcome::kFailed:
      break;
  }
  return SystemFailure(kMsgCannotPrint, session.error);
}

Failure PrintEditText(PrintRun& run, bool selection) {
  EditSnapshot snapshot;
  if (Failure message = SnapshotTextOrSelection(App().edit, snapshot, selection)) return message;
  return run.print ? run.print(run, snapshot.text) : Failure{};
}

CommandResult OnPrint(const CommandArgs& a) {
  if (!ShowPrintDialog()) return kCancelled;
  PRINTDLGW& record = a.state.printDialog;
  // Given back however the run ends, also when the selection is refused.
  const PrinterDc dc(std::exchange(record.hDC, nullptr));
  PrintRun run{PrintText, dc.get()};
  if (Failure message = PrintEditText(run, (record.Flags & PD_SELECTION) != 0)) return message;
  return run.code ? CommandResult(static_cast<ResultCode>(run.code)) : CommandResult(kDone);
}

}  // namespace quillet
