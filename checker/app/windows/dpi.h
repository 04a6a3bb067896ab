#pragma once
// The scale the window is drawn at. The program declares per-monitor DPI awareness, so sizes are
// in real pixels: a size meant at 100 % (96 DPI) is scaled by the DPI of the monitor.
#include <windows.h>

// GetDpiForSystem, or 96 where Windows has no such call (before Windows 10 1607).
UINT systemDpi();

// GetDpiForWindow, or systemDpi() where Windows has no such call.
UINT windowDpi(HWND window);

// A length at 96 DPI as pixels at `dpi`.
int scaledForDpi(int length, UINT dpi);
