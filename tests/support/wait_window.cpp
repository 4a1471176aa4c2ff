// wait_window CLASS SECONDS: waits until a visible top-level window of that
// class exists on the Wine desktop and prints its title in UTF-8; exit code 0
// when it appeared, 1 when it did not within the time. Lets scripts/run
// --shot tell a real screenshot from an empty screen, and say what is open.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const wchar_t* cls = argv[1];
  const DWORD limit_ms = static_cast<DWORD>(_wtoi(argv[2])) * 1000;
  const DWORD start = GetTickCount();
  for (;;) {
    HWND hwnd = FindWindowW(cls, nullptr);
    if (hwnd && IsWindowVisible(hwnd)) {
      Sleep(500);  // the title is set once the document is loaded
      wchar_t title[1024] = {};
      GetWindowTextW(hwnd, title, 1024);
      char utf8[4096] = {};
      WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
      std::printf("%s\n", utf8);
      return 0;
    }
    if (GetTickCount() - start >= limit_ms) return 1;
    Sleep(200);
  }
}
