#include "engine/print_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/messages.h"
#include "engine/tool_job.h"
#include "tests/unit/tool_run.h"

namespace quillet {
namespace {

using testing::RunOptions;
using testing::RunTool;
using testing::ToolRun;

// A printer on paper: every character is 10 units wide except 'W' (150, wider
// than the test pages) and TAB, which moves to the next multiple of 80 as
// the default tab stops do. It records the pages it is given.
struct PaperPrinter {
  struct Line {
    int x, y;
    std::u16string text;
  };
  std::vector<std::vector<Line>> pages;
  std::size_t measuredChars = 0;
  int failStartPage = 0;  // the page number (from 1) whose StartPage fails
  int failEndPage = 0;
  int cancelAfterPages = -1;

  PagePrinter Calls() {
    PagePrinter p;
    p.context = this;
    p.measure = [](void* c, const char16_t* text, std::size_t n) {
      auto& self = *static_cast<PaperPrinter*>(c);
      self.measuredChars += n;
      long x = 0;
      for (std::size_t i = 0; i < n; ++i) x = text[i] == u'\t' ? (x / 80 + 1) * 80 : x + (text[i] == u'W' ? 150 : 10);
      return x;
    };
    p.startPage = [](void* c) {
      auto& self = *static_cast<PaperPrinter*>(c);
      if (static_cast<int>(self.pages.size()) + 1 == self.failStartPage) return false;
      self.pages.emplace_back();
      return true;
    };
    p.drawLine = [](void* c, int x, int y, const char16_t* text, std::size_t n) {
      static_cast<PaperPrinter*>(c)->pages.back().push_back({x, y, std::u16string(text, n)});
    };
    p.endPage = [](void* c) {
      auto& self = *static_cast<PaperPrinter*>(c);
      return static_cast<int>(self.pages.size()) != self.failEndPage;
    };
    p.cancelled = [](void* c) {
      auto& self = *static_cast<PaperPrinter*>(c);
      return self.cancelAfterPages >= 0 && static_cast<int>(self.pages.size()) >= self.cancelAfterPages;
    };
    return p;
  }

