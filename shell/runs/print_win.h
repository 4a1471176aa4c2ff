// Printing: the system print dialog, the run that prints a text on the
// printer it returned (pages laid out by engine/print_layout), and the
// Print command.
#pragma once

#include <windows.h>

#include <string_view>

#include "base/messages.h"
#include "engine/print_layout.h"
#include "shell/app/dispatch_win.h"

namespace quillet {

// The document and page calls of a print run, in one place so that the
// tests can put a printer that fails in place of the real ones.
struct PrinterCalls {
  int(WINAPI* startDoc)(HDC, const DOCINFOW*) = StartDocW;
  int(WINAPI* startPage)(HDC) = StartPage;
  int(WINAPI* endPage)(HDC) = EndPage;
  int(WINAPI* endDoc)(HDC) = EndDoc;
};
PrinterCalls& ActivePrinterCalls();

// The print dialog. False when the user cancelled it or it failed; the
// printer chosen is offered again the next time.
bool ShowPrintDialog();

// PrintRun's print for the printer device context in run.context: prints
// text with the editor's font, half-inch margins and wrapped lines behind
// the waiting window. Succeeds (with code 20 when cancelled) or fails with
// "无法打印文档！". The caller deletes the device context.
Failure PrintText(PrintRun& run, std::u16string_view text);

// Registered with SetAbortProc: keeps the program answering while it prints.
BOOL CALLBACK PrintAbortProc(HDC dc, int error);

// Hands the whole document, or the selection without its final line break,
// to run.print. An empty selection is refused (kMsgSelectionEmpty) before
// anything is printed; otherwise returns the print's message.
Failure PrintEditText(PrintRun& run, bool selection);

// Print (Ctrl+P): the whole document, or the selection when the user chose
// it in the dialog.
CommandResult OnPrint(const CommandArgs& a);

}  // namespace quillet
