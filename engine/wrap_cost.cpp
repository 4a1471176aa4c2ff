#include "engine/wrap_cost.h"

#include "engine/unit_scan.h"

namespace quillet {
namespace {

// Follows the lines across the pieces of a text fed to it in order.
class LineShaper {
 public:
  explicit LineShaper(std::size_t open = 0) : open_(open) {}
  void Feed(std::u16string_view piece) {
    const char16_t* p = piece.data();
    const char16_t* const end = p + piece.size();
    for (;;) {
      const char16_t* lf = FindUnit(p, end, u'\n');
      if (lf == end) {
        open_ += static_cast<std::size_t>(end - p);
        return;
      }
      shape_.Add(open_ + static_cast<std::size_t>(lf - p));
      open_ = 0;
      p = lf + 1;
    }
  }
  LineShape Finish(std::size_t more = 0) {
    shape_.Add(open_ + more);
    open_ = 0;
    return shape_;
  }

 private:
  std::size_t open_;
  LineShape shape_;
};

}  // namespace

LineShape ShapeOf(std::u16string_view text) {
  LineShaper shaper;
  shaper.Feed(text);
  return shaper.Finish();
}

LineShape ShapeOfInsert(std::u16string_view text, std::size_t before, std::size_t after) {
  LineShaper shaper(before);
  shaper.Feed(text);
  return shaper.Finish(after);
}

WrapBlock WrapBlockFor(const LineShape& shape) {
  if (shape.squares <= kWrapBudget) return WrapBlock::kNone;
  return shape.longest >= kWrapLongLine ? WrapBlock::kLongLines : WrapBlock::kLargeFile;
}

}  // namespace quillet
