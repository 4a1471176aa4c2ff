#include "document/registry_values.h"

#include <algorithm>

#include "base/messages.h"

namespace quillet {

std::optional<std::int32_t> IntFromRegistry(const RegistryValue& value) {
  if (value.type != kRegDword || value.bytes.size() != 4) return std::nullopt;
  const auto& b = value.bytes;
  const std::uint32_t v = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                          static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  return static_cast<std::int32_t>(v);
}

std::optional<std::u16string> StringFromRegistry(const RegistryValue& value, std::size_t capacity) {
  if (value.type != kRegString) return std::nullopt;
  const std::size_t units = value.bytes.size() / 2;
  std::u16string text;
  for (std::size_t i = 0; i < units; ++i) {
    const auto c = static_cast<char16_t>(value.bytes[2 * i] | value.bytes[2 * i + 1] << 8);
    if (c == u'\0') break;
    // One unit past the capacity is enough for CutText to cut it right.
    if (text.size() > capacity) break;
    text.push_back(c);
  }
  CutText(text, capacity);
  return text;
}

bool BinaryFromRegistry(const RegistryValue& value, std::uint8_t* out, std::size_t length) {
  if (value.type != kRegBinary || value.bytes.size() != length) return false;
  std::copy(value.bytes.begin(), value.bytes.end(), out);
  return true;
}

RegistryValue IntToRegistry(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  return RegistryValue{kRegDword,
                       {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                        static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)}};
}

RegistryValue StringToRegistry(std::u16string_view text) {
  RegistryValue value{kRegString, std::vector<std::uint8_t>((text.size() + 1) * 2, 0)};
  for (std::size_t i = 0; i < text.size(); ++i) {
    value.bytes[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    value.bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return value;
}

RegistryValue BinaryToRegistry(const std::uint8_t* bytes, std::size_t size) {
  return RegistryValue{kRegBinary, std::vector<std::uint8_t>(bytes, bytes + size)};
}

std::optional<std::int32_t> TypedValueBackend::ReadInt(std::u16string_view key, std::u16string_view name) {
  RegistryValue value;
  if (!QueryValue(key, name, value)) return std::nullopt;
  return IntFromRegistry(value);
}

std::optional<std::u16string> TypedValueBackend::ReadString(std::u16string_view key, std::u16string_view name,
                                                            std::size_t capacity) {
  RegistryValue value;
  if (!QueryValue(key, name, value)) return std::nullopt;
  return StringFromRegistry(value, capacity);
}

bool TypedValueBackend::ReadBinary(std::u16string_view key, std::u16string_view name, std::uint8_t* out,
                                   std::size_t length) {
  RegistryValue value;
  return QueryValue(key, name, value) && BinaryFromRegistry(value, out, length);
}

bool TypedValueBackend::EnumValue(std::u16string_view key, std::uint32_t index, std::u16string& name,
                                  std::u16string& data, std::size_t capacity) {
  RegistryValue value;
  if (!EnumRawValue(key, index, name, value)) return false;
  data = StringFromRegistry(value, capacity).value_or(std::u16string());
  return true;
}

}  // namespace quillet
