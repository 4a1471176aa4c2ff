#include "engine/numbering.h"

#include <algorithm>

#include "engine/in_halves.h"

#include "base/messages.h"
#include "engine/char_classes.h"

namespace quillet {
namespace {

constexpr std::u16string_view kErrorText = MessageText(kMsgError);  // "错误！", three characters

int AlignOf(char16_t c) {
  switch (c) {
    case u'<':
      return kAlignLeft;
    case u'>':
      return kAlignRight;
    case u'+':
      return kAlignZeros;
    case u'^':
      return kAlignCentre;
    default:
      return kAlignNone;
  }
}

bool IsCounter(int kind) { return kind >= kTokenDecimal && kind <= kTokenHexUpper; }

unsigned BaseOf(int kind) {
  switch (kind) {
    case kTokenBinary:
      return 2;
    case kTokenOctal:
      return 8;
    case kTokenHexLower:
    case kTokenHexUpper:
      return 16;
    default:
      return 10;
  }
}

std::uint32_t DigitCount(std::uint32_t value, unsigned base) {
  std::uint32_t digits = 1;
  while (value >= base) {
    value /= base;
    ++digits;
  }
  return digits;
}

// The counter in the token's base, without sign or prefix; returns the
// number of characters written into buf (at least 32 units).
std::size_t FormatCounter(std::uint32_t value, int kind, char16_t* buf) {
  const char16_t* digits = kind == kTokenHexUpper ? u"0123456789ABCDEF" : u"0123456789abcdef";
  const unsigned base = BaseOf(kind);
  char16_t reversed[32];
  std::size_t n = 0;
  do {
    reversed[n++] = digits[value % base];
    value /= base;
  } while (value);
  for (std::size_t i = 0; i < n; ++i) buf[i] = reversed[n - 1 - i];
  return n;
}

char16_t* Fill(char16_t* out, char16_t c, std::size_t n) { return std::fill_n(out, n, c); }

// Writes text padded to width by the alignment; longer text is not cut.
char16_t* PutPadded(char16_t* out, std::u16string_view text, const MaskToken& t) {
  const std::size_t missing = text.size() < t.width ? t.width - text.size() : 0;
  std::size_t before = 0, after = 0;
  char16_t pad = u' ';
  switch (t.align) {
    case kAlignLeft:
      after = missing;
      break;
    case kAlignRight:
      before = missing;
      break;
    case kAlignZeros:
      before = missing;
      pad = u'0';
      break;
    case kAlignCentre:
      before = missing / 2;
      after = missing - before;
      break;
    default:
      break;
  }
  out = Fill(out, pad, before);
  out = std::copy(text.begin(), text.end(), out);
  return Fill(out, pad, after);
}

bool IsNumbered(const NumberingSettings& s, const LineRecord& r) { return !(s.skipBlank && r.blank()); }

}  // namespace

NumberingSettings NumberingFromSettings(const ToolSettings& s, const ColumnKeys& keys) {
  NumberingSettings n;
  n.mask = s.numberingMask;
  n.skipBlank = s.numberingSkipBlank;
  n.start = s.numberingStart;
  n.step = s.numberingStep;
  n.hidePreview = s.numberingHidePreview;
  n.keys = keys;
  return n;
}

std::vector<MaskToken> ParseMask(std::u16string_view mask) {
  const std::size_t end = std::min(mask.find(u'\0'), mask.size());
  std::vector<MaskToken> tokens;
  tokens.reserve(end + 1);
  for (std::size_t i = 0; i < end; ++i) {
    MaskToken t;
    if (mask[i] != u'%') {
      t.kind = kTokenLiteral;
      t.arg = mask[i];
      tokens.push_back(t);
      continue;
    }
    // A % without the character that decides it is an error and ends the mask.
    if (++i == end) {
      t.kind = kTokenError;
      tokens.push_back(t);
      break;
    }
    t.align = AlignOf(mask[i]);
    if (t.align != kAlignNone && ++i == end) {
      t.kind = kTokenError;
      tokens.push_back(t);
      break;
    }
    const char16_t c = mask[i];
    if (IsDigitChar(c)) {
      // Digits of other scripts land on a column too; keep the index in range.
      const int column = ((static_cast<int>(c) - 48) % 10 + 10) % 10;
      t.kind = kTokenColumn;
      t.arg = static_cast<char16_t>(column);
    } else {
      switch (c) {
        case u'%':
          t.kind = kTokenLiteral;
          t.arg = u'%';
          break;
        case u'd':
          t.kind = kTokenDecimal;
          break;
        case u'b':
          t.kind = kTokenBinary;
          break;
        case u'o':
          t.kind = kTokenOctal;
          break;
        case u'x':
          t.kind = kTokenHexLower;
          break;
        case u'X':
          t.kind = kTokenHexUpper;
          break;
        case u'n':
          t.kind = kTokenLineBreak;
          break;
        default:
          t.kind = kTokenError;
          break;
      }
    }
    tokens.push_back(t);
  }
  tokens.push_back(MaskToken{});
  return tokens;
}

unsigned ColumnsUsed(const std::vector<MaskToken>& tokens) {
  unsigned used = 0;
  for (const MaskToken& t : tokens)
    if (t.kind == kTokenColumn) used |= 1u << t.arg;
  return used;
}

NumberingPlan PlanNumbering(const NumberingSettings& settings, const NumberingKeyColumns& keys, const LineRecord* lines,
                            std::size_t count) {
  NumberingPlan plan;
  plan.tokens = ParseMask(settings.mask);
  // A negative start or step reads as 1, as the stored values do.
  plan.start = static_cast<std::uint32_t>(settings.start < 0 ? 1 : settings.start);
  plan.step = static_cast<std::uint32_t>(settings.step < 0 ? 1 : settings.step);

  const unsigned used = ColumnsUsed(plan.tokens);
  std::uint64_t numbered = 0, asideText = 0;
  std::array<std::uint64_t, kColumnKeyCount> longest{}, total{};
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    if (!IsNumbered(settings, r)) {
      asideText += r.length + 2;
      continue;
    }
    ++numbered;
    for (int k = 0; k < kColumnKeyCount; ++k) {
      if (!(used & (1u << k))) continue;
      const std::uint64_t n = keys[k].Text(i).size();
      longest[k] = std::max(longest[k], n);
      total[k] += n;
    }
  }

