// One run of a text tool over the selection: the working copy of the text
// (up to the end of the selection for a text tool, all of it for the line
// family and hard wrap), the selection cut out of it as a terminated
// string, the operation, and its result waiting to replace the selection.
// Operations that can, rewrite the selection inside the working copy and
// need no second buffer. The pure half lives here; tool_job_win.cpp reads
// the edit control into the job and puts the result back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "base/memory.h"
#include "base/messages.h"
#include "engine/tool_settings.h"

namespace quillet {

// A job belongs to one of two operation sets: the text family works on the
// selection, the line family on the caret's line in the whole text.
enum class ToolFamily : int { kLineFamily = 0, kTextFamily = 1 };
using enum ToolFamily;

// Operation codes of the text family.
enum class TextOp : int {
  kOpInvertCase = 17,
  kOpUpperCase = 18,
  kOpLowerCase = 19,
  kOpWordCase = 20,
  kOpSentenceCase = 21,
  kOpLfToCrLf = 33,
  kOpCrLfToLf = 34,
  kOpCrToCrLf = 35,
  kOpCrLfToCr = 36,
  kOpPrefixLines = 49,
  kOpAppendToLines = 50,
  kOpNumberLines = 51,
  kOpDeleteEmptyLines = 52,
  kOpUniqueLines = 53,
  kOpUnindent = 54,
  kOpUnquote = 55,
  kOpShiftLeft = 56,
  kOpTrimTrailing = 57,
  kOpTabify = 58,
  kOpUntabify = 59,
  kOpEnclose = 65,
  kOpTag = 66,
  kOpReverseText = 81,
  kOpReverseLines = 82,
  kOpReverseEachWord = 83,
  kOpReverseWords = 84,
  kOpReverseEachLine = 85,
  kOpReverseLineWords = 86,
  kOpExtendedReplace = 97,
  kOpTranslate = 98,
  kOpSortLines = 113,
  kOpColumnKeyPreview = 114,
  kOpHardWrap = 129,
  kOpUnwrap = 130,
  kOpExternalFilter = 161,
};
using enum TextOp;

// Operation codes of the line family.
enum class LineOp : int {
  kLineOpLogicalLine = 513,
  kLineOpCollectCompletions = 514,
  kLineOpSmartEnter = 528,
  kLineOpRepeatLine = 529,
  kLineOpCopyFromAbove = 545,
  kLineOpCopySimilarLine = 546,
  kLineOpCaretDown = 561,
  kLineOpCaretUp = 563,
  kLineOpDeleteLine = 577,
  kLineOpSelectLine = 579,
  kLineOpDeleteToLineEnd = 593,
  kLineOpDeleteFromLineStart = 595,
};
using enum LineOp;

inline constexpr std::size_t kPreviewBufferUnits = 4096;
inline constexpr std::size_t kPreviewMaxChars = kPreviewBufferUnits - 1;
inline constexpr std::size_t kPreviewMaxLines = 20;
inline constexpr std::size_t kMinWorkingUnits = 65535;
// Room the enclose and tag results reserve beyond the selection.
inline constexpr std::size_t kEncloseExtra = 3079;

struct PrefixSpec;
struct UniqueSpec;
struct NumberingSettings;
struct ColumnKeySpec;
struct SortKey;
struct LogicalLineInfo;
struct CaretEdit;
struct FilterRun;

// The parameters of each operation, one record per kind; an operation reads
// only its own kind (ParamsOf), and a job without one uses the record the
// settings hold where there is one.
struct PrefixParams {  // kOpPrefixLines (the settings' quote... fields)
  const PrefixSpec* prefix = nullptr;
};
struct UniqueParams {  // kOpUniqueLines (the settings' unique... fields)
  const UniqueSpec* unique = nullptr;
};
struct NumberingParams {  // kOpNumberLines (numbering... with the dialog's keys)
  const NumberingSettings* numbering = nullptr;
};
struct SortParams {  // kOpSortLines: three keys (default keys, stored lists)
  const SortKey* sortKeys = nullptr;
};
struct ColumnKeyParams {  // kOpColumnKeyPreview: required
  const ColumnKeySpec* columnKey = nullptr;
};
struct LineLookupParams {  // kLineOpLogicalLine: the caret's logical line
  LogicalLineInfo* lineInfo = nullptr;
};
struct CompletionParams {  // kLineOpCollectCompletions: the words found
  std::u16string* completions = nullptr;
};
struct FilterParams {  // kOpExternalFilter: the child that rewrites the selection
  FilterRun* filter = nullptr;
};

using ToolParams = std::variant<std::monostate, PrefixParams, UniqueParams, NumberingParams, SortParams,
                                ColumnKeyParams, LineLookupParams, CompletionParams, FilterParams>;

struct ToolJob {
  ToolFamily family = kTextFamily;
  TextOp op{};      // the text family's operation
  LineOp lineOp{};  // the line family's operation
  ToolParams params;
  // The settings the tools read (tabWidth, translateFrom, tagName...),
  // always given by the caller: the pure code never looks at the program's.
  ToolSettings settings;
  // The line family: what the caret commands have the edit control do.
  CaretEdit* caretEdit = nullptr;
  bool selectResult = false;
  bool keepFinalBreak = false;
  // Null for a normal run; otherwise kPreviewBufferUnits units that receive
  // the result (or the message) instead of the document.
  char16_t* previewBuffer = nullptr;

