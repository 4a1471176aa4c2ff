#include "base/memory.h"

#include <cstdlib>

#include "base/system_calls.h"
#include "base/messages.h"

namespace quillet {

SystemCalls& System() {
  static SystemCalls calls;
  return calls;
}

void* AllocChecked(std::size_t bytes) {
  const SystemCalls& sys = System();
  if (sys.freePhysicalMemory && bytes > sys.freePhysicalMemory()) {
    if (!sys.askYesNo || !sys.askYesNo(kMsgLowMemoryAsk)) return nullptr;
  }
  // A zero-byte request still gets a block, so null always means failure.
  return std::malloc(bytes ? bytes : 1);
}

void* ReallocOrFree(void* block, std::size_t bytes) {
  void* moved = std::realloc(block, bytes ? bytes : 1);
  if (!moved) std::free(block);
  return moved;
}

void FreeBlock(void* block) { std::free(block); }

}  // namespace quillet
