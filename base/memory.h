// The program-wide allocation of large buffers. A request larger than the
// free physical memory first asks the user whether to go on (the machine
// would page for a long time); a refusal or a failed allocation gives null,
// which callers report as "内存不足！".
#pragma once

#include <cstddef>
#include <limits>
#include <type_traits>
#include <utility>

namespace quillet {

void* AllocChecked(std::size_t bytes);
// On failure the old block is freed and null returned, so a caller never
// keeps a stale pointer.
void* ReallocOrFree(void* block, std::size_t bytes);
// Null is allowed.
void FreeBlock(void* block);

// Owns one block of count elements of a trivial type taken with
// AllocChecked; empty when the request overflowed, was refused or failed.
template <class T>
class HeapBlock {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  HeapBlock() = default;
  HeapBlock(const HeapBlock&) = delete;
  HeapBlock& operator=(const HeapBlock&) = delete;
  HeapBlock(HeapBlock&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), count_(std::exchange(other.count_, 0)) {}
  HeapBlock& operator=(HeapBlock&& other) noexcept {
    if (this != &other) {
      reset();
      data_ = std::exchange(other.data_, nullptr);
      count_ = std::exchange(other.count_, 0);
    }
    return *this;
  }
  ~HeapBlock() { reset(); }

  static HeapBlock Allocate(std::size_t count) {
    HeapBlock block;
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) return block;
    block.data_ = static_cast<T*>(AllocChecked(count * sizeof(T)));
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
    data_ = static_cast<T*>(ReallocOrFree(data_, count * sizeof(T)));
    count_ = data_ ? count : 0;
    return data_ != nullptr;
  }

  void reset() {
    FreeBlock(data_);
    data_ = nullptr;
    count_ = 0;
  }

  T* get() const { return data_; }
  std::size_t count() const { return count_; }
  explicit operator bool() const { return data_ != nullptr; }
  T& operator[](std::size_t i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  std::size_t count_ = 0;
};

}  // namespace quillet
