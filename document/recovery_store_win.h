// Recovery snapshots on disk. Each running window owns one snapshot file in
// the recovery folder and holds a lock file beside it open, unshared and
// deleted on close: while the window runs no other copy can take its
// snapshot, and when the process ends however it ends (a crash, a kill, a
// power cut) the lock goes with it and the snapshot is left for the next
// start to offer. A snapshot is written to a temporary file, flushed and
// renamed over the previous one, so a write cut short leaves the last
// complete snapshot in place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/handles_win.h"
#include "document/recovery.h"
#include "document/settings_store_win.h"

namespace quillet {

// %LOCALAPPDATA%\Quillet\Recovery\ or, when the run keeps its settings in
// the file beside the program (or that file is there), Recovery\ beside the
// program; with a final backslash. Empty when neither can be found.
std::u16string RecoveryFolder(const StoreLocation& where);

// Every folder of the path that is not there yet; false when one cannot be
// made.
bool MakeFolders(const std::u16string& folder);

// One window's snapshot file and its lock.
class SnapshotFile {
 public:
  SnapshotFile() = default;
  SnapshotFile(const SnapshotFile&) = delete;
  SnapshotFile& operator=(const SnapshotFile&) = delete;

  // Takes the name for this process and the next number no running window
  // holds: makes the folder if need be and opens the lock. False when the
  // folder cannot be made or written.
  bool Claim(const std::u16string& folder, std::uint32_t processId);
  // Takes over a snapshot a window that no longer runs left behind, so that
  // no other starting copy takes it too. False when another copy has it.
  bool Adopt(const std::u16string& snapshotPath);
  bool Claimed() const { return static_cast<bool>(lock_); }
  const std::u16string& Path() const { return path_; }

  // Writes the bytes safely (temporary file, flushed, renamed over the old
  // snapshot); false when any step failed, the old snapshot then stays.
  bool Write(std::string_view bytes) const;
  // Deletes the snapshot (saved, discarded, or the window closed normally);
  // the claim stays.
  void Remove() const;
  // Gives the claim up: the lock goes, the snapshot stays on disk.
  void Release();

 private:
  std::u16string path_;
  UniqueHandle lock_;
};

// The snapshots in the folder whose windows no longer run (no one holds
// their lock), oldest first.
std::vector<std::u16string> OrphanedSnapshots(const std::u16string& folder);

enum class SnapshotLoad { kOk, kCannotRead, kNotASnapshot, kDamaged };
SnapshotLoad LoadSnapshot(const std::u16string& path, RecoverySnapshot& out);

}  // namespace quillet
