#include "base/messages.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <string_view>

namespace quillet {
namespace {

TEST(Messages, NameIsInsertedLiterallyOrUntitled) {
  EXPECT_EQ(FailureText(Failure(kMsgCannotRead, u"a.txt")), u"无法读取文件 a.txt！");
  EXPECT_EQ(FailureText(Failure(kMsgSaveChanges, u"")), u"保存当前更改到 未命名？");
  // A name holding format characters is not formatted again.
  EXPECT_EQ(FailureText(Failure(kMsgCannotSave, u"100%s %d.txt")), u"无法保存文件 100%s %d.txt！");
  // Second texts travel with their message.
  EXPECT_EQ(FailureText(Failure(kMsgCannotFindCreate, u"b")), u"无法查找文件 b。\n您想要创建一个新的文件？");
}

TEST(Messages, LengthLimitsKeepPairsWhole) {
  const std::u16string longName(5000, u'n');
  EXPECT_EQ(FailureText(Failure(kMsgCannotRead, longName)).size(), kNameMessageLimit);

  // A surrogate pair straddling the limit is dropped whole.
  std::u16string name(kNameMessageLimit - 8, u'n');  // "无法读取文件 " is 7 units
  name += u"\U0001F600";
  const std::u16string out = FailureText(Failure(kMsgCannotRead, name));
  ASSERT_EQ(out.size(), kNameMessageLimit - 1);
  EXPECT_EQ(out.back(), u'n');
}

TEST(Messages, Numbers) {
  EXPECT_EQ(FailureText(Failure(kMsgClipTruncated, 3)), u"您放置太多文本到 3. 剪贴板。它已经被截短。");
  EXPECT_EQ(FailureText(Failure(kMsgCurrentLength, -2147483648LL)), u"当前长度: -2147483648。");
  EXPECT_EQ(FailureText(Failure(kMsgCurrentLength, 0)), u"当前长度: 0。");
}

TEST(Messages, ChildReport) {
  const auto report = [](long long code, std::u16string_view errors, std::u16string_view output) {
    return FailureText(Failure(kMsgFilterFailed, code, errors, output));
  };
  EXPECT_EQ(report(1, u"oops", u"partial"), u"过滤器返回错误: 1\n\noops\npartial");
  EXPECT_EQ(report(-5, u"", u""), u"过滤器返回错误: -5\n\n\n");
  // Each output is cut to 1023 characters and the whole to 1023 as well,
  // so standard output is what gives way to a long error output.
  const std::u16string longErrors(2000, u'e');
  const std::u16string text = report(2, longErrors, u"out");
  EXPECT_EQ(text.size(), kFilterReportLimit);
  EXPECT_EQ(text.find(u"out"), std::u16string::npos);
  EXPECT_EQ(text.substr(0, 12), u"过滤器返回错误: 2\n\n");
}

// Every message has a text, and its argument kind fills exactly the
// placeholders the text has: a "%s" message formatted as a number would
// show the user "%s".
TEST(Messages, EveryMessageHasATextAndTheArgumentItsPlaceholdersTake) {
  const auto count = [](std::u16string_view text, std::u16string_view token) {
    int n = 0;
    for (std::size_t at = text.find(token); at != std::u16string_view::npos; at = text.find(token, at + 2)) ++n;
    return n;
  };
  for (std::size_t i = 0; i < std::size(kMessageRows); ++i) {
    const auto id = static_cast<MessageId>(i);
    const std::u16string_view text = MessageText(id);
    SCOPED_TRACE(i);
    EXPECT_FALSE(text.empty());
    int names = 0, numbers = 0;
    switch (ArgumentOf(id)) {
      case MessageArgument::kNone:
        break;
      case MessageArgument::kName:
        names = 1;
        break;
      case MessageArgument::kNumber:
        numbers = 1;
        break;
      case MessageArgument::kExitCodeAndTwoTexts:
        names = 2;
        numbers = 1;
        break;
    }
    EXPECT_EQ(count(text, u"%s"), names);
    EXPECT_EQ(count(text, u"%d"), numbers);
  }
}

}  // namespace
}  // namespace quillet
