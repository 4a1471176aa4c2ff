// The byte side of text files: detection, decoding, line ends and the bytes
// written back. On the host "ANSI" is Latin-1; the same cases run under Wine
// against code page 936.
#include "document/text_codec.h"

#include <gtest/gtest.h>

#include <string>

#include "base/system_text.h"
#include "document/document.h"
#include "tests/unit/byte_strings.h"

namespace quillet {
namespace {

DecodedText Decode(std::string bytes, LoadOptions options = {}) {
  DecodedText out;
  EXPECT_EQ(DecodeFileBytes(LargeBytes(bytes.data(), bytes.size()), options, &out).id(), std::nullopt);
  return out;
}

std::string Encode(std::u16string_view text, TextEncoding encoding, LineEndStyle lineEnd, bool* lossy = nullptr) {
  EncodedText out;
  EXPECT_EQ(EncodeForSave(LargeText(text.data(), text.size()), encoding, lineEnd, &out).id(), std::nullopt);
  if (lossy) *lossy = out.lossy;
  return std::string(out.View());
}

TEST(TextCodecDetect, MarksThenUtf8ThenAnsi) {
  std::size_t skip = 9;
  EXPECT_EQ(DetectEncoding(Bytes({0xEF, 0xBB, 0xBF, 'a'}), kEncodingAnsi, false, &skip), kEncodingUtf8);
  EXPECT_EQ(skip, 3u);
  EXPECT_EQ(DetectEncoding(Bytes({0xFF, 0xFE}), kEncodingAnsi, false, &skip), kEncodingUtf16Le);
  EXPECT_EQ(skip, 2u);
  EXPECT_EQ(DetectEncoding(Bytes({0xFE, 0xFF, 0, 'a'}), kEncodingAnsi, false, &skip), kEncodingUtf16Be);
  EXPECT_EQ(skip, 2u);
  // Without a mark: what is not UTF-8 is ANSI even when UTF-8 is the
  // default; valid UTF-8 beyond ASCII is UTF-8 without a mark whatever the
  // default.
  EXPECT_EQ(DetectEncoding(Bytes({0xFF}), kEncodingUtf8, false, &skip), kEncodingAnsi);
  EXPECT_EQ(DetectEncoding(Bytes({0xD6, 0xD0, 0xCE, 0xC4}), kEncodingUtf8NoMark, false, &skip), kEncodingAnsi);
  EXPECT_EQ(DetectEncoding(Bytes({'c', 'a', 'f', 0xE9}), kEncodingUtf8, false, &skip), kEncodingAnsi);
  for (int code = 0; code < kEncodingCount; ++code) {
    EXPECT_EQ(DetectEncoding(Bytes({'c', 'a', 'f', 0xC3, 0xA9}), EncodingFromCode(code), false, &skip),
              kEncodingUtf8NoMark);
    EXPECT_EQ(skip, 0u);
  }
  // Plain ASCII takes the default where that writes the file back as it
  // was: no mark added, no UTF-16 made of single bytes.
  EXPECT_EQ(DetectEncoding("abc", kEncodingAnsi, false, &skip), kEncodingAnsi);
  EXPECT_EQ(DetectEncoding("abc", kEncodingUtf8NoMark, false, &skip), kEncodingUtf8NoMark);
  EXPECT_EQ(DetectEncoding("abc", kEncodingUtf8, false, &skip), kEncodingUtf8NoMark);
  EXPECT_EQ(DetectEncoding("abc", kEncodingUtf16Le, false, &skip), kEncodingAnsi);
  EXPECT_EQ(DetectEncoding("abc", kEncodingUtf16Be, false, &skip), kEncodingAnsi);
  // A broken UTF-8 mark, an empty file and FLDE! keep the default and skip nothing.
  EXPECT_EQ(DetectEncoding(Bytes({0xEF, 0xBB, 'A'}), kEncodingUtf16Be, false, &skip), kEncodingUtf16Be);
  EXPECT_EQ(skip, 0u);
  EXPECT_EQ(DetectEncoding(Bytes({0xEF, 0xBB}), kEncodingUtf8, false, &skip), kEncodingUtf8);
  EXPECT_EQ(skip, 0u);
  EXPECT_EQ(DetectEncoding("", kEncodingUtf16Le, false, &skip), kEncodingUtf16Le);
  EXPECT_EQ(DetectEncoding(Bytes({0xFF, 0xFE, 'A', 0}), kEncodingAnsi, true, &skip), kEncodingAnsi);
  EXPECT_EQ(skip, 0u);
  // A stored default out of range still names one of the five.
  EXPECT_EQ(DetectEncoding("", static_cast<TextEncoding>(8), true, &skip), kEncodingUtf8);
  EXPECT_EQ(DetectEncoding("", static_cast<TextEncoding>(-1), true, &skip), kEncodingUtf8NoMark);
}

TEST(TextCodecDecode, Utf16BothByteOrders) {
  DecodedText le = Decode(Bytes({0xFF, 0xFE, 'A', 0, 'B', 0}));
  EXPECT_EQ(le.text, u"AB");
  EXPECT_EQ(le.encoding, kEncodingUtf16Le);
  EXPECT_FALSE(le.CharactersReplaced());

  DecodedText be = Decode(Bytes({0xFE, 0xFF, 0, 'A', 0, '\n', 0, 'B'}));
  EXPECT_EQ(be.text, u"A\r\nB");
  EXPECT_EQ(be.encoding, kEncodingUtf16Be);
  EXPECT_EQ(be.lineEnd, kLineEndUnix);

  DecodedText han = Decode(Bytes({0xFE, 0xFF, 0x4E, 0x2D, 0xD8, 0x3D, 0xDE, 0x00}));
  EXPECT_EQ(han.text, u"中\U0001F600");
}

TEST(TextCodecDecode, MarkSkippingAndForcedDefault) {
  DecodedText utf8 = Decode(Bytes({0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD}));
  EXPECT_EQ(utf8.text, u"中");
  EXPECT_EQ(utf8.encoding, kEncodingUtf8);

  // EF BB 41 in the default encoding from its first byte; as UTF-8 it is
  // not decodable, and the loader says so.
  LoadOptions utf8Default;
  utf8Default.defaultEncoding = kEncodingUtf8;
  DecodedText broken = Decode(Bytes({0xEF, 0xBB, 'A'}), utf8Default);
  EXPECT_EQ(broken.encoding, kEncodingUtf8);
  EXPECT_EQ(broken.text.back(), u'A');
  EXPECT_TRUE(broken.undecodable);

  LoadOptions forced;
  forced.forceDefaultEncoding = true;
  DecodedText mark = Decode(Bytes({0xFF, 0xFE, 'A'}), forced);
  EXPECT_EQ(mark.encoding, kEncodingAnsi);
  EXPECT_EQ(std::u16string_view(mark.text), DecodeBytes(kCodePageAnsi, Bytes({0xFF, 0xFE, 'A'})));  // from the first byte on

  // UTF-8 bytes without the mark are UTF-8 without a mark whatever the
  // default, unless FLDE! holds them to it.
  for (const TextEncoding defaultEncoding : {kEncodingAnsi, kEncodingUtf16Le, kEncodingUtf8}) {
    DecodedText unmarked = Decode(Bytes({0xE4, 0xB8, 0xAD, '\n'}), {.defaultEncoding = defaultEncoding});
    EXPECT_EQ(unmarked.encoding, kEncodingUtf8NoMark);
    EXPECT_EQ(unmarked.text, u"中\r\n");
    EXPECT_EQ(unmarked.lineEnd, kLineEndUnix);
  }
  DecodedText held = Decode(Bytes({0xE4, 0xB8, 0xAD}), {.forceDefaultEncoding = true});
  EXPECT_EQ(held.encoding, kEncodingAnsi);
  EXPECT_NE(held.text, u"中");
  // A default of UTF-8 without a mark reads as UTF-8 from the first byte
  // under FLDE!, a mark included.
  DecodedText heldUtf8 = Decode(Bytes({0xEF, 0xBB, 0xBF, 'a'}),
                                {.defaultEncoding = kEncodingUtf8NoMark, .forceDefaultEncoding = true});
  EXPECT_EQ(heldUtf8.encoding, kEncodingUtf8NoMark);
  EXPECT_EQ(heldUtf8.text, u"\uFEFFa");
}

TEST(TextCodecDecode, LineEndStyles) {
  DecodedText unix = Decode("a\nb\n");
  EXPECT_EQ(unix.text, u"a\r\nb\r\n");
  EXPECT_EQ(unix.lineEnd, kLineEndUnix);

  DecodedText mac = Decode("a\rb");
  EXPECT_EQ(mac.text, u"a\r\nb");
  EXPECT_EQ(mac.lineEnd, kLineEndMac);

  LoadOptions macDefault;
  macDefault.defaultLineEnd = kLineEndMac;
  DecodedText mixed = Decode("a\r\nb\nc", macDefault);
  EXPECT_EQ(mixed.text, u"a\r\nb\nc");  // the lone LF stays
  EXPECT_EQ(mixed.lineEnd, kLineEndWin);

  DecodedText none = Decode("abc", macDefault);
  EXPECT_EQ(none.lineEnd, kLineEndMac);  // the default stays

  LoadOptions off = macDefault;
  off.useCrLf = false;
  DecodedText plain = Decode("a\nb", off);
  EXPECT_EQ(plain.text, u"a\nb");
  EXPECT_EQ(plain.lineEnd, kLineEndWin);
}

TEST(TextCodecDecode, ZerosAndBrokenDataAreReplacedAndReported) {
  LoadOptions options;
  options.defaultLineEnd = kLineEndMac;
  DecodedText ansi = Decode(std::string("a\0b\nc", 5), options);
  EXPECT_EQ(ansi.text, u"a b\nc");  // no line-end conversion for a binary file
  EXPECT_TRUE(ansi.binary);
  EXPECT_EQ(ansi.lineEnd, kLineEndMac);

  DecodedText wide = Decode(Bytes({0xFF, 0xFE, 'A', 0, 0, 0, '\n', 0}));
  EXPECT_EQ(wide.text, u"A \n");
  EXPECT_TRUE(wide.binary);

  // An odd last byte of UTF-16 data is neither read past nor lost.
  DecodedText odd = Decode(Bytes({0xFF, 0xFE, 'A', 0, 'B'}));
  EXPECT_EQ(odd.text, u"AB");
  EXPECT_TRUE(odd.undecodable);
  EXPECT_TRUE(odd.CharactersReplaced());
  DecodedText oddZero = Decode(Bytes({0xFE, 0xFF, 0}));
  EXPECT_EQ(oddZero.text, u" ");
  EXPECT_TRUE(oddZero.binary);

  DecodedText invalid = Decode(Bytes({0xEF, 0xBB, 0xBF, 'A', 0xFF, 'B', '\n'}));
  EXPECT_TRUE(invalid.undecodable);
  EXPECT_FALSE(invalid.binary);
  EXPECT_EQ(invalid.lineEnd, kLineEndUnix);  // still a text file with UNIX lines

  DecodedText empty = Decode("", LoadOptions{kEncodingUtf16Be, kLineEndUnix, true, false});
  EXPECT_EQ(empty.text, u"");
  EXPECT_EQ(empty.encoding, kEncodingUtf16Be);
  EXPECT_EQ(empty.lineEnd, kLineEndUnix);
  EXPECT_FALSE(empty.CharactersReplaced());
}

TEST(TextCodecEncode, LineEndsMarksAndLoss) {
  EXPECT_EQ(Encode(u"x\r\ny", kEncodingAnsi, kLineEndUnix), "x\ny");
  EXPECT_EQ(Encode(u"x\r\ny", kEncodingAnsi, kLineEndMac), "x\ry");
  EXPECT_EQ(Encode(u"x\r\ny\rz\n", kEncodingAnsi, kLineEndWin), "x\r\ny\rz\n");
  EXPECT_EQ(Encode(u"x\ry\n\r\n", kEncodingAnsi, kLineEndUnix), "x\ry\n\n");
  EXPECT_EQ(Encode(u"A\r\n", kEncodingUtf16Be, kLineEndUnix), Bytes({0, 'A', 0, '\n'}));
  EXPECT_EQ(Encode(u"A", kEncodingUtf16Le, kLineEndWin), Bytes({'A', 0}));
  EXPECT_EQ(Encode(u"中", kEncodingUtf8, kLineEndWin), Bytes({0xE4, 0xB8, 0xAD}));
  EXPECT_EQ(Encode(u"", kEncodingUtf16Le, kLineEndMac), "");

  bool lossy = false;
  Encode(u"plain", kEncodingAnsi, kLineEndWin, &lossy);
  EXPECT_FALSE(lossy);
  Encode(u"\U0001F600", kEncodingAnsi, kLineEndWin, &lossy);  // no ANSI code page has it
  EXPECT_TRUE(lossy);

  EXPECT_EQ(ByteOrderMark(kEncodingAnsi), "");
  EXPECT_EQ(ByteOrderMark(kEncodingUtf16Le), Bytes({0xFF, 0xFE}));
  EXPECT_EQ(ByteOrderMark(kEncodingUtf16Be), Bytes({0xFE, 0xFF}));
  EXPECT_EQ(ByteOrderMark(kEncodingUtf8), Bytes({0xEF, 0xBB, 0xBF}));
  EXPECT_EQ(ByteOrderMark(kEncodingUtf8NoMark), "");
  EXPECT_EQ(Encode(u"a\U0001F600z\r\n", kEncodingUtf8NoMark, kLineEndUnix),
            Bytes({'a', 0xF0, 0x9F, 0x98, 0x80, 'z', '\n'}));
}

// Open then save unchanged gives the file back, byte for byte, for every
// encoding and line-end style, with the mark and (through FLDE! and the
// encoding as default) without it.
TEST(TextCodecRoundTrip, EveryEncodingStyleAndMark) {
  // Text every "ANSI" can hold: Latin-1 here, code page 936 under Wine.
  const std::u16string ansiSafe = EncodeText(kCodePageAnsi, u"中文") == "??" ? u"caf\u00e9 ok" : u"中文 ok";
  for (int code = 0; code < kEncodingCount; ++code) {
    const TextEncoding encoding = EncodingFromCode(code);
    const std::u16string sample =
        (encoding == kEncodingAnsi ? ansiSafe : std::u16string(u"中文 \U0001F600 é")) + u"\r\nline two\r\n\r\nend";
    for (int style = 0; style < 3; ++style) {
      const LineEndStyle lineEnd = LineEndFromCode(style);
      for (const bool withMark : {true, false}) {
        SCOPED_TRACE(::testing::Message() << "encoding " << encoding << ", style " << lineEnd << ", mark " << withMark);
        const std::string body = Encode(sample, encoding, lineEnd);
        const std::string file = (withMark ? std::string(ByteOrderMark(encoding)) : std::string()) + body;
        LoadOptions options;
        options.defaultEncoding = encoding;
        options.forceDefaultEncoding = !withMark;
        const DecodedText loaded = Decode(file, options);
        EXPECT_EQ(loaded.encoding, encoding);
        EXPECT_EQ(loaded.lineEnd, lineEnd);
        EXPECT_EQ(std::u16string_view(loaded.text), sample);
        EXPECT_FALSE(loaded.CharactersReplaced());
        const std::string saved = Encode(loaded.text, loaded.encoding, loaded.lineEnd);
        EXPECT_EQ((withMark ? std::string(ByteOrderMark(encoding)) : std::string()) + saved, file);
      }
    }
  }
}

TEST(TextCodecNames, LogMarkSuggestedNameQuotesFilterFolder) {
  EXPECT_TRUE(StartsWithLogMark(u".LOG"));
  EXPECT_TRUE(StartsWithLogMark(u".LOGBOOK\r\n"));
  EXPECT_FALSE(StartsWithLogMark(u".log"));
  EXPECT_FALSE(StartsWithLogMark(u".LO"));
  EXPECT_FALSE(StartsWithLogMark(u" .LOG"));

  EXPECT_EQ(SuggestedFileName(u"a:b?c"), u"a-b-c");
  EXPECT_EQ(SuggestedFileName(u"x\ty\\z/\"*<>|"), u"x y-z------");
  EXPECT_EQ(SuggestedFileName(std::u16string(u"\x01\x08\x0b\x1f\x7f", 5)), u"-----");
  EXPECT_EQ(SuggestedFileName(u""), u"未命名");
  EXPECT_EQ(SuggestedFileName(std::u16string(300, u'n')).size(), 259u);

  EXPECT_EQ(StripPathQuotes(u"\"C:\\a b.txt\""), u"C:\\a b.txt");
  EXPECT_EQ(StripPathQuotes(u"\"C:\\a b.txt\" /p"), u"C:\\a b.txt");
  EXPECT_EQ(StripPathQuotes(u"\"C:\\open"), u"C:\\open");
  EXPECT_EQ(StripPathQuotes(u"\"\"C:\\x"), u"");
  EXPECT_EQ(StripPathQuotes(u"C:\\a \"b\""), u"C:\\a \"b\"");

  static constexpr char16_t kFilter[] = u"文本文件 (*.txt)\0*.txt\0所有文件\0*.*\0";  // and the literal's own
  EXPECT_EQ(DialogFilter(u"文本文件 (*.txt)|*.txt|所有文件|*.*"), std::u16string(kFilter, std::size(kFilter)));

  EXPECT_EQ(FolderOf(u"C:\\docs\\a.txt"), u"C:\\docs");
  EXPECT_EQ(FolderOf(u"C:\\a.txt"), u"C:");
  EXPECT_EQ(FolderOf(u"a.txt"), u"");
  EXPECT_EQ(BackupPathFor(u"C:\\a.txt"), u"C:\\a.txt.~");
  EXPECT_EQ(TempCopyPathFor(u"C:\\a.txt"), u"C:\\a.txt.$");
}

TEST(DocumentState, EncodingAndLineEndCycle) {
  DocumentState doc;
  for (int step = 1; step <= 5; ++step) {
    SetEncoding(doc, doc.encoding + 1);
    EXPECT_EQ(doc.encoding, step % 5);
  }
  SetLineEnd(doc, 2, true);
  SetLineEnd(doc, doc.lineEnd + 1, true);
  EXPECT_EQ(doc.lineEnd, kLineEndWin);
  SetLineEnd(doc, kLineEndMac, false);
  EXPECT_EQ(doc.lineEnd, kLineEndWin);
  SetEncoding(doc, -1);
  EXPECT_EQ(doc.encoding, kEncodingUtf8NoMark);
}

}  // namespace
}  // namespace quillet
