// Any text, pattern, starting point and flags: the Horspool searches must
// agree with a plain position-by-position search, and replace all must
// write exactly the length it promised.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/search.h"

namespace {

using quillet::kNoMatch;
using quillet::SearchOptions;

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::uint8_t Byte() {
    if (!size) return 0;
    --size;
    return *data++;
  }
  // Mostly a small alphabet, so that matches and near misses are common,
  // with now and then any 16-bit unit at all (surrogates, U+FFFF, zero).
  std::u16string Text(std::size_t max) {
    static const char16_t kUnits[] = {u'a', u'b', u'A', u'B',   u'_',   u' ',   u'\r', u'\n',
                                      u'é', u'É', u'3', 0xD83D, 0xDE00, 0xFFFF, u'中', 0};
    std::u16string s(Byte() % (max + 1), u'\0');
    for (char16_t& c : s) {
      const std::uint8_t b = Byte();
      c = b < 240 ? kUnits[b % std::size(kUnits)] : static_cast<char16_t>(Byte() | (Byte() << 8));
    }
    return s;
  }
};

bool MatchAt(std::u16string_view t, std::size_t p, std::u16string_view pat, const SearchOptions& o) {
  if (p + pat.size() > t.size()) return false;
  for (std::size_t i = 0; i < pat.size(); ++i) {
    const char16_t a = t[p + i], b = pat[i];
    if (o.matchCase ? a != b : quillet::LowerOf(a) != quillet::LowerOf(b)) return false;
  }
  if (!o.wholeWord) return true;
  const quillet::WordChars word = quillet::MakeWordChars(o.underscoreIsWord);
  if (p > 0 && word(t[p - 1])) return false;
  return !(p + pat.size() < t.size() && word(t[p + pat.size()]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in{data, size};
  const std::uint8_t flags = in.Byte();
  const SearchOptions o{
      .matchCase = (flags & 1) != 0, .wholeWord = (flags & 2) != 0, .underscoreIsWord = (flags & 4) != 0};
  const std::u16string pattern = in.Text(12);
  const std::u16string replacement = in.Text(6);
  const std::size_t at = in.Byte();
  const std::u16string text = in.Text(255);

  quillet::Searcher down, up;
  if (!down.Prepare(pattern, o, false) || !up.Prepare(pattern, o, true)) __builtin_trap();

  // Forward from `at`.
  std::size_t expected = kNoMatch;
  for (std::size_t p = at; p <= text.size(); ++p) {
    if (pattern.empty() || MatchAt(text, p, pattern, o)) {
      expected = p;
      break;
    }
  }
  if (down.Forward(text, at) != expected) __builtin_trap();

  // Backward with `at` as the limit.
  const std::size_t limit = at < text.size() ? at : text.size();
  expected = kNoMatch;
  for (std::size_t p = limit + 1; p-- > 0;) {
    if (p + pattern.size() <= limit && (pattern.empty() || MatchAt(text, p, pattern, o))) {
      expected = p;
      break;
    }
  }
  if (up.Backward(text, at) != expected) __builtin_trap();

  // Replace all: the promised length, written exactly, inside the buffer.
  const std::uint64_t length = quillet::ReplacedLength(down, text, replacement);
  std::u16string out(static_cast<std::size_t>(length), u'\0');
  char16_t* end = quillet::ReplaceAllInText(down, text, out.data(), out.size(), replacement);
  if (end != out.data() + out.size()) __builtin_trap();

  // Replace in turn from `at` stays inside the span it reports.
  const quillet::ReplaceSpan span = quillet::ReplaceInTurn(down, text, at, replacement, nullptr);
  if (span.count && (span.first < at || span.end > text.size() || span.first > span.end)) __builtin_trap();
  std::u16string written(static_cast<std::size_t>(span.length), u'\0');
  if (quillet::ReplaceInTurn(down, text, at, replacement, written.data()).length != span.length) __builtin_trap();
  return 0;
}
