#include "shell/app/command_line.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(CommandLine, EmptyLineOpensNothing) {
  const StartupOptions o = ParseCommandLine(u"");
  EXPECT_TRUE(o.pathToOpen.empty());
  EXPECT_EQ(o.lineNumber, 0);
  EXPECT_EQ(ParseCommandLine(u"   \t ").pathToOpen, u"");
}

TEST(CommandLine, LineColumnAndName) {
  StartupOptions o = ParseCommandLine(u"/l 5 /c 3 a.txt");
  EXPECT_EQ(o.lineNumber, 5);
  EXPECT_EQ(o.column, 3);
  EXPECT_EQ(o.pathToOpen, u"a.txt");

  o = ParseCommandLine(u"/l5/c3 a.txt");  // no spaces needed
  EXPECT_EQ(o.lineNumber, 5);
  EXPECT_EQ(o.column, 3);
  EXPECT_EQ(o.pathToOpen, u"a.txt");
}

TEST(CommandLine, Selections) {
  StartupOptions o = ParseCommandLine(u"/s 3,7 a.txt");
  EXPECT_EQ(o.selFrom, 3);
  EXPECT_EQ(o.selTo, 7);

  o = ParseCommandLine(u"/s 3 , 7 a.txt");  // spaces around the comma
  EXPECT_EQ(o.selFrom, 3);
  EXPECT_EQ(o.selTo, 7);

  o = ParseCommandLine(u"/s 3 a.txt");  // one number: selTo keeps its value
  EXPECT_EQ(o.selFrom, 3);
  EXPECT_EQ(o.selTo, 0);
  EXPECT_EQ(o.pathToOpen, u"a.txt");

  o = ParseCommandLine(u"/s 3,7 /a a.txt");
  EXPECT_EQ(o.selFrom, 1);
  EXPECT_EQ(o.selTo, 0);
}

TEST(CommandLine, OptionAfterNumberOptionReadsNoNumber) {
  const StartupOptions o = ParseCommandLine(u"/l 5 /p a.txt");
  EXPECT_EQ(o.lineNumber, 5);
  EXPECT_EQ(o.printAndExit, 1);
  EXPECT_EQ(o.pathToOpen, u"a.txt");

  const StartupOptions d = ParseCommandLine(u"/d /l 4");
  EXPECT_EQ(d.startCommand, 0);
  EXPECT_EQ(d.lineNumber, 4);
}

TEST(CommandLine, UnknownAndSettingsOptions) {
  StartupOptions o = ParseCommandLine(u"/x a.txt");
  EXPECT_EQ(o.pathToOpen, u"a.txt");
  o = ParseCommandLine(u"/nq a.txt");
  EXPECT_EQ(o.pathToOpen, u"a.txt");
  EXPECT_EQ(o.noLoadSettings, 0);
  EXPECT_EQ(o.noSaveSettings, 0);
  o = ParseCommandLine(u"/nl/ns");
  EXPECT_EQ(o.noLoadSettings, 1);
  EXPECT_EQ(o.noSaveSettings, 1);
  o = ParseCommandLine(u"/L 5 b");  // upper case is no option
  EXPECT_EQ(o.lineNumber, 0);
  EXPECT_EQ(o.pathToOpen, u"5 b");
}

TEST(CommandLine, NameIsTheRestOfTheLineVerbatim) {
  StartupOptions o = ParseCommandLine(u"a.txt /p");
  EXPECT_EQ(o.pathToOpen, u"a.txt /p");
  EXPECT_EQ(o.printAndExit, 0);
  o = ParseCommandLine(u"  \"C:\\My Files\\a b.txt\"  ");
  EXPECT_EQ(o.pathToOpen, u"\"C:\\My Files\\a b.txt\"  ");
}

TEST(CommandLine, TrailingSlashEndsReading) {
  EXPECT_EQ(ParseCommandLine(u"/l 2 /").pathToOpen, u"");
  EXPECT_EQ(ParseCommandLine(u"/").lineNumber, 0);
  const StartupOptions o = ParseCommandLine(u"/c 9 /n");
  EXPECT_EQ(o.column, 9);
  EXPECT_TRUE(o.pathToOpen.empty());
}

TEST(CommandLine, RecoverTakesTheNameAsASnapshotAndKeepsTheOtherSwitches) {
  const StartupOptions o = ParseCommandLine(u"/nl /ns /r \"C:\\Users\\a b\\quillet-12-1.qrec\"");
  EXPECT_EQ(o.recoverSnapshot, 1);
  EXPECT_EQ(o.noLoadSettings, 1);
  EXPECT_EQ(o.noSaveSettings, 1);
  EXPECT_EQ(o.pathToOpen, u"\"C:\\Users\\a b\\quillet-12-1.qrec\"");
  EXPECT_EQ(ParseCommandLine(u"/rx.txt").pathToOpen, u"x.txt");
  EXPECT_EQ(ParseCommandLine(u"r.txt").recoverSnapshot, 0);
}

TEST(CommandLine, AbsurdInputStaysDefined) {
  // Numbers wrap in unsigned 32-bit arithmetic: 4294967297 is 1.
  EXPECT_EQ(ParseCommandLine(u"/l 4294967297").lineNumber, 1);
  EXPECT_EQ(ParseCommandLine(u"/l 4294967295").lineNumber, -1);
  EXPECT_EQ(ParseCommandLine(u"/l 12345678901").lineNumber, 3755744309u - 4294967296LL);

  std::u16string longName(10000, u'x');
  const StartupOptions o = ParseCommandLine(longName);
  EXPECT_EQ(o.pathToOpen.size(), kMaxPath);

  std::u16string manyOptions;
  for (int i = 0; i < 2000; ++i) manyOptions += u"/s 1,";
  EXPECT_EQ(ParseCommandLine(manyOptions).selFrom, 1);
}

}  // namespace
}  // namespace quillet
