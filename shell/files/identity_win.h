// The document's identity as other programs and other running copies see
// it: a global atom holding the full path, a thread that watches the file
// for changes made elsewhere, and the query that keeps one window per file
// among running copies.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "base/handles_win.h"
#include "document/settings.h"

namespace quillet {

// At most one watcher thread at a time, for the open file. The thread reads
// the Watch setting of the settings it was started with, which outlive it.
class FileWatcher {
 public:
  FileWatcher() = default;
  FileWatcher(const FileWatcher&) = delete;
  FileWatcher& operator=(const FileWatcher&) = delete;
  ~FileWatcher();

  void Start(HWND target, const std::u16string& path, const Settings& settings);
  void Stop();
  bool Running() const;

 private:
  UniqueHandle thread_;
  UniqueHandle stop_;
  std::atomic<int> state_{0};  // not watching
};

struct IdentityState {
  ATOM atom = 0;
  bool asking = false;  // a query about a new name waits for its answers
};

// After every open, save or new document. With clearName the document
// becomes untitled first. A named document takes the atom of its path,
// asks the other copies about a new name (setting OnlyOne) and is watched
// (setting Watch); the window title is rebuilt either way.
void SetIdentity(bool clearName);

// Before every open, save or new document, and when the window closes:
// gives the atom back and stops the watcher. Unless keepTempCopy, the
// periodic temporary copy is deleted too.
void DropIdentity(bool keepTempCopy);

// The running-copies message ("quillet"): a query (lParam 0) is answered
// with this copy's atom; an answer carrying the own atom to a pending query
// offers to close this window and switch to the other copy. Returns 0.
LRESULT OnInstanceMessage(WPARAM wParam, LPARAM lParam);

// Waits for the watcher thread to end (the window is going away).
void StopWatching();

// Whether a watcher thread is running (tests).
bool IsWatching();

// The long form of a path (GetLongPathNameW where the system has it; the
// path unchanged otherwise or when the conversion fails).
std::u16string LongPath(const std::u16string& path);

}  // namespace quillet
