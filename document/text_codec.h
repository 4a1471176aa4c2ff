// The byte side of text files: finding the encoding and line-end style of a
// file's bytes, turning them into the edit control's UTF-16 text with CR LF
// line ends, and turning that text back into the bytes of a given encoding
// and style. Nothing here touches a file or a window, so every rule can be
// tested on its own; doc/text_file_win.cpp does the reading and writing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/memory.h"
#include "document/document.h"

namespace quillet {

// What loading needs from the settings.
struct LoadOptions {
  TextEncoding defaultEncoding = kEncodingAnsi;  // Encode
  LineEndStyle defaultLineEnd = kLineEndWin;     // CRLF
  bool useCrLf = true;                  // UseCRLF: detect and convert UNIX and Mac files
  bool forceDefaultEncoding = false;    // FLDE!: no byte-order-mark detection
};

struct DecodedText {
  LargeText text;  // CR LF line ends unless the file mixed its styles
  TextEncoding encoding = kEncodingAnsi;
  LineEndStyle lineEnd = kLineEndWin;
  // Zero bytes (or zero units) were turned into spaces; such a file keeps the
  // default line-end style and is not converted.
  bool binary = false;
  // Bytes without a character in the encoding were replaced, so saving the
  // text would not give the file back.
  bool undecodable = false;

  // Either way the text is not what the file holds.
  bool CharactersReplaced() const { return binary || undecodable; }
};

// The encoding the bytes announce and how many mark bytes to skip. Without
// a mark (or with FLDE!, or for no bytes at all) the answer is ANSI, except
// that FLDE!, an empty file and a broken UTF-8 mark (EF BB not followed by
// BF) keep the default.
TextEncoding DetectEncoding(std::string_view bytes, TextEncoding defaultEncoding, bool forceDefault, std::size_t* skip);

// The whole load path after the read: detection, byte order, the binary
// check, decoding and line ends. Consumes bytes (its buffer is reused or
// freed as soon as the text exists). Returns null or "内存不足！".
const char16_t* DecodeFileBytes(LargeBytes&& bytes, const LoadOptions& options, DecodedText* out);

// Units of the edit control's text that are line feeds and carriage returns.
struct LineEndCounts {
  std::size_t cr = 0;
  std::size_t lf = 0;
};
LineEndCounts CountLineEnds(std::u16string_view text);

// The byte-order mark written before a file in that encoding (none for ANSI).
std::string_view ByteOrderMark(TextEncoding encoding);

// The bytes to write for the edit control's text, without the mark.
struct EncodedText {
  LargeBytes bytes;  // ANSI and UTF-8
  LargeText units;   // UTF-16, already in the file's byte order
  // ANSI only: a character had no representation and was written as the
  // code page's default character.
  bool lossy = false;

  std::string_view View() const;
};

// Applies the line-end style (UNIX: CR LF to LF; Mac: CR LF to CR; lone CRs
// and LFs stay) and the encoding. Takes the text over to reuse its buffer.
// Returns null, "内存不足！" or, when the system could not convert the text,
// "无法保存文件 %s！".
const char16_t* EncodeForSave(LargeText&& text, TextEncoding encoding, LineEndStyle lineEnd,
                              EncodedText* out);

// ".LOG" as the first four characters, exactly; more may follow.
bool StartsWithLogMark(std::u16string_view text);

// The name the Save dialog suggests for an untitled document from its first
// line: control characters (but tab) and \ / : * ? " < > | become "-", a tab
// becomes a space; at most 259 characters; an empty line gives "未命名".
std::u16string SuggestedFileName(std::u16string_view firstLine);

// A path as a command, a drop or a list hands it over: a leading double
// quote is removed and the path cut at the next one (all of the rest when
// there is none).
std::u16string StripPathQuotes(std::u16string_view path);

// The filter list of the Open and Save dialogs: every "|" of FFilter
// becomes a terminator, and the list ends with two.
std::u16string DialogFilter(std::u16string_view setting);

// The folder the change watcher watches: the path cut at its last backslash.
std::u16string FolderOf(std::u16string_view path);

// The backup copy kept before overwriting, and the periodic temporary copy.
inline std::u16string BackupPathFor(std::u16string_view path) { return std::u16string(path) + u".~"; }
inline std::u16string TempCopyPathFor(std::u16string_view path) { return std::u16string(path) + u".$"; }

}  // namespace quillet