  // The counter runs in 32 bits. When it wraps, the last value is no longer
  // the longest, so the room reserved allows for the longest value there is.
  const std::uint64_t lastWide = plan.start + static_cast<std::uint64_t>(plan.step) * (numbered ? numbered - 1 : 0);
  const bool wraps = lastWide > UINT32_MAX;
  const auto last = static_cast<std::uint32_t>(lastWide);

  std::uint64_t perLine = 2, columnText = 0;
  for (MaskToken& t : plan.tokens) {
    std::uint64_t room = 0;
    switch (t.kind) {
      case kTokenEnd:
        break;
      case kTokenError:
        t.width = static_cast<std::uint32_t>(kErrorText.size());
        break;
      case kTokenLiteral:
        t.width = 1;
        break;
      case kTokenLineBreak:
        t.width = 2;
        break;
      case kTokenColumn:
        if (t.align == kAlignNone) {
          t.width = 0;
          columnText += total[t.arg];
        } else {
          // Wider than 32 bits only for keys no edit control can hold.
          t.width = static_cast<std::uint32_t>(std::min<std::uint64_t>(longest[t.arg], UINT32_MAX));
        }
        break;
      default:
        t.width = DigitCount(last, BaseOf(t.kind));
        if (wraps) room = DigitCount(UINT32_MAX, BaseOf(t.kind));
        break;
    }
    perLine += std::max<std::uint64_t>(t.width, room);
  }
  plan.capacity = perLine * numbered + columnText + asideText;
  return plan;
}

