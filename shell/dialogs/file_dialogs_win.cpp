#include "shell/dialogs/file_dialogs_win.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>

#include "base/messages.h"
#include "base/wide_win.h"
#include "document/settings.h"
#include "document/text_codec.h"
#include "shell/app/app_win.h"
#include "shell/app/command_line.h"
#include "shell/app/editor_state_win.h"

namespace quillet {
namespace {

constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;        // 0x1004
constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN;  // 0x8002
constexpr WORD kMaxFirstLine = 259;

// A path buffer of 260 characters and the terminator.
struct PathBuffer {
  wchar_t text[kMaxPath + 1] = {};

  explicit PathBuffer(std::u16string_view initial = {}) {
    const std::size_t n = std::min(initial.size(), kMaxPath);
    std::copy_n(initial.data(), n, text);
    text[n] = 0;
  }
  std::u16string Value() const { return std::u16string(U(text)); }
};

OPENFILENAMEW DialogRecord(const std::u16string& filter, PathBuffer& file) {
  const Settings& s = AppSettings();
  OPENFILENAMEW ofn{};
  // The older record: the system shows the dialog every version knows.
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = App().mainWindow;
  ofn.lpstrFilter = W(filter);
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.text;
  ofn.nMaxFile = kMaxPath + 1;
  ofn.lpstrInitialDir = s.defaultFolder.empty() ? nullptr : W(s.defaultFolder);
  return ofn;
}

// A stale initial name the dialog refuses (a quoted or mangled path) must
// not lock the user out of the dialog: it is shown once more without it.
template <class Run>
bool RunWithRetry(OPENFILENAMEW& ofn, PathBuffer& file, Run run) {
  if (run(&ofn)) return true;
  if (CommDlgExtendedError() != FNERR_INVALIDFILENAME) return false;
  file.text[0] = 0;
  return run(&ofn) != FALSE;
}

}  // namespace

std::u16string SuggestedSaveName() {
  if (!AppSettings().nameFromFirstLine || !App().edit) return kUntitled;
  wchar_t line[kMaxFirstLine + 1] = {};
  line[0] = kMaxFirstLine;  // EM_GETLINE reads the capacity from the buffer
  const LRESULT n = SendMessageW(App().edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line));
  return SuggestedFileName(std::u16string_view(U(line), static_cast<std::size_t>(std::max<LRESULT>(n, 0))));
}

bool RunOpenDialog(std::u16string& path) {
  const std::u16string filter = DialogFilter(AppSettings().fileDialogFilter);
  PathBuffer file(path);
  OPENFILENAMEW ofn = DialogRecord(filter, file);
  ofn.Flags = kOpenFlags;
  if (!RunWithRetry(ofn, file, GetOpenFileNameW)) return false;
  path = file.Value();
  return true;
}

bool RunSaveDialog(std::u16string& path, std::u16string& title) {
  const Settings& s = AppSettings();
  const std::u16string filter = DialogFilter(s.fileDialogFilter);
  PathBuffer file(path.empty() ? SuggestedSaveName() : path);
  PathBuffer fileTitle;
  OPENFILENAMEW ofn = DialogRecord(filter, file);
  ofn.Flags = kSaveFlags;
  ofn.lpstrFileTitle = fileTitle.text;
  ofn.nMaxFileTitle = kMaxPath + 1;
  const std::u16string suffix = s.defaultSuffix.substr(0, 4);
  ofn.lpstrDefExt = suffix.empty() ? nullptr : W(suffix);
  if (!RunWithRetry(ofn, file, GetSaveFileNameW)) return false;
  path = file.Value();
  title = fileTitle.Value();
  return true;
}

}  // namespace quillet
