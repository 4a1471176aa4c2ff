#include "shell/files/identity_win.h"

#include <atomic>
#include <memory>

#include "base/handles_win.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/resource.h"
#include "base/wide_win.h"
#include "document/document.h"
#include "document/settings.h"
#include "document/text_codec.h"
#include "shell/app/app_win.h"
#include "shell/app/command_line.h"
#include "shell/app/editor_state_win.h"
#include "shell/files/document_win.h"
#include "shell/files/lifecycle_win.h"

namespace quillet {
namespace {

// How long the watcher sleeps between looks at whether it should end.
constexpr DWORD kWatchPollMs = 300;

enum WatcherState : int { kNoWatcher = 0, kStopping = 1, kWatching = 3 };

bool ReadLastWrite(const std::wstring& file, FILETIME* time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return false;
  *time = data.ftLastWriteTime;
  return true;
}

struct WatchJob {
  HWND target = nullptr;
  std::wstring file;  // the thread's own copy of the path
  ChangeNotification notification;
  HANDLE stop = nullptr;  // owned by the watcher, which outlives the thread
  std::atomic<int>* state = nullptr;
  const Settings* settings = nullptr;  // the run's, which outlives the thread
};

// Read from the watcher thread while the settings dialog may change it.
bool WatchSettingOn(const WatchJob& job) {
  return std::atomic_ref(job.settings->watchForChanges).load(std::memory_order_relaxed);
}

// Wakes on any last-write or name change in the folder but reports only a
// new last-write time of the document's own file, once per change. The
// time is read by path, so a file replaced as a whole by another program
// is noticed as well as one rewritten in place.
DWORD WINAPI WatchThread(void* param) {
  std::unique_ptr<WatchJob> job(static_cast<WatchJob*>(param));
  FILETIME last{};
  if (ReadLastWrite(job->file, &last)) {
    const HANDLE waits[2] = {job->stop, job->notification.get()};
    for (;;) {
      const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kWatchPollMs);
      if (job->state->load() != kWatching) break;
      if (woke == WAIT_TIMEOUT) continue;
      if (woke != WAIT_OBJECT_0 + 1) break;
      FILETIME now;
      if (ReadLastWrite(job->file, &now) && CompareFileTime(&now, &last) != 0) {
        last = now;
        if (WatchSettingOn(*job)) PostMessageW(job->target, WM_COMMAND, IDM_FILE_REVERT_CHANGED, 0);
      }
      if (!FindNextChangeNotification(job->notification.get())) break;
    }
  }
  job->state->store(kNoWatcher);
  return 0;
}

void GiveAtomBack() {
  IdentityState& id = Running().identity;
  if (id.atom) GlobalDeleteAtom(id.atom);
  id.atom = 0;
}

}  // namespace

FileWatcher::~FileWatcher() { Stop(); }

void FileWatcher::Start(HWND target, const std::u16string& path, const Settings& settings) {
  Stop();  // a new watcher only once the previous thread has ended
  std::u16string folder = FolderOf(path);
  if (folder.empty()) return;
  if (folder.back() == u':') folder += u'\\';  // "C:" alone would mean the drive's current folder
  auto job = std::make_unique<WatchJob>();
  job->notification = ChangeNotification(
      FindFirstChangeNotificationW(W(folder), FALSE, FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_FILE_NAME));
  if (!job->notification) return;
  if (!stop_) stop_ = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!stop_) return;
  ResetEvent(stop_.get());
  job->target = target;
  job->file.assign(path.begin(), path.end());
  job->stop = stop_.get();
  job->state = &state_;
  job->settings = &settings;
  state_ = kWatching;
  WatchJob* raw = job.release();
  thread_ = UniqueHandle(CreateThread(nullptr, 0, WatchThread, raw, 0, nullptr));
  if (!thread_) {
    delete raw;
    state_ = kNoWatcher;
  }
}

// Asks the thread to end and waits for it; it wakes at once.
void FileWatcher::Stop() {
  if (!thread_) return;
  state_ = kStopping;
  SetEvent(stop_.get());
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  state_ = kNoWatcher;
}

bool FileWatcher::Running() const { return thread_ && state_.load() == kWatching; }

void SetIdentity(bool clearName) {
  DocumentState& doc = Doc();
  const Settings& s = AppSettings();
  IdentityState& id = Running().identity;
  if (clearName) {
    doc.fullPath.clear();
    doc.title.clear();
  }
  if (!doc.fullPath.empty()) {
    GiveAtomBack();  // never hold two references
    id.atom = GlobalAddAtomW(W(doc.fullPath));
    if (s.oneInstancePerFile && lstrcmpiW(W(doc.fullPath), W(doc.previousPath)) != 0 && App().instanceMessage) {
      id.asking = true;
      PostMessageW(HWND_BROADCAST, App().instanceMessage, reinterpret_cast<WPARAM>(App().mainWindow), 0);
    }
    if (s.watchForChanges) Running().watcher.Start(App().mainWindow, doc.fullPath, s);
  }
  doc.previousPath = doc.fullPath;
  UpdateWindowTitle();
}

void DropIdentity(bool keepTempCopy) {
  GiveAtomBack();
  Running().watcher.Stop();
  if (!keepTempCopy) DeleteTemporaryCopy();
}

LRESULT OnInstanceMessage(WPARAM wParam, LPARAM lParam) {
  HWND sender = reinterpret_cast<HWND>(wParam);
  HWND self = App().mainWindow;
  if (sender == self) return 0;
  IdentityState& id = Running().identity;
  if (lParam == 0) {
    if (id.atom) PostMessageW(sender, App().instanceMessage, reinterpret_cast<WPARAM>(self), id.atom);
    return 0;
  }
  if (id.atom && id.asking && LOWORD(lParam) == id.atom) {
    id.asking = false;  // one question per query, however many copies answer
    if (AskYesNo(self, kMsgOpenElsewhere)) {
      SetForegroundWindow(sender);
      PostMessageW(self, WM_CLOSE, 0, 0);
    }
  }
  return 0;
}

void StopWatching() { Running().watcher.Stop(); }

bool IsWatching() { return Running().watcher.Running(); }

std::u16string LongPath(const std::u16string& path) {
  using GetLongPathNameFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
  static GetLongPathNameFn convert = [] {
    HMODULE kernel = GetModuleHandleA("KERNEL32");
    return kernel ? reinterpret_cast<GetLongPathNameFn>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "GetLongPathNameW")))
                  : nullptr;
  }();
  if (convert) {
    wchar_t buffer[kMaxPath + 1];
    const DWORD n = convert(W(path), buffer, kMaxPath + 1);
    if (n > 0 && n <= kMaxPath) return std::u16string(U(buffer), n);
    if (n == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) convert = nullptr;  // the fallback from now on
  }
  return path;
}

}  // namespace quillet
