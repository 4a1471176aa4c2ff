#include "document/document.h"

#include "base/messages.h"

namespace quillet {

const char16_t* EncodingName(TextEncoding encoding) {
  static const char16_t* const kNames[] = {u"ANSI", u"Unicode", u"Unicode, Big Endian", u"UTF-8", u"UTF-8 无签名"};
  return kNames[EncodingFromCode(encoding)];
}

const char16_t* LineEndName(LineEndStyle lineEnd) {
  static const char16_t* const kNames[] = {u"Win", u"UNIX", u"Mac"};
  return kNames[LineEndFromCode(lineEnd)];
}

void SetEncoding(DocumentState& doc, int code) { doc.encoding = EncodingFromCode(code); }

void SetLineEnd(DocumentState& doc, int code, bool useCrLf) {
  doc.lineEnd = useCrLf ? LineEndFromCode(code) : kLineEndWin;
}

std::u16string WindowTitle(const DocumentState& doc, bool showFullPath) {
  std::u16string name = showFullPath ? doc.fullPath : doc.title;
  if (name.empty()) name = kUntitled;
  std::u16string title = std::move(name);
  title += doc.modified ? u'*' : u' ';
  title += u" - ";
  title += kAppName;
  return title;
}

}  // namespace quillet
