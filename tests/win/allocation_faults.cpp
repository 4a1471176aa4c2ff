#include "tests/win/allocation_faults.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace quillet::testing_support {
namespace {

// Per thread, so that the threads that answer message boxes, or the
// system's own, are never hit.
thread_local std::size_t countdown = 0;
thread_local bool failed = false;
thread_local bool countingLive = false;
std::atomic<long> liveBlocks{0};
// Which counting a block belongs to (0: none), so that a block freed on
// another thread, or during a later counting, is subtracted only from its
// own. The header keeps the allocator's alignment.
std::atomic<std::size_t> generation{0};
constexpr std::size_t kHeader = alignof(std::max_align_t) > 16 ? alignof(std::max_align_t) : 16;

}  // namespace

void FailNthAllocation(std::size_t n) {
  countdown = n;
  failed = false;
}

bool AllocationFailed() {
  countdown = 0;
  return failed;
}

bool TakeAllocationTurn() {
  if (countdown != 0 && --countdown == 0) {
    failed = true;
    return false;
  }
  return true;
}

void StartCountingLiveBlocks() {
  ++generation;
  liveBlocks = 0;
  countingLive = true;
}

long LiveBlocks() { return liveBlocks.load(); }

}  // namespace quillet::testing_support

namespace ts = quillet::testing_support;

void* operator new(std::size_t size) {
  if (!ts::TakeAllocationTurn()) throw std::bad_alloc();
  auto* block = static_cast<unsigned char*>(std::malloc(size + ts::kHeader));
  if (!block) throw std::bad_alloc();
  const std::size_t tag = ts::countingLive ? ts::generation.load() : 0;
  *reinterpret_cast<std::size_t*>(block) = tag;
  if (tag != 0) ++ts::liveBlocks;
  return block + ts::kHeader;
}

void operator delete(void* p) noexcept {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - ts::kHeader;
  const std::size_t tag = *reinterpret_cast<std::size_t*>(block);
  if (tag != 0 && tag == ts::generation.load()) --ts::liveBlocks;
  std::free(block);
}

void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete[](void* p) noexcept { ::operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { ::operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { ::operator delete(p); }
