#include <windows.h>

#include "shell/app/app_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  return quillet::RunApplication(instance, commandLine, showCommand);
}
