// Unique lines and duplicates: the three jobs, counts, kept blank lines,
// and the hash table checked against the plain scan over earlier lines.
#include "engine/unique_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/char_classes.h"
#include "engine/crc32.h"
#include "engine/in_halves.h"
#include "engine/line_table.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::Apply;
using testing::RunOptions;

RunOptions Job(int job, bool ignoreCase = false, bool count = false, bool keepBlank = false) {
  RunOptions o;
  o.settings.uniqueMode = job;
  o.settings.uniqueIgnoreCase = ignoreCase;
  o.settings.uniqueCountDuplicates = count;
  o.settings.uniqueKeepBlank = keepBlank;
  return o;
}

TEST(Crc32, StandardChecksum) {
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32Table()[1], 0x77073096u);
  EXPECT_EQ(Crc32Table(), Crc32Table());  // built once
}

TEST(UniqueLines, ThreeJobs) {
  EXPECT_EQ(Apply(kOpUniqueLines, u"x\r\ny\r\nx\r\nY", Job(0)), u"x\r\ny\r\nY");
  EXPECT_EQ(Apply(kOpUniqueLines, u"x\r\ny\r\nx\r\nY", Job(0, true)), u"x\r\ny\r\n");
  EXPECT_EQ(Apply(kOpUniqueLines, u"x\r\ny\r\nx\r\nY", Job(0, true, true)), u"(2) x\r\n(2) y\r\n");
  EXPECT_EQ(Apply(kOpUniqueLines, u"x\r\ny\r\nx", Job(1)), u"y\r\n");
  EXPECT_EQ(Apply(kOpUniqueLines, u"x\r\ny\r\nx", Job(2)), u"x\r\n");
  // The selection's own final break comes back after the result.
  EXPECT_EQ(Apply(kOpUniqueLines, u"b\r\na\r\nb\r\n", Job(0)), u"b\r\na\r\n\r\n");
  // The settings record is what the dialog's command runs with; a record in
  // the job's data wins over it.
  RunOptions o = Job(2);
  const UniqueSpec spec{kUniqueOnlyUnique, false, true, false};
  o.params = UniqueParams{&spec};
  EXPECT_EQ(Apply(kOpUniqueLines, u"x\r\ny\r\nx", o), u"(1) y\r\n");
}

TEST(UniqueLines, BlankLinesKeptWithTheirOwnCounts) {
  // Blank lines are counted like any line; kept, a repeat shows 0.
  EXPECT_EQ(Apply(kOpUniqueLines, u"a\r\n\r\na\r\n\r\nb", Job(0, false, true, true)),
            u"(2) a\r\n(2) \r\n(0) \r\n(1) b");
  EXPECT_EQ(Apply(kOpUniqueLines, u"a\r\n\r\na\r\n\r\nb", Job(1, false, false, true)), u"\r\n\r\nb");
  EXPECT_EQ(Apply(kOpUniqueLines, u"a\r\n\r\na\r\n\r\nb", Job(0)), u"a\r\n\r\nb");
}

TEST(UniqueLines, CountsOfTenAndMoreFit) {
  // A thousand kept blank lines: "(1000) " on the first, "(0) " on every
  // other one. The result buffer must hold it all (the sanitizer checks).
  std::u16string text;
  for (int i = 0; i < 1000; ++i) text += u"\r\n";
  text += u"z";
  const std::u16string out = Apply(kOpUniqueLines, text, Job(0, false, true, true));
  std::u16string expected = u"(1000) ";
  for (int i = 1; i < 1000; ++i) expected += u"\r\n(0) ";
  expected += u"\r\n(1) z";
  EXPECT_EQ(out, expected);

  // Several blank texts with many repeats each.
  text.clear();
  for (int i = 0; i < 300; ++i) text += (i % 3 == 0 ? u"\r\n" : i % 3 == 1 ? u" \r\n" : u"\t\r\n");
  text += u"end";
  EXPECT_NE(Apply(kOpUniqueLines, text, Job(0, false, true, true)), u"<no replacement>");
}

