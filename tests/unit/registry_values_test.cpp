#include "document/registry_values.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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

// Values in memory, in the order they were put, as a hand-edited key holds them.
class MemoryRegistry final : public TypedValueBackend {
 public:
  struct Entry {
    std::u16string key, name;
    RegistryValue value;
  };
  std::vector<Entry> entries;

  void Put(std::u16string_view key, std::u16string_view name, RegistryValue value) {
    entries.push_back({std::u16string(key), std::u16string(name), std::move(value)});
  }

  bool HasKey(std::u16string_view key) override {
    for (const Entry& e : entries)
      if (e.key == key) return true;
    return false;
  }
  void WriteInt(std::u16string_view key, std::u16string_view name, std::int32_t value) override {
    Put(key, name, IntToRegistry(value));
  }
  void WriteString(std::u16string_view key, std::u16string_view name, std::u16string_view value) override {
    Put(key, name, StringToRegistry(value));
  }
  void WriteBinary(std::u16string_view key, std::u16string_view name, const std::uint8_t* bytes,
                   std::size_t size) override {
    Put(key, name, BinaryToRegistry(bytes, size));
  }
  void DeleteAllValues(std::u16string_view) override {}

 protected:
  bool QueryValue(std::u16string_view key, std::u16string_view name, RegistryValue& value) override {
    for (const Entry& e : entries)
      if (e.key == key && e.name == name) {
        value = e.value;
        return true;
      }
    return false;
  }
  bool EnumRawValue(std::u16string_view key, std::uint32_t index, std::u16string& name, RegistryValue& value) override {
    for (const Entry& e : entries)
      if (e.key == key && index-- == 0) {
        name = e.name;
        value = e.value;
        return true;
      }
    return false;
  }
};

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

// Each value that is not what its field takes leaves that field at its
// default; the values around it, in the same key and in the lists, are read.
TEST(RegistryValues, AWrongValueCostsOnlyItsOwnField) {
  MemoryRegistry store;
  store.Put(u"Opts", u"WWrap", Text(u"0\0\0"s, kRegMultiString));
  store.Put(u"Opts", u"Status", IntToRegistry(0));
  store.Put(u"Setts", u"Tab", Text(u"4"));
  store.Put(u"Setts", u"Gutter", IntToRegistry(25));
  store.Put(u"Setts", u"FixLog", RegistryValue{kRegBinary, std::vector<std::uint8_t>(kFontRecordSize - 2, 7)});
  store.Put(u"Setts", u"ProLog", RegistryValue{kRegBinary, std::vector<std::uint8_t>(kFontRecordSize, 7)});
  store.Put(u"Setts", u"Suffix", IntToRegistry(7));
  store.Put(u"Setts", u"DefPath", StringToRegistry(u"C:\\docs"));
  store.Put(u"Tools", u"CutNum", RegistryValue{kRegDword, {9, 0}});
  store.Put(u"Tools", u"CutStep", IntToRegistry(3));
  store.Put(u"Clips", u"01", RegistryValue{kRegBinary, Utf16Bytes(u"binary")});
  store.Put(u"Clips", u"02", StringToRegistry(u"second"));
  store.Put(u"Recent", u"00", IntToRegistry(1));
  store.Put(u"Recent", u"01", StringToRegistry(u"C:\\a.txt"));
  store.Put(u"Filter", u"00", IntToRegistry(5));
  store.Put(u"Filter", u"01", Text(u"zip", kRegExpandString));
  store.Put(u"Filter", u"02", StringToRegistry(u"up"));
  store.Put(u"Filter/Shell", u"upc", StringToRegistry(u"tr a-z A-Z"));
  store.Put(u"Filter/Shell", u"upd", RegistryValue{kRegBinary, {1, 2}});

  Settings s;
  RecentFiles recent;
  Favourites favourites;
  FilterList filters;
  ClipSlots clips;
  LoadSettingsFrom(store, PersistentState{s, recent, favourites, filters, clips});
  const Settings defaults;
  EXPECT_EQ(s.wordWrap, defaults.wordWrap);
  EXPECT_EQ(s.statusBarHeight, 0);
  EXPECT_EQ(s.tabWidth, defaults.tabWidth);
  EXPECT_EQ(s.leftMargin, 25);
  EXPECT_FALSE(s.fixedFontRecordLoaded);
  EXPECT_EQ(s.fixedFontRecord, FontRecord{});
  EXPECT_TRUE(s.proportionalFontRecordLoaded);
  EXPECT_EQ(s.defaultSuffix, defaults.defaultSuffix);
  EXPECT_EQ(s.defaultFolder, u"C:\\docs");
  EXPECT_EQ(s.numberingStart, defaults.numberingStart);
  EXPECT_EQ(s.numberingStep, 3);
  EXPECT_EQ(GetClip(clips, 1), nullptr);
  ASSERT_NE(GetClip(clips, 2), nullptr);
  EXPECT_EQ(*GetClip(clips, 2), u"second");
  EXPECT_EQ(recent.slots[9], u"C:\\a.txt");
  EXPECT_EQ(recent.slots[8], u"");
  // The filters whose names are no text are skipped; the one after them is read.
  ASSERT_NE(FilterName(filters, 0), nullptr);
  EXPECT_EQ(std::u16string(FilterName(filters, 0)), u"up");
  EXPECT_EQ(std::u16string(FilterCommand(filters, 0)), u"tr a-z A-Z");
  EXPECT_EQ(std::u16string(FilterDescription(filters, 0)), u"");  // not text: no label, still the filter
  EXPECT_EQ(FilterName(filters, 1), nullptr);
}

}  // namespace
}  // namespace quillet
