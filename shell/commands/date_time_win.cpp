#include "shell/commands/date_time_win.h"

#include "base/messages.h"
#include "base/resource.h"
#include "shell/app/app_win.h"
#include "shell/app/editor_state_win.h"

namespace quillet {
namespace {

constexpr int kStampUnits = 2048;

struct StampKind {
  bool hasTime;
  bool timeFirst;
  DWORD dateFlag;
};

bool KindOf(int code, StampKind& kind) {
  switch (code) {
    case kStampTimeShortDate: kind = {true, true, DATE_SHORTDATE}; return true;
    case kStampTimeLongDate: kind = {true, true, DATE_LONGDATE}; return true;
    case kStampShortDateTime: kind = {true, false, DATE_SHORTDATE}; return true;
    case kStampLongDateTime: kind = {true, false, DATE_LONGDATE}; return true;
    case kStampShortDate: kind = {false, false, DATE_SHORTDATE}; return true;
    case kStampLongDate: kind = {false, false, DATE_LONGDATE}; return true;
    default: return false;
  }
}

// Formats into buffer at used, with room up to kStampUnits; returns the
// new used count (at the terminator), or -1 when the format failed.
int PutTime(wchar_t* buffer, int used) {
  const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buffer + used,
                               kStampUnits - used);
  return n > 0 ? used + n - 1 : -1;
}

int PutDate(wchar_t* buffer, int used, DWORD flag) {
  const int n = GetDateFormatW(LOCALE_USER_DEFAULT, flag, nullptr, nullptr, buffer + used, kStampUnits - used);
  return n > 0 ? used + n - 1 : -1;
}

// The one space between the parts, where the first part's terminator was;
// -1 when no room is left for the second part.
int PutSpace(wchar_t* buffer, int used) {
  if (used < 0 || used + 2 >= kStampUnits) return -1;
  buffer[used] = L' ';
  return used + 1;
}

}  // namespace

Failure InsertDateTime(int code) {
  StampKind kind;
  if (!KindOf(code, kind)) return {};
  wchar_t buffer[kStampUnits];
  buffer[0] = 0;
  int used = 0;
  if (kind.timeFirst) {
    used = PutSpace(buffer, PutTime(buffer, used));
    if (used >= 0) used = PutDate(buffer, used, kind.dateFlag);
  } else {
    used = PutDate(buffer, used, kind.dateFlag);
    if (kind.hasTime) {
      used = PutSpace(buffer, used);
      if (used >= 0) used = PutTime(buffer, used);
    }
  }
  if (used < 0) return kMsgOutOfMemory;
  buffer[used] = 0;

  HWND edit = App().edit;
  // A stamp of its own in the undo: the control would otherwise merge it
  // with the stamp just before it.
  SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(buffer));
  return {};
}

}  // namespace quillet
