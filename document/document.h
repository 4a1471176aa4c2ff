// The one document: its identity, modified mark, encoding and line ends. The
// text itself lives only in the edit control.
#pragma once

#include <string>

namespace quillet {

enum TextEncoding : int { kEncodingAnsi = 0, kEncodingUtf16Le = 1, kEncodingUtf16Be = 2, kEncodingUtf8 = 3 };
enum LineEndStyle : int { kLineEndWin = 0, kLineEndUnix = 1, kLineEndMac = 2 };

const char16_t* EncodingName(int encoding);   // "ANSI", "Unicode", ...
const char16_t* LineEndName(int lineEnd);     // "Win", "UNIX", "Mac"

struct DocumentState {
  std::u16string fullPath;      // empty while untitled
  std::u16string title;         // file title of fullPath
  std::u16string previousPath;  // full path at the last identity change
  std::u16string pathToOpen;    // what the next Open or Insert works on
  std::u16string tempCopyPath;  // the periodic temporary copy, if any
  bool modified = false;
  int encoding = kEncodingAnsi;
  int lineEnd = kLineEndWin;
};

DocumentState& Doc();

// Every assignment keeps the codes in range, so stepping to the next one
// cycles: encodings through all four; line-end styles through all three
// while UseCRLF is on, and always "Win" while it is off.
void SetEncoding(DocumentState& doc, int encoding);
void SetLineEnd(DocumentState& doc, int lineEnd, bool useCrLf);

// "%s%c - %s": the name (full path or title, "未命名" when empty), "*" when
// modified or a space, and the program's name.
std::u16string WindowTitle(const DocumentState& doc, bool showFullPath);

}  // namespace quillet
