// The font of a dialog template, found behind the variable-length fields
// that come before it and scaled in place.
#include "shell/dialogs/dialog_template.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Word(Bytes& b, std::uint16_t w) {
  b.push_back(static_cast<std::uint8_t>(w & 0xFF));
  b.push_back(static_cast<std::uint8_t>(w >> 8));
}
void Dword(Bytes& b, std::uint32_t d) {
  Word(b, static_cast<std::uint16_t>(d & 0xFFFF));
  Word(b, static_cast<std::uint16_t>(d >> 16));
}
void Text(Bytes& b, const std::u16string& s) {
  for (char16_t c : s) Word(b, c);
  Word(b, 0);
}
std::uint16_t WordAt(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }

constexpr std::uint32_t kShellFont = 0x40 | 0x08;  // DS_SETFONT | DS_FIXEDSYS: DS_SHELLFONT

// An extended template with a class name and a title; returns where the
// point size is.
std::size_t Extended(Bytes& b, std::uint32_t style, std::uint16_t points) {
  Word(b, 1);
  Word(b, 0xFFFF);
  Dword(b, 0);  // help id
  Dword(b, 0);  // extended style
  Dword(b, style);
  Word(b, 3);  // items
  for (int i = 0; i < 4; ++i) Word(b, 10);
  Word(b, 0);  // no menu
  Text(b, u"MyClass");
  Text(b, u"设置");
  const std::size_t at = b.size();
  if (style & 0x40) {
    Word(b, points);
    Word(b, 400);
    b.push_back(0);  // italic
    b.push_back(1);  // charset
    Text(b, u"MS Shell Dlg");
  }
  return at;
}

TEST(DialogTemplate, TheFontOfEitherFormIsScaledAndRounded) {
  Bytes extended;
  const std::size_t at = Extended(extended, kShellFont | 0x80000000u, 9);
  const Bytes before = extended;
  ASSERT_TRUE(ScaleDialogFont(extended, 144, 96));
  EXPECT_EQ(WordAt(extended, at), 14);  // 13.5
  extended[at] = before[at];
  extended[at + 1] = before[at + 1];
  EXPECT_EQ(extended, before) << "only the point size may change";
  ASSERT_TRUE(ScaleDialogFont(extended, 96, 144));
  EXPECT_EQ(WordAt(extended, at), 6);  // 9 back at 96, and never below one point
  Bytes tiny;
  const std::size_t tinyAt = Extended(tiny, kShellFont, 1);
  ASSERT_TRUE(ScaleDialogFont(tiny, 1, 4));
  EXPECT_EQ(WordAt(tiny, tinyAt), 1);

  // The classic form: style first, a menu by ordinal, the class by ordinal.
  Bytes classic;
  Dword(classic, 0x40 | 0x80000000u);
  Dword(classic, 0);
  Word(classic, 0);
  for (int i = 0; i < 4; ++i) Word(classic, 5);
  Word(classic, 0xFFFF);
  Word(classic, 120);
  Word(classic, 0xFFFF);
  Word(classic, 0x0082);
  Text(classic, u"");
  const std::size_t classicAt = classic.size();
  Word(classic, 8);
  Text(classic, u"Tahoma");
  ASSERT_TRUE(ScaleDialogFont(classic, 192, 96));
  EXPECT_EQ(WordAt(classic, classicAt), 16);
}

TEST(DialogTemplate, NoFontOrACutTemplateIsLeftAlone) {
  Bytes noFont;
  Extended(noFont, 0x80000000u, 0);
  const Bytes before = noFont;
  EXPECT_FALSE(ScaleDialogFont(noFont, 144, 96));
  EXPECT_EQ(noFont, before);

  Bytes whole;
  const std::size_t at = Extended(whole, kShellFont, 9);
  // Cut anywhere before the point size's second byte: refused, untouched.
  for (std::size_t n = 0; n <= at + 1; ++n) {
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    const Bytes copy = cut;
    EXPECT_FALSE(ScaleDialogFont(cut, 144, 96)) << n;
    EXPECT_EQ(cut, copy) << n;
  }
  Bytes title;  // a title that never ends
  Extended(title, kShellFont, 9);
  title.resize(title.size() - 40);
  for (std::size_t i = 44; i < title.size(); ++i) title[i] = 'x';
  EXPECT_FALSE(ScaleDialogFont(title, 144, 96));
  EXPECT_FALSE(ScaleDialogFont(whole, 0, 96));
}

}  // namespace
}  // namespace quillet
