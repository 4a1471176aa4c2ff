// The settings record: every persistent option with its default, and the
// table that names each field by its key and value name in the order in
// which the store reads and writes them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "engine/tool_settings.h"

namespace quillet {

// A window coordinate that was never saved; the system places the window.
inline constexpr std::int32_t kUnsetPlacement = INT32_MIN;
inline constexpr int kFontRecordSize = 92;  // a LOGFONTW

using FontRecord = std::array<std::uint8_t, kFontRecordSize>;

// The options the engine reads live in ToolSettings, so the pure tools can
// take them without knowing the rest of the record; deriving keeps every
// field reachable by the store's member pointers. The names say what a field
// means; the field table in settings.cpp gives the key and value name each
// is stored under. The flags are stored as the integers 0 and 1, and any
// stored integer other than 0 reads as on.
struct Settings : ToolSettings {
  // Which groups are written when the program ends.
  bool saveOnExit = true;  // off: nothing but these flags is written
  bool savePosition = false;
  bool saveSize = false;
  bool saveOptions = true;
  bool saveSearchHistory = true;
  bool saveEditorSettings = true;
  bool saveFilters = true;
  bool saveToolParameters = true;
  bool saveClipboards = true;

  // Window placement.
  std::int32_t windowTop = kUnsetPlacement;
  std::int32_t windowLeft = kUnsetPlacement;
  std::int32_t windowWidth = kUnsetPlacement;
  std::int32_t windowHeight = kUnsetPlacement;
  // This and fullScreen are integers, not flags: start-up restores the
  // stored placement for exactly 1 (or a stored place), and then any value
  // but 0 maximises the window or switches full screen on.
  std::int32_t maximized = 0;

  // Basic options and the search history.
  bool wordWrap = true;
  std::int32_t statusBarHeight = 1;   // 0: no status bar
  std::int32_t marginLineOffset = 0;  // pixels right of the text's edge; 0: no margin line
  std::int32_t fullScreen = 0;        // an integer, as maximized is
  bool alwaysOnTop = false;
  bool fixedFont = true;  // the fixed-width font, or else the proportional one
  std::int32_t theme = 0;  // colours: 0 as the system's apps, 1 light, 2 dark
  std::u16string findText;
  std::u16string replaceText;
  bool findMatchCase = false;
  bool findWholeWord = false;
  std::u16string lookForText;

  // Editor and file settings.
  std::int32_t leftMargin = 10;  // pixels at 96 DPI; below 0: the control's own
  std::int32_t textLimit = 0;    // 0: no limit
  bool selectToolResult = false;
  bool autoIndent = false;
  bool tabsAsSpaces = false;
  bool unwrappedLineNumbers = false;
  bool findWrapsAround = true;
  bool escapeExits = true;
  bool fullPathInTitle = false;
  bool completionLongestCommon = true;
  bool completionSorted = false;
  // The place of the chosen radio: 0 the system's font, 1 the custom record.
  std::int32_t customFixedFont = 0;
  std::int32_t customProportionalFont = 0;
  FontRecord fixedFontRecord{};
  FontRecord proportionalFontRecord{};
  std::int32_t defaultEncoding = 0;  // the code of a TextEncoding
  bool detectLineEnds = true;        // UNIX and Mac files are recognised
  std::int32_t defaultLineEnd = 0;   // the code of a LineEndStyle
  std::u16string defaultSuffix = u"txt";
  std::u16string defaultFolder;
  std::u16string fileDialogFilter = u"文本文件 (*.txt)|*.txt|所有文件|*.*";
  bool nameFromFirstLine = false;
  bool makeBackup = false;
  bool periodicTempCopy = true;
  bool recoverDocuments = true;  // recovery snapshots of modified documents
  bool overwriteReadOnly = false;
  bool saveWithoutBom = false;
  bool oneInstancePerFile = true;
  bool watchForChanges = true;
  bool keepNameOnError = false;
  bool forceDefaultEncoding = false;

  // The remembered tool parameters are in ToolSettings.

  // Set when a custom font record was read from the store; the record is
  // used only then.
  bool fixedFontRecordLoaded = false;
  bool proportionalFontRecordLoaded = false;
};

// One persistent field: where it is stored and which member holds it.
// The sort keys are one entry whose name is the common prefix "Srt"; the
// store expands it into the nine value names.
struct SettingField {
  const char16_t* key;
  const char16_t* name;
  int capacity;  // characters for strings, bytes for binary blocks, 0 for integers and flags
  std::variant<std::int32_t Settings::*, bool Settings::*, std::u16string Settings::*, FontRecord Settings::*,
               SortKeyStrings Settings::*>
      member;
};

// Every persistent field of the record, grouped by key, in the order in
// which the groups and values are read and written.
const SettingField* SettingFields(std::size_t* count);

// Every field back to its default (start-up and the settings dialog's reset).
void ResetSettings(Settings& settings);

}  // namespace quillet
