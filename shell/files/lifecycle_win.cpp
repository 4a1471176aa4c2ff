#include "shell/files/lifecycle_win.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <new>
#include <utility>

#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/lists.h"
#include "document/settings.h"
#include "document/text_codec.h"
#include "document/text_file_win.h"
#include "shell/app/app_win.h"
#include "shell/app/command_line.h"
#include "shell/app/editor_state_win.h"
#include "shell/dialogs/file_dialogs_win.h"
#include "shell/files/document_win.h"
#include "shell/files/identity_win.h"
#include "shell/view/edit_ops_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

constexpr DWORD kTempCopyMarkMs = 300;

enum class PathKind { kEmpty, kUsable, kTooLong };

// The path as a command, the Open dialog, a drop, the command line or a
// list entry hands it over, made absolute and long.
PathKind NormalizePath(const std::u16string& given, std::u16string* fullPath, std::u16string* title) {
  const std::u16string path = StripPathQuotes(given);
  if (path.empty()) return PathKind::kEmpty;
  wchar_t full[kMaxPath + 1];
  const DWORD n = GetFullPathNameW(W(path), kMaxPath + 1, full, nullptr);
  if (n == 0 || n > kMaxPath) {
    // No file of the program's path length can be named so: report it as
    // unreadable rather than cut the name to something else.
    *fullPath = path;
    *title = FileTitleOf(path);
    return PathKind::kTooLong;
  }
  *fullPath = LongPath(std::u16string(U(full), n));
  *title = FileTitleOf(*fullPath);
  return PathKind::kUsable;
}

// The codec's message first, then the general one unless it says as much.
// The document's file as the codec reads and writes it: for this window,
// with the settings in force.
TextFileContext DocumentFiles() { return {App().mainWindow, AppSettings(), Doc(), AppRecentFiles()}; }

void ShowLoadFailure(const Failure& failure, const std::u16string& title) {
  ShowWarning(App().mainWindow, failure.Named(title));
  if (failure.id() != kMsgCannotRead && failure.id() != kMsgBinaryFile)
    ShowWarning(App().mainWindow, Failure(kMsgCannotRead, title));
}

void ShowSaveFailure(const Failure& failure, const std::u16string& title) {
  if (failure.id() != kMsgCannotSave) ShowWarning(App().mainWindow, failure.Named(title));
  ShowWarning(App().mainWindow, Failure(kMsgCannotSave, title));
}

// A name kept from an open that failed for its length (keepNameOnError) is
// as it was given, possibly relative: it is no more a file to write than
// one to read, whatever the file system below would take.
bool PathTooLongToSave(const std::u16string& path) {
  std::u16string fullPath, title;
  return NormalizePath(path, &fullPath, &title) == PathKind::kTooLong;
}

CommandResult SaveToFullPath() {
  DocumentState& doc = Doc();
  if (PathTooLongToSave(doc.fullPath)) {
    ShowSaveFailure(kMsgCannotSave, doc.title);
    return kFailedReported;
  }
  // The watcher stops first, so the program's own write is no outside
  // change; the temporary copy stays until the save has succeeded.
  DropIdentity(true);
  if (const Failure failure = SaveTextFile(DocumentFiles(), EditControl(), doc.fullPath, false)) {
    ShowSaveFailure(failure, doc.title);
    UpdateWindowTitle();  // after Save As the title names what Save will write to
    return kFailedReported;
  }
  SetModified(false);
  DeleteTemporaryCopy();
  SetIdentity(false);
  return kDone;
}

void SetStatusText(const char16_t* text) { ShowModifiedPart(text); }

// Reads the document's file again without asking, and keeps the selection
// and the scroll position as far as the new text allows.
CommandResult ReloadKeepingView(std::optional<TextEncoding> readAs) {
  HWND edit = EditControl();
  DWORD start = 0, end = 0;
  GetSelection(&start, &end);
  const LRESULT firstVisible = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  const CommandResult result = OpenPath(Doc().fullPath, false, readAs);
  SendMessageW(edit, EM_SETSEL, start, static_cast<LPARAM>(end));
  // Scrolled by the difference: some controls already scroll to the
  // selection when it is set.
  SendMessageW(edit, EM_LINESCROLL, 0, firstVisible - SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  return result;
}

// The selection of the document, final line break included.
LargeText SelectedText() {
  DWORD start = 0, end = 0;
  GetSelection(&start, &end);
  LargeText text = WindowText<LargeText>(EditControl());
  if (start > end) std::swap(start, end);
  if (start >= text.size()) return {};
  return text.substr(start, end - start);
}

}  // namespace

