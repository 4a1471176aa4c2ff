#include "shell/files/snapshot_writer_win.h"

#include <new>
#include <utility>

namespace quillet {

SnapshotWriter::SnapshotWriter(const SnapshotFile& file, std::function<void(bool)> done)
    : file_(file), done_(std::move(done)), thread_([this] { Run(); }) {}

SnapshotWriter::~SnapshotWriter() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void SnapshotWriter::Write(RecoverySnapshot snapshot) {
  {
    std::lock_guard lock(mutex_);
    pending_ = std::move(snapshot);
    removePending_ = false;
  }
  wake_.notify_one();
}

void SnapshotWriter::Remove() {
  {
    std::lock_guard lock(mutex_);
    pending_.reset();
    removePending_ = true;
  }
  wake_.notify_one();
}

void SnapshotWriter::Flush() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !busy_ && !pending_ && !removePending_; });
}

void SnapshotWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return ending_ || pending_ || removePending_; });
    if (pending_) {
      RecoverySnapshot snapshot = std::move(*pending_);
      pending_.reset();
      busy_ = true;
      lock.unlock();
      // The encoded copy doubles the text for a moment; when memory runs
      // out the write fails like a full disk and the next change tries again.
      bool written = false;
      try {
        written = file_.Write(EncodeSnapshot(snapshot));
      } catch (const std::bad_alloc&) {
      }
      failed_ = !written;
      if (done_) done_(written);
      lock.lock();
      busy_ = false;
    } else if (removePending_) {
      removePending_ = false;
      busy_ = true;
      lock.unlock();
      file_.Remove();
      lock.lock();
      busy_ = false;
    } else if (ending_) {
      break;
    }
    idle_.notify_all();
  }
  idle_.notify_all();
}

}  // namespace quillet
