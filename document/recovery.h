// Recovery snapshots: what a modified document needs to come back after the
// program ended without saving it (a crash, a killed process, a power cut):
// its text, its full path if it has one, its encoding and line-end style.
// The pure half: the snapshot's bytes, their check on reading, the names of
// the snapshot files, and when the next snapshot is due.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/document.h"

namespace quillet {

struct RecoverySnapshot {
  std::u16string path;  // empty while untitled
  TextEncoding encoding = kEncodingAnsi;
  LineEndStyle lineEnd = kLineEndWin;
  std::u16string text;
};

// The file's bytes: a fixed header (mark, version, encoding, line ends, the
// path's and the text's length in units), the path and the text as UTF-16
// little-endian, and a CRC-32 of everything before it. The lengths and the
// checksum let a reader tell a complete snapshot from a torn or foreign one.
std::string EncodeSnapshot(const RecoverySnapshot& snapshot);

enum class SnapshotRead {
  kOk,
  kNotASnapshot,  // no snapshot mark, or a version this program does not read
  kDamaged,       // the mark is there but the lengths or the checksum do not agree
};

// Fills out only when the whole snapshot is sound.
SnapshotRead DecodeSnapshot(std::string_view bytes, RecoverySnapshot& out);

// One snapshot per running window: named for its process and a number the
// window draws, so that running copies never share a name.
inline constexpr char16_t kSnapshotExtension[] = u".qrec";
std::u16string SnapshotFileName(std::uint32_t processId, std::uint32_t windowNumber);
bool IsSnapshotFileName(std::u16string_view name);

// When the next snapshot is written: a pause after the last change, but
// never later than a period after the first change not yet written and
// never sooner than a period after the last write; nothing is due while no
// change waits. Times are milliseconds on any steady clock.
class SnapshotSchedule {
 public:
  static constexpr std::uint64_t kPauseMs = 2000;
  static constexpr std::uint64_t kPeriodMs = 5000;

  void Changed(std::uint64_t now);
  // The text went to disk (or was saved, or discarded): nothing waits.
  void Written(std::uint64_t now);
  void Forget();
  std::optional<std::uint64_t> Due() const;
  bool IsDue(std::uint64_t now) const;

 private:
  std::optional<std::uint64_t> firstChange_;
  std::uint64_t lastChange_ = 0;
  std::optional<std::uint64_t> lastWrite_;
};

}  // namespace quillet
