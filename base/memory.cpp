#include "base/memory.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "base/messages.h"
#include "base/system_calls.h"

namespace quillet {

SystemCalls& System() {
  static SystemCalls calls;
  return calls;
}

namespace {

// A few spares, up to a total that leaves a 32-bit process room to work.
constexpr int kMaxSpares = 4;
constexpr std::size_t kMaxSpareTotal = sizeof(void*) > 4 ? std::size_t{1} << 30 : std::size_t{256} << 20;

struct Spares {
  std::mutex lock;
  void* block[kMaxSpares] = {};
  std::size_t bytes[kMaxSpares] = {};
  std::size_t total = 0;
};

Spares& TheSpares() {
  static Spares spares;
  return spares;
}

// The smallest spare of bytes..2 x bytes, taken out of the list; null when
// none fits.
void* TakeSpare(std::size_t bytes, std::size_t* got) {
  if (bytes < kSpareBlockMin) return nullptr;
  Spares& s = TheSpares();
  std::lock_guard<std::mutex> hold(s.lock);
  int best = -1;
  for (int i = 0; i < kMaxSpares; ++i) {
    if (s.block[i] && s.bytes[i] >= bytes && s.bytes[i] / 2 <= bytes && (best < 0 || s.bytes[i] < s.bytes[best]))
      best = i;
  }
  if (best < 0) return nullptr;
  void* block = std::exchange(s.block[best], nullptr);
  *got = std::exchange(s.bytes[best], 0);
  s.total -= *got;
  return block;
}

// The memory question: a request larger than the free physical memory goes
// on only with the user's Yes.
bool MayTake(std::size_t bytes) {
  const SystemCalls& sys = System();
  if (!sys.freePhysicalMemory || bytes <= sys.freePhysicalMemory()) return true;
  return sys.askYesNo && sys.askYesNo(MessageText(kMsgLowMemoryAsk));
}

}  // namespace

void* AllocBlock(std::size_t bytes, std::size_t* got, bool* fresh, bool ask) {
  if (fresh) *fresh = false;
  *got = 0;
  if (void* spare = TakeSpare(bytes, got)) return spare;
  // Short of memory, the spares go back before the user is asked about it;
  // a No is final.
  const SystemCalls& sys = System();
  if (bytes >= kSpareBlockMin && sys.freePhysicalMemory && bytes > sys.freePhysicalMemory()) ReleaseSpareBlocks();
  if (ask && !MayTake(bytes)) return nullptr;
  void* block = std::malloc(bytes ? bytes : 1);
  if (!block && SpareBlockBytes()) {
    ReleaseSpareBlocks();
    block = std::malloc(bytes ? bytes : 1);
  }
  *got = block ? bytes : 0;
  if (fresh) *fresh = block != nullptr;
  return block;
}

void TouchPagesInHalves(void* block, std::size_t bytes) {
  if (!block || bytes < kTouchBothHalvesMin) return;
  constexpr std::size_t kPage = 4096;  // a larger page only gets more than one write
  auto* bytesAt = static_cast<volatile unsigned char*>(block);
  auto touch = [bytesAt](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; i += kPage) bytesAt[i] = 0;
  };
  const std::size_t half = bytes / 2 / kPage * kPage;
  try {
    std::thread first(touch, std::size_t{0}, half);
    touch(half, bytes);
    first.join();
  } catch (const std::system_error&) {
    touch(0, bytes);  // no second thread to be had: this one does it all
  }
}

void ReturnBlock(void* block, std::size_t bytes) {
  if (!block) return;
  if (bytes < kSpareBlockMin || bytes > kMaxSpareTotal) {
    std::free(block);
    return;
  }
  Spares& s = TheSpares();
  void* dropped[kMaxSpares + 1] = {};
  int drops = 0;
  {
    std::lock_guard<std::mutex> hold(s.lock);
    // Make room by letting the smallest spares go: the large ones are the
    // costly ones to get anew. A block smaller than every spare is the one
    // that goes when there is no room.
    while (true) {
      int empty = -1, smallest = -1;
      for (int i = 0; i < kMaxSpares; ++i) {
        if (!s.block[i])
          empty = i;
        else if (smallest < 0 || s.bytes[i] < s.bytes[smallest])
          smallest = i;
      }
      if (empty >= 0 && s.total + bytes <= kMaxSpareTotal) {
        s.block[empty] = block;
        s.bytes[empty] = bytes;
        s.total += bytes;
        break;
      }
      if (smallest < 0 || s.bytes[smallest] > bytes) {
        dropped[drops++] = block;
        break;
      }
      dropped[drops++] = std::exchange(s.block[smallest], nullptr);
      s.total -= std::exchange(s.bytes[smallest], 0);
    }
  }
  for (int i = 0; i < drops; ++i) std::free(dropped[i]);
}

void ReleaseSpareBlocks() {
  Spares& s = TheSpares();
  void* dropped[kMaxSpares] = {};
  {
    std::lock_guard<std::mutex> hold(s.lock);
    for (int i = 0; i < kMaxSpares; ++i) {
      dropped[i] = std::exchange(s.block[i], nullptr);
      s.bytes[i] = 0;
    }
    s.total = 0;
  }
  for (void* block : dropped) std::free(block);
}

std::size_t SpareBlockBytes() {
  Spares& s = TheSpares();
  std::lock_guard<std::mutex> hold(s.lock);
  return s.total;
}

void* AllocChecked(std::size_t bytes) {
  if (!MayTake(bytes)) return nullptr;
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
