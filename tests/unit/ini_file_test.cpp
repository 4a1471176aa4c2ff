#include "document/ini_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace quillet {
namespace {

constexpr char16_t kMark = 0xFEFF;

IniDocument Parse(std::u16string_view body) {
  std::u16string text(1, kMark);
  text += body;
  return ParseIniText(text);
}

std::u16string Value(const IniDocument& doc, std::u16string_view section, std::u16string_view name) {
  const IniSection* s = FindSection(doc, section);
  const std::u16string* v = s ? FindValue(*s, name) : nullptr;
  return v ? *v : u"<missing>";
}

// Serializing what was parsed and parsing it again gives the same document.
void ExpectStable(const IniDocument& doc) {
  const std::u16string once = SerializeIniText(doc);
  const std::u16string twice = SerializeIniText(ParseIniText(once));
  EXPECT_EQ(once, twice);
}

TEST(IniFile, BackslashesAndLineBreaksInValues) {
  // a, two backslashes, b, a backslash, n, c
  const IniDocument doc = Parse(u"[S]\r\nv=a\\\\b\\nc\r\n");
  EXPECT_EQ(Value(doc, u"S", u"v"), u"a\\b\nc");
  EXPECT_EQ(SerializeIniText(doc), std::u16string(1, kMark) + u"[S]\r\nv=a\\\\b\\nc\r\n\r\n");

  // \r, any other escaped character, and a backslash at the very end.
  const IniDocument more = Parse(u"[S]\r\nx=1\\r2\\q\\\r\ny=end\\\r\n");
  EXPECT_EQ(Value(more, u"S", u"x"), u"1\r2q");
  EXPECT_EQ(Value(more, u"S", u"y"), u"end");
}

TEST(IniFile, LinesSectionsAndEntries) {
  const IniDocument doc = Parse(
      u"lost=before any section\r\n"
      u"   \t \r\n"
      u"  [First]\r\n"
      u"  a=1\r\n"
      u"noequals\r\n"
      u"b= spaced = twice \r\n"
      u"lone=x\ry\nz\r\n"
      u"[Second\r\n"
      u"a=2\r\n"
      u"[First]\r\n"
      u"a=3\r\n"
      u"Case=upper");
  ASSERT_EQ(doc.sections.size(), 2u);
  EXPECT_EQ(doc.sections[0].name, u"First");
  EXPECT_EQ(doc.sections[1].name, u"Second");  // no "]": the name runs to the end of the line
  // A later line with the same name replaces the value in place.
  EXPECT_EQ(Value(doc, u"First", u"a"), u"3");
  EXPECT_EQ(doc.sections[0].entries[0].name, u"a");
  EXPECT_EQ(Value(doc, u"First", u"noequals"), u"");
  EXPECT_EQ(Value(doc, u"First", u"b"), u" spaced = twice ");
  // Only CR LF ends a line.
  EXPECT_EQ(Value(doc, u"First", u"lone"), u"x\ry\nz");
  EXPECT_EQ(Value(doc, u"First", u"case"), u"<missing>");
  EXPECT_EQ(Value(doc, u"First", u"Case"), u"upper");
  EXPECT_EQ(Value(doc, u"Second", u"a"), u"2");
  EXPECT_EQ(Value(doc, u"First", u"lost"), u"<missing>");
  ExpectStable(doc);
}

// Only the last line can be cut short: there a name without "=" and a
// section without "]" are nothing, and a CR is half a line break. Anywhere
// else they keep their meaning.
TEST(IniFile, AnUnfinishedLastLineIsAFileCutShort) {
  const IniDocument name = Parse(u"[S]\r\nFind=x\r\nFindMC=1\r\nFind");
  EXPECT_EQ(Value(name, u"S", u"Find"), u"x");
  EXPECT_EQ(name.sections[0].entries.size(), 2u);
  EXPECT_EQ(Value(Parse(u"[S]\r\nsplit\\=name"), u"S", u"split=name"), u"<missing>");

  const IniDocument section = Parse(u"[S]\r\na=1\r\n  [Cut");
  ASSERT_EQ(section.sections.size(), 1u);
  EXPECT_EQ(Value(section, u"S", u"a"), u"1");
  EXPECT_EQ(Parse(u"[S]\r\n[T]").sections.size(), 2u);

  EXPECT_EQ(Value(Parse(u"[S]\r\nv=md\r"), u"S", u"v"), u"md");
  EXPECT_EQ(Value(Parse(u"[S]\r\nv=\r"), u"S", u"v"), u"");
  EXPECT_EQ(Value(Parse(u"[S]\r\nv=a\rb"), u"S", u"v"), u"a\rb");
  EXPECT_EQ(Value(Parse(u"[S]\r\nnoequals\r\nv=1\r\n"), u"S", u"noequals"), u"");
  EXPECT_EQ(Value(Parse(u"[S\r\nv=1\r\n"), u"S", u"v"), u"1");
}

TEST(IniFile, OnlyUtf16WithTheMarkIsRead) {
  const std::string utf8 = "[Save]\r\nSave=0\r\n";
  EXPECT_TRUE(ParseIni(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()).sections.empty());
  const std::uint8_t bigEndian[] = {0xFE, 0xFF, 0, '[', 0, 'S', 0, ']'};
  EXPECT_TRUE(ParseIni(bigEndian, sizeof bigEndian).sections.empty());
  EXPECT_TRUE(ParseIni(nullptr, 0).sections.empty());

  // Little-endian with the mark; a last half unit is ignored.
  const std::uint8_t good[] = {0xFF, 0xFE, '[', 0, 'S', 0, ']', 0, '\r', 0, '\n', 0, 'k', 0, '=', 0, 'v', 0, 'w'};
  const IniDocument doc = ParseIni(good, sizeof good);
  EXPECT_EQ(Value(doc, u"S", u"k"), u"v");

  const std::vector<std::uint8_t> bytes = SerializeIni(doc);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_EQ(bytes[2], '[');
  EXPECT_EQ(bytes[3], 0);
}

TEST(IniFile, SectionEntryAndNameLimits) {
  std::u16string text;
  for (int i = 0; i < 40; ++i) {
    const std::u16string n(1, static_cast<char16_t>(u'A' + i));
    text += u"[" + n + u"]\r\nk=" + n + u"\r\n";
  }
  text += u"[A]\r\nlate=kept\r\n";  // an existing section still takes entries
  IniDocument doc = Parse(text);
  ASSERT_EQ(doc.sections.size(), kIniMaxSections);
  EXPECT_EQ(doc.sections.back().name, std::u16string(1, static_cast<char16_t>(u'A' + 31)));
  EXPECT_EQ(Value(doc, u"A", u"late"), u"kept");
  EXPECT_EQ(AddSection(doc, u"New"), nullptr);
  EXPECT_NE(AddSection(doc, u"B"), nullptr);

  std::u16string many = u"[S]\r\n";
  for (int i = 0; i < 130; ++i) {
    many += u'e';
    many += static_cast<char16_t>(0x4E00 + i);
    many += u"=x\r\n";
  }
  IniDocument full = Parse(many);
  ASSERT_EQ(full.sections[0].entries.size(), kIniMaxEntries);
  EXPECT_FALSE(SetValue(full.sections[0], u"one more", u"x"));
  EXPECT_TRUE(SetValue(full.sections[0], full.sections[0].entries[5].name, u"replaced"));

  const std::u16string longName(40, u'n');
  const IniDocument names = Parse(u"[" + longName + u"]\r\n" + longName + u"=v\r\n");
  EXPECT_EQ(names.sections[0].name, std::u16string(kIniSectionNameLimit, u'n'));
  EXPECT_EQ(names.sections[0].entries[0].name, std::u16string(kIniEntryNameLimit, u'n'));
}

TEST(IniFile, NamesWithSpecialCharactersSurvive) {
  // Names come from the user for the filter commands.
  IniDocument doc;
  IniSection* s = AddSection(doc, u"Filter/Shell");
  const std::u16string names[] = {u"a=bc", u"back\\slash", u"[bracket", u" lead", u"line\r\nbreak", u"=", u""};
  for (const std::u16string& n : names) SetValue(*s, n, u"value of " + n);
  const IniDocument back = ParseIniText(SerializeIniText(doc));
  ASSERT_EQ(back.sections.size(), 1u);
  for (const std::u16string& n : names) EXPECT_EQ(Value(back, u"Filter/Shell", n), u"value of " + n);
}

TEST(IniFile, IntegersAndBinaryBlocks) {
  EXPECT_EQ(FormatIniInt(INT32_MIN), u"-2147483648");
  EXPECT_EQ(ParseIniInt(u"-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseIniInt(u"  \t-12x"), -12);
  EXPECT_EQ(ParseIniInt(u"+5"), 0);
  EXPECT_EQ(ParseIniInt(u"abc"), 0);
  EXPECT_EQ(ParseIniInt(u""), 0);
  EXPECT_EQ(ParseIniInt(u"2147483647"), INT32_MAX);

  const std::uint8_t bytes[] = {0x00, 0x7F, 0xAB, 0xFF};
  EXPECT_EQ(FormatIniBinary(bytes, 4), u"007fabff");
  std::uint8_t out[4] = {};
  EXPECT_EQ(ParseIniBinary(u"007FABff", out, 4), 4u);
  EXPECT_EQ(0, std::memcmp(out, bytes, 4));
  // Stops at the end of the text, at a pair that is no hex, and at the length.
  EXPECT_EQ(ParseIniBinary(u"0102", out, 4), 2u);
  EXPECT_EQ(ParseIniBinary(u"01zz03", out, 4), 1u);
  EXPECT_EQ(ParseIniBinary(u"010", out, 4), 1u);
  EXPECT_EQ(ParseIniBinary(u"0102030405", out, 2), 2u);

  std::vector<std::uint8_t> big(5000, 0x11);
  EXPECT_EQ(FormatIniBinary(big.data(), big.size()).size(), 2 * kIniBinaryLimit);
}

TEST(IniFile, HostileFilesStayWellFormed) {
  // Ten thousand sections, a 1 MB line, control characters, stray marks.
  std::u16string text(1, kMark);
  for (int i = 0; i < 10000; ++i) text += u"[s" + std::u16string(1, static_cast<char16_t>(u'0' + i % 50)) + u"]\r\n";
  text += u"[big]\r\nline=" + std::u16string(1 << 20, u'x') + u"\r\n";
  text += std::u16string{u'\0', 0xFFFF, 0xD800, u'=', u'\\', u'\r', u'\n', u'\r', u'\r', u'\n', u'\n'};
  const IniDocument doc = ParseIniText(text);
  EXPECT_LE(doc.sections.size(), kIniMaxSections);
  ExpectStable(doc);

  // Every byte value after the mark.
  std::vector<std::uint8_t> garbage = {0xFF, 0xFE};
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<std::uint8_t>(i * 7919 >> 3));
  ExpectStable(ParseIni(garbage.data(), garbage.size()));
}

}  // namespace
}  // namespace quillet
