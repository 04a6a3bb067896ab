// Process entry and main window: GDI+ and COM for the process, the window at the screen's
// scale (refitted when its monitor differs), a dark title bar, the drawn icons, and the message
// loop.
#include <windows.h>
// After windows.h, which they rely on.
#include <dwmapi.h>
#include <gdiplus.h>
#include <objbase.h>

#include <algorithm>

#include "app_icon.h"
#include "app_state.h"
#include "dpi.h"
#include "webview_host.h"
#include "window_proc.h"

namespace {

constexpr DWORD DARK_MODE_ATTRIBUTE = 20;      // DWMWA_USE_IMMERSIVE_DARK_MODE
constexpr DWORD CAPTION_COLOR_ATTRIBUTE = 35;  // DWMWA_CAPTION_COLOR
constexpr COLORREF CAPTION_COLOR = 0x00180C07;
// The window's first size at 100 % scaling.
constexpr int START_WIDTH = 1180;
constexpr int START_HEIGHT = 780;

void decorate(HWND window) {
  const BOOL dark = TRUE;
  DwmSetWindowAttribute(window, DARK_MODE_ATTRIBUTE, &dark, sizeof(dark));
  const COLORREF caption = CAPTION_COLOR;
  DwmSetWindowAttribute(window, CAPTION_COLOR_ATTRIBUTE, &caption, sizeof(caption));

  // Drawn at the window's scale, so the title bar and task bar show them sharp, not stretched.
  const UINT dpi = windowDpi(window);
  if (!g_iconSmall) g_iconSmall = createAppIcon(scaledForDpi(16, dpi));
  if (!g_iconBig) g_iconBig = createAppIcon(scaledForDpi(32, dpi));
  if (g_iconSmall)
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_iconSmall));
  if (g_iconBig) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_iconBig));
}

// The monitor the window opened on may be scaled differently from the main one, and at a high
// scale the start size may not fit its work area (150 % on a 1080-line laptop): then the window
// takes the work area's size and sits inside it.
void fitToMonitor(HWND window, UINT startDpi) {
  const UINT dpi = windowDpi(window);
  int width = scaledForDpi(START_WIDTH, dpi);
  int height = scaledForDpi(START_HEIGHT, dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT placed{};
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) &&
      GetWindowRect(window, &placed)) {
    const RECT& work = monitor.rcWork;
    const bool tooBig = width > work.right - work.left || height > work.bottom - work.top;
    width = std::min<int>(width, work.right - work.left);
    height = std::min<int>(height, work.bottom - work.top);
    const int left = std::clamp<int>(placed.left, work.left, work.right - width);
    const int top = std::clamp<int>(placed.top, work.top, work.bottom - height);
    if (tooBig || dpi != startDpi) {
      SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  } else if (dpi != startDpi) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The window's messages until WM_QUIT; its code is the exit code.
int runMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    // A broken queue would return -1 forever; end instead of spinning.
    if (got == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  Gdiplus::GdiplusStartupInput gdiplusInput;  // version 1, no callback, nothing suppressed
  ULONG_PTR gdiplusToken = 0;
  Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(com)) {
    MessageBoxW(nullptr, (L"COM initialization failed.\n" + hresultText(com)).c_str(),
                L"Startup error", MB_ICONERROR);
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return 1;
  }

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = wndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = WINDOW_CLASS_NAME;
  RegisterClassW(&windowClass);

  const UINT startDpi = systemDpi();
  HWND window =
      CreateWindowExW(0, WINDOW_CLASS_NAME, WINDOW_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, scaledForDpi(START_WIDTH, startDpi),
                      scaledForDpi(START_HEIGHT, startDpi), nullptr, nullptr, instance, nullptr);
  if (!window) {
    CoUninitialize();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return 1;
  }
  fitToMonitor(window, startDpi);
  decorate(window);
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  const int exitCode = runMessageLoop();
  CoUninitialize();
  Gdiplus::GdiplusShutdown(gdiplusToken);
  return exitCode;
}
