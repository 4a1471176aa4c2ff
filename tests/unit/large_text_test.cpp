// The tools on random documents, small ones and ones large enough for every
// shortcut a large selection takes (several units a step, two threads),
// against plain implementations of what each tool is to give. The documents
// mix line ends (CR LF, lone CR, lone LF), surrogate pairs and lone halves,
// white space of several kinds, empty lines, and end with or without a line
// break.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/system_text.h"
#include "document/text_codec.h"
#include "engine/caret_ops.h"
#include "engine/crc32.h"
#include "engine/in_halves.h"
#include "engine/line_table.h"
#include "engine/numbering.h"
#include "engine/search.h"
#include "engine/sort.h"
#include "engine/statistics.h"
#include "engine/unique_lines.h"
#include "engine/unit_scan.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::RunOptions;
using testing::RunTool;

// A document of about `units` units whose lines average a dozen units;
// lines are drawn from a pool of `distinct` lines when distinct is not 0, so
// that some repeat.
std::u16string RandomDocument(std::mt19937& rng, std::size_t units, bool finalBreak, std::size_t distinct = 0) {
  auto line = [&rng] {
    std::u16string l;
    const int n = static_cast<int>(rng() % 24);
    for (int i = 0; i < n; ++i) {
      const unsigned r = rng() % 100;
      if (r < 40) l += static_cast<char16_t>(u'a' + rng() % 26);
      else if (r < 52) l += static_cast<char16_t>(u'A' + rng() % 26);
      else if (r < 58) l += static_cast<char16_t>(u'0' + rng() % 10);
      else if (r < 66) l += u' ';
      else if (r < 69) l += u'\t';
      else if (r < 71) l += u'\u3000';  // ideographic space
      else if (r < 75) l += u"文本"[rng() % 2];
      else if (r < 78) l += u"\U0001F600";
      else if (r < 79) l += u'\xD800';  // lone halves
      else if (r < 80) l += u'\xDC00';
      else if (r < 82) l += u'\r';      // lone line-end characters
      else if (r < 84) l += u'\n';
      else if (r < 86) l += u'\xE9';
      else if (r < 90) l += u".,-+"[rng() % 4];
      else l += u"\u0416\u0436"[rng() % 2];
    }
    // A lone CR at the end of a line and a lone LF at the start of the
    // next would make one more break; keep the lines apart.
    while (!l.empty() && l.back() == u'\r') l.pop_back();
    while (!l.empty() && l.front() == u'\n') l.erase(0, 1);
    return l;
  };
  std::vector<std::u16string> pool;
  for (std::size_t i = 0; i < distinct; ++i) pool.push_back(line());
  std::u16string doc;
  doc.reserve(units + 64);
  while (doc.size() < units) {
    if (!doc.empty()) doc += u"\r\n";
    doc += distinct ? pool[rng() % distinct] : rng() % 10 == 0 ? std::u16string() : line();
  }
  if (finalBreak) doc += u"\r\n";
  return doc;
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(u"\r\n", start)) != std::u16string_view::npos; start = at + 2)
    lines.emplace_back(text.substr(start, at - start));
  lines.emplace_back(text.substr(start));
  return lines;
}

std::u16string JoinLines(const std::vector<std::u16string>& lines) {
  std::u16string out;
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? u"\r\n" : u"") + lines[i];
  return out;
}

