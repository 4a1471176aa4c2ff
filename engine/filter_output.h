// What an external filter hands back, and the seam through which the text
// tool job runs one: the child process itself is the Windows glue's
// business, the collection of its bytes into text is pure and lives here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/memory.h"
#include "base/messages.h"

namespace quillet {

// The code-page side of a stream: how many leading bytes end on a character
// boundary, and their conversion into UTF-16 (out has room for n units).
struct ByteDecoder {
  std::size_t (*completePrefix)(const unsigned char* bytes, std::size_t n) = nullptr;  // null: every byte is whole
  std::size_t (*decode)(const char* bytes, std::size_t n, char16_t* out) = nullptr;
};

// Complete-prefix rules for a double-byte code page (a lead byte starts a
// two-byte character) and for UTF-8.
std::size_t DoubleByteCompletePrefix(const unsigned char* bytes, std::size_t n, bool (*isLeadByte)(unsigned char));
std::size_t Utf8CompletePrefix(const unsigned char* bytes, std::size_t n);

// One output stream of a child, read in chunks of at most 65534 bytes and
// converted as it arrives into a buffer that starts at 65535 units and
// doubles. A character whose bytes are split between two reads waits for
// its second half, so nothing is lost or garbled at a chunk boundary. Zero
// bytes become spaces, as in a file that is opened: the text goes into the
// document as a terminated string and must not end early.
class FilterOutput {
 public:
  static constexpr std::size_t kInitialUnits = 65535;
  static constexpr std::size_t kChunkBytes = 65534;
  // Beyond this the output counts as too large for memory; positions in the
  // document are 32-bit, and a 32-bit process could not hold more anyway.
  static constexpr std::size_t kDefaultLimitUnits = std::size_t{1} << 30;

  explicit FilterOutput(ByteDecoder decoder, std::size_t limitUnits = kDefaultLimitUnits);

  // Takes the first buffer; false when memory is refused.
  bool Start();
  // Where the next read goes, and how many bytes it may bring.
  char* ReadInto() { return chunk_ + pending_; }
  static constexpr std::size_t ReadRoom() { return kChunkBytes; }
  // Converts the bytes a read brought. False when the buffer could not grow:
  // it is released then and the output is lost.
  bool Commit(std::size_t bytesRead);
  // Converts whatever waits for a second half (the stream ended in the
  // middle of a character) and terminates the text.
  bool Finish();

  const char16_t* text() const { return buffer_.get(); }
  std::size_t length() const { return written_; }
  std::size_t capacity() const { return buffer_.count(); }
  // Hands the terminated text over.
  HeapBlock<char16_t> Take() { return std::move(buffer_); }

 private:
  bool Convert(std::size_t n);

  ByteDecoder decoder_;
  std::size_t limit_;
  HeapBlock<char16_t> buffer_;
  std::size_t written_ = 0;
  std::size_t pending_ = 0;  // bytes at the start of chunk_ still waiting
  char chunk_[kChunkBytes + 8];
};

// What a filter run gives back to the text tool job (operation 161).
struct FilterRun {
  // Runs the child over the selection. Returns null and fills output for a
  // replacement; returns null with code set when there is nothing to put in
  // (20: the user declined or it was a "%F" run; 21: failure already shown);
  // otherwise a message of the message table.
  Failure (*run)(FilterRun& run, std::u16string_view input) = nullptr;
  void* context = nullptr;
  int code = 0;
  HeapBlock<char16_t> output;  // terminated
  std::size_t outputLength = 0;
};

}  // namespace quillet
