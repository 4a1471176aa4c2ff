#include "engine/filter_command.h"

#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"

namespace quillet {
namespace {

FilterParameters Params(std::initializer_list<std::u16string> values) {
  FilterParameters p;
  std::size_t i = 0;
  for (const auto& v : values) p[i++] = v;
  return p;
}

TEST(FilterCommand, PlaceholdersAreFoundExactly) {
  EXPECT_TRUE(HasParameter(u"grep %1 -n", 1));
  EXPECT_FALSE(HasParameter(u"grep %1 -n", 2));
  EXPECT_TRUE(HasParameter(u"x%9", 9));
  // "%0", a lone "%" and digits out of range are no parameters.
  EXPECT_FALSE(HasAnyParameter(u"x %0 %"));
  EXPECT_FALSE(HasParameter(u"%0", 0));
  EXPECT_FALSE(HasParameter(u"%1", 10));
  EXPECT_TRUE(HasAnyParameter(u"a %5"));
  // "%F" counts only in upper case and is no parameter.
  EXPECT_TRUE(HasFilePlaceholder(u"wc %F"));
  EXPECT_FALSE(HasFilePlaceholder(u"wc %f"));
  EXPECT_FALSE(HasAnyParameter(u"wc %F"));
}

TEST(FilterCommand, ParametersAreReplacedInOrder) {
  EXPECT_EQ(ExpandParameters(u"cut -d%1 -f%2 %1", Params({u",", u"3"})).command, u"cut -d, -f3 ,");
  // Untouched when there is nothing to replace; empty parameters vanish.
  EXPECT_EQ(ExpandParameters(u"sort /r", {}).command, u"sort /r");
  EXPECT_EQ(ExpandParameters(u"a%3b", {}).command, u"ab");
  // A "%2" typed into parameter 1 is replaced by parameter 2 in its turn,
  // but a "%1" typed into parameter 2 stays: parameter 1 is done by then.
  EXPECT_EQ(ExpandParameters(u"run %1", Params({u"x%2", u"y"})).command, u"run xy");
  EXPECT_EQ(ExpandParameters(u"run %2", Params({u"x", u"%1"})).command, u"run %1");
  // A parameter naming itself is replaced once, not forever.
  EXPECT_EQ(ExpandParameters(u"%1%1", Params({u"%1"})).command, u"%1%1");
  // Placeholders at the very end, and percent signs that are none.
  EXPECT_EQ(ExpandParameters(u"p %0 % %9", Params({u"", u"", u"", u"", u"", u"", u"", u"", u"nine"})).command,
            u"p %0 % nine");
  EXPECT_EQ(ExpandParameters(u"p %", {}).command, u"p %");
}

TEST(FilterCommand, ParameterExpansionLimits) {
  // Only the first 511 characters of a parameter take part.
  const std::u16string long_value(600, u'a');
  const ExpandedCommand cut = ExpandParameters(u"%1", Params({long_value}));
  EXPECT_EQ(cut.command, std::u16string(kFilterParameterLimit, u'a'));
  EXPECT_EQ(cut.message.id(), std::nullopt);

  // Exactly 5622 characters run; one more does not.
  const std::u16string base(kFilterExpandedLimit - 511, u'c');
  const ExpandedCommand fits = ExpandParameters(base + u"%1", Params({std::u16string(513, u'p')}));
  EXPECT_EQ(fits.command.size(), kFilterExpandedLimit);
  EXPECT_EQ(fits.message.id(), std::nullopt);
  const ExpandedCommand over = ExpandParameters(base + u"x%1", Params({std::u16string(513, u'p')}));
  EXPECT_EQ(over.message.id(), kMsgNotExecutable);
  EXPECT_TRUE(over.command.empty());

  // The limit holds after every step, not only at the end: parameter 1
  // grows the command to 5640 before an empty parameter 2 would bring it
  // back to 5616.
  std::u16string many;
  for (int i = 0; i < 12; ++i) many += u"%1";
  const ExpandedCommand step = ExpandParameters(many, Params({std::u16string(468, u'q') + u"%2"}));
  EXPECT_EQ(step.message.id(), kMsgNotExecutable);
}

TEST(FilterCommand, FilePlaceholderAndItsLimit) {
  EXPECT_EQ(ExpandFilePlaceholder(u"wc %F", u"C:\\a b\\x.txt").command, u"wc C:\\a b\\x.txt");
  EXPECT_EQ(ExpandFilePlaceholder(u"diff %F %F.~", u"f").command, u"diff f f.~");
  EXPECT_EQ(ExpandFilePlaceholder(u"no file here", u"f").command, u"no file here");
  EXPECT_EQ(ExpandFilePlaceholder(u"end%F", u"").command, u"end");

  const std::u16string path(260, u'p');
  const std::u16string prefix(kFilterFileExpandedLimit - 2 * 260, u'c');
  const ExpandedCommand fits = ExpandFilePlaceholder(prefix + u"%F%F", path);
  EXPECT_EQ(fits.message.id(), std::nullopt);
  EXPECT_EQ(fits.command.size(), kFilterFileExpandedLimit);
  const ExpandedCommand over = ExpandFilePlaceholder(prefix + u"%F%F!", path);
  EXPECT_EQ(over.message.id(), kMsgNotExecutable);
  EXPECT_TRUE(over.command.empty());
}

}  // namespace
}  // namespace quillet
