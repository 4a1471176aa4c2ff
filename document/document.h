// The one document: its identity, modified mark, encoding and line ends. The
// text itself lives only in the edit control.
#pragma once

#include <string>

namespace quillet {

// UTF-8 without a mark is a code of its own, so that a file that came
// without one is written back without one.
enum TextEncoding : int {
  kEncodingAnsi = 0,
  kEncodingUtf16Le = 1,
  kEncodingUtf16Be = 2,
  kEncodingUtf8 = 3,
  kEncodingUtf8NoMark = 4,
};
inline constexpr int kEncodingCount = 5;
enum LineEndStyle : int { kLineEndWin = 0, kLineEndUnix = 1, kLineEndMac = 2 };

// The settings store the encoding and style as plain numbers, and the "next"
// commands step them by one; any such code comes into range here, so that
// stepping cycles through all five encodings and all three styles.
constexpr TextEncoding EncodingFromCode(int code) {
  return static_cast<TextEncoding>((code % kEncodingCount + kEncodingCount) % kEncodingCount);
}
// Both UTF-8 codes read and write the same text; they differ in the mark.
constexpr bool IsUtf8(TextEncoding encoding) { return encoding == kEncodingUtf8 || encoding == kEncodingUtf8NoMark; }
constexpr LineEndStyle LineEndFromCode(int code) { return static_cast<LineEndStyle>(static_cast<unsigned>(code) % 3); }

const char16_t* EncodingName(TextEncoding encoding);  // "ANSI", "Unicode", ...
const char16_t* LineEndName(LineEndStyle lineEnd);    // "Win", "UNIX", "Mac"

struct DocumentState {
  std::u16string fullPath;      // empty while untitled
  std::u16string title;         // file title of fullPath
  std::u16string previousPath;  // full path at the last identity change
  std::u16string pathToOpen;    // what the next Open or Insert works on
  std::u16string tempCopyPath;  // the periodic temporary copy, if any
  bool modified = false;
  TextEncoding encoding = kEncodingAnsi;
  LineEndStyle lineEnd = kLineEndWin;
};

// Take a code (stored, or the current one plus one) and keep it in range, so
// stepping to the next one cycles: encodings through all five; line-end
// styles through all three while UseCRLF is on, and always "Win" while it is
// off.
void SetEncoding(DocumentState& doc, int code);
void SetLineEnd(DocumentState& doc, int code, bool useCrLf);

// "%s%c - %s": the name (full path or title, "未命名" when empty), "*" when
// modified or a space, and the program's name.
std::u16string WindowTitle(const DocumentState& doc, bool showFullPath);

}  // namespace quillet