  // Every printed line, page after page.
  std::vector<std::u16string> Lines() const {
    std::vector<std::u16string> all;
    for (const auto& page : pages)
      for (const Line& l : page) all.push_back(l.text);
    return all;
  }
};

const WordChars kWords = MakeWordChars(false);

// 100 units wide: ten ordinary characters.
std::vector<std::u16string> Wrapped(std::u16string_view line, long width = 100, const WordChars& word = kWords) {
  PaperPrinter paper;
  const PagePrinter p = paper.Calls();
  std::vector<std::u16string> parts;
  while (!line.empty()) {
    const std::size_t n = FitPrintLine(line, width, p, word);
    if (n == 0 || n > line.size()) {
      parts.push_back(u"<no progress>");
      break;
    }
    parts.emplace_back(line.substr(0, n));
    line.remove_prefix(n);
  }
  return parts;
}

using Parts = std::vector<std::u16string>;

TEST(PrintLayout, PageGeometryAndFont) {
  // A4 at 300 dpi with the default font scaled for it.
  const PageGeometry a4 = ComputePageGeometry({300, 300, 2479, 3508}, 54);
  EXPECT_EQ(a4.marginX, 150);
  EXPECT_EQ(a4.marginY, 150);
  EXPECT_EQ(a4.width, 2179);
  EXPECT_EQ(a4.linesPerPage, 59);  // (3508 - 300) / 54
  EXPECT_TRUE(a4.CanPrint());
  // Margins of odd resolutions are rounded down, each on its own axis.
  const PageGeometry odd = ComputePageGeometry({601, 75, 1000, 1000}, 10);
  EXPECT_EQ(odd.marginX, 300);
  EXPECT_EQ(odd.width, 400);
  EXPECT_EQ(odd.marginY, 37);
  EXPECT_EQ(odd.linesPerPage, 92);
  // A page with no room across, or not for one line, or a font with no
  // height prints nothing.
  EXPECT_FALSE(ComputePageGeometry({300, 300, 300, 3508}, 54).CanPrint());
  EXPECT_FALSE(ComputePageGeometry({300, 300, 2479, 353}, 54).CanPrint());
  EXPECT_TRUE(ComputePageGeometry({300, 300, 2479, 354}, 54).CanPrint());
  EXPECT_FALSE(ComputePageGeometry({300, 300, 2479, 3508}, 0).CanPrint());

  // The editor's height over 89, rounded to the nearest, always a cell height.
  EXPECT_EQ(PrintFontHeight(16, 300), 54);   // 53.9
  EXPECT_EQ(PrintFontHeight(-13, 300), 44);  // -43.8: a character height becomes a cell height
  EXPECT_EQ(PrintFontHeight(1, 44), 0);      // 0.49
  EXPECT_EQ(PrintFontHeight(1, 45), 1);      // 0.51
  EXPECT_EQ(PrintFontHeight(-1, 45), 1);
  EXPECT_EQ(PrintFontHeight(0, 600), 0);
}

TEST(PrintLayout, LongLinesBreakAfterTheLastNonWordCharacterThatFits) {
  // A line that fits, to the last unit, stays whole.
  EXPECT_EQ(Wrapped(u"short"), Parts{u"short"});
  EXPECT_EQ(Wrapped(u"0123456789"), Parts{u"0123456789"});
  // After the last space that fits; the next line starts with the word that
  // did not fit.
  EXPECT_EQ(Wrapped(u"aaaa bbbb cccc dd"), (Parts{u"aaaa bbbb ", u"cccc dd"}));
  EXPECT_EQ(Wrapped(u"aaaa bbbbbb cc"), (Parts{u"aaaa ", u"bbbbbb cc"}));
  // Any non-word character is a break: punctuation, CJK... not the first one.
  EXPECT_EQ(Wrapped(u"abc,defghijkl"), (Parts{u"abc,", u"defghijkl"}));
  EXPECT_EQ(Wrapped(u" abcdefghijkl"), (Parts{u" abcdefgh", u"ijkl"}));
  // "_" joins words when the setting says so.
  EXPECT_EQ(Wrapped(u"abc_defghijkl"), (Parts{u"abc_", u"defghijkl"}));
  EXPECT_EQ(Wrapped(u"abc_defghijkl", 100, MakeWordChars(true)), (Parts{u"abc_defgh", u"ijkl"}));
  // A word wider than the page is broken between characters, as many as stay
  // narrower than the page.
  EXPECT_EQ(Wrapped(u"abcdefghijklmnopqrst"), (Parts{u"abcdefghi", u"jklmnopqr", u"st"}));
  // A character wider than the page is printed alone.
  EXPECT_EQ(Wrapped(u"WWab"), (Parts{u"W", u"W", u"ab"}));
  EXPECT_EQ(Wrapped(u"ab", 5), (Parts{u"a", u"b"}));
  // A character of two units is never cut in half.
  EXPECT_EQ(Wrapped(u"abcdefghi\U0001F600yz"), (Parts{u"abcdefghi", u"\U0001F600yz"}));
  EXPECT_EQ(Wrapped(u"abcdefgh\U0001F600xyz", 95), (Parts{u"abcdefgh", u"\U0001F600xyz"}));
  EXPECT_EQ(Wrapped(u"\U0001F600", 5), Parts{u"\U0001F600"});
  // TAB characters are measured at their stops ("a\t" is 80 wide) and are
  // places to break.
  EXPECT_EQ(Wrapped(u"a\tb\tc"), (Parts{u"a\t", u"b\tc"}));
  EXPECT_EQ(Wrapped(u"\t\t\t\t"), (Parts{u"\t", u"\t", u"\t", u"\t"}));
}

TEST(PrintLayout, PagesHoldTheirLinesAndEndWithTheText) {
  const PageGeometry page = ComputePageGeometry({20, 20, 120, 80}, 20);  // 100 wide, 3 lines
  ASSERT_EQ(page.linesPerPage, 3);

  // An empty document is one empty page.
  PaperPrinter empty;
  EXPECT_EQ(PrintPages(u"", page, empty.Calls(), kWords), PrintOutcome::kPrinted);
  ASSERT_EQ(empty.pages.size(), 1u);

  // Lines go down the page from the margins; long ones wrap onto the next
  // page; a final break adds no page of its own.
  PaperPrinter paper;
  EXPECT_EQ(PrintPages(u"one\r\n\r\naaaa bbbb cccc\r\nx\r\nlast\r\n", page, paper.Calls(), kWords),
            PrintOutcome::kPrinted);
  ASSERT_EQ(paper.pages.size(), 2u);
  EXPECT_EQ(paper.Lines(), (Parts{u"one", u"", u"aaaa bbbb ", u"cccc", u"x", u"last"}));
  EXPECT_EQ(paper.pages[1][0].x, 10);
  EXPECT_EQ(paper.pages[1][0].y, 10);
  EXPECT_EQ(paper.pages[1][2].y, 50);
  // With one line less the break's empty line fits on the page.
  PaperPrinter shorter;
  PrintPages(u"one\r\n\r\naaaa bbbb cccc\r\nx\r\n", page, shorter.Calls(), kWords);
  EXPECT_EQ(shorter.Lines(), (Parts{u"one", u"", u"aaaa bbbb ", u"cccc", u"x", u""}));
  // A lone CR or LF is no line break.
  PaperPrinter lone;
  PrintPages(u"a\rb\nc", page, lone.Calls(), kWords);
  EXPECT_EQ(lone.Lines(), Parts{u"a\rb\nc"});

  // Cancelling ends the run before the next page.
  PaperPrinter cancelled;
  cancelled.cancelAfterPages = 1;
  EXPECT_EQ(PrintPages(u"1\r\n2\r\n3\r\n4\r\n5", page, cancelled.Calls(), kWords), PrintOutcome::kCancelled);
  EXPECT_EQ(cancelled.pages.size(), 1u);

  // A page that cannot start or end stops the run there.
  PaperPrinter noSecondPage;
  noSecondPage.failStartPage = 2;
  EXPECT_EQ(PrintPages(u"1\r\n2\r\n3\r\n4", page, noSecondPage.Calls(), kWords), PrintOutcome::kFailed);
  EXPECT_EQ(noSecondPage.pages.size(), 1u);
  PaperPrinter noEnd;
  noEnd.failEndPage = 1;
  EXPECT_EQ(PrintPages(u"1\r\n2\r\n3\r\n4", page, noEnd.Calls(), kWords), PrintOutcome::kFailed);
  EXPECT_EQ(noEnd.pages.size(), 1u);
}

// What a run printed, put back together: its lines without the breaks.
std::u16string Joined(const PaperPrinter& paper) {
  std::u16string all;
  for (const auto& line : paper.Lines()) all += line;
  return all;
}

TEST(PrintLayout, HugeAndOddDocumentsPrintEveryCharacterOnce) {
  const PageGeometry page = ComputePageGeometry({20, 20, 820, 1000}, 20);  // 80 characters, 49 lines
  auto check = [&](const std::u16string& text, const std::u16string& expected) {
    PaperPrinter paper;
    ASSERT_EQ(PrintPages(text, page, paper.Calls(), kWords), PrintOutcome::kPrinted);
    for (std::size_t i = 0; i < paper.pages.size(); ++i) {
      // Every page but the last is full, and every page moves on.
      if (i + 1 < paper.pages.size()) {
        EXPECT_EQ(paper.pages[i].size(), 49u) << "page " << i;
      }
      std::size_t chars = 0;
      for (const auto& line : paper.pages[i]) chars += line.text.size();
      EXPECT_GT(chars, 0u) << "page " << i;
    }
    EXPECT_EQ(Joined(paper), expected);
    // However long a line is, the layout measures about what it prints.
    EXPECT_LT(paper.measuredChars, 40 * text.size());
  };

  // One line of a million characters, with words...
  std::u16string words;
  while (words.size() < 1000000) words += u"word, words ";
  check(words, words);
  // ... or without any place to break.
  check(std::u16string(1000000, u'x'), std::u16string(1000000, u'x'));

  // A hundred thousand short lines.
  std::u16string lines, joined;
  for (int i = 0; i < 100000; ++i) {
    lines += u"line " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"\r\n";
    joined += u"line " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
  }
  check(lines, joined);

  // Lines of TAB characters only, longer than the page.
  std::u16string tabs;
  for (int i = 0; i < 1000; ++i) tabs += std::u16string(static_cast<std::size_t>(i % 40), u'\t') + u"\r\n";
  std::u16string tabsJoined;
  for (char16_t c : tabs) {
    if (c == u'\t') tabsJoined += c;
  }
  check(tabs, tabsJoined);
}

// A printer for the tool job that remembers what it was given.
struct Captured {
  std::u16string text;
  int calls = 0;
  Failure answer;
};

Failure Capture(PrintRun& run, std::u16string_view text) {
  auto& c = *static_cast<Captured*>(run.context);
  c.text = text;
  ++c.calls;
  return c.answer;
}

TEST(PrintLayout, PrintOperationsHandTheirTextToThePrinter) {
  Captured captured;
  PrintRun print{Capture, &captured};
  RunOptions options;
  options.params = PrintParams{&print};

  // The selection, without its final line break; nothing is replaced.
  ToolRun run = RunTool(kOpPrintSelection, u"one\r\ntwo\r\nthree", 5, 10, options);
  EXPECT_EQ(run.message.id(), std::nullopt);
  EXPECT_FALSE(run.replaced);
  EXPECT_EQ(captured.text, u"two");

  // An empty selection is refused before anything is printed.
  captured.calls = 0;
  EXPECT_EQ(RunTool(kOpPrintSelection, u"one\r\ntwo", 3, 5, options).message.id(), kMsgSelectionEmpty);
  EXPECT_EQ(captured.calls, 0);

  // The printer's message comes back as the job's.
  captured.answer = kMsgCannotPrint;
  run = RunTool(kOpPrintSelection, u"abc", 0, 3, options);
  EXPECT_EQ(run.message.id(), kMsgCannotPrint);
  EXPECT_FALSE(run.replaced);

  // The whole document, wherever the selection is, with its last break.
  captured.answer = {};
  ToolJob job;
  job.family = kLineFamily;
  job.lineOp = kLineOpPrintDocument;
  job.params = PrintParams{&print};
  job.selStart = job.selEnd = 2;
  EXPECT_EQ(RunToolJobOnText(job, u"a\r\nb\r\n").id(), std::nullopt);
  EXPECT_EQ(captured.text, u"a\r\nb\r\n");
  EXPECT_EQ(job.result, nullptr);
}

}  // namespace
}  // namespace quillet
