#include "engine/filter_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/messages.h"
#include "engine/tool_job.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

// A toy double-byte code page: bytes from 0x80 up start a two-byte
// character U+4E00 + (lead - 0x80) * 256 + trail; the rest are ASCII.
// Trail bytes may look like lead bytes, as in the real ones.
bool ToyLead(unsigned char b) { return b >= 0x80; }
std::size_t ToyPrefix(const unsigned char* bytes, std::size_t n) { return DoubleByteCompletePrefix(bytes, n, ToyLead); }
std::size_t ToyDecode(const char* bytes, std::size_t n, char16_t* out) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (ToyLead(b) && i + 1 < n) {
      out[units++] = static_cast<char16_t>(0x4E00 + (b - 0x80) * 256 + static_cast<unsigned char>(bytes[++i]));
    } else {
      out[units++] = ToyLead(b) ? u'?' : static_cast<char16_t>(b);
    }
  }
  return units;
}
constexpr ByteDecoder kToy{ToyPrefix, ToyDecode};

// Feeds the bytes in reads of the given sizes, as a pipe would deliver them.
std::u16string Collect(FilterOutput& out, const std::string& bytes, std::size_t piece) {
  EXPECT_TRUE(out.Start());
  for (std::size_t done = 0; done < bytes.size(); done += piece) {
    const std::size_t n = std::min(piece, bytes.size() - done);
    std::memcpy(out.ReadInto(), bytes.data() + done, n);
    if (!out.Commit(n)) return u"<refused>";
  }
  if (!out.Finish()) return u"<refused>";
  return std::u16string(out.text(), out.length());
}

TEST(FilterOutput, CharactersSplitBetweenReadsArriveWhole) {
  // "a" then three two-byte characters whose trail bytes look like leads.
  const std::string bytes = "a\x81\x82\x83\x84\x85\x86";
  const std::u16string expected = u"a\u4F82\u5184\u5386";
  for (std::size_t piece = 1; piece <= bytes.size(); ++piece) {
    FilterOutput out(kToy);
    EXPECT_EQ(Collect(out, bytes, piece), expected) << "reads of " << piece;
  }
  // A stream that ends inside a character still gives what it has.
  FilterOutput out(kToy);
  EXPECT_EQ(Collect(out, "ab\x81", 2), u"ab?");
}

TEST(FilterOutput, ZeroBytesBecomeSpacesSoTheTextGoesInWhole) {
  FilterOutput out(kToy);
  EXPECT_EQ(Collect(out, std::string("\0a\0b\0", 5), 2), u" a b ");
}

TEST(FilterOutput, BufferDoublesPastItsFirstSizeAndRefusesBeyondTheLimit) {
  const std::string big(3 * FilterOutput::kInitialUnits, 'x');
  FilterOutput out(kToy);
  EXPECT_EQ(Collect(out, big, FilterOutput::kChunkBytes).size(), big.size());
  EXPECT_EQ(out.capacity(), 4 * FilterOutput::kInitialUnits);
  EXPECT_EQ(out.text()[out.length()], u'\0');

  // Growing past the limit is refused and the partial text given up.
  FilterOutput small(kToy, 2 * FilterOutput::kInitialUnits);
  EXPECT_EQ(Collect(small, big, FilterOutput::kChunkBytes), u"<refused>");
  EXPECT_EQ(small.text(), nullptr);
}

TEST(FilterOutput, Utf8SequencesWaitForTheirLastByte) {
  const std::string text =
      "a\xE4\xB8\xAD\xF0\x9F\x98\x80"
      "b";  // a, U+4E2D, U+1F600, b
  for (std::size_t n = 0; n <= text.size(); ++n) {
    const std::size_t whole = Utf8CompletePrefix(reinterpret_cast<const unsigned char*>(text.data()), n);
    const bool boundary = n == 0 || n == 1 || n == 4 || n == 8 || n == 9;
    EXPECT_EQ(whole, boundary ? n : (n < 4 ? 1 : 4)) << n;
  }
}

// The job side: what the child gives back replaces the selection as it is.
Failure GiveBack(FilterRun& run, std::u16string_view input) {
  auto* seen = static_cast<std::u16string*>(run.context);
  *seen = std::u16string(input);
  const std::u16string out = u"<" + *seen + u">";
  run.output = HeapBlock<char16_t>::Allocate(out.size() + 1);
  std::copy(out.begin(), out.end(), run.output.get());
  run.output[out.size()] = 0;
  run.outputLength = out.size();
  return {};
}

TEST(FilterJob, OutputReplacesTheWholeSelectionFinalBreakIncluded) {
  std::u16string seen;
  FilterRun run;
  run.run = GiveBack;
  run.context = &seen;
  testing::RunOptions options;
  options.keepFinalBreak = true;
  options.params = FilterParams{&run};
  testing::ToolRun r = testing::RunTool(kOpExternalFilter, u"x b\r\na\r\ny", 2, 8, options);
  EXPECT_EQ(seen, u"b\r\na\r\n");
  EXPECT_TRUE(r.replaced);
  EXPECT_EQ(r.result, u"<b\r\na\r\n>");

  // An empty selection runs too; the output lands at the caret.
  FilterRun empty;
  empty.run = GiveBack;
  empty.context = &seen;
  options.params = FilterParams{&empty};
  r = testing::RunTool(kOpExternalFilter, u"xy", 1, 1, options);
  EXPECT_EQ(seen, u"");
  EXPECT_TRUE(r.replaced);
  EXPECT_EQ(r.result, u"<>");
}

Failure Declines(FilterRun& run, std::u16string_view) {
  run.code = 21;
  return {};
}
Failure Fails(FilterRun&, std::u16string_view) { return kMsgExecutableNotFound; }

TEST(FilterJob, AFailedOrDeclinedRunLeavesTheSelection) {
  for (auto how : {Declines, Fails}) {
    FilterRun run;
    run.run = how;
    testing::RunOptions options;
    options.keepFinalBreak = true;
    options.params = FilterParams{&run};
    testing::ToolRun r = testing::RunTool(kOpExternalFilter, u"abc", 0, 3, options);
    EXPECT_FALSE(r.replaced);
    EXPECT_EQ(r.message.id(), how == Fails ? std::optional(kMsgExecutableNotFound) : std::nullopt);
  }
}

}  // namespace
}  // namespace quillet
