#include "tests/win/allocation_faults.h"

#include <cstdlib>
#include <new>

namespace quillet::testing_support {
namespace {

// Per thread, so that the threads that answer message boxes, or the
// system's own, are never hit.
thread_local std::size_t countdown = 0;
thread_local bool failed = false;

}  // namespace

void FailNthAllocation(std::size_t n) {
  countdown = n;
  failed = false;
}

bool AllocationFailed() {
  countdown = 0;
  return failed;
}

}  // namespace quillet::testing_support

using quillet::testing_support::countdown;
using quillet::testing_support::failed;

void* operator new(std::size_t size) {
  if (countdown != 0 && --countdown == 0) {
    failed = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