bool High(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool Low(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool Blank(const std::u16string& line) {
  return std::all_of(line.begin(), line.end(), [](char16_t c) { return IsSpaceChar(c); });
}

// The documents every test walks: small ones of every shape, and two large
// enough for the paths of large selections.
std::vector<std::u16string> Documents() {
  std::mt19937 rng(2024);
  std::vector<std::u16string> docs;
  for (int i = 0; i < 40; ++i) docs.push_back(RandomDocument(rng, rng() % 300, i % 2));
  docs.push_back(RandomDocument(rng, kUnitsForTwoThreads + 4099, false));
  docs.push_back(RandomDocument(rng, kUnitsForTwoThreads + 77, true));
  return docs;
}

const std::vector<std::u16string>& TheDocuments() {
  static const std::vector<std::u16string> docs = Documents();
  return docs;
}

// Both ways of looking at several units a step, the 64-bit word of the
// 32-bit build included, at every offset and length of short texts.
template <class L>
void ScanLikeAPlainLoop() {
  std::mt19937 rng(8);
  for (int round = 0; round < 400; ++round) {
    std::u16string t(rng() % 40, u'x');
    for (char16_t& c : t) c = u"ab\r\n\0\xFFFF\x0D0A"[rng() % 7];
    t += u'\0';  // a readable unit after every range
    const char16_t* base = t.data();
    const std::size_t from = rng() % t.size(), to = from + rng() % (t.size() - from);
    const char16_t *p = base + from, *end = base + to;
    for (const char16_t c : {u'a', u'\r', u'\n', u'\0', u'\xFFFF'}) {
      ASSERT_EQ(scan_detail::FindUnit<L>(p, end, c), std::find(p, end, c)) << round;
      const auto last = std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(p), c);
      ASSERT_EQ(scan_detail::FindLastUnit<L>(p, end, c), last.base() == p ? nullptr : last.base() - 1) << round;
      ASSERT_EQ(scan_detail::CountUnit<L>(p, end, c), static_cast<std::size_t>(std::count(p, end, c))) << round;
      ASSERT_EQ(scan_detail::FindEither<L>(p, end, c, u'b'),
                std::find_if(p, end, [c](char16_t u) { return u == c || u == u'b'; }))
          << round;
    }
    std::size_t pairs = 0;
    const char16_t* q = p;
    for (; q < end && *q; ++q) pairs += q[0] == u'\r' && q[1] == u'\n';
    const char16_t* stop = nullptr;
    ASSERT_EQ(scan_detail::CountPairs<L>(p, end, u'\r', u'\n', &stop), pairs) << round;
    ASSERT_EQ(stop, q) << round;
  }
}

TEST(LargeText, ScanningSeveralUnitsAStepFindsWhatAPlainLoopFinds) {
  ScanLikeAPlainLoop<scan_detail::WordLanes>();
  ScanLikeAPlainLoop<scan_detail::Lanes>();
}

TEST(LargeText, LineTableRecordsEveryLine) {
  const std::uint16_t* type = GetCharTables().type;
  for (const std::u16string& doc : TheDocuments()) {
    std::u16string buffer = u'\0' + doc;
    char16_t* sel = buffer.data() + 1;
    const LineScan scan = ScanLines(sel, doc.size());
    const std::vector<std::u16string> lines = SplitLines(doc);
    ASSERT_EQ(scan.lines, lines.size());
    std::vector<LineRecord> table(scan.lines);
    ASSERT_EQ(FillLineTable(table.data(), scan, sel), lines.size());
    std::size_t offset = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::u16string& l = lines[i];
      const LineRecord& r = table[i];
      std::size_t lead = 0, trail = 0;
      while (lead < l.size() && (type[l[lead]] & kCharSpace)) ++lead;
      while (trail < l.size() && (type[l[l.size() - 1 - trail]] & kCharSpace)) ++trail;
      ASSERT_EQ(r.offset, offset) << i;
      ASSERT_EQ(std::u16string(r.start), l) << i;  // terminated where its break was
      ASSERT_EQ(r.length, l.size()) << i;
      ASSERT_EQ(r.leadSpace, lead) << i;
      ASSERT_EQ(r.trailSpace, trail) << i;
      ASSERT_EQ(r.blank(), Blank(l)) << i;
      offset += l.size() + 2;
    }
  }
  // A zero unit ends the text wherever it stands, in either half.
  std::mt19937 rng(5);
  std::u16string doc = RandomDocument(rng, 2 * kUnitsForTwoThreads, false);
  for (std::size_t zeroAt : {doc.size() / 4, doc.size() - 10}) {
    std::u16string buffer = doc;
    buffer[zeroAt] = 0;
    EXPECT_EQ(ScanLines(buffer.data(), buffer.size()).lines, SplitLines(doc.substr(0, zeroAt)).size());
  }
}

