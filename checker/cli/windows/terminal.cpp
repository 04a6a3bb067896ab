// Terminal detection on Windows: GetStdHandle, GetConsoleMode, and SetConsoleMode to switch on
// ANSI sequences (virtual terminal processing); NO_COLOR is honoured as elsewhere.
#include "cli/terminal.h"

#include <windows.h>

#include <cstdlib>

bool isColourTerminal(int stream) {
  HANDLE handle = GetStdHandle(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return false;
  const char* noColour = std::getenv("NO_COLOR");
  if (noColour != nullptr && noColour[0] != '\0') return false;
  return SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
