// The decisions of the small tool dialogs, apart from their windows: the
// two-field dialogs' descriptors, where Go to lands, and how Compare
// compares.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/tool_settings.h"

namespace quillet {

// One two-field dialog: up to two edit fields, each editing a text setting
// with a length limit, and up to two check boxes editing flags.
// An id of 0 means the control is not there.
struct ParamDialogDescriptor {
  int dialogId;
  int edit1;
  std::u16string ToolSettings::*edit1Text;
  int edit1Limit;
  int edit2;
  std::u16string ToolSettings::*edit2Text;
  int edit2Limit;
  int check1;
  bool ToolSettings::*check1Value;
  int check2;
  bool ToolSettings::*check2Value;
  bool fixedFont;
};

extern const ParamDialogDescriptor kCloseLinesDialog;
extern const ParamDialogDescriptor kTranslateDialog;
extern const ParamDialogDescriptor kExtendedReplaceDialog;
extern const ParamDialogDescriptor kQuoteDialog;
extern const ParamDialogDescriptor kEncloseDialog;
extern const ParamDialogDescriptor kTagDialog;

// A setting as the dialog writes it: at most limit characters.
std::u16string CutToLimit(std::u16string text, int limit);

// Go to. Values are 0-based, as remembered (the field shows them + 1).
struct GotoRequest {
  std::int64_t line = 0;
  std::int64_t position = 0;
  bool relative = false;
  bool select = false;
};

// The selection S..E of the edit control when a go button is pressed.
struct GotoSelection {
  std::int64_t start = 0;
  std::int64_t end = 0;
};

// The two target lines of "go to line": relative counts lines down from the
// lines of S and E. Never negative.
struct GotoLines {
  std::int64_t first;
  std::int64_t second;
};
GotoLines GotoTargetLines(const GotoRequest& request, std::int64_t lineOfStart, std::int64_t lineOfEnd);

// The new selection from the targets' first characters (line) or from the
// position, kept inside the text; with select it only ever grows.
GotoSelection GotoLineSelection(const GotoRequest& request, GotoSelection current, std::int64_t firstTargetStart,
                                std::int64_t secondTargetStart, std::int64_t textLength);
GotoSelection GotoPositionSelection(const GotoRequest& request, GotoSelection current, std::int64_t textLength);

// The texts as Compare keeps them: cut to their length, lower-cased with the
// system's case table when asked.
inline constexpr int kCompareTextLimit = 10230;
void PrepareCompareText(std::u16string& text, bool ignoreCase);

// Where the two texts first differ; nothing when they are the same.
std::optional<std::size_t> FirstDifference(const std::u16string& one, const std::u16string& two);

}  // namespace quillet
