#include "engine/filter_command.h"

#include "base/messages.h"
#include "engine/search.h"

namespace quillet {
namespace {

constexpr SearchOptions kExact{.matchCase = true, .wholeWord = false, .underscoreIsWord = false};

std::u16string ParameterPlaceholder(int k) { return {u'%', static_cast<char16_t>(u'0' + k)}; }

bool Contains(std::u16string_view text, std::u16string_view pattern) {
  return text.find(pattern) != std::u16string_view::npos;
}

// Replaces every placeholder in text, refusing a result longer than limit.
// The length is measured before anything is built, so a refused command
// never costs the memory it would have needed.
Failure ReplaceAll(std::u16string& text, std::u16string_view placeholder, std::u16string_view value,
                   std::size_t limit) {
  if (!Contains(text, placeholder)) return {};
  const auto length = ReplacedLength(text, placeholder, value, kExact);
  if (!length) return kMsgOutOfMemory;
  if (*length > limit) return kMsgNotExecutable;
  std::u16string out(static_cast<std::size_t>(*length), u'\0');
  const char16_t* end = ReplaceAllInText(text, out.data(), out.size(), placeholder, value, kExact);
  if (!end) return kMsgOutOfMemory;
  out.resize(static_cast<std::size_t>(end - out.data()));
  text = std::move(out);
  return {};
}

}  // namespace

bool HasParameter(std::u16string_view command, int k) {
  return k >= 1 && k <= kFilterParameters && Contains(command, ParameterPlaceholder(k));
}

bool HasAnyParameter(std::u16string_view command) {
  for (int k = 1; k <= kFilterParameters; ++k)
    if (HasParameter(command, k)) return true;
  return false;
}

bool HasFilePlaceholder(std::u16string_view command) { return Contains(command, kFilePlaceholder); }

ExpandedCommand ExpandParameters(std::u16string_view command, const FilterParameters& parameters) {
  ExpandedCommand out{std::u16string(command)};
  for (int k = 1; k <= kFilterParameters; ++k) {
    std::u16string_view value = parameters[static_cast<std::size_t>(k - 1)];
    value = value.substr(0, kFilterParameterLimit);
    if ((out.message = ReplaceAll(out.command, ParameterPlaceholder(k), value, kFilterExpandedLimit))) {
      out.command.clear();
      return out;
    }
  }
  // A command beyond the limit without any placeholder is refused too.
  if (out.command.size() > kFilterExpandedLimit) {
    out.command.clear();
    out.message = kMsgNotExecutable;
  }
  return out;
}

ExpandedCommand ExpandFilePlaceholder(std::u16string_view command, std::u16string_view path) {
  ExpandedCommand out{std::u16string(command)};
  if ((out.message = ReplaceAll(out.command, kFilePlaceholder, path, kFilterFileExpandedLimit))) out.command.clear();
  return out;
}

}  // namespace quillet
