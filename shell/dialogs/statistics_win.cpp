#include "shell/dialogs/statistics_win.h"
#include "shell/dialogs/dialog_support_win.h"

#include <cstdio>

#include "base/message_box_win.h"
#include "base/resource.h"
#include "document/settings.h"
#include "engine/statistics.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"
#include "shell/app/guard_win.h"
#include "shell/runs/edit_snapshot_win.h"

namespace quillet {
namespace {

// One column: the document's ids, or those ids plus the selection offset.
void ShowColumn(HWND dialog, const TextStats& s, int offset) {
  const struct {
    int id;
    std::uint32_t value;
  } counts[] = {
      {IDC_STAT_DOC_CHARACTERS, s.characters}, {IDC_STAT_DOC_NON_SPACE, s.nonSpace},
      {IDC_STAT_DOC_ALNUM, s.alnum},           {IDC_STAT_DOC_WORDS, s.words},
      {IDC_STAT_DOC_LINES, s.lines},           {IDC_STAT_DOC_NON_BLANK, s.nonBlankLines},
      {IDC_STAT_DOC_PARAGRAPHS, s.paragraphs}, {IDC_STAT_DOC_SENTENCES, s.sentences},
      {IDC_STAT_DOC_AVERAGE, s.averageLength}, {IDC_STAT_DOC_SHORTEST, s.shortest},
      {IDC_STAT_DOC_LONGEST, s.longest},
  };
  for (const auto& c : counts) SetDlgItemInt(dialog, c.id + offset, c.value, TRUE);
  wchar_t hex[16];
  swprintf(hex, 16, L"%X", static_cast<unsigned>(s.crc));
  SetDlgItemTextW(dialog, IDC_STAT_DOC_CRC + offset, hex);
}

INT_PTR CALLBACK StatisticsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      const bool underscoreIsWord = AppSettings().underscoreIsWordChar;
      {
        EditSnapshot document;
        if (Failure failed = SnapshotText(App().edit, document)) {
          ShowWarning(dialog, failed);
        } else {
          ShowColumn(dialog, CountTextStats(document.text, underscoreIsWord), 0);
        }
      }
      // Without a selection (or when it cannot be read) that column stays empty.
      EditSnapshot selection;
      if (!SnapshotTextOrSelection(App().edit, selection, true))
        ShowColumn(dialog, CountTextStats(selection.text, underscoreIsWord), IDC_STAT_SELECTION_OFFSET);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowStatistics() {
  DialogAtViewDpi(App().instance, IDD_STATISTICS, App().mainWindow, GuardedDialogProc<StatisticsProc>, 0);
}

}  // namespace quillet
