#include "shell/dialogs/tool_dialogs.h"

#include <algorithm>

#include "base/resource.h"
#include "base/system_text.h"

namespace quillet {

using T = ToolSettings;

const ParamDialogDescriptor kCloseLinesDialog{
    IDD_CLOSE_LINES, IDC_CLOSE_TEXT, &T::closeText, 511, 0, nullptr, 0, IDC_CLOSE_NON_EMPTY, &T::closeOnlyNonBlank, 0, nullptr, false};
const ParamDialogDescriptor kTranslateDialog{
    IDD_TRANSLATE, IDC_TRANSLATE_FIND, &T::translateFrom,         255, IDC_TRANSLATE_REPLACE, &T::translateTo, 255,
    IDC_TRANSLATE_DELETE, &T::translateDeleteOthers, 0,  nullptr, true};
const ParamDialogDescriptor kExtendedReplaceDialog{
    IDD_EXTENDED_REPLACE,    IDC_EXTENDED_FIND, &T::extendedFindText,  8191, IDC_EXTENDED_REPLACE, &T::extendedReplaceText, 8191,
    IDC_EXTENDED_IGNORE_CASE, &T::extendedIgnoreCase,        IDC_EXTENDED_WHOLE_WORD, &T::extendedWholeWord, true};
const ParamDialogDescriptor kQuoteDialog{
    IDD_QUOTE, IDC_QUOTE_TEXT, &T::quotePrefix, 511, 0, nullptr, 0, IDC_QUOTE_NON_EMPTY, &T::quoteOnlyNonEmpty, IDC_QUOTE_SKIP_SPACE,
    &T::quoteAfterLeadingSpace, false};
const ParamDialogDescriptor kEncloseDialog{
    IDD_ENCLOSE, IDC_ENCLOSE_BEFORE, &T::encloseBefore, 511, IDC_ENCLOSE_AFTER, &T::encloseAfter, 511, 0, nullptr, 0, nullptr,
    false};
const ParamDialogDescriptor kTagDialog{
    IDD_TAG, IDC_TAG_NAME, &T::tagName, 1023, IDC_TAG_ATTRIBUTES, &T::tagAttributes, 1023, IDC_TAG_EMPTY, &T::tagEmptyElement, 0,
    nullptr, false};

std::u16string CutToLimit(std::u16string text, int limit) {
  if (limit >= 0 && text.size() > static_cast<std::size_t>(limit)) text.resize(static_cast<std::size_t>(limit));
  return text;
}

GotoLines GotoTargetLines(const GotoRequest& request, std::int64_t lineOfStart, std::int64_t lineOfEnd) {
  GotoLines lines{request.line, request.line};
  if (request.relative) {
    lines.first = request.line + 1 + lineOfStart;
    lines.second = request.line + 1 + lineOfEnd;
  }
  // A line before the first reads as the first; one past the last is left
  // to the lookup, which reads it as the last.
  lines.first = std::max<std::int64_t>(lines.first, 0);
  lines.second = std::max<std::int64_t>(lines.second, 0);
  return lines;
}

namespace {

GotoSelection Finish(const GotoRequest& request, GotoSelection current, std::int64_t a, std::int64_t b,
                     std::int64_t textLength) {
  if (request.select) {
    a = std::min(a, current.start);
    b = std::max(b, current.end);
  }
  return {std::clamp<std::int64_t>(a, 0, textLength), std::clamp<std::int64_t>(b, 0, textLength)};
}

}  // namespace

GotoSelection GotoLineSelection(const GotoRequest& request, GotoSelection current, std::int64_t firstTargetStart,
                                std::int64_t secondTargetStart, std::int64_t textLength) {
  return Finish(request, current, firstTargetStart, secondTargetStart, textLength);
}

GotoSelection GotoPositionSelection(const GotoRequest& request, GotoSelection current, std::int64_t textLength) {
  std::int64_t a = request.position;
  std::int64_t b = request.position;
  if (request.relative) {
    a = request.position + 1 + current.start;
    b = request.position + 1 + current.end;
  }
  return Finish(request, current, a, b, textLength);
}

void PrepareCompareText(std::u16string& text, bool ignoreCase) {
  text = CutToLimit(std::move(text), kCompareTextLimit);
  if (ignoreCase)
    for (char16_t& c : text) c = LowerOf(c);
}

std::optional<std::size_t> FirstDifference(const std::u16string& one, const std::u16string& two) {
  const auto [a, b] = std::mismatch(one.begin(), one.end(), two.begin(), two.end());
  if (a == one.end() && b == two.end()) return std::nullopt;
  return static_cast<std::size_t>(a - one.begin());
}

}  // namespace quillet
