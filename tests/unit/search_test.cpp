#include "engine/search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/messages.h"
#include "engine/tool_job.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

constexpr SearchOptions kPlain{.matchCase = true};
constexpr SearchOptions kNoCase{};
constexpr SearchOptions kWord{.matchCase = true, .wholeWord = true};

std::size_t Fwd(std::u16string_view text, std::u16string_view pattern, const SearchOptions& o = kPlain,
                std::size_t from = 0) {
  return SearchForward(text, from, pattern, o);
}
std::size_t Back(std::u16string_view text, std::u16string_view pattern, const SearchOptions& o = kPlain,
                 std::size_t limit = kNoMatch) {
  return SearchBackward(text, limit == kNoMatch ? text.size() : limit, pattern, o);
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view find, std::u16string_view replace,
                          const SearchOptions& o = kPlain) {
  const std::optional<std::uint64_t> length = ReplacedLength(text, find, replace, o);
  if (!length) return u"<no memory>";
  std::u16string out(static_cast<std::size_t>(*length), u'#');
  char16_t* end = ReplaceAllInText(text, out.data(), out.size(), find, replace, o);
  if (!end || end != out.data() + out.size()) return u"<length mismatch>";
  return out;
}

TEST(Search, ForwardAndBackwardFindTheNearestMatch) {
  const std::u16string text = u"one two one two";
  EXPECT_EQ(Fwd(text, u"two"), 4u);
  EXPECT_EQ(Fwd(text, u"two", kPlain, 5), 12u);
  EXPECT_EQ(Fwd(text, u"three"), kNoMatch);
  EXPECT_EQ(Back(text, u"one"), 8u);
  // A backward match must end at or before the limit.
  EXPECT_EQ(Back(text, u"one", kPlain, 10), 0u);
  EXPECT_EQ(Back(text, u"one", kPlain, 11), 8u);
  EXPECT_EQ(Back(text, u"one", kPlain, 2), kNoMatch);

  // The very first and the very last characters.
  EXPECT_EQ(Fwd(u"abc", u"abc"), 0u);
  EXPECT_EQ(Back(u"abc", u"abc"), 0u);
  EXPECT_EQ(Fwd(u"xxabc", u"abc"), 2u);
  EXPECT_EQ(Back(u"abcxx", u"abc"), 0u);
  EXPECT_EQ(Fwd(u"xxxxc", u"c"), 4u);
  EXPECT_EQ(Back(u"cxxxx", u"c"), 0u);
}

TEST(Search, EmptyAndOversizedPatterns) {
  EXPECT_EQ(Fwd(u"abc", u""), 0u);
  EXPECT_EQ(Fwd(u"abc", u"", kPlain, 2), 2u);
  EXPECT_EQ(Fwd(u"abc", u"", kPlain, 3), 3u);
  EXPECT_EQ(Fwd(u"abc", u"", kPlain, 4), kNoMatch);
  EXPECT_EQ(Back(u"abc", u"", kPlain, 1), 1u);
  EXPECT_EQ(Fwd(u"abc", u"abcd"), kNoMatch);
  EXPECT_EQ(Back(u"abc", u"abcd"), kNoMatch);
  EXPECT_EQ(Fwd(u"", u"a"), kNoMatch);
  EXPECT_EQ(Back(u"", u"a"), kNoMatch);
  // Starting points beyond the text find nothing and read nothing.
  EXPECT_EQ(Fwd(u"abc", u"c", kPlain, 99), kNoMatch);
  EXPECT_EQ(Back(u"abc", u"c", kPlain, 99), 2u);
}

TEST(Search, OverlappingCandidates) {
  EXPECT_EQ(Fwd(u"aaaa", u"aaa"), 0u);
  EXPECT_EQ(Fwd(u"aaaa", u"aaa", kPlain, 1), 1u);
  EXPECT_EQ(Fwd(u"aaaa", u"aaa", kPlain, 2), kNoMatch);
  EXPECT_EQ(Back(u"aaaa", u"aaa"), 1u);
  EXPECT_EQ(Back(u"aaaa", u"aaa", kPlain, 3), 0u);
  // A near miss right before the match must not push the window past it.
  EXPECT_EQ(Fwd(u"abababac", u"ababac"), 2u);
  EXPECT_EQ(Back(u"cabababa", u"cababa"), 0u);
  // Replace all takes the matches left to right without overlap.
  EXPECT_EQ(ReplaceAll(u"aaaa", u"aaa", u"b"), u"ba");
  EXPECT_EQ(ReplaceAll(u"aaaaaa", u"aa", u"-"), u"---");
}