  std::uint32_t selStart = 0;  // into the working copy
  std::uint32_t selEnd = 0;
  std::uint32_t textLength = 0;
  char16_t* text = nullptr;  // unit 1 of the working buffer
  char16_t* result = nullptr;
  std::uint32_t resultLength = 0;
  std::uint32_t resultCapacity = 0;  // of a separate result buffer; 0 in place
  char16_t* caret = nullptr;         // into result, when the operation places the caret
  std::uint32_t selLength = 0;
  char16_t* sel = nullptr;

  HeapBlock<char16_t> working;
  HeapBlock<char16_t> resultBuffer;
};

// The job's parameters when they are of kind P, else null. This is the one
// place a wrong kind is caught: an operation handed another operation's
// record runs as if it had been given none.
template <class P>
const P* ParamsOf(const ToolJob& job) {
  return std::get_if<P>(&job.params);
}

// The working buffer for a text of length units: max(length + 2 + room,
// 65535) units, unit 0 a terminator and job.text pointing at unit 1.
// Fails only for want of memory.
Failure AllocateWorkingCopy(ToolJob& job, std::size_t length, std::size_t room = 0);
// The room a job's working buffer keeps after the text so that its
// operation can lengthen a selection of selLength units in place (the
// line-end conversions that add units). Pages of it that the result never
// reaches are never touched.
std::size_t WorkingRoom(const ToolJob& job, std::size_t selLength);

// A job that ReadsSoftBreaks: the working copy was read with its soft line
// breaks ("\r\r\n") while the selection bounds count without them; move
// the bounds by 3 for every soft break before them.
void AdjustForSoftBreaks(ToolJob& job);

// The text family over job.text[selStart, selEnd): cuts the selection out,
// applies the final-break and empty-selection rules, builds the line table
// and the result buffer the operation's row asks for and runs it.
Failure ExecuteTextOp(ToolJob& job);

// What of a selection a text tool works on, also for the commands that read
// the selection themselves: one final line break (CR LF) stays out unless
// keepFinalBreak, so a selection of nothing but a break is empty; then no
// more than limit units.
std::u16string_view SelectionForTool(std::u16string_view selection, bool keepFinalBreak, std::size_t limit = SIZE_MAX);

// The line family: the operation's row over the whole text.
Failure ExecuteLineOp(ToolJob& job);

// Runs the job's operation on its working copy (by family), then for a
// preview copies the result into the preview buffer. Returns the message.
Failure ExecuteJob(ToolJob& job);

// A preview that failed shows its message in place of the preview.
void ShowMessageInPreview(const ToolJob& job, const Failure& failure);

// The job's result is [result, end).
inline void SetResult(ToolJob& job, char16_t* result, const char16_t* end) {
  job.result = result;
  job.resultLength = static_cast<std::uint32_t>(end - result);
}

// True when the job's result is to replace the document's selection.
inline bool HasReplacement(const ToolJob& job, const Failure& failure) {
  return job.result && !failure && !job.previewBuffer;
}

// Whether the job's operation reads nothing of the text beyond the end of
// the selection: every text tool but hard wrap. The edit control then
// copies only the text up to there.
bool ReadsSelectionOnly(const ToolJob& job);
// Whether the job reads the whole text as the edit control shows it with
// its soft line breaks (hard wrap); the bounds, which count without them,
// then go through AdjustForSoftBreaks.
bool ReadsSoftBreaks(const ToolJob& job);
// The units of a text of length units that the job reads from its start.
std::size_t TextNeeded(const ToolJob& job, std::size_t length);

// The pure part of a whole run over a given text with job.selStart/selEnd
// set: working copy, soft-break adjustment for hard wrap, the operation and
// the preview (result or message). What the edit control would then receive
// is job.result. A text tool copies only its selection, whose bounds then
// count from its start.
Failure RunToolJobOnText(ToolJob& job, std::u16string_view text);

}  // namespace quillet