// The written algorithm: for each line, the first earlier line with equal
// text; first occurrences carry the number of occurrences.
std::u16string ReferenceUnique(const std::vector<std::u16string>& lines, int job, bool ignoreCase, bool count,
                               bool keepBlank) {
  auto fold = [&](std::u16string s) {
    if (ignoreCase)
      for (char16_t& c : s) c = LowerOf(c);
    return s;
  };
  std::vector<int> counts(lines.size(), 0);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::size_t j = 0;
    while (j < i && fold(lines[j]) != fold(lines[i])) ++j;
    if (j < i)
      ++counts[j];
    else
      counts[i] = 1;
  }
  std::u16string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bool blank = true;
    for (char16_t c : lines[i]) blank = blank && IsSpaceChar(c);
    const int c = counts[i];
    const bool emit = (keepBlank && blank) || (job == 0 ? c >= 1 : job == 1 ? c == 1 : c >= 2);
    if (!emit) continue;
    if (count) {
      const std::string digits = std::to_string(c);
      out += u"(" + std::u16string(digits.begin(), digits.end()) + u") ";
    }
    out += lines[i];
    if (i + 1 < lines.size()) out += u"\r\n";
  }
  return out;
}

TEST(UniqueLines, HashTableGivesTheLinearScansOutput) {
  std::mt19937 rng(7);
  const std::u16string alphabet = u"aAbB \t";
  for (int round = 0; round < 300; ++round) {
    const int n = 1 + static_cast<int>(rng() % 40);
    std::vector<std::u16string> lines;
    std::u16string text;
    for (int i = 0; i < n; ++i) {
      std::u16string line;
      const int len = static_cast<int>(rng() % 4);
      for (int k = 0; k < len; ++k) line += alphabet[rng() % alphabet.size()];
      lines.push_back(line);
      text += (i ? u"\r\n" : u"") + line;
    }
    const int job = static_cast<int>(rng() % 3);
    const bool ic = rng() & 1, count = rng() & 1, keep = rng() & 1;
    // Straight on the table, with no final break to take off.
    std::u16string buffer(1, u'\0');
    buffer += text;
    std::vector<LineRecord> table(n);
    ASSERT_EQ(BuildLineTable(table.data(), buffer.data() + 1), static_cast<std::size_t>(n));
    std::vector<char16_t> out(UniqueLinesCapacity(table.data(), n, text.size()) + 1, u'#');
    char16_t* end = UniqueLines(table.data(), n, out.data(), job, ic, count, keep, 0);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(std::u16string(out.data(), end), ReferenceUnique(lines, job, ic, count, keep))
        << "round " << round << " job " << job << " ic " << ic << " count " << count << " keep " << keep;
  }
}

TEST(UniqueLines, SeparatorForWordTables) {
  // The word completion calls it over words, joined by a space.
  std::u16string words(u"\0be\0to\0be\0or", 12);
  std::vector<LineRecord> table(4);
  const char16_t* starts[] = {&words[1], &words[4], &words[7], &words[10]};
  for (int i = 0; i < 4; ++i) {
    table[i] = LineRecord{};
    table[i].start = const_cast<char16_t*>(starts[i]);
    table[i].length = 2;
  }
  char16_t out[32];
  char16_t* end = UniqueLines(table.data(), 4, out, 0, false, false, false, u' ');
  EXPECT_EQ(std::u16string(out, end), u"be to or");
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

TEST(UniqueLines, LargeSelectionsHashedInTwoHalves) {
  // Enough lines for the checksums to be taken by two threads.
  std::mt19937 rng(3);
  std::u16string text, expected;
  std::vector<bool> seen(5000, false);
  const std::size_t n = kLinesForTwoThreads + 1;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned v = rng() % 5000;
    const std::string digits = "line " + std::to_string(v);
    const std::u16string line(digits.begin(), digits.end());
    text += (i ? u"\r\n" : u"") + line;
    if (!seen[v]) {
      seen[v] = true;
      // A break after every emitted line but the selection's last.
      expected += line + (i + 1 < n ? u"\r\n" : u"");
    }
  }
  EXPECT_EQ(Apply(kOpUniqueLines, text, Job(0)), expected);
}

}  // namespace
}  // namespace quillet
