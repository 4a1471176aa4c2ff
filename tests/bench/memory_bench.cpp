// The memory each text tool takes beside the document, counted by an
// allocator that adds up every block this process holds (malloc, free and
// their relatives are this program's own and hand the blocks on to the C
// library's). For each tool: the selection and the result in UTF-16 bytes,
// the peak of the memory held during the run above what was held before it,
// and that peak against twice the selection plus the result.
//
//   memory_bench [megabytes]    (default 20)
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/memory.h"
#include "base/system_text.h"
#include "engine/line_tools.h"
#include "engine/numbering.h"
#include "engine/sort.h"
#include "engine/statistics.h"
#include "engine/text_tools.h"
#include "engine/tool_job.h"
#include "engine/unique_lines.h"
#include "tests/bench/bench_support.h"

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

std::atomic<long long> held{0};
std::atomic<long long> peak{0};

void Note(long long change) {
  const long long now = held.fetch_add(change) + change;
  long long seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}

long long SizeOf(void* p) { return p ? static_cast<long long>(malloc_usable_size(p)) : 0; }

}  // namespace

extern "C" {
void* malloc(std::size_t n) {
  void* p = __libc_malloc(n);
  Note(SizeOf(p));
  return p;
}
void* calloc(std::size_t count, std::size_t size) {
  void* p = __libc_calloc(count, size);
  Note(SizeOf(p));
  return p;
}
void* realloc(void* old, std::size_t n) {
  const long long before = SizeOf(old);
  void* p = __libc_realloc(old, n);
  if (p || n == 0) Note(SizeOf(p) - before);
  return p;
}
void* memalign(std::size_t alignment, std::size_t n) {
  void* p = __libc_memalign(alignment, n);
  Note(SizeOf(p));
  return p;
}
void* aligned_alloc(std::size_t alignment, std::size_t n) { return memalign(alignment, n); }
int posix_memalign(void** out, std::size_t alignment, std::size_t n) {
  *out = memalign(alignment, n);
  return *out ? 0 : 12;  // ENOMEM
}
void free(void* p) {
  Note(-SizeOf(p));
  __libc_free(p);
}
}

namespace {

using namespace quillet;
using namespace quillet::bench;

struct Measured {
  double selection = 0, result = 0, peakExtra = 0;
  bool ok = false;
};

// One run over a selection of the given units; run says whether it worked
// and sets the bytes of its result.
template <class Run>
Measured MeasureRun(std::size_t units, Run run) {
  Measured m;
  // What a tool needs, not what an earlier one left to reuse.
  quillet::ReleaseSpareBlocks();
  const long long before = held.load();
  peak.store(before);
  m.ok = run(m.result);
  m.peakExtra = static_cast<double>(peak.load() - before);
  m.selection = 2.0 * static_cast<double>(units);
  return m;
}

Measured Measure(TextOp op, const std::u16string& text, const ToolParams& params, const ToolSettings& settings,
                 bool keepFinalBreak) {
  ToolJob job;
  job.op = op;
  job.params = params;
  job.settings = settings;
  job.keepFinalBreak = keepFinalBreak;
  job.selEnd = static_cast<std::uint32_t>(text.size());
  return MeasureRun(text.size(), [&](double& result) {
    const Failure message = RunToolJobOnText(job, text);
    result = job.result ? 2.0 * job.resultLength : 0;
    return message.ok();
  });
}

// One line of the table; counts a run over its limit.
bool Report(const char* what, const Measured& m, int& over) {
  if (!m.ok) {
    std::printf("%-22s failed\n", what);
    return false;
  }
  const double limit = 2 * (m.selection + m.result);
  const double ratio = m.peakExtra / limit;
  over += ratio > 1.0;
  std::printf("%-22s %10.1f %10.1f %12.1f %12.1f %6.2f\n", what, m.selection / 1048576, m.result / 1048576,
              m.peakExtra / 1048576, limit / 1048576, ratio);
  return true;
}

std::u16string Utf16(const std::string& utf8) { return DecodeBytes(kCodePageUtf8, utf8); }

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = SizeArg(argc, argv, 20);
  GetCharTables();  // built once per run, as in the program
  const std::string lf =
      MakeWordText(megabytes << 20, {.seed = 42, .maxWords = 16, .chineseOneIn = 20, .capitalOneIn = 4});
  const std::u16string crlf = Utf16(WithCrLf(lf)), lf16 = Utf16(lf);
  std::u16string cr16 = lf16;
  std::replace(cr16.begin(), cr16.end(), u'\n', u'\r');
  std::u16string numbers;
  for (std::size_t i = 0; numbers.size() < crlf.size(); ++i)
    numbers += std::u16string(u"  -") + static_cast<char16_t>(u'0' + i % 10) + u"1.5\t\tword\tx " + u"\r\n";

