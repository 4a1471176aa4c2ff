#include "engine/search.h"

#include <algorithm>

namespace quillet {
namespace {

inline constexpr std::size_t kSkipEntries = 65536;

// Shifts are held in 16 bits. A pattern longer than that gets shorter
// shifts than it could, which is always safe; only the hit is 0.
std::uint16_t Shift(std::size_t n) { return static_cast<std::uint16_t>(std::min<std::size_t>(n, 0xFFFF)); }

}  // namespace

bool Searcher::Prepare(std::u16string_view pattern, const SearchOptions& options, bool backward) {
  length_ = pattern.size();
  matchCase_ = options.matchCase;
  wholeWord_ = options.wholeWord;
  backward_ = backward;
  word_ = MakeWordChars(options.underscoreIsWord);
  skip_.reset();
  pattern_.reset();
  skip_ = HeapBlock<std::uint16_t>::Allocate(kSkipEntries);
  pattern_ = HeapBlock<char16_t>::Allocate(length_ + 1);
  if (!skip_ || !pattern_) {
    skip_.reset();
    pattern_.reset();
    return false;
  }

  // Ignoring case means comparing lower-case forms, so the table is keyed
  // on them as well: a character hits wherever its lower-case form would,
  // the last position of the pattern included.
  const char16_t* lower = GetCharTables().lower;
  for (std::size_t k = 0; k < length_; ++k) pattern_[k] = matchCase_ ? pattern[k] : lower[pattern[k]];
  pattern_[length_] = 0;

  std::fill(skip_.get(), skip_.get() + kSkipEntries, Shift(length_));
  if (!backward) {
    // Keyed on the window's last character: the distance from a pattern
    // character to the pattern's end, the last occurrence winning; only the
    // last character itself gives 0, which means "verify this window".
    for (std::size_t k = 0; k < length_; ++k) skip_[pattern_[k]] = Shift(length_ - 1 - k);
  } else {
    // The mirror image: keyed on the window's first character, the distance
    // back to the character's first occurrence; the first character gives 0.
    for (std::size_t k = length_; k-- > 0;) skip_[pattern_[k]] = Shift(k);
  }
  return true;
}

template <bool kFold>
std::size_t Searcher::ScanForward(std::u16string_view text, std::size_t from, char16_t before) const {
  const std::size_t n = text.size();
  const std::size_t d = length_;
  if (from > n || n - from < d) return kNoMatch;
  const char16_t* t = text.data();
  const char16_t* pat = pattern_.get();
  const std::uint16_t* skip = skip_.get();
  const char16_t* lower = GetCharTables().lower;
  const std::size_t last = n - d;  // the last window start that fits
  std::size_t p = from;
  while (p <= last) {
    for (;;) {
      const char16_t c = t[p + d - 1];
      const std::size_t s = skip[kFold ? lower[c] : c];
      if (s == 0) break;
      p += s;
      if (p > last) return kNoMatch;
    }
    if (!(wholeWord_ && word_(p == from ? before : t[p - 1]))) {
      std::size_t i = 0;
      if constexpr (kFold) {
        while (i + 1 < d && lower[t[p + i]] == pat[i]) ++i;
      } else {
        while (i + 1 < d && t[p + i] == pat[i]) ++i;
      }
      if (i + 1 == d && !(wholeWord_ && WordAt(text, p + d))) return p;
    }
    ++p;
  }
  return kNoMatch;
}

template <bool kFold>
std::size_t Searcher::ScanBackward(std::u16string_view text, std::size_t limit) const {
  const std::size_t d = length_;
  limit = std::min(limit, text.size());
  if (limit < d) return kNoMatch;
  const char16_t* t = text.data();
  const char16_t* pat = pattern_.get();
  const std::uint16_t* skip = skip_.get();
  const char16_t* lower = GetCharTables().lower;
  std::size_t q = limit - d;  // the window [q, q + d) ends at limit
  for (;;) {
    for (;;) {
      const char16_t c = t[q];
      const std::size_t s = skip[kFold ? lower[c] : c];
      if (s == 0) break;
      if (q < s) return kNoMatch;
      q -= s;
    }
    if (!(wholeWord_ && q > 0 && word_(t[q - 1]))) {
      std::size_t i = 1;
      if constexpr (kFold) {
        while (i < d && lower[t[q + i]] == pat[i]) ++i;
      } else {
        while (i < d && t[q + i] == pat[i]) ++i;
      }
      if (i == d && !(wholeWord_ && WordAt(text, q + d))) return q;
    }
    if (q == 0) return kNoMatch;
    --q;
  }
}

std::size_t Searcher::Forward(std::u16string_view text, std::size_t from) const {
  return Forward(text, from, from > 0 && from <= text.size() ? text[from - 1] : char16_t{0});
}

std::size_t Searcher::Forward(std::u16string_view text, std::size_t from, char16_t before) const {
  if (!ready() || backward_) return kNoMatch;
  if (length_ == 0) return from <= text.size() ? from : kNoMatch;
  return matchCase_ ? ScanForward<false>(text, from, before) : ScanForward<true>(text, from, before);
}

std::size_t Searcher::Backward(std::u16string_view text, std::size_t limit) const {
  if (!ready() || !backward_) return kNoMatch;
  if (length_ == 0) return std::min(limit, text.size());
  return matchCase_ ? ScanBackward<false>(text, limit) : ScanBackward<true>(text, limit);
}

std::size_t SearchForward(std::u16string_view text, std::size_t from, std::u16string_view pattern,
                          const SearchOptions& options) {
  Searcher searcher;
  if (!searcher.Prepare(pattern, options, false)) return kNoMatch;
  return searcher.Forward(text, from);
}

std::size_t SearchBackward(std::u16string_view text, std::size_t limit, std::u16string_view pattern,
                           const SearchOptions& options) {
  Searcher searcher;
  if (!searcher.Prepare(pattern, options, true)) return kNoMatch;
  return searcher.Backward(text, limit);
}

std::size_t FindFromSelection(const Searcher& searcher, std::u16string_view text, std::size_t selStart,
                              std::size_t selEnd, bool includeSelection) {
  selEnd = std::min(selEnd, text.size());
  selStart = std::min(selStart, selEnd);
  if (searcher.backward()) return searcher.Backward(text, includeSelection ? selEnd : selStart);
  return searcher.Forward(text, includeSelection ? selStart : selEnd);
}

namespace {

// The loop every replace-all shares. Emit receives the rewritten span piece
// by piece. With seeReplacements the whole-word test in front of each new
// search sees the text as rewritten so far; otherwise the original text.
template <class Emit>
ReplaceSpan ReplaceLoop(const Searcher& searcher, std::u16string_view text, std::size_t from,
                        std::u16string_view replacement, bool seeReplacements, Emit&& emit) {
  ReplaceSpan span;
  const std::size_t d = searcher.length();
  // An empty pattern would match forever at the same place.
  if (d == 0 || from > text.size()) return span;
  std::size_t pos = from;
  char16_t before = pos > 0 ? text[pos - 1] : char16_t{0};
  for (;;) {
    const std::size_t m = searcher.Forward(text, pos, before);
    if (m == kNoMatch) break;
    if (span.count == 0) {
      span.first = m;
    } else {
      emit(text.data() + pos, m - pos);
      span.length += m - pos;
    }
    if (m > pos) before = text[m - 1];
    emit(replacement.data(), replacement.size());
    span.length += replacement.size();
    if (!replacement.empty()) before = replacement.back();
    ++span.count;
    pos = m + d;
    span.end = pos;
    if (!seeReplacements) before = text[pos - 1];
  }
  return span;
}

}  // namespace

std::uint64_t ReplacedLength(const Searcher& find, std::u16string_view text, std::u16string_view replace) {
  const ReplaceSpan span = ReplaceLoop(find, text, 0, replace, false, [](const char16_t*, std::size_t) {});
  return static_cast<std::uint64_t>(text.size()) - (span.end - span.first) + span.length;
}

char16_t* ReplaceAllInText(const Searcher& find, std::u16string_view text, char16_t* out, std::size_t capacity,
                           std::u16string_view replace) {
  // One pass; every piece is measured against the room left before it is
  // written.
  std::size_t room = capacity;
  auto put = [&out, &room](const char16_t* p, std::size_t n) {
    if (n > room) return false;
    out = std::copy_n(p, n, out);
    room -= n;
    return true;
  };
  const std::size_t d = find.length();
  std::size_t pos = 0;
  if (d > 0) {
    for (std::size_t m = find.Forward(text, 0); m != kNoMatch; m = find.Forward(text, pos)) {
      if (!put(text.data() + pos, m - pos) || !put(replace.data(), replace.size())) return nullptr;
      pos = m + d;
    }
  }
  return put(text.data() + pos, text.size() - pos) ? out : nullptr;
}

std::size_t ReplaceAllInPlace(const Searcher& find, char16_t* text, std::size_t n, std::u16string_view replace) {
  const std::size_t d = find.length();
  if (d == 0 || replace.size() > d) return n;
  const std::u16string_view view(text, n);
  // What is written never passes what is yet to be read: each match gives
  // back at least as many units as its replacement takes. The whole-word
  // test in front of the next search sees the text as it was, so the
  // match's last unit is kept before the replacement covers it.
  std::size_t pos = 0, out = 0;
  for (std::size_t m = find.Forward(view, 0); m != kNoMatch;) {
    if (out != pos) std::copy(text + pos, text + m, text + out);
    out += m - pos;
    const char16_t before = text[m + d - 1];
    out = static_cast<std::size_t>(std::copy(replace.begin(), replace.end(), text + out) - text);
    pos = m + d;
    m = find.Forward(view, pos, before);
  }
  if (out != pos) std::copy(text + pos, text + n, text + out);
  return out + (n - pos);
}

std::optional<std::uint64_t> ReplacedLength(std::u16string_view text, std::u16string_view find,
                                            std::u16string_view replace, const SearchOptions& options) {
  Searcher searcher;
  if (!searcher.Prepare(find, options, false)) return std::nullopt;
  return ReplacedLength(searcher, text, replace);
}

char16_t* ReplaceAllInText(std::u16string_view text, char16_t* out, std::size_t capacity, std::u16string_view find,
                           std::u16string_view replace, const SearchOptions& options) {
  Searcher searcher;
  if (!searcher.Prepare(find, options, false)) return nullptr;
  return ReplaceAllInText(searcher, text, out, capacity, replace);
}

ReplaceSpan ReplaceInTurn(const Searcher& searcher, std::u16string_view text, std::size_t from,
                          std::u16string_view replacement, char16_t* out) {
  if (!out) return ReplaceLoop(searcher, text, from, replacement, true, [](const char16_t*, std::size_t) {});
  return ReplaceLoop(searcher, text, from, replacement, true,
                     [&out](const char16_t* p, std::size_t n) { out = std::copy_n(p, n, out); });
}

std::u16string TakeSearchText(const char16_t* buffer, std::size_t capacity) {
  if (!buffer) return {};
  const std::size_t limit = std::min(capacity, kMaxSearchTextLength);
  std::size_t n = 0;
  while (n < limit && buffer[n]) ++n;
  return std::u16string(buffer, n);
}

void CutAtLineBreak(std::u16string& text) {
  const std::size_t at = text.find_first_of(u"\r\n");
  if (at != std::u16string::npos) text.resize(at);
}

}  // namespace quillet
