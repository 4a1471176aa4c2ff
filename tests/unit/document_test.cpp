#include "document/document.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/commands.h"
#include "document/settings.h"

namespace quillet {
namespace {

TEST(WindowTitle, NameMarkAndProgram) {
  DocumentState doc;
  EXPECT_EQ(WindowTitle(doc, false), u"未命名  - Quillet");
  doc.modified = true;
  EXPECT_EQ(WindowTitle(doc, true), u"未命名* - Quillet");
  doc.fullPath = u"C:\\docs\\a.txt";
  doc.title = u"a.txt";
  EXPECT_EQ(WindowTitle(doc, false), u"a.txt* - Quillet");
  doc.modified = false;
  EXPECT_EQ(WindowTitle(doc, true), u"C:\\docs\\a.txt  - Quillet");
}

TEST(Names, EncodingsAndLineEndsWrapAround) {
  EXPECT_STREQ(reinterpret_cast<const char*>(EncodingName(kEncodingUtf8)), reinterpret_cast<const char*>(u"UTF-8"));
  EXPECT_EQ(std::u16string(EncodingName(kEncodingUtf16Be)), u"Unicode, Big Endian");
  EXPECT_EQ(std::u16string(EncodingName(EncodingFromCode(4))), u"UTF-8 无签名");
  EXPECT_EQ(std::u16string(EncodingName(EncodingFromCode(4 + 1))), u"ANSI");
  EXPECT_EQ(std::u16string(LineEndName(LineEndFromCode(-1 + 3))), u"Mac");
  EXPECT_EQ(std::u16string(LineEndName(kLineEndUnix)), u"UNIX");
}

TEST(Settings, ResetRestoresDefaultsAndFieldNamesAreUnique) {
  Settings s;
  s.wordWrap = false;
  s.fileDialogFilter.clear();
  s.windowTop = 10;
  ResetSettings(s);
  EXPECT_TRUE(s.wordWrap);
  EXPECT_EQ(s.windowTop, kUnsetPlacement);
  EXPECT_EQ(s.fileDialogFilter, u"文本文件 (*.txt)|*.txt|所有文件|*.*");
  EXPECT_EQ(s.numberingMask, u"%+d, %1");

  std::size_t count = 0;
  const SettingField* fields = SettingFields(&count);
  std::set<std::u16string> seen;
  for (std::size_t i = 0; i < count; ++i) {
    const std::u16string key = std::u16string(fields[i].key) + u"/" + fields[i].name;
    EXPECT_TRUE(seen.insert(key).second) << "twice: " << std::string(key.begin(), key.end());
    // Every string field has a capacity; no integer or flag has one.
    const bool isNumber = std::holds_alternative<std::int32_t Settings::*>(fields[i].member) ||
                          std::holds_alternative<bool Settings::*>(fields[i].member);
    EXPECT_EQ(isNumber, fields[i].capacity == 0);
  }
  EXPECT_GT(count, 80u);
}

TEST(CommandResult, MapsToWmCommandReturnValues) {
  EXPECT_EQ(CommandReturnValue(kDone), 0);
  EXPECT_EQ(CommandReturnValue(kCancelled), 1);
  EXPECT_EQ(CommandReturnValue(kNotACommand), 2);
  EXPECT_EQ(CommandReturnValue(kFailedReported), 3);
  EXPECT_EQ(CommandReturnValue(CommandResult(kMsgError)), 3);
  EXPECT_EQ(CommandReturnValue(CommandResult(Failure())), 0);
}

}  // namespace
}  // namespace quillet
