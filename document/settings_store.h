// What the settings store reads and writes, in which order and under which
// group flags, over a small key/value interface that the registry and the
// settings file both provide. One load or save run goes through one back end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/clip_slots.h"
#include "document/ini_file.h"
#include "document/lists.h"
#include "document/settings.h"

namespace quillet {

// No string is written longer than this; a clipboard slot beyond it is cut
// (and the user told so before the save).
inline constexpr std::size_t kStoreStringLimit = 8191;

// Keys are named by their path with "/" between parent and child
// ("Filter/Shell"). Reads leave their output alone when the value is missing
// or is not of the expected type or size.
class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;
  // A key that is missing on loading skips its whole group.
  virtual bool HasKey(std::u16string_view key) = 0;
  virtual std::optional<std::int32_t> ReadInt(std::u16string_view key, std::u16string_view name) = 0;
  // At most capacity characters, ending at the first zero unit.
  virtual std::optional<std::u16string> ReadString(std::u16string_view key, std::u16string_view name,
                                                   std::size_t capacity) = 0;
  // True only when the whole block of length bytes was there.
  virtual bool ReadBinary(std::u16string_view key, std::u16string_view name, std::uint8_t* out, std::size_t length) = 0;
  // The value at index: its name and, for a string value, its text (at most
  // capacity characters; empty for other types). False past the last value.
  virtual bool EnumValue(std::u16string_view key, std::uint32_t index, std::u16string& name, std::u16string& data,
                         std::size_t capacity) = 0;
  virtual void WriteInt(std::u16string_view key, std::u16string_view name, std::int32_t value) = 0;
  virtual void WriteString(std::u16string_view key, std::u16string_view name, std::u16string_view value) = 0;
  virtual void WriteBinary(std::u16string_view key, std::u16string_view name, const std::uint8_t* bytes,
                           std::size_t size) = 0;
  virtual void DeleteAllValues(std::u16string_view key) = 0;
};

// The settings file's back end: the parsed file in memory. Writing the file
// back is the caller's business.
class IniBackend final : public SettingsBackend {
 public:
  explicit IniBackend(IniDocument& doc) : doc_(doc) {}
  bool HasKey(std::u16string_view key) override;
  std::optional<std::int32_t> ReadInt(std::u16string_view key, std::u16string_view name) override;
  std::optional<std::u16string> ReadString(std::u16string_view key, std::u16string_view name,
                                           std::size_t capacity) override;
  bool ReadBinary(std::u16string_view key, std::u16string_view name, std::uint8_t* out, std::size_t length) override;
  bool EnumValue(std::u16string_view key, std::uint32_t index, std::u16string& name, std::u16string& data,
                 std::size_t capacity) override;
  void WriteInt(std::u16string_view key, std::u16string_view name, std::int32_t value) override;
  void WriteString(std::u16string_view key, std::u16string_view name, std::u16string_view value) override;
  void WriteBinary(std::u16string_view key, std::u16string_view name, const std::uint8_t* bytes,
                   std::size_t size) override;
  void DeleteAllValues(std::u16string_view key) override;

 private:
  IniDocument& doc_;
};

// Everything the store keeps.
struct PersistentState {
  Settings& settings;
  RecentFiles& recent;
  Favourites& favourites;
  FilterList& filters;
  ClipSlots& clips;
};

struct LoadReport {
  bool outOfMemory = false;  // a stored filter could not be copied
};

// Reads every group that the store holds, on top of what the state holds.
LoadReport LoadSettingsFrom(SettingsBackend& store, const PersistentState& state);

struct SaveHooks {
  // Brings the placement values up to date from the window; called only
  // when the placement or the size is saved.
  std::function<void(Settings& settings)> recordPlacement;
};

// Writes the groups their flags select (all of them when forced), the
// recent files always, and the favourites, filters and clipboards only when
// they changed during the run.
void SaveSettingsTo(SettingsBackend& store, const PersistentState& state, bool forced, const SaveHooks& hooks = {});

// Clipboard slots (1 to 9) that the next save would cut short.
std::vector<int> ClipsCutBySave(const PersistentState& state, bool forced);

// "%.2d"
std::u16string TwoDigitName(int n);

}  // namespace quillet
