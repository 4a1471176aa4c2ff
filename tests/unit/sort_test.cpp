// Sorting: text and numeric comparisons, the key chain with its stable
// tie-break, and random line sets against a plain stable sort.
#include "engine/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/char_classes.h"
#include "engine/in_halves.h"
#include "engine/tool_job.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::Apply;
using testing::RunOptions;

std::u16string Sorted(const std::u16string& text, const SortSettings& keys) {
  RunOptions o;
  o.params = SortParams{keys.data()};
  return Apply(kOpSortLines, text, o);
}

int Numeric(std::u16string_view a, std::u16string_view b) {
  const int r = CompareKeysNumeric(a.data(), a.data() + a.size(), b.data(), b.data() + b.size());
  return (r > 0) - (r < 0);
}

TEST(SortText, CodeUnitOrderAndCaseFolding) {
  EXPECT_EQ(Sorted(u"b\r\na\r\nB", AscendingSort()), u"B\r\na\r\nb");
  SortSettings k = DefaultSortSettings();
  k[0].ignoreCase = true;
  EXPECT_EQ(Sorted(u"b\r\na\r\nB", k), u"a\r\nb\r\nB");
  // Descending keeps equal lines in input order: the tie-break is not reversed.
  k[0].descending = true;
  EXPECT_EQ(Sorted(u"a\r\nB\r\nb\r\nA", k), u"B\r\nb\r\na\r\nA");
  EXPECT_EQ(Sorted(u"a\r\nc\r\nb", DescendingSort()), u"c\r\nb\r\na");
  // A key that runs out first is the smaller.
  EXPECT_EQ(Sorted(u"ab\r\na\r\nabc", AscendingSort()), u"a\r\nab\r\nabc");
}

TEST(SortText, IgnoredAndKeptCharacters) {
  SortSettings k = DefaultSortSettings();
  k[0].keepOnly = true;
  k[0].keepList = u"0123456789";
  EXPECT_EQ(Sorted(u"b2\r\na3\r\nc1\r\nx1y", k), u"c1\r\nx1y\r\nb2\r\na3");
  // Nothing kept: every key is equal, the input order stays.
  k[0].keepList.clear();
  EXPECT_EQ(Sorted(u"b\r\nc\r\na", k), u"b\r\nc\r\na");
  k = DefaultSortSettings();
  k[0].ignoreChars = true;
  k[0].ignoreList = u"-_ ";
  EXPECT_EQ(Sorted(u"b-c\r\n_a\r\nb b", k), u"_a\r\nb b\r\nb-c");
  // Ignoring a lower-case letter and folding case ignores its capital too.
  k[0].ignoreList = u"x";
  k[0].ignoreCase = true;
  EXPECT_EQ(Sorted(u"Xb\r\na", k), u"a\r\nXb");
}

TEST(SortText, EmptyKeysComeFirst) {
  SortSettings k = DefaultSortSettings();
  k[0].key.mode = 1;
  k[0].key.fromColumn = k[0].key.toColumn = 1;
  EXPECT_EQ(Sorted(u"x\ty\r\nz\r\nw\ta", k), u"z\r\nw\ta\r\nx\ty");
}

TEST(SortText, FinalLineBreakStaysAtTheEnd) {
  EXPECT_EQ(Sorted(u"b\r\na\r\n", AscendingSort()), u"a\r\nb\r\n");
  EXPECT_EQ(Sorted(u"b\r\n\r\na\r\n", AscendingSort()), u"\r\na\r\nb\r\n");
}

TEST(SortNumeric, OrderOfSignedNumbers) {
  SortSettings k = DefaultSortSettings();
  k[0].numeric = true;
  EXPECT_EQ(Sorted(u"10\r\n9\r\n010\r\n-3\r\n+2", k), u"-3\r\n+2\r\n9\r\n10\r\n010");
  EXPECT_EQ(Sorted(u"1,50\r\n1.5\r\n1.51\r\n1.499", k), u"1.499\r\n1,50\r\n1.5\r\n1.51");
}

