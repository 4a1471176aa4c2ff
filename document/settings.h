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
// field reachable by the store's member pointers.
struct Settings : ToolSettings {
  // Which groups are written when the program ends.
  std::int32_t Save = 1;
  std::int32_t Place = 0;
  std::int32_t Size = 0;
  std::int32_t Opts = 1;
  std::int32_t Setts = 1;
  std::int32_t Search = 1;
  std::int32_t Filters = 1;  // stored under the value name "过滤器"
  std::int32_t Tools = 1;
  std::int32_t Clips = 1;

  // Window placement.
  std::int32_t Top = kUnsetPlacement;
  std::int32_t Left = kUnsetPlacement;
  std::int32_t Width = kUnsetPlacement;
  std::int32_t Height = kUnsetPlacement;
  std::int32_t Maxed = 0;

  // Basic options and the search history.
  std::int32_t WWrap = 1;
  std::int32_t Status = 1;
  std::int32_t Margin = 0;
  std::int32_t FulScr = 0;
  std::int32_t OnTop = 0;
  std::int32_t Font = 1;
  std::u16string Find;
  std::u16string Replace;
  std::int32_t FindMC = 0;
  std::int32_t FindWW = 0;
  std::u16string LookFor;

  // Editor and file settings.
  std::int32_t Gutter = 10;
  std::int32_t Limit = 0;
  std::int32_t Persist = 0;
  std::int32_t Indent = 0;
  std::int32_t NoTabs = 0;
  std::int32_t UnWrap = 0;
  std::int32_t RotFind = 1;
  std::int32_t Esc = 1;
  std::int32_t FulPath = 0;
  std::int32_t CWLong = 1;
  std::int32_t CWSort = 0;
  std::int32_t FixFont = 0;
  std::int32_t ProFont = 0;
  FontRecord FixLog{};
  FontRecord ProLog{};
  std::int32_t Encode = 0;
  std::int32_t UseCRLF = 1;
  std::int32_t CRLF = 0;
  std::u16string Suffix = u"txt";
  std::u16string DefPath;
  std::u16string FFilter = u"文本文件 (*.txt)|*.txt|所有文件|*.*";
  std::int32_t GTitle = 0;
  std::int32_t Backup = 0;
  std::int32_t TmpSave = 1;
  std::int32_t FSRO = 0;      // "FSRO!"
  std::int32_t FSWBOM = 0;    // "FSWBOM!"
  std::int32_t OnlyOne = 1;
  std::int32_t Watch = 1;
  std::int32_t KeepFN = 0;    // "KeepFN!"
  std::int32_t FLDE = 0;      // "FLDE!"

  // The remembered tool parameters are in ToolSettings.

  // Set when a custom font record was read from the store; the record is
  // used only then.
  bool fixLogLoaded = false;
  bool proLogLoaded = false;
};

// One persistent field: where it is stored and which member holds it.
// The sort keys are one entry whose name is the common prefix "Srt"; the
// store expands it into the nine value names.
struct SettingField {
  const char16_t* key;
  const char16_t* name;
  int capacity;  // characters for strings, bytes for binary blocks, 0 for integers
  std::variant<std::int32_t Settings::*, std::u16string Settings::*, FontRecord Settings::*,
               SortKeyStrings Settings::*>
      member;
};

// Every persistent field of the record, grouped by key, in the order in
// which the groups and values are read and written.
const SettingField* SettingFields(std::size_t* count);

// Every field back to its default (start-up and the settings dialog's reset).
void ResetSettings(Settings& settings);

}  // namespace quillet
