// The program-wide allocation of large buffers. A request larger than the
// free physical memory first asks the user whether to go on (the machine
// would page for a long time); a refusal or a failed allocation gives null,
// which callers report as "内存不足！".
#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

namespace quillet {

void* AllocChecked(std::size_t bytes);
// On failure the old block is freed and null returned, so a caller never
// keeps a stale pointer.
void* ReallocOrFree(void* block, std::size_t bytes);
// Null is allowed.
void FreeBlock(void* block);

// Large blocks are kept for the next request of about their size instead of
// going back to the system at once: a document-sized buffer handed back by
// the system is new memory whose every page faults on its first write, which
// on some machines costs more than the tool itself. AllocBlock takes such a
// spare when one fits (bytes..2 x bytes) and says in *got how large the
// block really is; ReturnBlock keeps a block of at least kSpareBlockMin
// bytes (the largest few, within a total) and frees the rest. A failed
// allocation lets all spares go and tries again.
constexpr std::size_t kSpareBlockMin = std::size_t{1} << 20;
// *fresh (when given) says whether the block is new from the system rather
// than a spare. With ask false a large request is not put to the user: the
// caller has asked once for the whole job (opening a file).
void* AllocBlock(std::size_t bytes, std::size_t* got, bool* fresh = nullptr, bool ask = true);
void ReturnBlock(void* block, std::size_t bytes);
// Writes one byte in every page of a new block from two threads, so that
// the system hands over its pages side by side; a caller that then fills
// the block in one thread (a zero fill, a read, a copy) finds them there.
// Blocks under kTouchBothHalvesMin are touched by nobody.
constexpr std::size_t kTouchBothHalvesMin = std::size_t{8} << 20;
void TouchPagesInHalves(void* block, std::size_t bytes);

// Frees every spare block (the user went to another program, the edit
// control is about to take a large text, a memory measurement).
void ReleaseSpareBlocks();
// What the spares hold now, in bytes.
std::size_t SpareBlockBytes();

// Owns one block of count elements of a trivial type taken with
// AllocBlock (which asks the memory question) and handed back with
// ReturnBlock; empty when the request overflowed, was refused or failed.
template <class T>
class HeapBlock {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  HeapBlock() = default;
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  HeapBlock(HeapBlock&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        count_(std::exchange(other.count_, 0)),
        bytes_(std::exchange(other.bytes_, 0)) {}
  HeapBlock& operator=(HeapBlock&& other) noexcept {
    if (this != &other) {
      reset();
      data_ = std::exchange(other.data_, nullptr);
      count_ = std::exchange(other.count_, 0);
      bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
  }
  ~HeapBlock() { reset(); }

  static HeapBlock Allocate(std::size_t count) {
    HeapBlock block;
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) return block;
    block.data_ = static_cast<T*>(AllocBlock(count * sizeof(T), &block.bytes_));
    if (block.data_) block.count_ = count;
    return block;
  }

  // Keeps the contents up to the smaller count; on failure the block is
  // released and false returned.
  bool Resize(std::size_t count) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
      reset();
      return false;
    }
    if (!data_) {
      *this = Allocate(count);
      return data_ != nullptr;
    }
    data_ = static_cast<T*>(ReallocOrFree(data_, count * sizeof(T)));
    count_ = data_ ? count : 0;
    bytes_ = count_ * sizeof(T);
    return data_ != nullptr;
  }

  void reset() {
    ReturnBlock(data_, bytes_);
    data_ = nullptr;
    count_ = 0;
    bytes_ = 0;
  }

  T* get() const { return data_; }
  std::size_t count() const { return count_; }
  explicit operator bool() const { return data_ != nullptr; }
  T& operator[](std::size_t i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  std::size_t count_ = 0;
  std::size_t bytes_ = 0;  // of the block, which a spare may make larger than count_ needs
};

// An allocator over AllocBlock / ReturnBlock for the standard strings that
// hold a whole document (a file's bytes, its decoded text, what is saved):
// they reuse the spares like the tools' buffers. Like the standard
// allocator it asks nobody and throws std::bad_alloc on failure; opening a
// file asks its one memory question itself.
template <class T>
struct SpareAllocator {
  using value_type = T;
  SpareAllocator() = default;
  template <class U>
  SpareAllocator(const SpareAllocator<U>&) noexcept {}  // NOLINT: converting, as allocators are

  T* allocate(std::size_t n) {
    if (n > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_alloc();
    std::size_t got = 0;
    bool fresh = false;
    void* block = AllocBlock(n * sizeof(T), &got, &fresh, false);
    if (!block) throw std::bad_alloc();
    // A string fills all it asks for, and in one thread.
    if (fresh) TouchPagesInHalves(block, n * sizeof(T));
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t n) noexcept { ReturnBlock(block, n * sizeof(T)); }

  template <class U>
  bool operator==(const SpareAllocator<U>&) const noexcept {
    return true;
  }
};

// A whole document's UTF-16 text and a whole file's bytes.
using LargeText = std::basic_string<char16_t, std::char_traits<char16_t>, SpareAllocator<char16_t>>;
using LargeBytes = std::basic_string<char, std::char_traits<char>, SpareAllocator<char>>;

}  // namespace quillet
