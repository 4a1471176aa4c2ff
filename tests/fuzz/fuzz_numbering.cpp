// Any numbering mask, counter settings and column keys over any lines: the
// run must stay inside the result it sized and write exactly what it said.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/numbering.h"
#include "engine/tool_job.h"

namespace {

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::uint8_t Byte() {
    if (!size) return 0;
    --size;
    return *data++;
  }
  std::int32_t Number() {
    // Mostly small, sometimes at the edges of the range.
    switch (Byte() % 8) {
      case 0:
        return INT_MAX - (Byte() % 3);
      case 1:
        return INT_MIN + (Byte() % 3);
      case 2:
        return -static_cast<std::int32_t>(Byte() % 5);
      default:
        return Byte() % 12;
    }
  }
  std::u16string Text(std::size_t max, std::u16string_view units) {
    std::u16string s(Byte() % (max + 1), u'\0');
    for (char16_t& c : s) c = units[Byte() % units.size()];
    return s;
  }
};

constexpr std::u16string_view kMaskUnits = u"%%%+<>^0123456789dbxXonq,\u0660\uFF11";
constexpr std::u16string_view kTextUnits = u"ab \t\t,;\r\n\r\n\u3000";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in{data, size};
  quillet::NumberingSettings n;
  n.mask = in.Text(24, kMaskUnits);
  n.skipBlank = in.Byte() & 1;
  n.start = in.Number();
  n.step = in.Number();
  for (quillet::ColumnKeySpec& k : n.keys) {
    const std::uint8_t flags = in.Byte();
    k.mode = flags & 1;
    k.mergeDelimiters = flags & 2;
    k.columnsFromRight = flags & 4;
    k.useCharRange = flags & 8;
    k.charsFromRight = flags & 16;
    if (flags & 32) k.delimiters = in.Text(4, kTextUnits);
    k.fromColumn = in.Number();
    k.toColumn = in.Number();
    k.charFrom = in.Number();
    k.charTo = in.Number();
  }

  quillet::ToolJob job;
  quillet::ToolSettings settings;
  job.settings = settings;
  job.op = quillet::kOpNumberLines;
  job.params = quillet::NumberingParams{&n};
  job.keepFinalBreak = in.Byte() & 1;
  char16_t preview[quillet::kPreviewBufferUnits];
  if (in.Byte() % 4 == 0) job.previewBuffer = preview;
  const std::u16string text = in.Text(200, kTextUnits);
  job.selStart = in.Byte() % 8;
  job.selEnd = static_cast<std::uint32_t>(text.size());

  const quillet::Failure message = quillet::RunToolJobOnText(job, text);
  if (job.result && !message) {
    if (job.result[job.resultLength] != 0) __builtin_trap();
    if (job.resultLength > job.resultCapacity + 2) __builtin_trap();
  }
  // The parser on its own, with the whole input as a mask.
  const std::u16string mask(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
  const auto tokens = quillet::ParseMask(mask);
  if (tokens.empty() || tokens.back().kind != quillet::kTokenEnd || tokens.size() > mask.size() + 1) __builtin_trap();
  for (const auto& t : tokens)
    if (t.kind == quillet::kTokenColumn && t.arg > 9) __builtin_trap();
  return 0;
}