TEST(LargeText, CharacterAndLineEndToolsMatchAPlainWalk) {
  const CharTables& t = GetCharTables();
  for (const std::u16string& doc : TheDocuments()) {
    std::u16string upper, lower, invert, lfToCrLf, crToCrLf, crLfToLf, crLfToCr;
    for (char16_t c : doc) {
      upper += t.upper[c];
      lower += t.lower[c];
      invert += (t.type[c] & kCharUpper) ? t.lower[c] : t.upper[c];
      lfToCrLf += c == u'\n' ? u"\r\n" : std::u16string(1, c);
      crToCrLf += c == u'\r' ? u"\r\n" : std::u16string(1, c);
    }
    for (std::size_t i = 0; i < doc.size(); ++i) {
      const bool pair = doc[i] == u'\r' && i + 1 < doc.size() && doc[i + 1] == u'\n';
      crLfToLf += pair ? u'\n' : doc[i];
      crLfToCr += pair ? u'\r' : doc[i];
      i += pair;
    }
    const RunOptions whole{.keepFinalBreak = true};
    auto run = [&](TextOp op) { return RunTool(op, doc, whole).result; };
    if (doc.empty()) continue;  // refused: nothing selected
    EXPECT_EQ(run(kOpUpperCase), upper);
    EXPECT_EQ(run(kOpLowerCase), lower);
    EXPECT_EQ(run(kOpInvertCase), invert);
    EXPECT_EQ(run(kOpLfToCrLf), lfToCrLf);
    EXPECT_EQ(run(kOpCrToCrLf), crToCrLf);
    EXPECT_EQ(run(kOpCrLfToLf), crLfToLf);
    EXPECT_EQ(run(kOpCrLfToCr), crLfToCr);
  }
}

TEST(LargeText, LineOrderToolsMatchTheLinesReordered) {
  for (const std::u16string& doc : TheDocuments()) {
    if (doc.empty()) continue;
    std::vector<std::u16string> lines = SplitLines(doc);
    std::vector<std::u16string> eachReversed;
    for (const std::u16string& l : lines) {
      // A valid pair is one character and keeps its order.
      std::u16string r;
      for (std::size_t i = l.size(); i > 0;) {
        if (i >= 2 && Low(l[i - 1]) && High(l[i - 2])) {
          r += l.substr(i - 2, 2);
          i -= 2;
        } else {
          r += l[--i];
        }
      }
      eachReversed.push_back(r);
    }
    std::reverse(lines.begin(), lines.end());
    const RunOptions whole{.keepFinalBreak = true};
    EXPECT_EQ(RunTool(kOpReverseLines, doc, whole).result, JoinLines(lines));
    EXPECT_EQ(RunTool(kOpReverseEachLine, doc, whole).result, JoinLines(eachReversed));
  }
}