TEST(SortNumeric, Comparisons) {
  EXPECT_EQ(Numeric(u"1.5", u"1,50"), 0);
  EXPECT_EQ(Numeric(u"1.5", u"1.51"), -1);
  EXPECT_EQ(Numeric(u"10", u"9"), 1);
  EXPECT_EQ(Numeric(u"010", u"10"), 0);
  EXPECT_EQ(Numeric(u"0.05", u"0.5"), -1);
  EXPECT_EQ(Numeric(u".5", u"0.5"), 0);
  EXPECT_EQ(Numeric(u"1", u"0.5"), 1);
  EXPECT_EQ(Numeric(u"-1", u"-0.5"), -1);
  EXPECT_EQ(Numeric(u"-0", u"+0"), 0);
  EXPECT_EQ(Numeric(u"-0.0", u"00"), 0);
  EXPECT_EQ(Numeric(u"-5", u"+10"), -1);
  EXPECT_EQ(Numeric(u"-2", u"-10"), 1);
  EXPECT_EQ(Numeric(u"", u"0"), 0);
  EXPECT_EQ(Numeric(u"", u"1"), -1);
  // White space anywhere inside is skipped.
  EXPECT_EQ(Numeric(u"  1 000", u"999"), 1);
  EXPECT_EQ(Numeric(u" - 3", u"-3"), 0);
  // Letters count as digits, compared without case.
  EXPECT_EQ(Numeric(u"ff", u"FE"), 1);
  EXPECT_EQ(Numeric(u"abc", u"ABC"), 0);
  EXPECT_EQ(Numeric(u"1a", u"19"), 1);
  // The number ends at anything else.
  EXPECT_EQ(Numeric(u"12%", u"12"), 0);
  EXPECT_EQ(Numeric(u"12-5", u"12"), 0);
  EXPECT_EQ(Numeric(u"1.2.3", u"1.2"), 0);
  // Null ranges are empty keys.
  EXPECT_EQ(CompareKeysNumeric(nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(SortChain, LaterKeysBreakTies) {
  SortSettings k = DefaultSortSettings();
  k[0].key.mode = 1;  // first column, as text
  k[1].enabled = true;
  k[1].key.mode = 1;
  k[1].key.fromColumn = k[1].key.toColumn = 1;
  k[1].numeric = true;
  k[1].descending = true;
  EXPECT_EQ(Sorted(u"b\t1\r\na\t2\r\nb\t10\r\na\t2", k), u"a\t2\r\na\t2\r\nb\t10\r\nb\t1");
  // Key 3 counts only while key 2 does.
  k[2].enabled = true;
  k[2].key.mode = 1;
  k[2].key.fromColumn = k[2].key.toColumn = 2;
  EXPECT_EQ(Sorted(u"a\t1\tz\r\na\t1\ty", k), u"a\t1\ty\r\na\t1\tz");
  k[1].enabled = false;
  EXPECT_EQ(Sorted(u"a\t1\tz\r\na\t1\ty", k), u"a\t1\tz\r\na\t1\ty");
  // Key 1 takes part even when marked off.
  k[0].enabled = false;
  EXPECT_EQ(Sorted(u"b\r\na", k), u"a\r\nb");
}

TEST(SortChain, StoredListsAndKeysInForce) {
  SortKeyStrings lists;
  lists[0].delimiters = u",";
  lists[0].ignoreList = u"#";
  SortSettings k = DefaultSortSettings();
  k[0].key.mode = 1;
  k[0].key.fromColumn = k[0].key.toColumn = 1;
  k[0].ignoreChars = true;
  const SortSettings merged = WithStoredLists(k, lists);
  EXPECT_EQ(merged[0].key.delimiters, u",");
  EXPECT_EQ(Sorted(u"x,#b\r\ny,a", merged), u"y,a\r\nx,#b");
  // The default lists of the settings: a TAB as the delimiter.
  EXPECT_EQ(WithStoredLists(DefaultSortSettings(), Settings{}.sortKeyLists)[1].key.delimiters, u"\t");
}

// What the chain means, written plainly: each key's text reduced through its
// map, or its numeric comparison; then the input order; sorted by insertion.
std::vector<char16_t> Reduced(std::u16string_view key, const std::vector<char16_t>& map) {
  std::vector<char16_t> out;
  for (char16_t c : key)
    if (map[c]) out.push_back(map[c]);
  return out;
}

std::u16string Column(const std::u16string& line, int column) {
  std::size_t start = 0;
  for (int c = 0; c < column; ++c) {
    start = line.find(u'\t', start);
    if (start == std::u16string::npos) return u"";
    ++start;
  }
  const std::size_t end = line.find(u'\t', start);
  return line.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
}

TEST(SortChain, MatchesAPlainStableSort) {
  std::mt19937 rng(11);
  const std::u16string alphabet = u"aAbB09.,-+ \t";
  for (int round = 0; round < 200; ++round) {
    SortSettings k = DefaultSortSettings();
    const int keys = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < keys; ++i) {
      k[i].enabled = true;
      k[i].key.mode = rng() % 2;
      k[i].key.fromColumn = k[i].key.toColumn = static_cast<int>(rng() % 3);
      k[i].descending = rng() % 2;
      k[i].numeric = rng() % 2;
      k[i].ignoreCase = rng() % 2;
      k[i].ignoreChars = rng() % 3 == 0;
      k[i].ignoreList = u" .";
    }
    const int n = 1 + static_cast<int>(rng() % 30);
    std::vector<std::u16string> lines;
    std::u16string text;
    for (int i = 0; i < n; ++i) {
      std::u16string line;
      const int len = static_cast<int>(rng() % 6);
      for (int c = 0; c < len; ++c) line += alphabet[rng() % alphabet.size()];
      lines.push_back(line);
      text += (i ? u"\r\n" : u"") + line;
    }
    std::vector<std::vector<char16_t>> maps(keys, std::vector<char16_t>(65536));
    for (int i = 0; i < keys; ++i) BuildSortMap(k[i], maps[i].data());
    auto keyOf = [&](int line, int key) {
      return k[key].key.mode ? Column(lines[line], k[key].key.fromColumn) : lines[line];
    };
    auto less = [&](int a, int b) {
      for (int key = 0; key < keys; ++key) {
        int r;
        if (k[key].numeric) {
          const std::u16string x = keyOf(a, key), y = keyOf(b, key);
          r = CompareKeysNumeric(x.data(), x.data() + x.size(), y.data(), y.data() + y.size());
        } else {
          const auto x = Reduced(keyOf(a, key), maps[key]), y = Reduced(keyOf(b, key), maps[key]);
          r = x < y ? -1 : y < x ? 1 : 0;
        }
        r = (r > 0) - (r < 0);
        if (r) return (k[key].descending ? -r : r) < 0;
      }
      return false;
    };
    std::vector<int> order;
    for (int i = 0; i < n; ++i) {
      auto at = order.end();
      while (at != order.begin() && less(i, *(at - 1))) --at;
      order.insert(at, i);
    }
    std::u16string expected;
    for (int i = 0; i < n; ++i) expected += (i ? u"\r\n" : u"") + lines[order[i]];
    // A final empty line is a cut-off break, not a line; keep the text whole.
    RunOptions o{.keepFinalBreak = true};
    o.params = SortParams{k.data()};
    EXPECT_EQ(testing::RunTool(kOpSortLines, text, o).result, expected) << "round " << round;
  }
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

TEST(SortLarge, TwoHalvesGiveTheOneOrder) {
  // Enough lines for the passes to be shared by two threads, with many
  // repeats (runs of equal keys) and keys longer than any prefix.
  std::mt19937 rng(5);
  std::vector<std::u16string> lines;
  std::u16string text;
  for (int i = 0; i <= static_cast<int>(kLinesForTwoThreads); ++i) {
    std::u16string line = u"common prefix ";
    const int len = static_cast<int>(rng() % 4);
    for (int c = 0; c < len; ++c) line += static_cast<char16_t>(u'a' + rng() % 3);
    if (rng() % 2) line += u'\t' + std::u16string(1, static_cast<char16_t>(u'0' + rng() % 10));
    lines.push_back(line);
    text += (i ? u"\r\n" : u"") + line;
  }
  std::vector<std::u16string> expected = lines;
  std::stable_sort(expected.begin(), expected.end());
  std::u16string joined;
  for (std::size_t i = 0; i < expected.size(); ++i) joined += (i ? u"\r\n" : u"") + expected[i];
  EXPECT_EQ(Sorted(text, AscendingSort()), joined);

  // Descending by the second column as a number, then by the whole line:
  // the ranks of the halves must meet exactly.
  SortSettings k = DefaultSortSettings();
  k[0].key.mode = 1;
  k[0].key.fromColumn = k[0].key.toColumn = 1;
  k[0].numeric = true;
  k[0].descending = true;
  k[1].enabled = true;
  std::vector<int> order(lines.size());
  std::vector<std::u16string> column(lines.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = static_cast<int>(i);
    const std::size_t tab = lines[i].find(u'\t');
    if (tab != std::u16string::npos) column[i] = lines[i].substr(tab + 1);
  }
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int r = Numeric(column[a], column[b]);
    if (r) return r > 0;
    return lines[a] < lines[b];
  });
  joined.clear();
  for (std::size_t i = 0; i < order.size(); ++i) joined += (i ? u"\r\n" : u"") + lines[order[i]];
  EXPECT_EQ(Sorted(text, k), joined);
}

}  // namespace
}  // namespace quillet
