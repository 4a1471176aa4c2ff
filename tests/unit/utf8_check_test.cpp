// Telling UTF-8 without a mark from ANSI: the validity check on the forms
// at the edges of UTF-8, at every place relative to the words the check
// reads at once and to the cut between its two threads, and beside the
// system's own decoder on random bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "base/system_text.h"
#include "document/document.h"
#include "document/text_codec.h"
#include "engine/in_halves.h"
#include "tests/unit/byte_strings.h"

namespace quillet {
namespace {

// The form alone and after 0 to 33 ASCII bytes, with and without ASCII
// after it: every offset within the sixteen-byte steps, and a form that
// straddles two steps.
void ExpectEverywhere(const std::string& form, Utf8Form expected, bool cutAtEndAllowed = true) {
  for (std::size_t before = 0; before < 34; ++before) {
    const std::string lead(before, 'a');
    EXPECT_EQ(CheckUtf8(lead + form, cutAtEndAllowed), expected) << before << " bytes before";
    if (expected != Utf8Form::kValid || !cutAtEndAllowed) continue;
    EXPECT_EQ(CheckUtf8(lead + form + std::string(20, 'z')), expected) << before << " bytes before, ASCII after";
  }
}

TEST(Utf8Check, FormsAtTheEdgesOfUtf8) {
  // The first and last of each length, and the last before and first after
  // the surrogates.
  for (const std::string& valid :
       {Bytes({0xC2, 0x80}), Bytes({0xDF, 0xBF}), Bytes({0xE0, 0xA0, 0x80}), Bytes({0xED, 0x9F, 0xBF}),
        Bytes({0xEE, 0x80, 0x80}), Bytes({0xEF, 0xBF, 0xBF}), Bytes({0xF0, 0x90, 0x80, 0x80}),
        Bytes({0xF4, 0x8F, 0xBF, 0xBF}), Bytes({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87})}) {
    SCOPED_TRACE(valid);
    ExpectEverywhere(valid, Utf8Form::kValid);
  }
  // Overlong forms of every length (C0 and C1 only lead overlong forms),
  // the surrogates D800 to DFFF, F4 90 and above, bytes that lead nothing,
  // continuation bytes on their own, a lead followed by something else.
  for (const std::string& invalid : {Bytes({0xC0, 0x80}),
                                     Bytes({0xC0, 0xAF}),
                                     Bytes({0xC1, 0xBF}),
                                     Bytes({0xE0, 0x80, 0x80}),
                                     Bytes({0xE0, 0x9F, 0xBF}),
                                     Bytes({0xF0, 0x80, 0x80, 0x80}),
                                     Bytes({0xF0, 0x8F, 0xBF, 0xBF}),
                                     Bytes({0xED, 0xA0, 0x80}),
                                     Bytes({0xED, 0xAF, 0xBF}),
                                     Bytes({0xED, 0xB0, 0x80}),
                                     Bytes({0xED, 0xBF, 0xBF}),
                                     Bytes({0xF4, 0x90, 0x80, 0x80}),
                                     Bytes({0xF7, 0xBF, 0xBF, 0xBF}),
                                     Bytes({0xF5, 0x80, 0x80, 0x80}),
                                     Bytes({0xF8, 0x88, 0x80, 0x80, 0x80}),
                                     Bytes({0xFE}),
                                     Bytes({0xFF}),
                                     Bytes({0x80}),
                                     Bytes({0xBF}),
                                     Bytes({0xE4, 0xB8, 0xAD, 0xAD}),
                                     Bytes({0xC3, 'a'}),
                                     Bytes({0xE4, 0xB8, 'a'}),
                                     Bytes({0xF0, 0x9F, 0x98, 'a'}),
                                     Bytes({0xE4, 0xC3, 0xA9}),
                                     Bytes({0xD6, 0xD0, 0xCE, 0xC4}),
                                     Bytes({'c', 'a', 'f', 0xE9})}) {
    SCOPED_TRACE(invalid);
    ExpectEverywhere(invalid, Utf8Form::kInvalid);
    ExpectEverywhere(invalid + "tail", Utf8Form::kInvalid);
  }
}

TEST(Utf8Check, ASequenceCutShortOnlyAtTheEndOfTheFile) {
  for (const std::string& cut : {Bytes({0xC3}), Bytes({0xE4}), Bytes({0xE4, 0xB8}), Bytes({0xF0, 0x9F}),
                                 Bytes({0xF0, 0x9F, 0x98}), Bytes({0xF4, 0x8F, 0xBF})}) {
    SCOPED_TRACE(cut);
    for (const std::string& whole : {Bytes({0xC3, 0xA9}), Bytes({0xF0, 0x9F, 0x98, 0x80}) + std::string(40, 'x')}) {
      for (std::size_t before = 0; before < 34; ++before) {
        const std::string text = std::string(before, 'a') + whole + std::string(before, 'b') + cut;
        EXPECT_EQ(CheckUtf8(text), Utf8Form::kValid) << before;
        EXPECT_EQ(CheckUtf8(text, false), Utf8Form::kInvalid) << before;
      }
    }
    // A cut character alone does not make ASCII into UTF-8 (Latin-1
    // "caf\xE9" ends with what could start a three-byte sequence).
    ExpectEverywhere(cut, Utf8Form::kInvalid);
    // In the middle it is a fault.
    ExpectEverywhere(cut + "a", Utf8Form::kInvalid);
    ExpectEverywhere(cut + Bytes({0xC3, 0xA9}), Utf8Form::kInvalid);
  }
  // What is cut must have been going somewhere valid.
  for (const std::string& wrong : {Bytes({0xC0}), Bytes({0xE0, 0x80}), Bytes({0xED, 0xA0}), Bytes({0xF0, 0x8F}),
                                   Bytes({0xF4, 0x90}), Bytes({0xF5}), Bytes({0xE4, 'a'})}) {
    SCOPED_TRACE(wrong);
    ExpectEverywhere(wrong, Utf8Form::kInvalid);
  }
}

TEST(Utf8Check, PlainAsciiAndNothingAreAscii) {
  EXPECT_EQ(CheckUtf8(""), Utf8Form::kAscii);
  ExpectEverywhere("plain text\r\n\t~\x7F", Utf8Form::kAscii);
  ExpectEverywhere(std::string("a\0b", 3), Utf8Form::kAscii);
}

// A large file is checked in two halves; whatever stands at the cut, the
// answer is the one for the whole.
TEST(Utf8Check, TheAnswerDoesNotDependOnWhereTheHalvesMeet) {
  const std::string unit = "ab中文\U0001F600é";  // 1, 1, 3, 3, 4 and 2 bytes
  std::string big;
  while (big.size() < 2 * kUnitsForTwoThreads + 64) big += unit;
  ASSERT_EQ(CheckUtf8(big), Utf8Form::kValid);
  EXPECT_EQ(CheckUtf8(std::string(2 * kUnitsForTwoThreads + 7, 'x')), Utf8Form::kAscii);
  const std::size_t middle = big.size() / 2;
  for (std::size_t at = middle - 8; at < middle + 8; ++at) {
    SCOPED_TRACE(at);
    std::string broken = big;
    broken[at] = static_cast<char>(0xFF);
    EXPECT_EQ(CheckUtf8(broken), Utf8Form::kInvalid);
    // A sequence cut at the middle is a fault, not an end of file.
    std::string shortened = big;
    shortened.erase(at, 1);
    const bool removedWholeAscii = static_cast<unsigned char>(big[at]) < 0x80;
    EXPECT_EQ(CheckUtf8(shortened), removedWholeAscii ? Utf8Form::kValid : Utf8Form::kInvalid);
  }
  // Only the end of the whole may cut a sequence.
  EXPECT_EQ(CheckUtf8(big + Bytes({0xF0, 0x9F, 0x98})), Utf8Form::kValid);
  EXPECT_EQ(CheckUtf8(big + Bytes({0xF0, 0x9F, 0x98}), false), Utf8Form::kInvalid);
  // Continuation bytes all the way from the middle on.
  std::string trailing = big.substr(0, middle) + std::string(big.size() - middle, static_cast<char>(0x80));
  EXPECT_EQ(CheckUtf8(trailing), Utf8Form::kInvalid);
}

// Loading decodes UTF-8 on trial once the start of the file passed the
// check; whatever comes later, and wherever a character falls, it ends in
// the encoding detection gives, with the text of that encoding.
TEST(Utf8Check, LoadingDecidesAsDetectionDoesFarIntoTheFile) {
  const std::string ascii((std::size_t{64} << 10) - 1, 'a');
  const std::string text = ascii + "中文";  // the first character across 64 KiB
  struct Case {
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {text, kEncodingUtf8NoMark},
      {text + "\xE4\xB8", kEncodingUtf8NoMark},  // cut at the end: replaced and reported
      {text + "\xFF" + "tail", kEncodingAnsi},
      {ascii + "b" + "\xE4\xB8", kEncodingAnsi},
      {ascii + ascii, kEncodingUtf8NoMark},  // ASCII in a UTF-8 default
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes.substr(ascii.size()));
    std::size_t skip = 0;
    EXPECT_EQ(DetectEncoding(c.bytes, kEncodingUtf8, false, &skip), c.encoding);
    DecodedText loaded;
    ASSERT_EQ(
        DecodeFileBytes(LargeBytes(c.bytes.data(), c.bytes.size()), {.defaultEncoding = kEncodingUtf8}, &loaded).id(),
        std::nullopt);
    EXPECT_EQ(loaded.encoding, c.encoding);
    bool invalid = false;
    const std::u16string expected =
        DecodeBytes(c.encoding == kEncodingAnsi ? kCodePageAnsi : kCodePageUtf8, c.bytes, &invalid);
    EXPECT_EQ(std::u16string_view(loaded.text), expected);
    EXPECT_EQ(loaded.undecodable, invalid);
  }
}

// Random bytes, mostly pieces of UTF-8 and near misses: valid is exactly
// what the system's decoder takes without a replacement; with a cut
// allowed at the end, exactly what some continuation bytes would complete,
// provided a whole character beyond ASCII comes before the cut one.
TEST(Utf8Check, AgreesWithTheSystemDecoder) {
  std::mt19937 rng(2024);
  const std::string pieces[] = {"a",
                                "\r\n",
                                "\xC2\x80",
                                "\xDF\xBF",
                                "\xE4\xB8\xAD",
                                "\xEF\xBF\xBF",
                                "\xF0\x9F\x98\x80",
                                "\xF4\x8F\xBF\xBF",
                                "\x80",
                                "\xBF",
                                "\xC0",
                                "\xC1",
                                "\xC2",
                                "\xE0",
                                "\xE0\x9F",
                                "\xED",
                                "\xED\xA0",
                                "\xED\x9F",
                                "\xF0",
                                "\xF0\x8F",
                                "\xF4",
                                "\xF4\x90",
                                "\xF5",
                                "\xFF",
                                "\xE4",
                                "\xE4\xB8",
                                "0123456789abcdef"};
  auto strictlyValid = [](const std::string& bytes) {
    bool invalid = false;
    DecodeBytes(kCodePageUtf8, bytes, &invalid);
    return !invalid;
  };
  auto completable = [&](const std::string& bytes) {
    for (std::size_t missing = 1; missing <= 3; ++missing)
      for (int next = 0x80; next <= 0xBF; ++next)
        if (strictlyValid(bytes + static_cast<char>(next) + std::string(missing - 1, '\x80'))) return true;
    return false;
  };
  int valid = 0, cut = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    const std::size_t count = rng() % 12;
    for (std::size_t i = 0; i < count; ++i) {
      // Mostly the valid pieces, so that many strings come out valid.
      const std::size_t pick = rng() % 3 ? rng() % 8 : rng() % std::size(pieces);
      bytes += pieces[pick];
    }
    if (rng() % 4 == 0) bytes += static_cast<char>(rng() % 256);
    SCOPED_TRACE(::testing::PrintToString(bytes));
    auto beyondAscii = [](std::string_view s) {
      return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    };
    const bool strict = strictlyValid(bytes);
    const Utf8Form expectedStrict = !beyondAscii(bytes) ? Utf8Form::kAscii
                                    : strict            ? Utf8Form::kValid
                                                        : Utf8Form::kInvalid;
    EXPECT_EQ(CheckUtf8(bytes, false), expectedStrict);
    // The cut character starts at the last lead byte.
    const bool cutValid = !strict && completable(bytes);
    std::size_t lastLead = bytes.size();
    while (lastLead > 0 && static_cast<unsigned char>(bytes[lastLead - 1]) < 0xC0) --lastLead;
    lastLead = lastLead > 0 ? lastLead - 1 : 0;
    const Utf8Form expectedCut =
        cutValid ? (beyondAscii(std::string_view(bytes).substr(0, lastLead)) ? Utf8Form::kValid : Utf8Form::kInvalid)
                 : expectedStrict;
    EXPECT_EQ(CheckUtf8(bytes, true), expectedCut);
    valid += strict;
    cut += cutValid;
  }
  // The rounds did reach both answers and the cut case.
  EXPECT_GT(valid, 300);
  EXPECT_GT(cut, 30);
  EXPECT_LT(valid, 2700);
}

}  // namespace
}  // namespace quillet
