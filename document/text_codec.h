// The byte side of text files: finding the encoding and line-end style of a
// file's bytes, turning them into the edit control's UTF-16 text with CR LF
// line ends, and turning that text back into the bytes of a given encoding
// and style. Nothing here touches a file or a window, so every rule can be
// tested on its own; doc/text_file_win.cpp does the reading and writing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/memory.h"
#include "base/messages.h"
#include "document/document.h"

namespace quillet {

// What loading needs from the settings.
struct LoadOptions {
  TextEncoding defaultEncoding = kEncodingAnsi;  // Encode
  LineEndStyle defaultLineEnd = kLineEndWin;     // CRLF
  bool useCrLf = true;                  // UseCRLF: detect and convert UNIX and Mac files
  bool forceDefaultEncoding = false;    // FLDE!: no byte-order-mark detection
  // Reading a file again in an encoding the user chose: no detection, and
  // only that encoding's own mark is skipped.
  std::optional<TextEncoding> readAs = std::nullopt;
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

// What bytes are as UTF-8.
enum class Utf8Form {
  kAscii,  // no byte of 0x80 or above (nothing tells UTF-8 from ANSI)
  kValid,  // valid UTF-8 with at least one whole character beyond ASCII
  // Not UTF-8, or nothing beyond ASCII but a character cut off by the end,
  // which is too little to tell UTF-8 from ANSI.
  kInvalid,
};

// Strict UTF-8: no overlong form, no surrogate, nothing beyond U+10FFFF, no
// sequence cut short. With cutAtEndAllowed a sequence cut short by the end
// of the bytes is no fault: a file cut off in the middle of a character is
// still a UTF-8 file. Looks at the bytes several at a time.
Utf8Form CheckUtf8(std::string_view bytes, bool cutAtEndAllowed = true);

// The encoding the bytes announce and how many mark bytes to skip. FLDE!
// and an empty file keep the default, and so does a broken UTF-8 mark (EF
// BB not followed by BF). Without a mark: valid UTF-8 is UTF-8 without a
// mark, anything else not UTF-8 is ANSI, and plain ASCII takes the default
// when that writes the same bytes back (ANSI, or UTF-8 written without the
// mark the file did not have), else ANSI.
TextEncoding DetectEncoding(std::string_view bytes, TextEncoding defaultEncoding, bool forceDefault, std::size_t* skip);

// The length of the encoding's own mark at the start of bytes, or 0.
std::size_t MarkLength(std::string_view bytes, TextEncoding encoding);

// The whole load path after the read: detection, byte order, the binary
// check, decoding and line ends. Consumes bytes (its buffer is reused or
// freed as soon as the text exists). Returns null or "内存不足！".
Failure DecodeFileBytes(LargeBytes&& bytes, const LoadOptions& options, DecodedText* out);

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
Failure EncodeForSave(LargeText&& text, TextEncoding encoding, LineEndStyle lineEnd, EncodedText* out);

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
