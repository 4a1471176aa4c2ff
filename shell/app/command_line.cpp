#include "shell/app/command_line.h"

#include "base/system_text.h"

namespace quillet {
namespace {

class Reader {
 public:
  explicit Reader(std::u16string_view line) : line_(line) {}

  bool AtEnd() const { return pos_ >= line_.size(); }
  char16_t Peek() const { return line_[pos_]; }
  char16_t Take() { return line_[pos_++]; }
  std::u16string_view Rest() const { return line_.substr(pos_); }

  void SkipSpace() {
    while (!AtEnd() && IsSpaceChar(Peek())) ++pos_;
  }

  std::int32_t Number() {
    SkipSpace();
    std::uint32_t value = 0;
    while (!AtEnd() && IsDigitChar(Peek()) && DigitValueOf(Peek()) >= 0) {
      value = value * 10u + static_cast<std::uint32_t>(DigitValueOf(Take()));
    }
    return static_cast<std::int32_t>(value);
  }

 private:
  std::u16string_view line_;
  std::size_t pos_ = 0;
};

}  // namespace

StartupOptions ParseCommandLine(std::u16string_view line) {
  StartupOptions options;
  Reader in(line);
  for (;;) {
    in.SkipSpace();
    if (in.AtEnd()) break;
    if (in.Peek() != u'/') {
      std::u16string_view rest = in.Rest();
      options.pathToOpen.assign(rest.substr(0, kMaxPath));
      break;
    }
    in.Take();
    if (in.AtEnd()) break;  // a lone "/" ends the line without a name
    switch (in.Take()) {
      case u'l':
        options.lineNumber = in.Number();
        break;
      case u'c':
        options.column = in.Number();
        break;
      case u's':
        options.selFrom = in.Number();
        in.SkipSpace();
        if (!in.AtEnd() && in.Peek() == u',') {
          in.Take();
          options.selTo = in.Number();
        }
        break;
      case u'a':
        options.selFrom = 1;
        options.selTo = 0;
        break;
      case u'd':
        options.startCommand = in.Number();
        break;
      case u'p':
        options.printAndExit = 1;
        break;
      case u'r':
        options.recoverSnapshot = 1;
        break;
      case u'n':
        if (in.AtEnd()) return options;  // "/n" at the very end: no name follows
        switch (in.Take()) {
          case u'l':
            options.noLoadSettings = 1;
            break;
          case u's':
            options.noSaveSettings = 1;
            break;
          default:
            break;
        }
        break;
      default:
        break;  // unknown options are ignored, both characters consumed
    }
  }
  return options;
}

}  // namespace quillet