  ToolSettings plain;
  ToolSettings replaceSame = plain, replaceLonger = plain, translate = plain, enclose = plain, tag = plain;
  replaceSame.extendedFindText = u"the";
  replaceSame.extendedReplaceText = u"THE";
  replaceLonger.extendedFindText = u"a";
  replaceLonger.extendedReplaceText = u"<a>";
  translate.translateFrom = u"abc";
  translate.translateTo = u"xy";
  enclose.encloseBefore = u"(";
  enclose.encloseAfter = u")";
  tag.tagName = u"p";
  const UniqueSpec unique{};
  const UniqueSpec counted{.countDuplicates = true};
  NumberingSettings numbering;
  numbering.mask = u"%>d\t%0";
  SortSettings byColumn = DefaultSortSettings();
  byColumn[0].key.mode = 1;
  byColumn[0].key.fromColumn = byColumn[0].key.toColumn = 2;
  SortSettings numeric = DefaultSortSettings();
  numeric[0].numeric = true;

  struct Row {
    const char* what;
    TextOp op;
    const std::u16string* text;
    ToolParams params;
    const ToolSettings* settings;
  } rows[] = {
      {"upper case", kOpUpperCase, &crlf, {}, &plain},
      {"invert case", kOpInvertCase, &crlf, {}, &plain},
      {"word case", kOpWordCase, &crlf, {}, &plain},
      {"LF to CR LF", kOpLfToCrLf, &lf16, {}, &plain},
      {"CR to CR LF", kOpCrToCrLf, &cr16, {}, &plain},
      {"CR LF to LF", kOpCrLfToLf, &crlf, {}, &plain},
      {"CR LF to CR", kOpCrLfToCr, &crlf, {}, &plain},
      {"prefix lines", kOpPrefixLines, &crlf, {}, &plain},
      {"append to lines", kOpAppendToLines, &crlf, {}, &plain},
      {"numbering", kOpNumberLines, &crlf, NumberingParams{&numbering}, &plain},
      {"delete empty lines", kOpDeleteEmptyLines, &crlf, {}, &plain},
      {"unique lines", kOpUniqueLines, &crlf, UniqueParams{&unique}, &plain},
      {"unique, counted", kOpUniqueLines, &crlf, UniqueParams{&counted}, &plain},
      {"unindent", kOpUnindent, &crlf, {}, &plain},
      {"trim", kOpTrimTrailing, &crlf, {}, &plain},
      {"tabify", kOpTabify, &numbers, {}, &plain},
      {"untabify", kOpUntabify, &numbers, {}, &plain},
      {"enclose", kOpEnclose, &crlf, {}, &enclose},
      {"tag", kOpTag, &crlf, {}, &tag},
      {"reverse text", kOpReverseText, &crlf, {}, &plain},
      {"reverse lines", kOpReverseLines, &crlf, {}, &plain},
      {"reverse words", kOpReverseWords, &crlf, {}, &plain},
      {"reverse each line", kOpReverseEachLine, &crlf, {}, &plain},
      {"reverse line words", kOpReverseLineWords, &crlf, {}, &plain},
      {"replace, same length", kOpExtendedReplace, &crlf, {}, &replaceSame},
      {"replace, longer", kOpExtendedReplace, &crlf, {}, &replaceLonger},
      {"translate", kOpTranslate, &crlf, {}, &translate},
      {"sort", kOpSortLines, &crlf, SortParams{AscendingSort().data()}, &plain},
      {"sort, by column", kOpSortLines, &numbers, SortParams{byColumn.data()}, &plain},
      {"sort, numeric", kOpSortLines, &numbers, SortParams{numeric.data()}, &plain},
      {"hard wrap", kOpHardWrap, &crlf, {}, &plain},
      {"unwrap", kOpUnwrap, &crlf, {}, &plain},
  };

  std::printf("%-22s %10s %10s %12s %12s %6s\n", "tool", "sel MB", "result MB", "peak extra", "limit MB", "ratio");
  int over = 0;
  for (const Row& row : rows) {
    if (!Report(row.what, Measure(row.op, *row.text, row.params, *row.settings, true), over)) return 1;
  }
  // The statistics count the copy of the text the dialog takes; it reports
  // rather than rewrites, so there is no result.
  TextStats stats;
  const Measured statistics = MeasureRun(crlf.size(), [&](double&) {
    stats = CountTextStats(crlf, false);
    return stats.characters == crlf.size();
  });
  if (!Report("statistics", statistics, over)) return 1;
  std::printf("\npeak extra: the most this process held during the run beyond what it held before; limit: twice "
              "the selection plus the result (UTF-16 bytes)\n");
  return over ? 2 : 0;
}
