// Large blocks handed back are kept for the next request of about their
// size, within limits, and never stand in the way of memory the program
// needs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/memory.h"
#include "base/system_calls.h"

namespace quillet {
namespace {

constexpr std::size_t kMB = std::size_t{1} << 20;

class SpareBlocks : public ::testing::Test {
 protected:
  SpareBlocks() { ReleaseSpareBlocks(); }
  ~SpareBlocks() override { ReleaseSpareBlocks(); }
};

TEST_F(SpareBlocks, ALargeBlockIsHandedOutAgainForAboutItsSize) {
  char* first = nullptr;
  {
    HeapBlock<char> block = HeapBlock<char>::Allocate(8 * kMB);
    ASSERT_TRUE(block);
    first = block.get();
    std::memset(first, 'x', 8 * kMB);
  }
  EXPECT_EQ(SpareBlockBytes(), 8 * kMB);

  {
    // Too large or less than half: a block of its own.
    HeapBlock<char> larger = HeapBlock<char>::Allocate(8 * kMB + 1);
    HeapBlock<char> small = HeapBlock<char>::Allocate(4 * kMB - 1);
    EXPECT_NE(larger.get(), first);
    EXPECT_NE(small.get(), first);
    EXPECT_EQ(SpareBlockBytes(), 8 * kMB);
  }
  EXPECT_EQ(SpareBlockBytes(), 20 * kMB);

  {
    // Half its size still fits; the block keeps its real size when it comes
    // back, so a full-size request finds it again.
    HeapBlock<char16_t> half = HeapBlock<char16_t>::Allocate(2 * kMB);
    EXPECT_EQ(reinterpret_cast<char*>(half.get()), first);
    EXPECT_EQ(SpareBlockBytes(), 12 * kMB);
  }
  HeapBlock<char> again = HeapBlock<char>::Allocate(8 * kMB);
  EXPECT_EQ(again.get(), first);

  // Growing a reused block keeps what it holds.
  again[0] = 'q';
  ASSERT_TRUE(again.Resize(9 * kMB));
  EXPECT_EQ(again[0], 'q');

  // Small blocks are not worth keeping.
  HeapBlock<char>::Allocate(kSpareBlockMin - 1);
  EXPECT_EQ(SpareBlockBytes(), 12 * kMB);
}

TEST_F(SpareBlocks, OnlyTheLargestFewAreKept) {
  std::vector<HeapBlock<char>> blocks;
  for (std::size_t mb : {3, 1, 5, 2, 4}) blocks.push_back(HeapBlock<char>::Allocate(mb * kMB));
  blocks.clear();
  EXPECT_EQ(SpareBlockBytes(), (5 + 4 + 3 + 2) * kMB);  // the 1 MB block went

  // A block smaller than every kept one goes at once when there is no room.
  HeapBlock<char>::Allocate(kMB);
  EXPECT_EQ(SpareBlockBytes(), (5 + 4 + 3 + 2) * kMB);

  ReleaseSpareBlocks();
  EXPECT_EQ(SpareBlockBytes(), 0u);
}

TEST_F(SpareBlocks, TheDocumentStringsShareThem) {
  // A file's bytes handed back serve the next read of a file about as large,
  // contents intact while in use, a copy of a text too.
  const char* first = nullptr;
  {
    LargeBytes bytes(kTouchBothHalvesMin + 3, 'b');
    first = bytes.data();
    EXPECT_EQ(bytes.back(), 'b');
  }
  LargeBytes again(kTouchBothHalvesMin, 'c');
  EXPECT_EQ(again.data(), first);
  EXPECT_EQ(again.find_first_not_of('c'), LargeBytes::npos);

  LargeText text(kTouchBothHalvesMin, u'\u4E2D');
  const LargeText copy(text);
  EXPECT_EQ(copy, text);
}

// Free physical memory as the test sets it; every question answered No.
std::uint64_t freeMemory = 0;
std::vector<std::u16string> questions;

TEST_F(SpareBlocks, ShortOfMemoryTheSparesGoBeforeTheUserIsAsked) {
  HeapBlock<char>::Allocate(6 * kMB);
  ASSERT_EQ(SpareBlockBytes(), 6 * kMB);

  SystemCalls calls;
  calls.freePhysicalMemory = [] { return freeMemory; };
  calls.askYesNo = [](const char16_t* text) {
    questions.emplace_back(text);
    return false;
  };
  ScopedSystemCalls scoped(calls);
  freeMemory = 4 * kMB;
  questions.clear();

  // A spare that fits needs no new memory, so nobody is asked.
  EXPECT_TRUE(HeapBlock<char>::Allocate(5 * kMB));
  EXPECT_TRUE(questions.empty());

  // A No is final: not asked again because spares could be let go.
  ASSERT_EQ(SpareBlockBytes(), 6 * kMB);
  freeMemory = 100;
  EXPECT_FALSE(HeapBlock<char>::Allocate(1000));
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(SpareBlockBytes(), 6 * kMB);
  freeMemory = 4 * kMB;
  questions.clear();

  // A request the spares cannot serve lets them go, then asks.
  EXPECT_FALSE(HeapBlock<char>::Allocate(13 * kMB));
  EXPECT_EQ(SpareBlockBytes(), 0u);
  EXPECT_EQ(questions.size(), 1u);
}

}  // namespace
}  // namespace quillet
