#include "document/ini_file.h"

#include <algorithm>

#include "base/system_text.h"

namespace quillet {
namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;

// Index of the section the entries that follow belong to; none before the
// first section and after a section that did not fit.
constexpr std::size_t kNoSection = static_cast<std::size_t>(-1);

std::u16string_view::size_type FindLineBreak(std::u16string_view text, std::size_t from) {
  for (;;) {
    const std::size_t cr = text.find(u'\r', from);
    if (cr == std::u16string_view::npos || cr + 1 >= text.size()) return std::u16string_view::npos;
    if (text[cr + 1] == u'\n') return cr;
    from = cr + 1;
  }
}

char16_t Unescaped(char16_t c) {
  switch (c) {
    case u'n':
      return u'\n';
    case u'r':
      return u'\r';
    default:
      return c;
  }
}

constexpr int kNoStop = -1;

// Reads escaped text from line[pos] up to an unescaped stop character (or
// the end); a backslash at the very end ends it. Leaves pos at the stop
// character or the end.
std::u16string ReadEscaped(std::u16string_view line, std::size_t& pos, int stop) {
  std::u16string out;
  while (pos < line.size()) {
    const char16_t c = line[pos];
    if (static_cast<int>(c) == stop) break;
    if (c == u'\\') {
      if (pos + 1 >= line.size()) {
        pos = line.size();
        break;
      }
      out.push_back(Unescaped(line[pos + 1]));
      pos += 2;
      continue;
    }
    out.push_back(c);
    ++pos;
  }
  return out;
}

void AppendEscaped(std::u16string& out, char16_t c) {
  switch (c) {
    case u'\n':
      out += u"\\n";
      break;
    case u'\r':
      out += u"\\r";
      break;
    case u'\\':
      out += u"\\\\";
      break;
    default:
      out.push_back(c);
  }
}

// The file's last line has no CR LF after it. Every line this program
// writes ends with one, so an unfinished last line is most likely a file cut
// short: a section name without its "]" and a name without its "=" are no
// lines at all. Read as an entry with an empty value, a name cut short would
// even replace the value of an earlier entry whose name it begins with
// ("Find" from "FindMC=0").
void ParseLine(IniDocument& doc, std::u16string_view line, std::size_t& current, bool last) {
  std::size_t start = 0;
  while (start < line.size() && IsSpaceChar(line[start])) ++start;
  if (start == line.size()) return;
  line.remove_prefix(start);

  if (line[0] == u'[') {
    if (last && line.find(u']') == std::u16string_view::npos) return;
    std::u16string_view name = line.substr(1);
    name = name.substr(0, std::min(name.find(u']'), kIniSectionNameLimit));
    if (IniSection* existing = FindSection(doc, name)) {
      current = static_cast<std::size_t>(existing - doc.sections.data());
    } else if (doc.sections.size() < kIniMaxSections) {
      doc.sections.push_back(IniSection{std::u16string(name), {}});
      current = doc.sections.size() - 1;
    } else {
      current = kNoSection;
    }
    return;
  }

  if (current == kNoSection) return;
  std::size_t pos = 0;
  std::u16string name = ReadEscaped(line, pos, u'=');
  if (last && pos >= line.size()) return;
  if (name.size() > kIniEntryNameLimit) name.resize(kIniEntryNameLimit);
  std::u16string value;
  if (pos < line.size()) {
    ++pos;  // the "="
    value = ReadEscaped(line, pos, kNoStop);
  }
  SetValue(doc.sections[current], name, value);
}

}  // namespace

IniDocument ParseIniText(std::u16string_view text) {
  IniDocument doc;
  if (text.empty() || text[0] != kByteOrderMark) return doc;
  text.remove_prefix(1);
  std::size_t current = kNoSection;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t lineBreak = FindLineBreak(text, pos);
    if (lineBreak == std::u16string_view::npos) {
      std::u16string_view line = text.substr(pos);
      // A CR at the very end lost the LF after it.
      if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
      ParseLine(doc, line, current, true);
      break;
    }
    ParseLine(doc, text.substr(pos, lineBreak - pos), current, false);
    pos = lineBreak + 2;
  }
  return doc;
}

