// Any bytes are a possible file. The first byte picks the load options; the
// rest is the file. Whatever the bytes, the edit control's text has no zero
// unit and, unless the loader reported replaced characters, saving it in
// the detected encoding and style gives the file back byte for byte. The
// UTF-8 check agrees with the system's decoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/system_text.h"
#include "document/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  quillet::LoadOptions options;
  // 5 to 7 are out of range on purpose.
  options.defaultEncoding = static_cast<quillet::TextEncoding>((data[0] & 3) | ((data[0] & 0x40) >> 4));
  options.defaultLineEnd = static_cast<quillet::LineEndStyle>((data[0] >> 2) & 3);  // 3 is out of range on purpose
  options.useCrLf = (data[0] & 0x10) != 0;
  options.forceDefaultEncoding = (data[0] & 0x20) != 0;
  const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);

  quillet::DecodedText loaded;
  if (quillet::DecodeFileBytes(quillet::LargeBytes(file.data(), file.size()), options, &loaded)) __builtin_trap();
  if (loaded.text.find(u'\0') != quillet::LargeText::npos) __builtin_trap();
  if (loaded.encoding < 0 || loaded.encoding >= quillet::kEncodingCount || loaded.lineEnd < 0 || loaded.lineEnd > 2) __builtin_trap();
  if (!options.useCrLf && loaded.lineEnd != quillet::kLineEndWin) __builtin_trap();
  // Loading decides the encoding as detection alone does.
  std::size_t skip = 0;
  if (quillet::DetectEncoding(file, options.defaultEncoding, options.forceDefaultEncoding, &skip) != loaded.encoding)
    __builtin_trap();
  // The check says valid exactly when the system's decoder takes the bytes
  // without a replacement.
  bool invalid = false;
  quillet::DecodeBytes(quillet::kCodePageUtf8, file, &invalid);
  if ((quillet::CheckUtf8(file, false) == quillet::Utf8Form::kInvalid) != invalid) __builtin_trap();
  if (loaded.CharactersReplaced()) return 0;

  quillet::EncodedText saved;
  if (quillet::EncodeForSave(std::move(loaded.text), loaded.encoding, loaded.lineEnd, &saved)) {
    __builtin_trap();
  }
  const std::string mark = skip ? std::string(quillet::ByteOrderMark(loaded.encoding)) : std::string();
  if (mark + std::string(saved.View()) != file) __builtin_trap();
  return 0;
}
