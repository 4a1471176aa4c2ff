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

// Eight tables: entry i of table k is the checksum of byte i followed by k
// zero bytes, so eight bytes go in with eight independent look-ups.
std::array<std::array<std::uint32_t, 256>, 8> BuildSlices(const std::uint32_t* table) {
  std::array<std::array<std::uint32_t, 256>, 8> slices{};
  for (int i = 0; i < 256; ++i) slices[0][i] = table[i];
  for (int k = 1; k < 8; ++k)
    for (int i = 0; i < 256; ++i) slices[k][i] = (slices[k - 1][i] >> 8) ^ table[slices[k - 1][i] & 0xFF];
  return slices;
}

}  // namespace

std::uint32_t Crc32Units(std::uint32_t crc, const char16_t* units, std::size_t n) {
  const std::uint32_t* table = Crc32Table();
  static const std::array<std::array<std::uint32_t, 256>, 8> t = BuildSlices(table);
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    // Low byte first, as Crc32Unit takes them.
    const char16_t* u = units + i;
    const std::uint32_t x = crc ^ (static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 16);
    crc = t[7][x & 0xFF] ^ t[6][(x >> 8) & 0xFF] ^ t[5][(x >> 16) & 0xFF] ^ t[4][x >> 24] ^ t[3][u[2] & 0xFF] ^
          t[2][u[2] >> 8] ^ t[1][u[3] & 0xFF] ^ t[0][u[3] >> 8];
  }
  for (; i < n; ++i) crc = Crc32Unit(table, crc, units[i]);
  return crc;
}

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
