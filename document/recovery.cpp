#include "document/recovery.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/crc32.h"

namespace quillet {
namespace {

constexpr std::array<char, 8> kMark = {'Q', 'L', 'T', 'R', 'E', 'C', '\r', '\n'};
constexpr std::uint32_t kVersion = 1;
// Mark, version, encoding, line ends, path units (4 bytes), text units (8).
constexpr std::size_t kHeaderBytes = kMark.size() + 4 + 4 + 4 + 4 + 8;
constexpr std::size_t kChecksumBytes = 4;

void PutLittle(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t GetLittle(std::string_view in, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)])) << (8 * i);
  return value;
}

void PutUnits(std::string& out, std::u16string_view units) {
  for (char16_t u : units) PutLittle(out, u, 2);
}

std::u16string GetUnits(std::string_view in, std::size_t at, std::size_t units) {
  std::u16string out(units, u'\0');
  for (std::size_t i = 0; i < units; ++i) out[i] = static_cast<char16_t>(GetLittle(in, at + 2 * i, 2));
  return out;
}

}  // namespace

std::string EncodeSnapshot(const RecoverySnapshot& snapshot) {
  std::string out;
  out.reserve(kHeaderBytes + 2 * (snapshot.path.size() + snapshot.text.size()) + kChecksumBytes);
  out.append(kMark.data(), kMark.size());
  PutLittle(out, kVersion, 4);
  PutLittle(out, static_cast<std::uint32_t>(snapshot.encoding), 4);
  PutLittle(out, static_cast<std::uint32_t>(snapshot.lineEnd), 4);
  PutLittle(out, snapshot.path.size(), 4);
  PutLittle(out, snapshot.text.size(), 8);
  PutUnits(out, snapshot.path);
  PutUnits(out, snapshot.text);
  PutLittle(out, Crc32(out.data(), out.size()), 4);
  return out;
}

SnapshotRead DecodeSnapshot(std::string_view bytes, RecoverySnapshot& out) {
  if (bytes.size() < kMark.size() + 4 || std::memcmp(bytes.data(), kMark.data(), kMark.size()) != 0)
    return SnapshotRead::kNotASnapshot;
  if (GetLittle(bytes, kMark.size(), 4) != kVersion) return SnapshotRead::kNotASnapshot;
  if (bytes.size() < kHeaderBytes + kChecksumBytes) return SnapshotRead::kDamaged;
  const std::uint64_t encoding = GetLittle(bytes, kMark.size() + 4, 4);
  const std::uint64_t lineEnd = GetLittle(bytes, kMark.size() + 8, 4);
  const std::uint64_t pathUnits = GetLittle(bytes, kMark.size() + 12, 4);
  const std::uint64_t textUnits = GetLittle(bytes, kMark.size() + 16, 8);
  // Compared by division first, so that lengths from a damaged header cannot
  // overflow the sum.
  const std::uint64_t room = bytes.size() - kHeaderBytes - kChecksumBytes;
  if (encoding >= static_cast<std::uint64_t>(kEncodingCount) || lineEnd > kLineEndMac || pathUnits > room / 2 ||
      textUnits > room / 2 || 2 * (pathUnits + textUnits) != room)
    return SnapshotRead::kDamaged;
  const std::size_t body = bytes.size() - kChecksumBytes;
  if (Crc32(bytes.data(), body) != GetLittle(bytes, body, 4)) return SnapshotRead::kDamaged;
  out.encoding = static_cast<TextEncoding>(encoding);
  out.lineEnd = static_cast<LineEndStyle>(lineEnd);
  out.path = GetUnits(bytes, kHeaderBytes, pathUnits);
  out.text = GetUnits(bytes, kHeaderBytes + 2 * pathUnits, textUnits);
  return SnapshotRead::kOk;
}

std::u16string SnapshotFileName(std::uint32_t processId, std::uint32_t windowNumber) {
  const std::string name = "quillet-" + std::to_string(processId) + "-" + std::to_string(windowNumber);
  return std::u16string(name.begin(), name.end()) + kSnapshotExtension;
}

bool IsSnapshotFileName(std::u16string_view name) {
  constexpr std::u16string_view kPrefix = u"quillet-";
  const std::u16string_view extension = kSnapshotExtension;
  if (name.size() <= kPrefix.size() + extension.size() || !name.starts_with(kPrefix) || !name.ends_with(extension))
    return false;
  const std::u16string_view middle = name.substr(kPrefix.size(), name.size() - kPrefix.size() - extension.size());
  const std::size_t dash = middle.find(u'-');
  if (dash == 0 || dash == std::u16string_view::npos || dash + 1 == middle.size()) return false;
  return std::all_of(middle.begin(), middle.end(), [](char16_t c) { return c == u'-' || (c >= u'0' && c <= u'9'); }) &&
         middle.find(u'-', dash + 1) == std::u16string_view::npos;
}

void SnapshotSchedule::Changed(std::uint64_t now) {
  if (!firstChange_) firstChange_ = now;
  lastChange_ = now;
}

void SnapshotSchedule::Written(std::uint64_t now) {
  firstChange_.reset();
  lastWrite_ = now;
}

void SnapshotSchedule::Forget() { firstChange_.reset(); }

std::optional<std::uint64_t> SnapshotSchedule::Due() const {
  if (!firstChange_) return std::nullopt;
  std::uint64_t due = std::min(lastChange_ + kPauseMs, *firstChange_ + kPeriodMs);
  if (lastWrite_) due = std::max(due, *lastWrite_ + kPeriodMs);
  return due;
}

bool SnapshotSchedule::IsDue(std::uint64_t now) const {
  const std::optional<std::uint64_t> due = Due();
  return due && now >= *due;
}

}  // namespace quillet
