#include "engine/caret_ops.h"

#include <algorithm>

#include "base/memory.h"
#include "base/messages.h"
#include "engine/char_classes.h"
#include "engine/line_table.h"
#include "engine/tool_table.h"
#include "engine/unique_lines.h"
#include "engine/unit_scan.h"

namespace quillet {
namespace {

const ToolSettings& SettingsOf(const ToolJob& job) { return job.settings; }

bool IsSpace(const std::uint16_t* type, char16_t c) { return (type[c] & kCharSpace) != 0; }

// The last line whose offset is not greater than pos.
std::size_t LineOf(const LineRecord* lines, std::size_t count, std::uint64_t pos) {
  const LineRecord* after =
      std::upper_bound(lines, lines + count, pos, [](std::uint64_t p, const LineRecord& r) { return p < r.offset; });
  return after == lines ? 0 : static_cast<std::size_t>(after - lines) - 1;
}

std::uint32_t LineEnd(const LineRecord& r) { return r.offset + r.length; }

// The start of the line after the one that starts at p, or end when that
// one is the last.
const char16_t* NextLineStart(const char16_t* p, const char16_t* end) {
  for (;; ++p) {
    p = FindUnit(p, end, kCR);
    if (p == end) return end;
    if (p + 1 < end && p[1] == kLF) return p + 2;
  }
}

// The characters to copy from a line above at column b: the word or the
// white space that starts there, or the one character.
std::u16string RunAt(const LineRecord& r, std::uint32_t b, const WordChars& word, const std::uint16_t* type) {
  const char16_t* p = r.start + b;
  const char16_t* end = r.start + r.length;
  const char16_t* q = p + 1;
  if (word(*p)) {
    while (q < end && word(*q)) ++q;
  } else if (IsSpace(type, *p)) {
    while (q < end && IsSpace(type, *q)) ++q;
  }
  return std::u16string(p, q);
}

// The logical line of a position, or a line by its number, straight from
// the text: the status bar asks after every move of the caret, and a table
// of every line would cost more than the answer.
void LookUpLine(char16_t* text, std::uint32_t textLength, LogicalLineInfo& info) {
  const LineScan scan = ScanLines(text, textLength);
  const char16_t* end = scan.end;
  const std::size_t count = scan.lines;
  std::size_t line = 0;
  const char16_t* start = text;
  if (info.line < 0) {
    // The line of a position is the one whose start is the last at or
    // before it: one line more for every break that ends before it.
    const auto pos = static_cast<std::size_t>(std::max<std::int32_t>(info.position, 0));
    const char16_t* limit = text + std::min<std::size_t>(pos, static_cast<std::size_t>(end - text));
    for (const char16_t* lf = limit; (lf = FindLastUnit(text, lf, kLF)) != nullptr;) {
      if (lf > text && lf[-1] == kCR && lf + 1 <= text + pos) {
        start = lf + 1;
        break;
      }
    }
    line = start == text ? 0 : CountLineBreaks(text, start - 1);
  } else {
    // A line that does not exist reads as the last one.
    line = std::min<std::size_t>(static_cast<std::size_t>(info.line), count - 1);
    for (std::size_t k = 0; k < line; ++k) start = NextLineStart(start, end);
  }
  const char16_t* lineEnd = start;
  for (;; ++lineEnd) {
    lineEnd = FindUnit(lineEnd, end, kCR);
    if (lineEnd == end || (lineEnd + 1 < end && lineEnd[1] == kLF)) break;
  }
  info.line = static_cast<std::int32_t>(line);
  info.lineStart = static_cast<std::int32_t>(start - text);
  info.lineLength = static_cast<std::int32_t>(lineEnd - start);
  info.textLength = static_cast<std::int32_t>(textLength);
  info.lineCount = static_cast<std::int32_t>(count);
}

void SelectOnly(CaretEdit& edit, std::uint64_t start, std::uint64_t end, std::uint32_t textLength) {
  edit.select = true;
  edit.start = static_cast<std::uint32_t>(std::min<std::uint64_t>(start, textLength));
  edit.end = static_cast<std::uint32_t>(std::min<std::uint64_t>(end, textLength));
}

}  // namespace

// The line a caret edit acts on: the line c of position P (the selection's
// end for the edits that look forward, else its start) and P's column b in
// it.
struct CaretPlace {
  const LineRecord* lines;
  std::size_t count;
  std::size_t c;
  std::uint32_t P;
  std::uint32_t b;
  const LineRecord& cur() const { return lines[c]; }
};

namespace {

CaretPlace PlaceOf(const ToolJob& job, const LineToolRow& tool, const LineRecord* lines, std::size_t count) {
  const std::uint32_t P = tool.atSelectionEnd ? job.selEnd : job.selStart;
  const std::size_t c = LineOf(lines, count, P);
  return CaretPlace{lines, count, c, P, std::min(P - lines[c].offset, lines[c].length)};
}

// ---- the edits that type ----------------------------------------------------

// The nearest line at or above the caret's that is not empty, or the first.
std::size_t NearestNonEmptyLine(const CaretPlace& at) {
  std::size_t i = at.c;
  while (at.lines[i].length == 0 && i > 0) --i;
  return i;
}

CaretEdit SmartEnterEdit(const ToolJob&, const CaretPlace& at) {
  at.cur().start[at.b] = 0;  // only the part before the caret counts
  const std::uint16_t* type = GetCharTables().type;
  CaretEdit edit;
  edit.typed += kCR;  // typed as Enter
  for (const char16_t* p = at.lines[NearestNonEmptyLine(at)].start; *p && IsSpace(type, *p); ++p) edit.typed += *p;
  return edit;
}

CaretEdit RepeatLineEdit(const ToolJob& job, const CaretPlace& at) {
  CaretEdit edit;
  if (job.selStart != job.selEnd) return edit;
  const LineRecord& cur = at.cur();
  cur.start[at.b] = 0;
  const std::size_t i = NearestNonEmptyLine(at);
  SelectOnly(edit, LineEnd(cur), LineEnd(cur), job.textLength);
  if (i == at.c) edit.typed += kCR;
  edit.typed += at.lines[i].start;
  return edit;
}

// The run at the caret's column of the nearest line above that reaches
// past it (and, for a similar line, begins like the caret's line).
CaretEdit CopyRunFromAbove(const ToolJob& job, const CaretPlace& at, bool similarLine) {
  const LineRecord& cur = at.cur();
  cur.start[at.b] = 0;
  CaretEdit edit;
  for (std::size_t k = at.c; k-- > 0;) {
    const LineRecord& above = at.lines[k];
    if (above.length <= at.b) continue;
    if (similarLine && ComparePrefixNoCase(cur.start, above.start) != 0) continue;
    edit.typed = RunAt(above, at.b, MakeWordChars(job.settings.underscoreIsWordChar), GetCharTables().type);
    break;
  }
  return edit;
}

CaretEdit CopyFromAboveEdit(const ToolJob& job, const CaretPlace& at) { return CopyRunFromAbove(job, at, false); }

CaretEdit CopySimilarLineEdit(const ToolJob& job, const CaretPlace& at) { return CopyRunFromAbove(job, at, true); }

// ---- the edits that move the caret or select (and clear) --------------------

CaretEdit CaretDownEdit(const ToolJob& job, const CaretPlace& at) {
  CaretEdit edit;
  if (at.c + 1 < at.count) {
    const std::uint64_t target =
        std::min<std::uint64_t>(std::uint64_t{at.P} + at.cur().length + 2, LineEnd(at.lines[at.c + 1]));
    SelectOnly(edit, target, target, job.textLength);
  }
  return edit;
}

CaretEdit CaretUpEdit(const ToolJob& job, const CaretPlace& at) {
  CaretEdit edit;
  if (at.c > 0) {
    const LineRecord& above = at.lines[at.c - 1];
    const std::uint64_t target = std::min<std::uint64_t>(std::uint64_t{at.P} - above.length - 2, LineEnd(above));
    SelectOnly(edit, target, target, job.textLength);
  }
  return edit;
}

CaretEdit DeleteLineEdit(const ToolJob& job, const CaretPlace& at) {
  const LineRecord& cur = at.cur();
  CaretEdit edit;
  std::int64_t s = std::min(job.selStart, cur.offset);
  std::int64_t e = LineEnd(cur);
  if (s == cur.offset) e += 2;                     // the line break goes with the line
  if (s == at.lines[at.count - 1].offset) s -= 2;  // the last line takes the break before it
  SelectOnly(edit, static_cast<std::uint64_t>(std::max<std::int64_t>(s, 0)), static_cast<std::uint64_t>(e),
             job.textLength);
  edit.clear = true;
  return edit;
}

CaretEdit SelectLineEdit(const ToolJob& job, const CaretPlace& at) {
  const LineRecord& cur = at.cur();
  CaretEdit edit;
  SelectOnly(edit, std::min(job.selStart, cur.offset), std::uint64_t{LineEnd(cur)} + 2, job.textLength);
  edit.scroll = true;
  return edit;
}

CaretEdit DeleteToLineEndEdit(const ToolJob& job, const CaretPlace& at) {
  const std::uint64_t e = LineEnd(at.cur());
  CaretEdit edit;
  // At the end of the line the break goes, joining the next line.
  SelectOnly(edit, job.selStart, job.selEnd >= e ? e + 2 : e, job.textLength);
  edit.clear = true;
  return edit;
}

CaretEdit DeleteFromLineStartEdit(const ToolJob& job, const CaretPlace& at) {
  std::uint32_t start = job.selStart;
  if (start != at.cur().offset) {
    start = at.cur().offset;
  } else if (at.c > 0) {
    start -= 2;  // joins the previous line
  }
  CaretEdit edit;
  SelectOnly(edit, start, job.selEnd, job.textLength);
  edit.clear = true;
  return edit;
}

// ---- the operations over the whole text -------------------------------------

Failure LookUpLogicalLine(ToolJob& job) {
  if (const auto* given = ParamsOf<LineLookupParams>(job); given && given->lineInfo)
    LookUpLine(job.text, job.textLength, *given->lineInfo);
  return {};
}

Failure CollectCompletionWords(ToolJob& job) {
  const auto* given = ParamsOf<CompletionParams>(job);
  if (!given || !given->completions) return {};
  const ToolSettings& settings = SettingsOf(job);
  return CollectCompletions({job.text, job.textLength}, job.selStart, job.selEnd, settings.completionIgnoreCase,
                            settings.underscoreIsWordChar, *given->completions)
             ? Failure()
             : kMsgOutOfMemory;
}

constexpr LineToolRow kLineTools[] = {
    {.op = kLineOpLogicalLine, .kind = kReport, .run = LookUpLogicalLine},
    {.op = kLineOpCollectCompletions, .kind = kReport, .run = CollectCompletionWords},
    {.op = kLineOpSmartEnter, .edit = SmartEnterEdit},
    {.op = kLineOpRepeatLine, .edit = RepeatLineEdit},
    {.op = kLineOpCopyFromAbove, .edit = CopyFromAboveEdit},
    {.op = kLineOpCopySimilarLine, .edit = CopySimilarLineEdit},
    {.op = kLineOpCaretDown, .atSelectionEnd = true, .edit = CaretDownEdit},
    {.op = kLineOpCaretUp, .edit = CaretUpEdit},
    {.op = kLineOpDeleteLine, .atSelectionEnd = true, .edit = DeleteLineEdit},
    {.op = kLineOpSelectLine, .atSelectionEnd = true, .edit = SelectLineEdit},
    {.op = kLineOpDeleteToLineEnd, .atSelectionEnd = true, .edit = DeleteToLineEndEdit},
    {.op = kLineOpDeleteFromLineStart, .edit = DeleteFromLineStartEdit},
};

static_assert(StrictlyAscending<LineToolRow>(kLineTools));

// Clamps the selection to the text; a position between the CR and the LF
// of a break counts as the end of its line, so no operation splits a line
// break.
void FitSelection(ToolJob& job) {
  job.selEnd = std::min(job.selEnd, job.textLength);
  job.selStart = std::min(job.selStart, job.selEnd);
  job.text[job.textLength] = 0;
  auto outOfBreak = [&](std::uint32_t& pos) {
    if (pos > 0 && job.text[pos - 1] == kCR && job.text[pos] == kLF) --pos;
  };
  outOfBreak(job.selStart);
  outOfBreak(job.selEnd);
}

}  // namespace

const LineToolRow* FindLineTool(LineOp op) { return FindRow<LineToolRow>(kLineTools, op); }

std::span<const LineToolRow> LineToolRows() { return kLineTools; }

Failure RunLineFamilyOp(ToolJob& job) {
  FitSelection(job);
  // Any other code does nothing.
  const LineToolRow* tool = FindLineTool(job.lineOp);
  if (!tool) return {};
  if (tool->kind != kCaretEdit) return tool->run(job);

  const LineScan scan = ScanLines(job.text, job.textLength);
  const std::size_t count = scan.lines;
  HeapBlock<LineRecord> table = HeapBlock<LineRecord>::Allocate(count);
  if (!table) return kMsgOutOfMemory;
  FillLineTable(table.get(), scan, job.text, count);
  CaretEdit edit = tool->edit(job, PlaceOf(job, *tool, table.get(), count));
  if (job.caretEdit) *job.caretEdit = std::move(edit);
  return {};
}

// ---- the caret's display line ----------------------------------------------

namespace {

std::uint32_t Column(const CaretLine& line, std::uint32_t pos) {
  return pos >= line.start ? std::min(pos - line.start, line.length) : 0;
}

// Where the run that begins at column i ends, as a document position; at
// the end of the line the line break is the run (from, which is the anchor,
// plus 2).
std::uint64_t ForwardRunEnd(const CaretLine& line, std::uint32_t from, const WordChars& word,
                            const std::uint16_t* type) {
  std::uint32_t i = Column(line, from);
  const char16_t* t = line.line;
  if (i >= line.length) return std::uint64_t{from} + 2;
  if (word(t[i])) {
    while (i < line.length && word(t[i])) ++i;
  } else if (IsSpace(type, t[i])) {
    while (i < line.length && IsSpace(type, t[i])) ++i;
  } else {
    ++i;
  }
  return std::uint64_t{line.start} + i;
}

}  // namespace

CaretEdit CaretWordEdit(WordOp op, const CaretLine& line, std::uint32_t S, std::uint32_t E, const ToolSettings& settings) {
  const WordChars word = MakeWordChars(settings.underscoreIsWordChar);
  const std::uint16_t* type = GetCharTables().type;
  const char16_t* t = line.line;
  CaretEdit edit;
  auto select = [&](std::uint64_t start, std::uint64_t end) {
    edit.select = true;
    edit.start = static_cast<std::uint32_t>(std::min<std::uint64_t>(start, UINT32_MAX));
    edit.end = static_cast<std::uint32_t>(std::min<std::uint64_t>(end, UINT32_MAX));
  };

  switch (op) {
    case kWordOpDeleteAfter:
      select(S, ForwardRunEnd(line, E, word, type));
      edit.clear = true;
      break;
    case kWordOpDeleteBefore: {
      std::uint32_t i = Column(line, S);
      std::uint64_t start;
      if (i == 0) {
        start = S >= 2 ? S - 2 : 0;  // the line break before the line
      } else {
        if (word(t[i - 1])) {
          while (i > 0 && word(t[i - 1])) --i;
        } else if (IsSpace(type, t[i - 1])) {
          while (i > 0 && IsSpace(type, t[i - 1])) --i;
        } else {
          --i;
        }
        start = std::uint64_t{line.start} + i;
      }
      select(start, E);
      edit.clear = true;
      break;
    }
    case kWordOpAddNextRun:
      if (S != E) {
        select(S, ForwardRunEnd(line, E, word, type));
        edit.scroll = true;
        break;
      }
      [[fallthrough]];
    case kWordOpSelectRun: {
      std::uint32_t i = Column(line, E);
      if (i >= line.length) {
        select(E, std::uint64_t{E} + 2);
      } else {
        std::uint32_t first = i;
        if (word(t[i])) {
          while (first > 0 && word(t[first - 1])) --first;
        } else if (IsSpace(type, t[i])) {
          while (first > 0 && IsSpace(type, t[first - 1])) --first;
        }
        select(std::uint64_t{line.start} + first, ForwardRunEnd(line, E, word, type));
      }
      edit.scroll = true;
      break;
    }
    case kWordOpTabAsSpaces: {
      const std::size_t tab = settings.tabWidth > 0 ? static_cast<std::size_t>(settings.tabWidth) : 1;
      const std::size_t w = ColumnWidth(t, Column(line, S), settings.tabWidth);
      edit.typed.assign(tab - w % tab, u' ');
      break;
    }
    default:
      break;
  }
  return edit;
}

std::u16string WordBeforeCaret(const CaretLine& line, std::uint32_t E, bool underscoreIsWord) {
  const WordChars word = MakeWordChars(underscoreIsWord);
  const std::uint32_t end = Column(line, E);
  std::uint32_t first = end;
  while (first > 0 && word(line.line[first - 1])) --first;
  return std::u16string(line.line + first, line.line + end);
}

// ---- word completion ---------------------------------------------------------

bool CollectCompletions(std::u16string_view text, std::uint32_t prefixStart, std::uint32_t caret, bool ignoreCase,
                        bool underscoreIsWord, std::u16string& words) {
  words.clear();
  caret = static_cast<std::uint32_t>(std::min<std::size_t>(caret, text.size()));
  prefixStart = std::min(prefixStart, caret);
  const std::u16string_view prefix = text.substr(prefixStart, caret - prefixStart);

  // The text after the caret, a space and the text before the prefix less
  // the character that separates them: the prefix is not a candidate, and
  // the nearest words before the caret are met first by the backward scan.
  // A prefix at the very start has nothing before it.
  const std::u16string_view after = text.substr(caret);
  const std::u16string_view before = prefixStart > 0 ? text.substr(0, prefixStart - 1) : std::u16string_view{};
  const std::size_t scanLength = after.size() + (prefixStart > 0 ? 1 + before.size() : 0);
  HeapBlock<char16_t> scan = HeapBlock<char16_t>::Allocate(scanLength + 1);
  if (!scan) return false;
  char16_t* out = std::copy(after.begin(), after.end(), scan.get());
  if (prefixStart > 0) {
    *out++ = u' ';
    out = std::copy(before.begin(), before.end(), out);
  }
  *out = 0;

  const WordChars word = MakeWordChars(underscoreIsWord);
  const char16_t* lower = GetCharTables().lower;
  auto beginsWithPrefix = [&](const char16_t* run, std::size_t length) {
    if (length < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
      const char16_t a = run[i], p = prefix[i];
      if (a != p && !(ignoreCase && lower[a] == lower[p])) return false;
    }
    return true;
  };

  HeapBlock<LineRecord> found;
  std::size_t count = 0;
  std::uint64_t total = 0;
  const char16_t* s = scan.get();
  for (std::size_t end = scanLength; end > 0;) {
    if (!word(s[end - 1])) {
      --end;
      continue;
    }
    std::size_t first = end - 1;
    while (first > 0 && word(s[first - 1])) --first;
    if (beginsWithPrefix(s + first, end - first)) {
      if (count == found.count() && !found.Resize(std::max<std::size_t>(2 * found.count(), 1024))) return false;
      LineRecord& r = found[count++];
      r = LineRecord{};
      r.offset = static_cast<std::uint32_t>(first);
      r.start = const_cast<char16_t*>(s + first);
      r.length = static_cast<std::uint32_t>(end - first);
      total += r.length + 1;
    }
    end = first;
  }
  if (count == 0) return true;

  HeapBlock<char16_t> unique =
      HeapBlock<char16_t>::Allocate(static_cast<std::size_t>(UniqueLinesCapacity(found.get(), count, total)) + 1);
  if (!unique) return false;
  const char16_t* last = UniqueLines(found.get(), count, unique.get(), kUniqueRemoveDuplicates, false, false, false, u' ');
  if (!last) return false;
  // A repeat at the end of the list leaves a separator behind.
  std::size_t length = static_cast<std::size_t>(last - unique.get());
  if (length > 0 && unique[length - 1] == u' ') --length;
  words.assign(unique.get(), length);
  return true;
}

CompletionChoice ChooseCompletion(std::u16string_view collected, std::size_t prefixLength, bool longestCommon) {
  CompletionChoice choice;
  for (std::size_t i = 0; i < collected.size();) {
    std::size_t j = collected.find(u' ', i);
    if (j == std::u16string_view::npos) j = collected.size();
    if (j > i) choice.words.emplace_back(collected.substr(i, j - i));
    i = j + 1;
  }
  auto after = [&](std::u16string_view w) {
    return w.size() > prefixLength ? std::u16string(w.substr(prefixLength)) : std::u16string();
  };
  if (choice.words.size() <= 1) {
    choice.typeAtOnce = true;
    if (!choice.words.empty()) choice.typed = after(choice.words[0]);
    return choice;
  }
  if (longestCommon) {
    std::u16string_view common = choice.words[0];
    for (const std::u16string& w : choice.words) {
      std::size_t n = 0;
      while (n < common.size() && n < w.size() && common[n] == w[n]) ++n;
      common = common.substr(0, n);
    }
    if (common.size() > prefixLength) {
      choice.typeAtOnce = true;
      choice.typed = after(common);
    }
  }
  return choice;
}

}  // namespace quillet
