// The thread that writes the window's recovery snapshots, so that typing
// never waits for the disk: the window thread only copies the text and
// hands it over; encoding and writing happen here. A newer snapshot
// replaces one not yet written, and removing the snapshot goes through the
// same queue, so the two never race.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "document/recovery.h"
#include "document/recovery_store_win.h"

namespace quillet {

class SnapshotWriter {
 public:
  // Writes into the file, which the caller has claimed and keeps claimed
  // while the writer lives. done, if given, hears on the writer's thread
  // whether each write reached the disk.
  explicit SnapshotWriter(const SnapshotFile& file, std::function<void(bool written)> done = {});
  SnapshotWriter(const SnapshotWriter&) = delete;
  SnapshotWriter& operator=(const SnapshotWriter&) = delete;
  // Finishes what was handed over, then ends the thread.
  ~SnapshotWriter();

  void Write(RecoverySnapshot snapshot);
  void Remove();
  // Returns once everything handed over is on disk (or has failed).
  void Flush();
  // Whether the last write failed (a full disk, a folder made read-only);
  // the next write tries again.
  bool LastWriteFailed() const { return failed_.load(); }

 private:
  void Run();

  const SnapshotFile& file_;
  std::function<void(bool)> done_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<RecoverySnapshot> pending_;
  bool removePending_ = false;
  bool busy_ = false;
  bool ending_ = false;
  std::atomic<bool> failed_{false};
  std::thread thread_;
};

}  // namespace quillet
