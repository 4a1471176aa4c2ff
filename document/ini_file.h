// The settings file's text format: UTF-16 little-endian with the FF FE mark,
// "[Section]" lines, "name=value" lines with backslash escapes, sections and
// entries kept in order of first appearance so that whatever the program
// does not know survives a save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

inline constexpr std::size_t kIniMaxSections = 32;
inline constexpr std::size_t kIniMaxEntries = 128;
inline constexpr std::size_t kIniSectionNameLimit = 31;
// One more than a section name: the filter commands are stored under the
// filter's name (up to 31 characters) with "c" or "d" appended, and cutting
// that letter off would make a command and its description one entry.
inline constexpr std::size_t kIniEntryNameLimit = 32;
// Binary blocks are written as at most this many bytes.
inline constexpr std::size_t kIniBinaryLimit = 4095;

struct IniEntry {
  std::u16string name;
  std::u16string value;
};

struct IniSection {
  std::u16string name;
  std::vector<IniEntry> entries;
};

struct IniDocument {
  std::vector<IniSection> sections;
};

// Parses the bytes of a settings file. Anything but UTF-16 LE behind the
// FF FE mark gives an empty document; an odd last byte is ignored. A last
// line without its CR LF is read as a file cut short: a CR at its end is
// dropped, and a name without "=" or a section name without "]" is ignored.
IniDocument ParseIni(const std::uint8_t* bytes, std::size_t size);
// The same over UTF-16 units, the mark included.
IniDocument ParseIniText(std::u16string_view text);

// The whole file: the mark, then every section with its entries and one
// empty line after each section.
std::u16string SerializeIniText(const IniDocument& doc);
std::vector<std::uint8_t> SerializeIni(const IniDocument& doc);

// Escapes LF, CR and backslash; in a name also "=" and a leading blank or
// "[", which would otherwise end the name or change what the line means.
std::u16string EscapeIniValue(std::u16string_view value);
std::u16string EscapeIniName(std::u16string_view name);

IniSection* FindSection(IniDocument& doc, std::u16string_view name);
const IniSection* FindSection(const IniDocument& doc, std::u16string_view name);
// The section, created at the end when missing; null when 32 exist already.
IniSection* AddSection(IniDocument& doc, std::u16string_view name);

const std::u16string* FindValue(const IniSection& section, std::u16string_view name);
// Replaces the value of an existing entry or appends one; false when the
// section is full (128 entries).
bool SetValue(IniSection& section, std::u16string_view name, std::u16string_view value);

// "%d" and back: leading white space, an optional minus and the digits that
// follow; anything else reads as 0.
std::u16string FormatIniInt(std::int32_t value);
std::int32_t ParseIniInt(std::u16string_view text);

// Two lowercase hex digits per byte, at most kIniBinaryLimit bytes.
std::u16string FormatIniBinary(const std::uint8_t* bytes, std::size_t size);
// Converts hex pairs into out until the text or the length runs out;
// returns how many bytes were filled.
std::size_t ParseIniBinary(std::u16string_view text, std::uint8_t* out, std::size_t length);

}  // namespace quillet
