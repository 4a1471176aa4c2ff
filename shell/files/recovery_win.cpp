#include "shell/files/recovery_win.h"

#include <windows.h>

#include <new>
#include <utility>
#include <vector>

#include "base/limits.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "document/text_codec.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/document_win.h"
#include "shell/files/identity_win.h"
#include "shell/files/lifecycle_win.h"
#include "shell/view/view_win.h"

namespace quillet {
namespace {

bool Active(const EditorState& s) {
  return !s.recovery.folder.empty() && s.settings.recoverDocuments && s.app.mainWindow;
}

std::uint64_t Now() { return GetTickCount64(); }

void ArmTimer(EditorState& s) {
  const std::optional<std::uint64_t> due = s.recovery.schedule.Due();
  if (!due) {
    KillTimer(s.app.mainWindow, kSnapshotTimer);
    return;
  }
  const std::uint64_t now = Now();
  const UINT wait = *due > now ? static_cast<UINT>(*due - now) : USER_TIMER_MINIMUM;
  SetTimer(s.app.mainWindow, kSnapshotTimer, wait, nullptr);
}

// The writer of the claimed file, made on first use.
SnapshotWriter& Writer(EditorState& s) {
  RecoveryState& r = s.recovery;
  if (!r.writer) {
    r.writer = std::make_unique<SnapshotWriter>(*r.file, [window = s.app.mainWindow](bool written) {
      PostMessageW(window, kSnapshotWrittenMessage, written ? 1 : 0, 0);
    });
  }
  return *r.writer;
}

// This run's own snapshot file: the one it took over, or a new claim.
bool HaveFile(EditorState& s) {
  RecoveryState& r = s.recovery;
  if (r.file && r.file->Claimed()) return true;
  r.writer.reset();  // it wrote into the file given up
  auto file = std::make_unique<SnapshotFile>();
  if (!file->Claim(r.folder, GetCurrentProcessId())) return false;
  r.file = std::move(file);
  return true;
}

struct Found {
  std::unique_ptr<SnapshotFile> file;
  RecoverySnapshot snapshot;
};

// Takes over and reads one snapshot left behind. A snapshot another
// starting copy has taken is skipped; one that cannot be read is named and
// stays on disk, its lock given up, so that nothing is lost unread.
bool TakeOver(EditorState& s, const std::u16string& path, Found& into) {
  auto file = std::make_unique<SnapshotFile>();
  if (!file->Adopt(path)) return false;
  if (LoadSnapshot(path, into.snapshot) != SnapshotLoad::kOk) {
    ShowWarning(s.app.mainWindow, Failure(kMsgCannotRead, path));
    return false;
  }
  into.file = std::move(file);
  return true;
}

// The snapshot as this window's document: modified, under its path (or
// untitled), in its encoding and line-end style. Its file becomes this
// window's snapshot, so the next change writes over it and a save removes it.
void ShowRecovered(EditorState& s, Found found) {
  RecoveryState& r = s.recovery;
  r.writer.reset();
  r.file = std::move(found.file);
  r.onDisk = true;
  RecoverySnapshot& snapshot = found.snapshot;
  DropIdentity(false);
  DocumentState& doc = s.document;
  doc.fullPath = snapshot.path;
  doc.title = snapshot.path.empty() ? std::u16string() : FileTitleOf(snapshot.path);
  SetWindowTextW(PrepareEditForText(snapshot.text, true), W(snapshot.text));
  SetCurrentEncoding(snapshot.encoding);
  SetCurrentLineEnd(snapshot.lineEnd);
  SetModified(true);
  // What is on disk is what the window shows: nothing is due.
  r.schedule.Forget();
  KillTimer(s.app.mainWindow, kSnapshotTimer);
  SetIdentity(false);
}

// A new window of this program for one snapshot, with this run's settings
// switches.
bool StartWindowFor(const EditorState& s, const std::u16string& snapshotPath) {
  wchar_t exe[kMaxPath + 1] = {};
  const DWORD n = GetModuleFileNameW(nullptr, exe, kMaxPath + 1);
  if (n == 0 || n > kMaxPath) return false;
  std::wstring line = L"\"" + std::wstring(exe, n) + L"\"";
  if (s.app.startup.noLoadSettings) line += L" /nl";
  if (s.app.startup.noSaveSettings) line += L" /ns";
  line += L" /r \"" + std::wstring(W(snapshotPath)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool WindowHoldsNothing(const EditorState& s) {
  return s.document.fullPath.empty() && !s.document.modified && GetWindowTextLengthW(s.app.edit) == 0;
}

}  // namespace

void StartRecovery(EditorState& state, std::u16string folder) { state.recovery.folder = std::move(folder); }

void NoteTextChanged(EditorState& state) {
  if (!Active(state)) return;
  state.recovery.schedule.Changed(Now());
  ArmTimer(state);
}

bool WriteSnapshotNow(EditorState& state) {
  RecoveryState& r = state.recovery;
  if (!HaveFile(state)) {
    ShowSnapshotFailure(true);
    return false;
  }
  RecoverySnapshot snapshot;
  try {
    snapshot = {state.document.fullPath, state.document.encoding, state.document.lineEnd,
                WindowText<std::u16string>(state.app.edit)};
  } catch (const std::bad_alloc&) {
    // No copy of the text now; the next change tries again.
    ShowSnapshotFailure(true);
    return false;
  }
  Writer(state).Write(std::move(snapshot));
  r.onDisk = true;
  return true;
}

void OnSnapshotTimer(EditorState& state) {
  RecoveryState& r = state.recovery;
  KillTimer(state.app.mainWindow, kSnapshotTimer);
  if (!Active(state)) return;
  const std::uint64_t now = Now();
  if (!state.document.modified) {
    r.schedule.Forget();
    return;
  }
  if (!r.schedule.IsDue(now)) {
    ArmTimer(state);
    return;
  }
  // Written or failed, the schedule waits for the next change: a failure
  // is tried again then, not in a loop against a full disk.
  if (WriteSnapshotNow(state)) {
    r.schedule.Written(now);
  } else {
    r.schedule.Forget();
  }
}

void OnSnapshotWritten(EditorState& state, bool written) {
  // A report that arrives after the document was saved says nothing now.
  if (!written && !state.recovery.onDisk) return;
  ShowSnapshotFailure(!written);
}

void DiscardSnapshot(EditorState& state) {
  RecoveryState& r = state.recovery;
  if (r.sessionEnding) return;
  r.schedule.Forget();
  if (state.app.mainWindow) KillTimer(state.app.mainWindow, kSnapshotTimer);
  if (r.onDisk && r.file && r.file->Claimed()) Writer(state).Remove();
  r.onDisk = false;
  ShowSnapshotFailure(false);
}

void RecoverySettingChanged(EditorState& state) {
  if (!state.settings.recoverDocuments) {
    DiscardSnapshot(state);
  } else if (state.document.modified) {
    NoteTextChanged(state);
  }
}

void KeepSnapshotAtSessionEnd(EditorState& state) {
  RecoveryState& r = state.recovery;
  if (!Active(state)) return;
  if (state.document.modified) {
    if (WriteSnapshotNow(state)) r.writer->Flush();
  } else {
    DiscardSnapshot(state);
    if (r.writer) r.writer->Flush();
  }
  r.sessionEnding = true;
}

void EndRecovery(EditorState& state) {
  RecoveryState& r = state.recovery;
  DiscardSnapshot(state);
  r.writer.reset();  // finishes the removal first
  r.file.reset();    // the lock goes
}

void OfferRecovery(EditorState& state) {
  const RecoveryState& r = state.recovery;
  if (r.folder.empty()) return;
  std::vector<Found> found;
  for (const std::u16string& path : OrphanedSnapshots(r.folder)) {
    Found one;
    if (!TakeOver(state, path, one)) continue;
    // Only the first is shown here; the others are read again by their
    // own windows.
    if (!found.empty()) one.snapshot = {};
    found.push_back(std::move(one));
  }
  if (found.empty()) return;
  const std::u16string question =
      FormatWithNumber(MessageText(kMsgRecoverDocuments), static_cast<long long>(found.size()));
  if (!AskYesNo(state.app.mainWindow, question.c_str())) {
    for (Found& f : found) f.file->Remove();
    return;
  }
  std::size_t next = 0;
  if (WindowHoldsNothing(state)) ShowRecovered(state, std::move(found[next++]));
  for (; next < found.size(); ++next) {
    const std::u16string path = found[next].file->Path();
    found[next].file->Release();
    if (!StartWindowFor(state, path)) ShowWarning(state.app.mainWindow, kMsgCannotStartProcess);
  }
}

CommandResult RecoverHandedOver(EditorState& state, const std::u16string& snapshotPath) {
  Found found;
  if (!TakeOver(state, StripPathQuotes(snapshotPath), found)) return kFailedReported;
  ShowRecovered(state, std::move(found));
  return kDone;
}

}  // namespace quillet
