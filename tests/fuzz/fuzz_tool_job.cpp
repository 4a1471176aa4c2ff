// Any text, any selection bounds, any operation code and any stored tool
// texts: a tool run must stay inside its buffers and keep its promises.
#include <cstddef>
#include <cstdint>
#include <string>

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
  std::uint32_t Number() { return Byte() | (Byte() << 8); }
  // A short string of units drawn from a small alphabet that hits the
  // interesting cases (breaks, spaces, surrogates, U+FFFF, word characters).
  std::u16string Text(std::size_t max) {
    static const char16_t kUnits[] = {u'a', u'B', u'_',   u' ',   u'\t',  u'\r',  u'\n',
                                      u'.', u'3', 0xD83D, 0xDE00, 0xFFFF, 0x3000, u'中'};
    std::u16string s(Byte() % (max + 1), u'\0');
    for (char16_t& c : s) c = kUnits[Byte() % std::size(kUnits)];
    return s;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in{data, size};
  quillet::ToolSettings settings;
  settings.underscoreIsWordChar = in.Byte() & 1;
  settings.translateDeleteOthers = in.Byte() & 1;
  settings.tagEmptyElement = in.Byte() & 1;
  settings.translateFrom = in.Text(8);
  settings.translateTo = in.Text(8);
  settings.encloseBefore = in.Text(4);
  settings.tagName = in.Text(4);

  quillet::ToolJob job;
  job.settings = settings;
  job.op = quillet::TextOp{in.Byte() % 200};
  job.keepFinalBreak = in.Byte() & 1;
  char16_t preview[quillet::kPreviewBufferUnits];
  if (in.Byte() & 1) job.previewBuffer = preview;
  job.selStart = in.Number() % 300;
  job.selEnd = in.Number() % 300;
  const std::u16string text = in.Text(255);

  const quillet::Failure message = quillet::RunToolJobOnText(job, text);
  if (job.result && !message) {
    // Every result is terminated where its length says.
    if (job.result[job.resultLength] != 0) __builtin_trap();
    if (job.resultCapacity && job.resultLength > job.resultCapacity + 2) __builtin_trap();
  }
  return 0;
}
