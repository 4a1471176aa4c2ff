#include "engine/crc32.h"

#include <array>

namespace quillet {
namespace {

std::array<std::uint32_t, 256> BuildTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

}  // namespace

const std::uint32_t* Crc32Table() {
  static const std::array<std::uint32_t, 256> table = BuildTable();
  return table.data();
}

std::uint32_t Crc32(const void* data, std::size_t bytes) {
  const std::uint32_t* table = Crc32Table();
  const auto* p = static_cast<const std::uint8_t*>(data);
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < bytes; ++i) crc = Crc32Byte(table, crc, p[i]);
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace quillet