TEST(LargeText, SortUniqueAndNumberingMatchPlainOnes) {
  std::mt19937 rng(77);
  // The small documents, and one of many repeated lines past the two-thread
  // size in lines, which takes the variants whose paths differ for it.
  std::vector<std::u16string> docs;
  for (const std::u16string& doc : TheDocuments())
    if (doc.size() < kUnitsForTwoThreads) docs.push_back(doc);
  docs.push_back(RandomDocument(rng, 16 * kLinesForTwoThreads, false, kLinesForTwoThreads / 3));
  const char16_t* lower = GetCharTables().lower;
  for (const std::u16string& doc : docs) {
    if (doc.empty()) continue;
    const std::vector<std::u16string> lines = SplitLines(doc);
    const bool large = lines.size() >= kLinesForTwoThreads;

    // Sorts: a stable sort by the plain comparison of each kind.
    using View = std::u16string_view;
    auto sorted = [&](auto less) {
      std::vector<View> s(lines.begin(), lines.end());
      std::stable_sort(s.begin(), s.end(), less);
      std::u16string joined;
      for (std::size_t i = 0; i < s.size(); ++i) (joined += i ? u"\r\n" : u"") += s[i];
      return joined;
    };
    auto folded = [lower](View a, View b) {
      return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                          [lower](char16_t x, char16_t y) { return lower[x] < lower[y]; });
    };
    auto numeric = [](View a, View b) {
      return CompareKeysNumeric(a.data(), a.data() + a.size(), b.data(), b.data() + b.size()) < 0;
    };
    SortSettings keys = DefaultSortSettings();
    RunOptions o{.keepFinalBreak = true};
    o.params = SortParams{keys.data()};
    EXPECT_EQ(RunTool(kOpSortLines, doc, o).result, sorted(std::less<>()));
    if (!large) {
      keys[0].descending = true;
      EXPECT_EQ(RunTool(kOpSortLines, doc, o).result, sorted([](View a, View b) { return b < a; }));
      keys[0].descending = false;
    }
    keys[0].ignoreCase = true;
    EXPECT_EQ(RunTool(kOpSortLines, doc, o).result, sorted(folded));
    keys[0].ignoreCase = false;
    keys[0].numeric = true;
    if (!large) {
      EXPECT_EQ(RunTool(kOpSortLines, doc, o).result, sorted(numeric));
    }

    // Unique: every first occurrence, compared one by one with the earlier
    // lines; with counts and case folded.
    for (const bool ignoreCase : {false, true}) {
      if (large && !ignoreCase) continue;
      std::u16string foldedDoc = doc;
      if (ignoreCase)
        for (char16_t& c : foldedDoc) c = lower[c];
      const std::vector<std::u16string> keysOf = SplitLines(foldedDoc);
      std::vector<std::size_t> counts(lines.size(), 0);
      std::unordered_map<View, std::size_t> seen;
      for (std::size_t i = 0; i < lines.size(); ++i) ++counts[seen.emplace(keysOf[i], i).first->second];
      std::u16string expected;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (counts[i] == 0) continue;
        const std::string digits = std::to_string(counts[i]);
        expected += u"(" + std::u16string(digits.begin(), digits.end()) + u") " + lines[i];
        if (i + 1 < lines.size()) expected += u"\r\n";
      }
      const UniqueSpec spec{.job = kUniqueRemoveDuplicates, .ignoreCase = ignoreCase, .countDuplicates = true};
      RunOptions u{.keepFinalBreak = true};
      u.params = UniqueParams{&spec};
      EXPECT_EQ(RunTool(kOpUniqueLines, doc, u).result, expected) << "ignore case " << ignoreCase;
    }

    // Numbering: a right-aligned counter, as nl writes it, and a hex
    // counter with zeros that steps over blank lines.
    for (const bool hex : {false, true}) {
      if (large && hex) continue;
      NumberingSettings n;
      n.mask = hex ? u"%+x. %0%<d|" : u"%>d\t%0";
      n.start = hex ? 4000 : 1;
      n.step = hex ? 7 : 1;
      n.skipBlank = hex;
      std::size_t numbered = 0;
      for (const std::u16string& l : lines) numbered += !(hex && Blank(l));
      const std::uint32_t last = n.start + n.step * static_cast<std::uint32_t>(numbered ? numbered - 1 : 0);
      auto format = [](std::uint32_t v, unsigned base) {
        std::u16string s;
        do {
          s.insert(s.begin(), u"0123456789abcdef"[v % base]);
          v /= base;
        } while (v);
        return s;
      };
      const std::size_t hexWidth = format(last, 16).size(), decWidth = format(last, 10).size();
      std::u16string expected;
      std::uint32_t value = n.start;
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (hex && Blank(lines[i])) {
          expected += lines[i];
        } else if (hex) {
          const std::u16string x = format(value, 16), d = format(value, 10);
          expected += std::u16string(hexWidth - x.size(), u'0') + x + u". " + lines[i] + d +
                      std::u16string(decWidth - d.size(), u' ') + u"|";
          value += n.step;
        } else {
          const std::u16string d = format(value, 10);
          expected += std::u16string(decWidth - d.size(), u' ') + d + u"\t" + lines[i];
          value += n.step;
        }
        if (i + 1 < lines.size()) expected += u"\r\n";
      }
      RunOptions u{.keepFinalBreak = true};
      u.params = NumberingParams{&n};
      EXPECT_EQ(RunTool(kOpNumberLines, doc, u).result, expected) << "hex " << hex;
    }
  }
}

TEST(LargeText, PrefixCloseAndUntabifyMatchPlainOnes) {
  for (const std::u16string& doc : TheDocuments()) {
    if (doc.empty()) continue;
    std::vector<std::u16string> prefixed, closed, untabified;
    for (const std::u16string& l : SplitLines(doc)) {
      prefixed.push_back((l.empty() ? u"" : u"\u00BB\u00BB ") + l);
      closed.push_back(l + (Blank(l) ? u"" : u" ;"));
      std::size_t lead = 0, column = 0;
      for (; lead < l.size() && IsSpaceChar(l[lead]); ++lead) column = l[lead] == u'\t' ? column + 4 - column % 4 : column + 1;
      untabified.push_back(std::u16string(column, u' ') + l.substr(lead));
    }
    RunOptions o{.keepFinalBreak = true};
    o.settings.quotePrefix = u"\u00BB\u00BB ";
    o.settings.quoteOnlyNonEmpty = true;
    o.settings.closeText = u" ;";
    o.settings.closeOnlyNonBlank = true;
    o.settings.tabWidth = 4;
    EXPECT_EQ(RunTool(kOpPrefixLines, doc, o).result, JoinLines(prefixed));
    EXPECT_EQ(RunTool(kOpAppendToLines, doc, o).result, JoinLines(closed));
    EXPECT_EQ(RunTool(kOpUntabify, doc, o).result, JoinLines(untabified));
  }
}

