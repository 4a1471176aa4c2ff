#include "base/messages.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(Messages, NameIsInsertedLiterallyOrUntitled) {
  EXPECT_EQ(FormatWithName(kMsgCannotRead, u"a.txt"), u"无法读取文件 a.txt！");
  EXPECT_EQ(FormatWithName(kMsgSaveChanges, u""), u"保存当前更改到 未命名？");
  // A name holding format characters is not formatted again.
  EXPECT_EQ(FormatWithName(kMsgCannotSave, u"100%s %d.txt"), u"无法保存文件 100%s %d.txt！");
  // Second texts travel with their message.
  EXPECT_EQ(FormatWithName(kMsgCannotFindCreate, u"b"), u"无法查找文件 b。\n您想要创建一个新的文件？");
}

TEST(Messages, LengthLimitsKeepPairsWhole) {
  const std::u16string longName(5000, u'n');
  EXPECT_EQ(FormatWithName(kMsgCannotRead, longName).size(), kNameMessageLimit);

  // A surrogate pair straddling the limit is dropped whole.
  std::u16string name(kNameMessageLimit - 8, u'n');  // "无法读取文件 " is 7 units
  name += u"\U0001F600";
  const std::u16string out = FormatWithName(kMsgCannotRead, name);
  ASSERT_EQ(out.size(), kNameMessageLimit - 1);
  EXPECT_EQ(out.back(), u'n');
}

TEST(Messages, Numbers) {
  EXPECT_EQ(FormatWithNumber(kMsgClipTruncated, 3), u"您放置太多文本到 3. 剪贴板。它已经被截短。");
  EXPECT_EQ(FormatWithNumber(kMsgCurrentLength, -2147483648LL), u"当前长度: -2147483648。");
  EXPECT_EQ(FormatWithNumber(kMsgCurrentLength, 0), u"当前长度: 0。");
}

}  // namespace
}  // namespace quillet