TEST(Search, CaseInsensitiveFoldsBothWaysAcrossScripts) {
  EXPECT_EQ(Fwd(u"ÉCOLE école", u"école", kNoCase), 0u);
  EXPECT_EQ(Fwd(u"ÉCOLE école", u"école"), 6u);
  EXPECT_EQ(Fwd(u"привет ПРИВЕТ", u"ПРИВЕТ", kNoCase), 0u);
  EXPECT_EQ(Back(u"привет ПРИВЕТ", u"привет", kNoCase), 7u);
  EXPECT_EQ(Fwd(u"ΑΒΓ", u"αβγ", kNoCase), 0u);
  // The last character of the pattern, which keys the skip table, folds too.
  EXPECT_EQ(Fwd(u"xxABÉ", u"abé", kNoCase), 2u);
  EXPECT_EQ(Back(u"ÉABxx", u"éab", kNoCase), 0u);
  // Characters without case are compared as they are.
  EXPECT_EQ(Fwd(u"编辑器 文本", u"文本", kNoCase), 4u);
  EXPECT_EQ(Fwd(u"a-b", u"A_B", kNoCase), kNoMatch);
}

TEST(Search, WholeWordLooksAtTheNeighbours) {
  const SearchOptions wordNoUnderscore{.matchCase = true, .wholeWord = true, .underscoreIsWord = false};
  EXPECT_EQ(Fwd(u"foo_bar foo", u"foo", kWord), 8u);
  EXPECT_EQ(Fwd(u"foo_bar foo", u"foo", wordNoUnderscore), 0u);
  EXPECT_EQ(Back(u"foo bar_foo", u"foo", kWord), 0u);
  EXPECT_EQ(Back(u"foo bar_foo", u"foo", wordNoUnderscore), 8u);
  // At the edges of the text there is no neighbour.
  EXPECT_EQ(Fwd(u"foo", u"foo", kWord), 0u);
  EXPECT_EQ(Back(u"foo", u"foo", kWord), 0u);
  EXPECT_EQ(Fwd(u"foox foo2 foo", u"foo", kWord), 10u);
  EXPECT_EQ(Fwd(u"(foo)", u"foo", kWord), 1u);
  // Starting mid-text, the character before the start still counts.
  EXPECT_EQ(Fwd(u"xfoo foo", u"foo", kWord, 1), 5u);
  // Digits and letters of other scripts are word characters.
  EXPECT_EQ(Fwd(u"3foo é foo", u"foo", kWord), 7u);
  EXPECT_EQ(Fwd(u"éfoo", u"foo", kWord), kNoMatch);
  // Case-insensitive and whole-word together.
  EXPECT_EQ(Fwd(u"FOOD Foo", u"foo", SearchOptions{.wholeWord = true}), 5u);
}

TEST(Search, LineBreaksAndOddUnitsAreOrdinaryCharacters) {
  const std::u16string text = u"end\r\nstart\rx\ny";
  EXPECT_EQ(Fwd(text, u"d\r\ns"), 2u);
  EXPECT_EQ(Back(text, u"d\r\ns"), 2u);
  EXPECT_EQ(Fwd(text, u"\r"), 3u);
  EXPECT_EQ(Back(text, u"\r"), 10u);
  EXPECT_EQ(Fwd(text, u"\n"), 4u);
  EXPECT_EQ(Back(text, u"\n"), 12u);
  // A lone surrogate matches the unit, also as half of a pair.
  const std::u16string pair = u"a\U0001F600b";
  EXPECT_EQ(Fwd(pair, std::u16string(1, char16_t{0xD83D})), 1u);
  EXPECT_EQ(Fwd(pair, std::u16string(1, char16_t{0xDE00})), 2u);
  EXPECT_EQ(Back(pair, std::u16string(1, char16_t{0xDE00}), kNoCase), 2u);
  const std::u16string ffff = u"ab\uFFFFc";
  EXPECT_EQ(Fwd(ffff, u"\uFFFFc"), 2u);
  EXPECT_EQ(Fwd(ffff, u"\uFFFF", kNoCase), 2u);
  EXPECT_EQ(Back(ffff, u"b\uFFFF", kWord), kNoMatch);
}

