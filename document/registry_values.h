// What a value in the registry means to the settings store: which type and
// size each kind of field accepts, and the bytes a save stores. Anyone may
// have put anything under the program's key, so every decision about a
// value's type and bytes is made here, in pure code; the registry back end
// only moves the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/settings_store.h"

namespace quillet {

// The registry's value types, numbered as the system numbers them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegString = 1;        // REG_SZ
inline constexpr std::uint32_t kRegExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kRegBinary = 3;        // REG_BINARY
inline constexpr std::uint32_t kRegDword = 4;         // REG_DWORD, little-endian
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegMultiString = 7;
inline constexpr std::uint32_t kRegQword = 11;

// One value as the registry holds it.
struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> bytes;
};

// Only a REG_DWORD of exactly four bytes is an integer.
std::optional<std::int32_t> IntFromRegistry(const RegistryValue& value);
// Only a REG_SZ is text: up to its first zero unit or, when it was stored
// without one, the end of its data (an odd last byte is no unit), at most
// capacity characters.
std::optional<std::u16string> StringFromRegistry(const RegistryValue& value, std::size_t capacity);
// Only a REG_BINARY of exactly length bytes is a block; out is left alone
// otherwise.
bool BinaryFromRegistry(const RegistryValue& value, std::uint8_t* out, std::size_t length);

// What a save stores: a REG_DWORD, a REG_SZ with its terminating zero, a
// REG_BINARY.
RegistryValue IntToRegistry(std::int32_t value);
RegistryValue StringToRegistry(std::u16string_view text);
RegistryValue BinaryToRegistry(const std::uint8_t* bytes, std::size_t size);

// The reading half of a back end over typed values: the store's reads
// decided from each value's type and bytes. The registry back end supplies
// the values, and so can a store in memory.
class TypedValueBackend : public SettingsBackend {
 public:
  std::optional<std::int32_t> ReadInt(std::u16string_view key, std::u16string_view name) final;
  std::optional<std::u16string> ReadString(std::u16string_view key, std::u16string_view name,
                                           std::size_t capacity) final;
  bool ReadBinary(std::u16string_view key, std::u16string_view name, std::uint8_t* out, std::size_t length) final;
  // A value that is not text enumerates with empty data.
  bool EnumValue(std::u16string_view key, std::uint32_t index, std::u16string& name, std::u16string& data,
                 std::size_t capacity) final;

 protected:
  // The value's type and bytes; false when the key or the value is missing
  // or cannot be read.
  virtual bool QueryValue(std::u16string_view key, std::u16string_view name, RegistryValue& value) = 0;
  // The value at index with its name; false past the last value.
  virtual bool EnumRawValue(std::u16string_view key, std::uint32_t index, std::u16string& name,
                            RegistryValue& value) = 0;
};

}  // namespace quillet