TEST(LargeText, LogicalLineOfAPositionAndByNumber) {
  std::mt19937 rng(12);
  for (const std::u16string& doc : TheDocuments()) {
    const std::vector<std::u16string> lines = SplitLines(doc);
    std::vector<std::size_t> starts;
    for (std::size_t i = 0, at = 0; i < lines.size(); at += lines[i].size() + 2, ++i) starts.push_back(at);
    for (int round = 0; round < 20; ++round) {
      const auto position = static_cast<std::int32_t>(rng() % (doc.size() + 3));
      const auto number = static_cast<std::int32_t>(round % 4 == 0 ? lines.size() + 5 : rng() % lines.size());
      for (const std::int32_t asked : {-1, number}) {
        const LogicalLineInfo info = quillet::testing::LookUpLogicalLine(doc, position, asked);
        const std::size_t want =
            asked >= 0 ? std::min<std::size_t>(asked, lines.size() - 1)
                       : static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(),
                                                                   static_cast<std::size_t>(position)) -
                                                  starts.begin() - 1);
        EXPECT_EQ(info.line, static_cast<std::int32_t>(want)) << position << " " << asked;
        EXPECT_EQ(info.lineStart, static_cast<std::int32_t>(starts[want]));
        EXPECT_EQ(info.lineLength, static_cast<std::int32_t>(lines[want].size()));
        EXPECT_EQ(info.lineCount, static_cast<std::int32_t>(lines.size()));
      }
    }
  }
}

TEST(LargeText, ReplaceAllMatchesAPlainLeftToRightReplace) {
  std::mt19937 rng(9);
  const std::u16string doc = RandomDocument(rng, kUnitsForTwoThreads, false);
  for (const auto& [find, repl] : std::vector<std::pair<std::u16string, std::u16string>>{
           {u"ab", u"X"}, {u"a", u"A"}, {u"aa", u"<aa>"}, {u"\r\n", u"\n"}, {u"\U0001F600", u""}}) {
    std::u16string expected;
    std::size_t from = 0;
    for (std::size_t at; (at = doc.find(find, from)) != std::u16string::npos; from = at + find.size())
      expected += doc.substr(from, at - from) + repl;
    expected += doc.substr(from);
    RunOptions o{.keepFinalBreak = true};
    o.settings.extendedFindText = find;
    o.settings.extendedReplaceText = repl;
    o.settings.extendedIgnoreCase = false;
    EXPECT_EQ(RunTool(kOpExtendedReplace, doc, o).result, expected);
  }
}

// Every figure of the statistics in one walk, character by character.
TextStats PlainStats(std::u16string_view text, bool underscore) {
  const WordChars isWord = MakeWordChars(underscore);
  TextStats s;
  std::uint32_t lineLen = 0, sum = 0, breaks = 2, shortest = UINT32_MAX;
  bool blank = true, prevWord = false, afterEnd = true, open = false;
  char16_t prev = 0;
  for (const char16_t ch : text) {
    ++s.characters;
    s.crc = Crc32Unit(Crc32Table(), s.crc, ch);
    if (!IsSpaceChar(ch)) {
      ++s.nonSpace;
      blank = false;
      if (breaks > 1) ++s.paragraphs;
      breaks = 0;
    }
    if (ch == u'.' || ch == u'!' || ch == u'?') {
      s.sentences += open;
      open = false;
      afterEnd = true;
    }
    if ((CharTypeOf(ch) & kCharUpper) && afterEnd) open = true;
    if (isWord(ch)) {
      if (!prevWord) ++s.words, afterEnd = false;
      ++s.alnum;
    }
    prevWord = isWord(ch);
    ++lineLen;
    if (ch == u'\n' && prev == u'\r') {
      ++s.lines;
      s.nonBlankLines += !blank;
      lineLen -= 2;
      s.longest = std::max(s.longest, lineLen);
      if (!blank) shortest = std::min(shortest, lineLen);
      sum += lineLen;
      lineLen = 0;
      ++breaks;
      blank = true;
    }
    prev = ch;
  }
  if (!text.empty()) ++s.lines, s.nonBlankLines += !blank;
  s.longest = std::max(s.longest, lineLen);
  if (!blank) shortest = std::min(shortest, lineLen);
  s.shortest = shortest == UINT32_MAX ? 0 : shortest;
  s.averageLength = s.lines ? (sum + lineLen) / s.lines : 0;
  return s;
}

