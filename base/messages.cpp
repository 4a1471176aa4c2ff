#include "base/messages.h"

namespace quillet {
namespace {

std::u16string ReplaceFirst(std::u16string_view format, std::u16string_view token,
                            std::u16string_view value) {
  std::u16string out;
  const std::size_t at = format.find(token);
  if (at == std::u16string_view::npos) return std::u16string(format);
  out.reserve(format.size() + value.size());
  out.append(format.substr(0, at));
  out.append(value);
  out.append(format.substr(at + token.size()));
  return out;
}

// "%d" then two "%s": the code, then each text cut to its part of the
// report, the whole held to the report's limit.
std::u16string FormatReport(std::u16string_view format, long long code, std::u16string_view errors,
                            std::u16string_view output) {
  std::u16string text;
  const std::u16string_view parts[] = {errors, output};
  std::size_t part = 0;
  for (std::u16string_view f = format; !f.empty();) {
    if (f.starts_with(u"%d")) {
      const std::string digits = std::to_string(code);
      text.append(digits.begin(), digits.end());
    } else if (f.starts_with(u"%s")) {
      if (part < 2) text += parts[part++].substr(0, kFilterReportPartLimit);
    } else {
      text += f.front();
      f.remove_prefix(1);
      continue;
    }
    f.remove_prefix(2);
  }
  if (text.size() > kFilterReportLimit) text.resize(kFilterReportLimit);
  return text;
}

}  // namespace

Failure::Failure(MessageId id, long long exitCode, std::u16string_view errors, std::u16string_view output)
    : id_(id),
      number_(exitCode),
      texts_{std::u16string(errors.substr(0, kFilterReportPartLimit)),
             std::u16string(output.substr(0, kFilterReportPartLimit))} {}

std::u16string FailureText(const Failure& failure) {
  if (!failure) return {};
  const MessageId id = *failure.id();
  switch (ArgumentOf(id)) {
    case MessageArgument::kNone:
      return MessageText(id);
    case MessageArgument::kName:
      return FormatWithName(MessageText(id), failure.name());
    case MessageArgument::kNumber:
      return FormatWithNumber(MessageText(id), failure.number());
    case MessageArgument::kExitCodeAndTwoTexts:
      return FormatReport(MessageText(id), failure.number(), failure.text(0), failure.text(1));
  }
  return MessageText(id);
}

void CutText(std::u16string& text, std::size_t limit) {
  if (text.size() <= limit) return;
  std::size_t cut = limit;
  // Never leave half of a surrogate pair at the end.
  if (cut > 0 && text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
  text.resize(cut);
}

std::u16string FormatWithName(std::u16string_view format, std::u16string_view name) {
  std::u16string out = ReplaceFirst(format, u"%s", name.empty() ? std::u16string_view(kUntitled) : name);
  CutText(out, kNameMessageLimit);
  return out;
}

std::u16string FormatWithNumber(std::u16string_view format, long long n) {
  std::u16string digits;
  const bool negative = n < 0;
  unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v);
  if (negative) digits.insert(digits.begin(), u'-');
  std::u16string out = ReplaceFirst(format, u"%d", digits);
  CutText(out, kNumberMessageLimit);
  return out;
}

}  // namespace quillet
