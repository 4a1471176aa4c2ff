#include "document/document.h"

#include "base/messages.h"

namespace quillet {

const char16_t* EncodingName(int encoding) {
  static const char16_t* const kNames[] = {u"ANSI", u"Unicode", u"Unicode, Big Endian", u"UTF-8"};
  return kNames[static_cast<unsigned>(encoding) % 4];
}

const char16_t* LineEndName(int lineEnd) {
  static const char16_t* const kNames[] = {u"Win", u"UNIX", u"Mac"};
  return kNames[static_cast<unsigned>(lineEnd) % 3];
}

DocumentState& Doc() {
  static DocumentState doc;
  return doc;
}

void SetEncoding(DocumentState& doc, int encoding) { doc.encoding = static_cast<int>(static_cast<unsigned>(encoding) % 4); }

void SetLineEnd(DocumentState& doc, int lineEnd, bool useCrLf) {
  doc.lineEnd = useCrLf ? static_cast<int>(static_cast<unsigned>(lineEnd) % 3) : kLineEndWin;
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
