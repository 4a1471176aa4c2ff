#include "document/registry_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillet {
namespace {

using namespace std::string_literals;

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

RegistryValue Text(std::u16string_view units, std::uint32_t type = kRegString) { return {type, Utf16Bytes(units)}; }

TEST(RegistryValues, OnlyAFourByteDwordIsAnInteger) {
  EXPECT_EQ(IntFromRegistry({kRegDword, {0x78, 0x56, 0x34, 0x12}}), 0x12345678);
  EXPECT_EQ(IntFromRegistry({kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}), -1);
  EXPECT_EQ(IntFromRegistry({kRegDword, {0x00, 0x00, 0x00, 0x80}}), INT32_MIN);

  const RegistryValue notIntegers[] = {
      {kRegDword, {4, 0}},
      {kRegDword, {4, 0, 0, 0, 0, 0, 0, 0}},
      {kRegDword, {}},
      Text(u"4\0"s),  // four bytes with its zero
      {kRegBinary, {4, 0, 0, 0}},
      {kRegDwordBigEndian, {0, 0, 0, 4}},
      {kRegQword, {4, 0, 0, 0, 0, 0, 0, 0}},
      {kRegNone, {4, 0, 0, 0}},
  };
  for (const RegistryValue& v : notIntegers)
    EXPECT_FALSE(IntFromRegistry(v).has_value()) << "type " << v.type << ", " << v.bytes.size() << " bytes";
}

TEST(RegistryValues, OnlyRegSzIsTextUpToItsZeroOrItsEnd) {
  EXPECT_EQ(StringFromRegistry(Text(u"ab\0"s), 10), u"ab");
  EXPECT_EQ(StringFromRegistry(Text(u"ab"), 10), u"ab");  // stored without its zero
  EXPECT_EQ(StringFromRegistry(Text(u"a\0b\0"s), 10), u"a");
  EXPECT_EQ(StringFromRegistry({kRegString, {}}, 10), u"");
  RegistryValue odd = Text(u"ab");
  odd.bytes.push_back('c');  // half a unit at the end
  EXPECT_EQ(StringFromRegistry(odd, 10), u"ab");

  // Cut to the field's capacity, never between the halves of a pair.
  EXPECT_EQ(StringFromRegistry(Text(u"abcdef"), 4), u"abcd");
  EXPECT_EQ(StringFromRegistry(Text(u"ab\U0001F600c"), 3), u"ab");
  EXPECT_EQ(StringFromRegistry(Text(u"ab\U0001F600c"), 4), u"ab\U0001F600");
  EXPECT_EQ(StringFromRegistry(Text(std::u16string(1 << 20, u'x')), 8191)->size(), 8191u);

  const RegistryValue notText[] = {
      Text(u"%TEMP%\0"s, kRegExpandString), Text(u"a\0b\0\0"s, kRegMultiString),     Text(u"ab\0"s, kRegBinary),
      {kRegDword, {'a', 0, 0, 0}},          {kRegQword, {'a', 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const RegistryValue& v : notText) EXPECT_FALSE(StringFromRegistry(v, 10).has_value()) << "type " << v.type;
}

TEST(RegistryValues, OnlyABlockOfTheExactLengthIsARecord) {
  std::vector<std::uint8_t> block(kFontRecordSize);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i + 1);
  FontRecord out{};
  ASSERT_TRUE(BinaryFromRegistry({kRegBinary, block}, out.data(), out.size()));
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end()), block);

  FontRecord untouched;
  untouched.fill(0xEE);
  out = untouched;
  std::vector<std::uint8_t> shorter(block.begin(), block.end() - 1), longer = block;
  longer.push_back(0);
  EXPECT_FALSE(BinaryFromRegistry({kRegBinary, shorter}, out.data(), out.size()));
  EXPECT_FALSE(BinaryFromRegistry({kRegBinary, longer}, out.data(), out.size()));
  EXPECT_FALSE(BinaryFromRegistry({kRegString, block}, out.data(), out.size()));
  EXPECT_FALSE(BinaryFromRegistry({kRegBinary, {}}, out.data(), out.size()));
  EXPECT_EQ(out, untouched);
}

}  // namespace
}  // namespace quillet
