#include "document/recovery_store_win.h"

#include <algorithm>
#include <utility>

#include "base/wide_win.h"
#include "document/text_codec.h"

namespace quillet {
namespace {

// Snapshots larger than this are not read back (the edit control could not
// hold them anyway).
constexpr std::uint64_t kMaxSnapshotBytes = std::uint64_t{1} << 31;

std::u16string LockPathOf(const std::u16string& snapshotPath) {
  const std::u16string_view extension = kSnapshotExtension;
  return snapshotPath.substr(0, snapshotPath.size() - extension.size()) + u".lock";
}

// The lock of a snapshot, opened unshared and deleted on close; an empty
// handle when a running window holds it (or it cannot be made).
UniqueHandle OpenLock(const std::u16string& lockPath) {
  return UniqueHandle(CreateFileW(W(lockPath), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(W(path)) != INVALID_FILE_ATTRIBUTES; }

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD wrote = 0;
    if (!WriteFile(file, bytes.data(), want, &wrote, nullptr) || wrote == 0) return false;
    bytes.remove_prefix(wrote);
  }
  return true;
}

}  // namespace

std::u16string RecoveryFolder(const StoreLocation& where) {
  // The file beside the program makes the run portable even when /nl keeps
  // it from being read.
  if (where.fileChosen || Exists(SettingsFilePath(where))) {
    const std::u16string folder = FolderOf(SettingsFilePath(where));
    return folder.empty() ? folder : folder + u"\\Recovery\\";
  }
  wchar_t local[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  std::u16string folder = U(local);
  if (folder.back() != u'\\') folder += u'\\';
  return folder + u"Quillet\\Recovery\\";
}

bool MakeFolders(const std::u16string& folder) {
  // Each prefix ending before a backslash, after the drive or share part.
  for (std::size_t at = folder.find(u'\\', 3); at != std::u16string::npos; at = folder.find(u'\\', at + 1)) {
    const std::u16string part = folder.substr(0, at);
    if (!CreateDirectoryW(W(part), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS && !Exists(part)) return false;
  }
  return Exists(folder);
}

bool SnapshotFile::Claim(const std::u16string& folder, std::uint32_t processId) {
  Release();
  if (folder.empty() || !MakeFolders(folder)) return false;
  for (std::uint32_t number = 1; number < 10000; ++number) {
    std::u16string path = folder + SnapshotFileName(processId, number);
    UniqueHandle lock = OpenLock(LockPathOf(path));
    if (!lock) {
      if (GetLastError() == ERROR_SHARING_VIOLATION) continue;  // a window of this process has it
      return false;
    }
    // A snapshot under this name was left by an earlier process with the
    // same number; it waits to be offered, never overwritten.
    if (Exists(path)) continue;
    path_ = std::move(path);
    lock_ = std::move(lock);
    return true;
  }
  return false;
}

bool SnapshotFile::Adopt(const std::u16string& snapshotPath) {
  Release();
  UniqueHandle lock = OpenLock(LockPathOf(snapshotPath));
  if (!lock) return false;
  path_ = snapshotPath;
  lock_ = std::move(lock);
  return true;
}

bool SnapshotFile::Write(std::string_view bytes) const {
  if (!lock_) return false;
  const std::u16string temp = path_ + u".tmp";
  bool ok;
  {
    UniqueHandle file(CreateFileW(W(temp), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ok = file && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  }
  ok = ok && MoveFileExW(W(temp), W(path_), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(W(temp));
  return ok;
}

void SnapshotFile::Remove() const {
  if (path_.empty()) return;
  DeleteFileW(W(path_));
  // A write cut short by the end of an earlier process leaves its half.
  DeleteFileW(W(path_ + u".tmp"));
}

void SnapshotFile::Release() {
  lock_.reset();
  path_.clear();
}

std::vector<std::u16string> OrphanedSnapshots(const std::u16string& folder) {
  struct Found {
    std::u16string path;
    FILETIME written;
  };
  std::vector<Found> found;
  WIN32_FIND_DATAW data;
  const std::u16string pattern = folder + u"quillet-*" + kSnapshotExtension;
  HANDLE search = FindFirstFileW(W(pattern), &data);
  if (search == INVALID_HANDLE_VALUE) return {};
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::u16string name = U(data.cFileName);
    if (!IsSnapshotFileName(name)) continue;
    const std::u16string path = folder + name;
    // Held by a running window when its lock cannot be opened for sharing.
    UniqueHandle probe(CreateFileW(W(LockPathOf(path)), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!probe && GetLastError() == ERROR_SHARING_VIOLATION) continue;
    found.push_back({path, data.ftLastWriteTime});
  } while (FindNextFileW(search, &data));
  FindClose(search);
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) { return CompareFileTime(&a.written, &b.written) < 0; });
  std::vector<std::u16string> paths;
  for (Found& f : found) paths.push_back(std::move(f.path));
  return paths;
}

SnapshotLoad LoadSnapshot(const std::u16string& path, RecoverySnapshot& out) {
  UniqueHandle file(
      CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > kMaxSnapshotBytes)
    return SnapshotLoad::kCannotRead;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    DWORD chunk = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 20));
    if (!ReadFile(file.get(), bytes.data() + got, want, &chunk, nullptr) || chunk == 0)
      return SnapshotLoad::kCannotRead;
    got += chunk;
  }
  switch (DecodeSnapshot(bytes, out)) {
    case SnapshotRead::kOk:
      return SnapshotLoad::kOk;
    case SnapshotRead::kNotASnapshot:
      return SnapshotLoad::kNotASnapshot;
    case SnapshotRead::kDamaged:
      break;
  }
  return SnapshotLoad::kDamaged;
}

}  // namespace quillet
