#include "base/system_text.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(SystemText, ClassesAndCase) {
  EXPECT_TRUE(IsSpaceChar(u' '));
  EXPECT_TRUE(IsSpaceChar(u'\t'));
  EXPECT_TRUE(IsSpaceChar(u'\r'));
  EXPECT_TRUE(IsSpaceChar(u'\u3000'));  // ideographic space
  EXPECT_FALSE(IsSpaceChar(u'x'));
  EXPECT_TRUE(IsDigitChar(u'7'));
  EXPECT_EQ(DigitValueOf(u'7'), 7);
  EXPECT_EQ(DigitValueOf(u'x'), -1);
  EXPECT_TRUE(IsAlphaChar(u'中'));
  EXPECT_TRUE(CharTypeOf(u'A') & kCharUpper);
  EXPECT_TRUE(CharTypeOf(u'é') & kCharLower);
  EXPECT_EQ(UpperOf(u'a'), u'A');
  EXPECT_EQ(UpperOf(u'é'), u'É');
  EXPECT_EQ(LowerOf(u'Ж'), u'ж');
  EXPECT_EQ(UpperOf(u'中'), u'中');
  EXPECT_EQ(UpperOf(0), 0);
  // Surrogate halves map to themselves so pairs survive case tools.
  EXPECT_EQ(UpperOf(0xD83D), 0xD83D);
  EXPECT_EQ(LowerOf(0xDE00), 0xDE00);
}

TEST(SystemText, Utf8RoundTripAndRepair) {
  const std::u16string text = u"aé中\U0001F600\r\n";
  const std::string bytes = EncodeText(kCodePageUtf8, text);
  EXPECT_EQ(bytes, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n");
  EXPECT_EQ(DecodeBytes(kCodePageUtf8, bytes), text);
  EXPECT_EQ(DecodeBytes(kCodePageUtf8, ""), u"");
  // Broken input never reads past the end and yields replacement characters.
  const std::u16string repaired = DecodeBytes(kCodePageUtf8, std::string("a\xE4\xB8", 3));
  ASSERT_FALSE(repaired.empty());
  EXPECT_EQ(repaired[0], u'a');
  EXPECT_EQ(repaired.back(), u'\uFFFD');
}

TEST(SystemText, AnsiReportsLoss) {
  bool lossy = true;
  EXPECT_EQ(EncodeText(kCodePageAnsi, u"abc", &lossy), "abc");
  EXPECT_FALSE(lossy);
  EncodeText(kCodePageAnsi, u"a\u0E01b", &lossy);  // Thai has no place in 936 or Latin-1
  EXPECT_TRUE(lossy);
#ifdef _WIN32
  // Code page 936, as our users have it.
  EXPECT_EQ(EncodeText(kCodePageAnsi, u"中", &lossy), "\xD6\xD0");
  EXPECT_FALSE(lossy);
  EXPECT_EQ(DecodeBytes(kCodePageAnsi, "\xD6\xD0"), u"中");
#endif
}

}  // namespace
}  // namespace quillet
