#include "engine/filter_output.h"

#include <algorithm>
#include <cstring>

namespace quillet {

std::size_t DoubleByteCompletePrefix(const unsigned char* bytes, std::size_t n, bool (*isLeadByte)(unsigned char)) {
  // Trail bytes share their values with lead bytes, so only a walk from a
  // known boundary tells whether the last byte starts a character.
  std::size_t i = 0;
  while (i < n) {
    const std::size_t size = isLeadByte(bytes[i]) ? 2 : 1;
    if (i + size > n) break;
    i += size;
  }
  return i;
}

std::size_t Utf8CompletePrefix(const unsigned char* bytes, std::size_t n) {
  // Look back at most three bytes for the start of the last sequence.
  for (std::size_t back = 1; back <= std::min<std::size_t>(n, 4); ++back) {
    const unsigned char b = bytes[n - back];
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte
    const std::size_t size = b < 0x80             ? 1
                             : (b & 0xE0) == 0xC0 ? 2
                             : (b & 0xF0) == 0xE0 ? 3
                             : (b & 0xF8) == 0xF0 ? 4
                                                  : 1;
    return back < size ? n - back : n;
  }
  return n;
}

FilterOutput::FilterOutput(ByteDecoder decoder, std::size_t limitUnits) : decoder_(decoder), limit_(limitUnits) {}

bool FilterOutput::Start() {
  buffer_ = HeapBlock<char16_t>::Allocate(std::min(kInitialUnits, limit_));
  if (!buffer_) return false;
  buffer_[0] = 0;
  written_ = 0;
  pending_ = 0;
  return true;
}

bool FilterOutput::Convert(std::size_t n) {
  if (n == 0) return true;
  // Never more units than bytes; one more for the terminator.
  std::size_t capacity = buffer_.count();
  while (written_ + n >= capacity) {
    if (capacity > limit_ / 2) {
      buffer_.reset();
      return false;
    }
    capacity *= 2;
  }
  if (capacity != buffer_.count() && !buffer_.Resize(capacity)) return false;
  written_ += decoder_.decode(chunk_, n, buffer_.get() + written_);
  buffer_[written_] = 0;
  return true;
}

bool FilterOutput::Commit(std::size_t bytesRead) {
  if (!buffer_) return false;
  char* fresh = chunk_ + pending_;
  std::replace(fresh, fresh + bytesRead, '\0', ' ');
  const std::size_t total = pending_ + bytesRead;
  const std::size_t whole =
      decoder_.completePrefix ? decoder_.completePrefix(reinterpret_cast<const unsigned char*>(chunk_), total) : total;
  if (!Convert(whole)) return false;
  pending_ = total - whole;
  std::memmove(chunk_, chunk_ + whole, pending_);
  return true;
}

bool FilterOutput::Finish() {
  if (!buffer_) return false;
  const std::size_t rest = pending_;
  pending_ = 0;
  return Convert(rest);
}

}  // namespace quillet