std::u16string FileTitleOf(const std::u16string& path) {
  wchar_t title[kMaxPath + 1];
  if (GetFileTitleW(W(path), title, kMaxPath + 1) == 0) return std::u16string(U(title));
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

CommandResult NewDocument() {
  if (!AskToSave()) return kCancelled;
  DropIdentity(false);
  SetWindowTextW(PrepareEditForText(u"", true), L"");
  SetModified(false);
  SetCurrentEncoding(AppSettings().defaultEncoding);
  SetCurrentLineEnd(AppSettings().defaultLineEnd);
  SetIdentity(true);
  return kDone;
}

CommandResult OpenPath(std::u16string path, bool askToSave, std::optional<TextEncoding> readAs) {
  DocumentState& doc = Doc();
  // Insert file's dialog starts from the last path handed to Open.
  doc.pathToOpen = std::move(path);
  if (askToSave && !AskToSave()) return kCancelled;
  std::u16string fullPath, title;
  const PathKind kind = NormalizePath(doc.pathToOpen, &fullPath, &title);
  // Nothing to load: the document stays as it is, name and text.
  if (kind == PathKind::kEmpty) return kDone;

  // Copied before anything changes, and the new name swapped in, so that
  // running out of memory here leaves the document's name as it was.
  std::u16string previousPath = doc.fullPath;
  std::u16string previousTitle = doc.title;
  DropIdentity(false);
  doc.fullPath.swap(fullPath);
  doc.title.swap(title);
  HWND edit = EditControl();
  Failure message = kMsgCannotRead;
  if (kind == PathKind::kUsable) {
    bool untouched = false;
    try {
      message = LoadTextFile(DocumentFiles(), edit, doc.fullPath, false, readAs, PrepareEditForText, &untouched);
    } catch (...) {
      // The load stopped before the control took a new text: the text is
      // still the old document's, and so must the name be, or a Save would
      // write it over the file that was to be opened.
      doc.fullPath = std::move(previousPath);
      doc.title = std::move(previousTitle);
      SetIdentity(false);
      throw;
    }
    if (untouched) {
      // The user declined to load it: the document stays what it was, name,
      // text and modified mark.
      ShowLoadFailure(message, doc.title);
      doc.fullPath = previousPath;
      doc.title = previousTitle;
      SetIdentity(false);
      return kFailedReported;
    }
    edit = EditControl();
  } else {
    SetWindowTextW(edit, L"");
  }
  // An open that left the control empty leaves no long lines behind.
  if (GetWindowTextLengthW(edit) == 0) edit = PrepareEditForText(u"", true);
  // The previous text is gone either way (saved or given up at the
  // question); what the control holds now matches no unsaved work.
  SetModified(false);
  if (message) {
    ShowLoadFailure(message, doc.title);
    SetIdentity(!AppSettings().keepNameOnError);
    return kFailedReported;
  }
  SetIdentity(false);
  const std::int32_t limit = AppSettings().textLimit;
  if (limit != 0 && limit < GetWindowTextLengthW(edit)) return kMsgLimitBelowText;
  return kDone;
}

CommandResult OpenWithDialog() {
  if (!AskToSave()) return kCancelled;
  Doc().pathToOpen.clear();
  std::u16string chosen;
  if (!RunOpenDialog(chosen)) return kCancelled;
  return OpenPath(std::move(chosen), false);
}

CommandResult SaveDocument() {
  if (Doc().fullPath.empty()) return SaveDocumentAs();
  return SaveToFullPath();
}

CommandResult SaveDocumentAs() {
  DocumentState& doc = Doc();
  std::u16string path = doc.fullPath, title = doc.title;
  if (!RunSaveDialog(path, title)) return kCancelled;
  doc.fullPath = path;
  doc.title = title.empty() ? FileTitleOf(path) : title;
  return SaveToFullPath();
}

CommandResult RevertDocument(bool outsideChange) {
  static bool questionOpen = false;
  DocumentState& doc = Doc();
  if (doc.fullPath.empty()) return kFailedReported;
  // Further change notices while the question is up do not stack.
  if (questionOpen) return kDone;
  questionOpen = true;
  const bool revert = outsideChange ? AskYesNoFmtName(App().mainWindow, kMsgChangedOutside, doc.fullPath.c_str())
                                    : AskYesNo(App().mainWindow, kMsgRevertAsk);
  questionOpen = false;
  if (!revert) return kCancelled;
  return ReloadKeepingView({});
}

CommandResult ReopenAs(TextEncoding encoding) {
  if (Doc().fullPath.empty()) return kFailedReported;
  // The changes are the user's to keep: the file on disk is what is read.
  if (!AskToSave()) return kCancelled;
  return ReloadKeepingView(encoding);
}

CommandResult InsertPath(const std::u16string& path) {
  std::u16string fullPath, title;
  const PathKind kind = NormalizePath(path, &fullPath, &title);
  if (kind == PathKind::kEmpty) return kDone;
  const Failure message = kind == PathKind::kUsable
                              ? LoadTextFile(DocumentFiles(), EditControl(), fullPath, true, {}, PrepareEditForText)
                              : kMsgCannotRead;
  if (!message) return kDone;
  ShowLoadFailure(message, title);
  return kFailedReported;
}

CommandResult InsertFileWithDialog() {
  if (!RunOpenDialog(Doc().pathToOpen)) return kCancelled;
  return InsertPath(Doc().pathToOpen);
}

CommandResult ExcludeToPath(const std::u16string& path, std::u16string title) {
  if (title.empty()) title = FileTitleOf(path);
  if (PathTooLongToSave(path)) {
    ShowSaveFailure(kMsgCannotSave, title);
    return kFailedReported;
  }
  LargeText selection;
  try {
    selection = SelectedText();
  } catch (const std::bad_alloc&) {
    return kMsgOutOfMemory;
  }
  if (const Failure failure = SaveText(DocumentFiles(), std::move(selection), path, false)) {
    ShowSaveFailure(failure, title);
    return kFailedReported;
  }
  // Only text that is safely in the file leaves the document.
  SendMessageW(EditControl(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  return kDone;
}

CommandResult ExcludeToFile() {
  std::u16string path, title;
  if (!RunSaveDialog(path, title)) return kCancelled;
  return ExcludeToPath(path, std::move(title));
}

void WriteTemporaryCopy() {
  DocumentState& doc = Doc();
  // The setting TmpSave ("每 5 分钟保存一个备份") switches the copy off.
  if (!AppSettings().periodicTempCopy || !doc.modified || doc.fullPath.empty()) return;
  if (PathTooLongToSave(doc.fullPath)) return;
  SetStatusText(u".$");
  doc.tempCopyPath = TempCopyPathFor(doc.fullPath);
  (void)SaveTextFile(DocumentFiles(), EditControl(), doc.tempCopyPath, true);  // a failed copy is simply missing
  Sleep(kTempCopyMarkMs);
  SetStatusText(kModifiedMark);
}

void DeleteTemporaryCopy() {
  DocumentState& doc = Doc();
  if (doc.tempCopyPath.empty()) return;
  DeleteFileW(W(doc.tempCopyPath));
  doc.tempCopyPath.clear();
}

void OpenDroppedFiles(const std::vector<std::u16string>& files) {
  if (files.empty()) return;
  const CommandResult opened = OpenPath(files.front(), true);
  if (opened.IsMessage()) ShowWarning(App().mainWindow, opened.message);
  if (files.size() < 2 || !AskYesNo(App().mainWindow, kMsgMergeDropped)) return;
  SetSelection(-1, -1);
  for (std::size_t i = 1; i < files.size(); ++i) {
    (void)InsertPath(files[i]);  // each failure is shown as it comes
  }
}

}  // namespace quillet
