// Time and date stamps typed over the selection, formatted by the user's
// locale, and the six commands that insert them.
#pragma once

#include "base/messages.h"

namespace quillet {

enum DateTimeCode : int {
  kStampTimeShortDate = 1555,
  kStampTimeLongDate = 1556,
  kStampShortDateTime = 1571,
  kStampLongDateTime = 1572,
  kStampShortDate = 1587,
  kStampLongDate = 1588,
};

// Replaces the selection with the stamp as one undoable step; the caret
// ends after it. Returns null or "内存不足！" when a format fails.
Failure InsertDateTime(int code);
}  // namespace quillet