namespace {

// A counter kept as the text of its value in one base and advanced by the
// step in place, digit by digit, as written on paper: most steps touch only
// the last digit. A step that wraps the 32-bit value writes it anew.
class CounterText {
 public:
  CounterText(int kind, std::uint32_t step) : kind_(kind), base_(BaseOf(kind)) {
    alphabet_ = kind == kTokenHexUpper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    step_ = step;
    do {
      stepDigits_[stepLength_++] = static_cast<std::uint8_t>(step % base_);
      step /= base_;
    } while (step);
  }

  void Set(std::uint32_t value) {
    value_ = value;
    char16_t formatted[32];
    const std::size_t n = FormatCounter(value, kind_, formatted);
    first_ = kSize - n;
    for (std::size_t i = 0; i < n; ++i) {
      text_[first_ + i] = formatted[i];
      digits_[first_ + i] = DigitValue(formatted[i]);
    }
  }

  void Advance() {
    const std::uint64_t next = static_cast<std::uint64_t>(value_) + step_;
    if (next > UINT32_MAX) return Set(static_cast<std::uint32_t>(next));
    value_ = static_cast<std::uint32_t>(next);
    unsigned carry = 0;
    for (std::size_t j = 0, at = kSize - 1; j < stepLength_ || carry; ++j, --at) {
      if (at < first_) {  // one digit more
        first_ = at;
        digits_[at] = 0;
      }
      unsigned d = digits_[at] + (j < stepLength_ ? stepDigits_[j] : 0u) + carry;
      carry = d >= base_ ? 1u : 0u;
      d -= carry * base_;
      digits_[at] = static_cast<std::uint8_t>(d);
      text_[at] = alphabet_[d];
    }
  }

  std::u16string_view Text() const { return std::u16string_view(text_ + first_, kSize - first_); }

 private:
  static constexpr std::size_t kSize = 32;  // the binary digits of a 32-bit value
  static std::uint8_t DigitValue(char16_t c) {
    if (c >= u'a') return static_cast<std::uint8_t>(c - u'a' + 10);
    if (c >= u'A') return static_cast<std::uint8_t>(c - u'A' + 10);
    return static_cast<std::uint8_t>(c - u'0');
  }

  int kind_;
  unsigned base_;
  const char16_t* alphabet_;
  std::uint32_t value_ = 0;
  std::uint32_t step_ = 0;
  std::uint8_t stepDigits_[kSize] = {};
  std::size_t stepLength_ = 0;
  char16_t text_[kSize] = {};
  std::uint8_t digits_[kSize] = {};
  std::size_t first_ = kSize;
};

// The mask as it is written line after line: runs of fixed text (literal
// characters, error texts, line breaks, which never need padding since each
// is exactly its width), counters and column keys.
struct Piece {
  int kind;  // kTokenLiteral for fixed text, kTokenColumn, or a counter kind
  std::u16string_view text;
  const MaskToken* token;
  std::size_t counter;  // index into the counters, for a counter
};

class NumberingWriter {
 public:
  NumberingWriter(const NumberingPlan& plan, const NumberingSettings& settings, const NumberingKeyColumns& keys,
                  const LineRecord* lines)
      : plan_(plan), settings_(settings), keys_(keys), lines_(lines) {
    // The fixed text first, all of it, so that the views into it stay valid.
    for (const MaskToken& t : plan.tokens) {
      if (t.kind == kTokenEnd) break;
      fixed_ += FixedText(t);
    }
    fixedLength_ = fixed_.size();
    std::size_t at = 0;
    for (const MaskToken& t : plan.tokens) {
      if (t.kind == kTokenEnd) break;
      if (const std::u16string_view text = FixedText(t); !text.empty()) {
        if (pieces_.empty() || pieces_.back().kind != kTokenLiteral)
          pieces_.push_back(Piece{kTokenLiteral, std::u16string_view(fixed_.data() + at, 0), nullptr, 0});
        Piece& run = pieces_.back();
        run.text = std::u16string_view(run.text.data(), run.text.size() + text.size());
        at += text.size();
      } else if (t.kind == kTokenColumn) {
        pieces_.push_back(Piece{kTokenColumn, {}, &t, 0});
      } else if (IsCounter(t.kind)) {
        std::size_t c = 0;
        while (c < counterKinds_.size() && counterKinds_[c] != t.kind) ++c;
        if (c == counterKinds_.size()) counterKinds_.push_back(t.kind);
        pieces_.push_back(Piece{t.kind, {}, &t, c});
      }
    }
  }

