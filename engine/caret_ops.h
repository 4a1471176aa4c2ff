// The line family of tool jobs (the commands around the caret that work on
// real, CR LF delimited lines), the word operations on the caret's display
// line, and the pure halves of word completion. Nothing here touches a
// window: an operation describes what the edit control is to be sent as a
// CaretEdit, and the glue sends it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "engine/tool_job.h"
#include "engine/tool_settings.h"

namespace quillet {


// The word operations on the caret's display line.
enum class WordOp : int {
  kWordOpWordBeforeCaret = 1029,
  kWordOpDeleteAfter = 1056,
  kWordOpDeleteBefore = 1057,
  kWordOpSelectRun = 1088,
  kWordOpAddNextRun = 1089,
  kWordOpTabAsSpaces = 1104,
};
using enum WordOp;

// kLineOpLogicalLine: a real line by position or by index. A negative line on entry is
// looked up from position; an index past the last line reads the last line.
struct LogicalLineInfo {
  std::int32_t position = 0;
  std::int32_t line = -1;
  std::int32_t lineStart = 0;
  std::int32_t lineLength = 0;
  std::int32_t textLength = 0;
  std::int32_t lineCount = 0;
};

// What an operation has the edit control do, in this order: select
// [start, end) (EM_SETSEL; the control limits a range past the text), clear
// it (WM_CLEAR), type each character of typed (WM_CHAR, so it replaces the
// selection and joins the undo as if typed), scroll the caret into view.
struct CaretEdit {
  bool select = false;
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  bool clear = false;
  std::u16string typed;
  bool scroll = false;

  bool Empty() const { return !select && !clear && typed.empty() && !scroll; }
};

// The line family over job.text (the whole document) with the selection
// job.selStart/selEnd, by the operation's row (tool_table.h). Edits go to
// job.caretEdit; the line lookup and the completion words to the records
// of the job's LineLookupParams and CompletionParams. Returns null or the
// out-of-memory message.
Failure RunLineFamilyOp(ToolJob& job);

// One display line as the word operations see it: line[-1] is a terminator,
// so every backward walk stops at the line start, and line[length] is one.
struct CaretLine {
  const char16_t* line = nullptr;
  std::uint32_t start = 0;   // document position of its first character
  std::uint32_t length = 0;  // without the line break
};

// The display line the operation looks at holds start S for 1057 and 1104
// and end E for the others.
inline bool WordOpAnchorsAtStart(WordOp op) { return op == kWordOpDeleteBefore || op == kWordOpTabAsSpaces; }

// The word operations other than kWordOpWordBeforeCaret, on selection
// [S, E) of line.
CaretEdit CaretWordEdit(WordOp op, const CaretLine& line, std::uint32_t S, std::uint32_t E, const ToolSettings& settings);

// kWordOpWordBeforeCaret: the word that ends at E (possibly empty).
std::u16string WordBeforeCaret(const CaretLine& line, std::uint32_t E, bool underscoreIsWord);

// kLineOpCollectCompletions over a whole text whose selection [prefixStart, caret) is the
// prefix: the distinct words that begin with it, nearest before the caret
// first, then from the end of the text back to the caret, each followed by
// one space except the last. The prefix itself is not offered. False when
// memory runs out.
bool CollectCompletions(std::u16string_view text, std::uint32_t prefixStart, std::uint32_t caret, bool ignoreCase,
                        bool underscoreIsWord, std::u16string& words);

// The dialog's half: the words of the collected list, and what to type at
// once (if anything) instead of showing them.
struct CompletionChoice {
  std::vector<std::u16string> words;  // in list order (scan order)
  bool typeAtOnce = false;            // no list: type typed and close
  std::u16string typed;               // the characters after the prefix
};
CompletionChoice ChooseCompletion(std::u16string_view collected, std::size_t prefixLength, bool longestCommon);

}  // namespace quillet