TEST(LargeText, StatisticsMatchOneWalk) {
  for (const std::u16string& doc : TheDocuments()) {
    for (const bool underscore : {false, true}) {
      const TextStats got = CountTextStats(doc + u"_x. Y z_! A?\r\n", underscore);
      const TextStats want = PlainStats(doc + u"_x. Y z_! A?\r\n", underscore);
      EXPECT_EQ(std::vector<std::uint32_t>({got.characters, got.crc, got.nonSpace, got.alnum, got.words, got.lines,
                                            got.nonBlankLines, got.paragraphs, got.sentences, got.averageLength,
                                            got.shortest, got.longest}),
                std::vector<std::uint32_t>({want.characters, want.crc, want.nonSpace, want.alnum, want.words,
                                            want.lines, want.nonBlankLines, want.paragraphs, want.sentences,
                                            want.averageLength, want.shortest, want.longest}));
    }
  }
  EXPECT_EQ(CountTextStats(u"", true).lines, PlainStats(u"", true).lines);
}


// A UTF-8 file with its mark, as read from disk.
LargeBytes Utf8File(const std::string& bytes) {
  LargeBytes file("\xEF\xBB\xBF");
  file.append(bytes.data(), bytes.size());
  return file;
}

TEST(LargeText, Utf8BothWaysAsTheSystemConverts) {
  std::mt19937 rng(31);
  std::vector<std::u16string> docs = TheDocuments();
  // Without lone halves, so that saving takes its own way all through.
  std::u16string clean = RandomDocument(rng, kUnitsForTwoThreads, true);
  std::erase_if(clean, [](char16_t c) { return c >= 0xD800 && c <= 0xDFFF; });
  docs.push_back(clean + u"\U0001F600\uFFFF\u07FF\u0800");
  for (const std::u16string& doc : docs) {
    const std::string expected = EncodeText(kCodePageUtf8, doc);
    EncodedText saved;
    ASSERT_EQ(EncodeForSave(LargeText(doc.data(), doc.size()), kEncodingUtf8, kLineEndWin, &saved).id(), std::nullopt);
    EXPECT_EQ(saved.View(), expected);

    // Read back, and once more with some bytes broken: each way as the
    // system decodes it, replacements and all.
    std::string bytes = expected;
    for (int round = 0; round < 2; ++round) {
      bool invalid = false;
      const std::u16string system = DecodeBytes(kCodePageUtf8, bytes, &invalid);
      DecodedText loaded;
      ASSERT_EQ(DecodeFileBytes(Utf8File(bytes), LoadOptions{.useCrLf = false}, &loaded).id(), std::nullopt);
      EXPECT_EQ(std::u16string_view(loaded.text), system);
      EXPECT_EQ(loaded.undecodable, invalid);
      if (bytes.empty()) break;
      for (int k = 0; k < 5; ++k) bytes[rng() % bytes.size()] = static_cast<char>("\x80\xC0\xE0\xED\xF0\xF5\xFF"[rng() % 7]);
    }
  }
  // The forms at the edges of what is valid, alone and amid ASCII.
  for (const std::string form : {"\xED\x9F\xBF", "\xED\xA0\x80", "\xE0\xA0\x80", "\xE0\x9F\xBF", "\xF0\x90\x80\x80",
                                 "\xF0\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xC2\x80", "\xC1\xBF",
                                 "\xE4\xB8", "\xEF\xBF\xBF", "\x80"}) {
    for (const std::string& bytes : {form, "abcdefgh" + form + "ijklmnop"}) {
      bool invalid = false;
      const std::u16string system = DecodeBytes(kCodePageUtf8, bytes, &invalid);
      DecodedText loaded;
      ASSERT_EQ(DecodeFileBytes(Utf8File(bytes), LoadOptions{.useCrLf = false}, &loaded).id(), std::nullopt);
      EXPECT_EQ(std::u16string_view(loaded.text), system) << bytes;
      EXPECT_EQ(loaded.undecodable, invalid) << bytes;
    }
  }
}

}  // namespace
}  // namespace quillet