  // The units line i takes, without its line break, when numbered with the
  // counter at value.
  std::uint64_t NumberedLength(std::size_t i, std::uint32_t value) const {
    std::uint64_t n = fixedLength_;
    for (const Piece& p : pieces_) {
      std::uint64_t w;
      if (p.kind == kTokenLiteral) continue;
      if (p.kind == kTokenColumn)
        w = keys_[p.token->arg].Text(i).size();
      else
        w = DigitCount(value, BaseOf(p.kind));
      n += p.token->align == kAlignNone ? w : std::max<std::uint64_t>(w, p.token->width);
    }
    return n;
  }

  // Lines [from, to) of count, the first numbered one with the counter at
  // value, from out on; returns the end of what it wrote (no terminator).
  char16_t* Write(std::size_t from, std::size_t to, std::size_t count, std::uint32_t value, char16_t* out) const {
    std::vector<CounterText> counters;
    counters.reserve(counterKinds_.size());
    for (int kind : counterKinds_) {
      counters.emplace_back(kind, plan_.step);
      counters.back().Set(value);
    }
    for (std::size_t i = from; i < to; ++i) {
      const LineRecord& r = lines_[i];
      if (!IsNumbered(settings_, r)) {
        out = std::copy(r.start, r.start + r.length, out);
      } else {
        for (const Piece& p : pieces_) {
          if (p.kind == kTokenLiteral)
            out = std::copy(p.text.begin(), p.text.end(), out);
          else if (p.kind == kTokenColumn)
            out = PutPadded(out, keys_[p.token->arg].Text(i), *p.token);
          else
            out = PutPadded(out, counters[p.counter].Text(), *p.token);
        }
        for (CounterText& c : counters) c.Advance();
      }
      if (i + 1 < count) out = PutLineBreak(out);
    }
    return out;
  }

 private:
  static std::u16string_view FixedText(const MaskToken& t) {
    switch (t.kind) {
      case kTokenError:
        return kErrorText;
      case kTokenLiteral:
        return std::u16string_view(&t.arg, 1);
      case kTokenLineBreak:
        return u"\r\n";
      default:
        return {};
    }
  }

  const NumberingPlan& plan_;
  const NumberingSettings& settings_;
  const NumberingKeyColumns& keys_;
  const LineRecord* lines_;
  std::vector<Piece> pieces_;
  std::vector<int> counterKinds_;
  std::u16string fixed_;
  std::uint64_t fixedLength_ = 0;
};

}  // namespace

char16_t* WriteNumbering(const NumberingPlan& plan, const NumberingSettings& settings, const NumberingKeyColumns& keys,
                         const LineRecord* lines, std::size_t count, char16_t* out) {
  const NumberingWriter writer(plan, settings, keys, lines);
  // Large selections are written in two halves side by side; the second
  // starts where the first one's lines end, with the counter where the
  // first one leaves it.
  const std::size_t half = count >= kLinesForTwoThreads ? count / 2 : count;
  std::uint32_t value = plan.start;
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < half && half < count; ++i) {
    const LineRecord& r = lines[i];
    if (IsNumbered(settings, r)) {
      offset += writer.NumberedLength(i, value);
      value += plan.step;
    } else {
      offset += r.length;
    }
    offset += 2;
  }
  char16_t* firstEnd = nullptr;
  char16_t* end = nullptr;
  SideBySide(
      half < count, [&] { firstEnd = writer.Write(0, half, count, plan.start, out); },
      [&] { end = half < count ? writer.Write(half, count, count, value, out + offset) : nullptr; });
  if (!end) end = firstEnd;
  *end = 0;
  return end;
}

}  // namespace quillet