TEST(Search, LongestPatternAndALongLine) {
  std::u16string pattern(kMaxSearchTextLength, u'a');
  pattern[7] = u'b';
  std::u16string text(3 * kMaxSearchTextLength, u'a');
  text.replace(kMaxSearchTextLength + 5, pattern.size(), pattern);
  EXPECT_EQ(Fwd(text, pattern), kMaxSearchTextLength + 5);
  EXPECT_EQ(Back(text, pattern), kMaxSearchTextLength + 5);
  EXPECT_EQ(Fwd(text, pattern, kNoCase, kMaxSearchTextLength + 6), kNoMatch);

  // Longer than a 16-bit shift can say.
  std::mt19937 rng(5);
  std::u16string huge(70'000, u'a'), hay(150'000, u'a');
  for (char16_t& c : huge) c = static_cast<char16_t>(u'a' + rng() % 3);
  for (char16_t& c : hay) c = static_cast<char16_t>(u'a' + rng() % 3);
  hay.replace(60'000, huge.size(), huge);
  EXPECT_EQ(Fwd(hay, huge), hay.find(huge));
  EXPECT_EQ(Back(hay, huge), hay.rfind(huge));
  EXPECT_EQ(Fwd(hay, huge, kPlain, 60'001), hay.find(huge, 60'001));

  // One line of 20 million characters, the match at its very end.
  std::u16string line(20'000'000, u'x');
  line.replace(line.size() - 20, 20, u"the needle at its end");
  const std::u16string needle = u"needle at its end";
  EXPECT_EQ(Fwd(line, needle), line.size() - needle.size());
  EXPECT_EQ(Back(line, u"the needle"), line.size() - 21);
  EXPECT_EQ(Fwd(line, u"missing pattern here"), kNoMatch);
  EXPECT_EQ(Back(line, u"missing pattern here"), kNoMatch);
}

TEST(Search, ReplaceAllGrowsShrinksAndDeletes) {
  EXPECT_EQ(ReplaceAll(u"a cat, a cat", u"cat", u"tiger"), u"a tiger, a tiger");
  EXPECT_EQ(ReplaceAll(u"a tiger, a tiger", u"tiger", u"cat"), u"a cat, a cat");
  EXPECT_EQ(ReplaceAll(u"a cat, a cat", u"cat", u""), u"a , a ");
  EXPECT_EQ(ReplaceAll(u"catcat", u"cat", u""), u"");
  EXPECT_EQ(ReplaceAll(u"no match", u"cat", u"dog"), u"no match");
  EXPECT_EQ(ReplaceAll(u"text", u"", u"x"), u"text");
  EXPECT_EQ(ReplaceAll(u"", u"a", u"b"), u"");
  // Across line breaks, both ways.
  EXPECT_EQ(ReplaceAll(u"one\r\ntwo\r\none\r\ntwo", u"one\r\ntwo", u"1"), u"1\r\n1");
  EXPECT_EQ(ReplaceAll(u"a;b", u";", u"\r\n"), u"a\r\nb");
  // Flags reach the replacement.
  EXPECT_EQ(ReplaceAll(u"Cat cat catalog", u"cat", u"dog", SearchOptions{.wholeWord = true}), u"dog dog catalog");
  EXPECT_EQ(ReplacedLength(u"aXa", u"a", u"bbb", kPlain), 7u);

  // Too little room is refused rather than overrun.
  char16_t small[3];
  EXPECT_EQ(ReplaceAllInText(u"aa", small, 3, u"a", u"bb", kPlain), nullptr);
}

TEST(Search, ReplaceInTurnSeesItsOwnReplacements) {
  Searcher s;
  ASSERT_TRUE(s.Prepare(u"-", kWord, false));
  // After the first "-" becomes "q", the second has a word character in
  // front of it and no longer stands alone.
  const std::u16string text = u"--";
  ReplaceSpan counted = ReplaceInTurn(s, text, 0, u"q", nullptr);
  EXPECT_EQ(counted.count, 1u);
  // The one-pass replace all looks at the original text instead.
  EXPECT_EQ(ReplaceAll(text, u"-", u"q", kWord), u"qq");

  ASSERT_TRUE(s.Prepare(u"ab", kPlain, false));
  const std::u16string doc = u"xx ab ab ab yy";
  counted = ReplaceInTurn(s, doc, 4, u"<>", nullptr);
  EXPECT_EQ(counted.count, 2u);
  EXPECT_EQ(counted.first, 6u);
  EXPECT_EQ(counted.end, 11u);
  std::u16string span(static_cast<std::size_t>(counted.length), u'#');
  const ReplaceSpan written = ReplaceInTurn(s, doc, 4, u"<>", span.data());
  EXPECT_EQ(written.count, 2u);
  EXPECT_EQ(span, u"<> <>");

  ASSERT_TRUE(s.Prepare(u"", kPlain, false));
  EXPECT_EQ(ReplaceInTurn(s, doc, 0, u"x", nullptr).count, 0u);
}

TEST(Search, FromSelection) {
  const std::u16string text = u"ab ab ab";
  Searcher down, up;
  ASSERT_TRUE(down.Prepare(u"ab", kPlain, false));
  ASSERT_TRUE(up.Prepare(u"ab", kPlain, true));
  // Selected match: skipped normally, found again with includeSelection.
  EXPECT_EQ(FindFromSelection(down, text, 3, 5, false), 6u);
  EXPECT_EQ(FindFromSelection(down, text, 3, 5, true), 3u);
  EXPECT_EQ(FindFromSelection(up, text, 3, 5, false), 0u);
  EXPECT_EQ(FindFromSelection(up, text, 3, 5, true), 3u);
  EXPECT_EQ(FindFromSelection(up, text, 0, 0, false), kNoMatch);
  EXPECT_EQ(FindFromSelection(down, text, 7, 8, false), kNoMatch);
}

TEST(Search, SearchTextsFromOutside) {
  const char16_t unterminated[] = {u'a', u'b', u'c'};
  EXPECT_EQ(TakeSearchText(unterminated, 2), u"ab");
  EXPECT_EQ(TakeSearchText(nullptr, 10), u"");
  std::u16string big(kSearchTextUnits + 10, u'z');
  EXPECT_EQ(TakeSearchText(big.c_str(), big.size() + 1).size(), kMaxSearchTextLength);

  std::u16string line = u"first\r\nsecond";
  CutAtLineBreak(line);
  EXPECT_EQ(line, u"first");
  line = u"lf\nonly";
  CutAtLineBreak(line);
  EXPECT_EQ(line, u"lf");
  line = u"\rcr";
  CutAtLineBreak(line);
  EXPECT_EQ(line, u"");
}

// ---- the property test ------------------------------------------------

bool SameChar(char16_t a, char16_t b, bool matchCase) { return matchCase ? a == b : LowerOf(a) == LowerOf(b); }

bool NaiveMatchAt(std::u16string_view t, std::size_t p, std::u16string_view pat, const SearchOptions& o) {
  if (p + pat.size() > t.size()) return false;
  for (std::size_t i = 0; i < pat.size(); ++i)
    if (!SameChar(t[p + i], pat[i], o.matchCase)) return false;
  if (!o.wholeWord) return true;
  const WordChars word = MakeWordChars(o.underscoreIsWord);
  if (p > 0 && word(t[p - 1])) return false;
  return !(p + pat.size() < t.size() && word(t[p + pat.size()]));
}

std::size_t NaiveForward(std::u16string_view t, std::size_t from, std::u16string_view pat, const SearchOptions& o) {
  for (std::size_t p = from; p + pat.size() <= t.size(); ++p)
    if (NaiveMatchAt(t, p, pat, o)) return p;
  return kNoMatch;
}

std::size_t NaiveBackward(std::u16string_view t, std::size_t limit, std::u16string_view pat, const SearchOptions& o) {
  for (std::size_t p = limit + 1; p-- > 0;)
    if (p + pat.size() <= limit && NaiveMatchAt(t, p, pat, o)) return p;
  return kNoMatch;
}

std::u16string NaiveReplace(std::u16string_view t, std::u16string_view pat, std::u16string_view rep,
                            const SearchOptions& o) {
  std::u16string out;
  std::size_t p = 0;
  while (p < t.size()) {
    if (NaiveMatchAt(t, p, pat, o)) {
      out += rep;
      p += pat.size();
    } else {
      out += t[p++];
    }
  }
  return out;
}

TEST(Search, AgreesWithANaiveSearchOnRandomTexts) {
  // A small alphabet makes matches, near misses and overlaps common; it
  // holds both case forms, a word joiner and separators.
  const std::u16string alphabet = u"abAB_ é\r\n";
  std::mt19937 rng(20240607);
  auto randomText = [&](std::size_t maxLength) {
    std::u16string s(rng() % (maxLength + 1), u'\0');
    for (char16_t& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 800; ++round) {
    const std::u16string text = randomText(60);
    std::u16string pattern = randomText(5);
    if (pattern.empty()) pattern = u"a";
    const SearchOptions o{
        .matchCase = (rng() & 1) != 0, .wholeWord = (rng() & 1) != 0, .underscoreIsWord = (rng() & 1) != 0};
    Searcher down, up;
    ASSERT_TRUE(down.Prepare(pattern, o, false));
    ASSERT_TRUE(up.Prepare(pattern, o, true));
    for (std::size_t i = 0; i <= text.size(); ++i) {
      ASSERT_EQ(down.Forward(text, i), NaiveForward(text, i, pattern, o)) << round << " from " << i;
      ASSERT_EQ(up.Backward(text, i), NaiveBackward(text, i, pattern, o)) << round << " limit " << i;
    }
    const std::u16string replacement = randomText(3);
    ASSERT_EQ(ReplaceAll(text, pattern, replacement, o), NaiveReplace(text, pattern, replacement, o)) << round;
  }
}

// ---- extended replace as a tool ---------------------------------------

using testing::RunOptions;
using testing::RunTool;

RunOptions Extended(std::u16string find, std::u16string replace, bool ignoreCase = false, bool wholeWord = false) {
  RunOptions o;
  o.keepFinalBreak = true;
  o.settings.extendedFindText = std::move(find);
  o.settings.extendedReplaceText = std::move(replace);
  o.settings.extendedIgnoreCase = ignoreCase;
  o.settings.extendedWholeWord = wholeWord;
  return o;
}

TEST(ExtendedReplace, ReplacesMultiLineTextInsideTheSelection) {
  const std::u16string text = u"a\r\nb\r\na\r\nb\r\na\r\nb";
  // Only the selection (the first two pairs) changes.
  const auto run = RunTool(kOpExtendedReplace, text, 0, 10, Extended(u"a\r\nb", u"x\r\ny\r\nz"));
  ASSERT_TRUE(run.replaced);
  EXPECT_EQ(run.result, u"x\r\ny\r\nz\r\nx\r\ny\r\nz");
  // The final break of the selection is part of what is searched.
  EXPECT_EQ(RunTool(kOpExtendedReplace, u"a\r\nb\r\n", Extended(u"b\r\n", u"c")).result, u"a\r\nc");
}

TEST(ExtendedReplace, SelectionOfMatchesOnlyBecomesEmpty) {
  const auto run = RunTool(kOpExtendedReplace, u"xx abab yy", 3, 7, Extended(u"AB", u"", true));
  EXPECT_TRUE(run.replaced);
  EXPECT_EQ(run.message.id(), std::nullopt);
  EXPECT_EQ(run.result, u"");
  EXPECT_EQ(RunTool(kOpExtendedReplace, u"abc", 0, 0, Extended(u"a", u"b")).message.id(), kMsgSelectionEmpty);
}

TEST(ExtendedReplace, SelectionEdgesAreWordBoundaries) {
  // "foo" sits inside "xfoox" in the document, but the selection is only
  // "foo", so whole-word matching accepts it.
  const auto run = RunTool(kOpExtendedReplace, u"xfoox", 1, 4, Extended(u"foo", u"bar", false, true));
  EXPECT_EQ(run.result, u"bar");
  EXPECT_EQ(RunTool(kOpExtendedReplace, u"FOO foo_x", Extended(u"foo", u"-", true, true)).result, u"- foo_x");
  RunOptions o = Extended(u"foo", u"-", true, true);
  o.settings.underscoreIsWordChar = false;
  EXPECT_EQ(RunTool(kOpExtendedReplace, u"FOO foo_x", o).result, u"- -_x");
}

}  // namespace
}  // namespace quillet