IniDocument ParseIni(const std::uint8_t* bytes, std::size_t size) {
  if (size < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) return {};
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return ParseIniText(text);
}

std::u16string EscapeIniValue(std::u16string_view value) {
  std::u16string out;
  out.reserve(value.size() + 8);
  for (char16_t c : value) AppendEscaped(out, c);
  return out;
}

std::u16string EscapeIniName(std::u16string_view name) {
  std::u16string out;
  out.reserve(name.size() + 4);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    const bool special = c == u'=' || (i == 0 && (c == u'[' || (IsSpaceChar(c) && c != u'\n' && c != u'\r')));
    if (special) out.push_back(u'\\');
    AppendEscaped(out, c);
  }
  return out;
}

std::u16string SerializeIniText(const IniDocument& doc) {
  std::u16string out(1, kByteOrderMark);
  for (const IniSection& section : doc.sections) {
    out += u'[';
    out += section.name;
    out += u"]\r\n";
    for (const IniEntry& entry : section.entries) {
      out += EscapeIniName(entry.name);
      out += u'=';
      out += EscapeIniValue(entry.value);
      out += u"\r\n";
    }
    out += u"\r\n";
  }
  return out;
}

std::vector<std::uint8_t> SerializeIni(const IniDocument& doc) {
  const std::u16string text = SerializeIniText(doc);
  std::vector<std::uint8_t> bytes(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return bytes;
}

IniSection* FindSection(IniDocument& doc, std::u16string_view name) {
  for (IniSection& section : doc.sections)
    if (section.name == name) return &section;
  return nullptr;
}

const IniSection* FindSection(const IniDocument& doc, std::u16string_view name) {
  return FindSection(const_cast<IniDocument&>(doc), name);
}

IniSection* AddSection(IniDocument& doc, std::u16string_view name) {
  if (IniSection* existing = FindSection(doc, name)) return existing;
  if (doc.sections.size() >= kIniMaxSections) return nullptr;
  doc.sections.push_back(IniSection{std::u16string(name), {}});
  return &doc.sections.back();
}

const std::u16string* FindValue(const IniSection& section, std::u16string_view name) {
  for (const IniEntry& entry : section.entries)
    if (entry.name == name) return &entry.value;
  return nullptr;
}

bool SetValue(IniSection& section, std::u16string_view name, std::u16string_view value) {
  for (IniEntry& entry : section.entries) {
    if (entry.name == name) {
      entry.value.assign(value);
      return true;
    }
  }
  if (section.entries.size() >= kIniMaxEntries) return false;
  section.entries.push_back(IniEntry{std::u16string(name), std::u16string(value)});
  return true;
}

std::u16string FormatIniInt(std::int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::int32_t ParseIniInt(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpaceChar(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == u'-';
  if (negative) ++i;
  // Unsigned arithmetic: an overlong number wraps instead of overflowing.
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) value = value * 10u + (text[i] - u'0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

std::u16string FormatIniBinary(const std::uint8_t* bytes, std::size_t size) {
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  size = std::min(size, kIniBinaryLimit);
  std::u16string out(size * 2, u'\0');
  for (std::size_t i = 0; i < size; ++i) {
    out[2 * i] = kHex[bytes[i] >> 4];
    out[2 * i + 1] = kHex[bytes[i] & 0x0F];
  }
  return out;
}

std::size_t ParseIniBinary(std::u16string_view text, std::uint8_t* out, std::size_t length) {
  auto hexValue = [](char16_t c) -> int {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
  };
  std::size_t filled = 0;
  for (; filled < length && 2 * filled + 1 < text.size(); ++filled) {
    const int high = hexValue(text[2 * filled]);
    const int low = hexValue(text[2 * filled + 1]);
    if (high < 0 || low < 0) break;
    out[filled] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return filled;
}

}  // namespace quillet
