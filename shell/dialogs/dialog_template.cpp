#include "shell/dialogs/dialog_template.h"

#include <cstddef>

namespace quillet {
namespace {

constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT; DS_SHELLFONT includes it

class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  bool Fits(std::size_t n) const { return at_ <= bytes_.size() && bytes_.size() - at_ >= n; }
  std::size_t At() const { return at_; }
  bool Skip(std::size_t n) {
    if (!Fits(n)) return false;
    at_ += n;
    return true;
  }
  bool Word(std::uint16_t& out) {
    if (!Fits(2)) return false;
    out = static_cast<std::uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
    at_ += 2;
    return true;
  }
  bool Dword(std::uint32_t& out) {
    std::uint16_t low = 0, high = 0;
    if (!Word(low) || !Word(high)) return false;
    out = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
    return true;
  }
  // A menu or class field: nothing (0x0000), an ordinal (0xFFFF and a
  // number), or a string ended by a zero unit.
  bool NameOrOrdinal() {
    std::uint16_t first = 0;
    if (!Word(first)) return false;
    if (first == 0) return true;
    if (first == 0xFFFF) return Skip(2);
    return String();
  }
  // The rest of a string ended by a zero unit.
  bool String() {
    for (std::uint16_t unit = 1; unit != 0;)
      if (!Word(unit)) return false;
    return true;
  }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t at_ = 0;
};

}  // namespace

bool ScaleDialogFont(std::vector<std::uint8_t>& bytes, int numerator, int denominator) {
  if (numerator <= 0 || denominator <= 0) return false;
  Reader in(bytes);
  std::uint16_t version = 0, signature = 0;
  if (!in.Word(version) || !in.Word(signature)) return false;
  std::uint32_t style = 0;
  if (version == 1 && signature == 0xFFFF) {
    // DLGTEMPLATEEX: help id, extended style, style.
    std::uint32_t ignored = 0;
    if (!in.Dword(ignored) || !in.Dword(ignored) || !in.Dword(style)) return false;
  } else {
    // DLGTEMPLATE: the style is the first double word.
    style = static_cast<std::uint32_t>(version) | static_cast<std::uint32_t>(signature) << 16;
    if (!in.Skip(4)) return false;  // the extended style
  }
  // Item count, then x, y, cx, cy.
  if (!in.Skip(2 + 4 * 2)) return false;
  if (!in.NameOrOrdinal() || !in.NameOrOrdinal() || !in.String()) return false;
  if (!(style & kSetFont)) return false;
  const std::size_t sizeAt = in.At();
  std::uint16_t points = 0;
  if (!in.Word(points)) return false;
  const long long scaled =
      (static_cast<long long>(points) * numerator + denominator / 2) / static_cast<long long>(denominator);
  const auto result = static_cast<std::uint16_t>(scaled < 1 ? 1 : scaled > 0x7FFF ? 0x7FFF : scaled);
  bytes[sizeAt] = static_cast<std::uint8_t>(result & 0xFF);
  bytes[sizeAt + 1] = static_cast<std::uint8_t>(result >> 8);
  return true;
}

}  // namespace quillet
