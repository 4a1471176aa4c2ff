// The standard CRC-32 table (reflected polynomial 0xEDB88320), built once on
// first use and shared by the unique-lines tool and the statistics.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

// 256 entries; safe to call from any thread.
const std::uint32_t* Crc32Table();

// One byte into a running checksum.
inline std::uint32_t Crc32Byte(const std::uint32_t* table, std::uint32_t crc, std::uint8_t byte) {
  return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

// One UTF-16 unit, low byte first, into a running checksum.
inline std::uint32_t Crc32Unit(const std::uint32_t* table, std::uint32_t crc, char16_t unit) {
  crc = Crc32Byte(table, crc, static_cast<std::uint8_t>(unit & 0xFF));
  return Crc32Byte(table, crc, static_cast<std::uint8_t>(unit >> 8));
}

// The running checksum over the UTF-16 little-endian bytes of n units,
// eight bytes a step: the same as Crc32Unit unit by unit.
std::uint32_t Crc32Units(std::uint32_t crc, const char16_t* units, std::size_t n);

// Plain checksum of bytes with the usual start value and final inversion,
// so it matches every other CRC-32 ("123456789" gives 0xCBF43926).
std::uint32_t Crc32(const void* data, std::size_t bytes);

}  // namespace quillet
