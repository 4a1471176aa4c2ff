#include "engine/numbering.h"

#include <algorithm>

#include "engine/char_classes.h"
#include "base/messages.h"

namespace quillet {
namespace {

constexpr std::u16string_view kErrorText = kMsgError;  // "错误！", three characters

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

bool IsNumbered(const NumberingSettings& s, const LineRecord& r) { return !(s.skipBlank && r.blank); }

}  // namespace

NumberingSettings NumberingFromSettings(const ToolSettings& s, const ColumnKeys& keys) {
  NumberingSettings n;
  n.mask = s.CutMask;
  n.skipBlank = s.CutEmpt != 0;
  n.start = s.CutNum;
  n.step = s.CutStep;
  n.hidePreview = s.CutView != 0;
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

NumberingPlan PlanNumbering(const NumberingSettings& settings, const LineRecord* lines, std::size_t count) {
  NumberingPlan plan;
  plan.tokens = ParseMask(settings.mask);
  // A negative start or step reads as 1, as the stored values do.
  plan.start = static_cast<std::uint32_t>(settings.start < 0 ? 1 : settings.start);
  plan.step = static_cast<std::uint32_t>(settings.step < 0 ? 1 : settings.step);

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
      const std::uint64_t n = KeyText(r, k).size();
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

char16_t* WriteNumbering(const NumberingPlan& plan, const NumberingSettings& settings, const LineRecord* lines,
                         std::size_t count, char16_t* out) {
  std::uint32_t counter = plan.start;
  char16_t digits[32];
  for (std::size_t i = 0; i < count; ++i) {
    const LineRecord& r = lines[i];
    if (!IsNumbered(settings, r)) {
      out = std::copy(r.start, r.start + r.length, out);
    } else {
      for (const MaskToken& t : plan.tokens) {
        if (t.kind == kTokenEnd) break;
        switch (t.kind) {
          case kTokenError:
            out = PutPadded(out, kErrorText, t);
            break;
          case kTokenLiteral:
            out = PutPadded(out, std::u16string_view(&t.arg, 1), t);
            break;
          case kTokenLineBreak:
            out = PutPadded(out, u"\r\n", t);
            break;
          case kTokenColumn:
            out = PutPadded(out, KeyText(r, t.arg), t);
            break;
          default:
            if (IsCounter(t.kind))
              out = PutPadded(out, std::u16string_view(digits, FormatCounter(counter, t.kind, digits)), t);
            break;
        }
      }
      counter += plan.step;
    }
    if (i + 1 < count) out = PutLineBreak(out);
  }
  *out = 0;
  return out;
}

}  // namespace quillet
