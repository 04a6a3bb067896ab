// Test tool run under Wine next to the checker: reads and drives its windows through Win32
// (FindWindowW, EnumChildWindows, SetWindowPos, PostMessageW) and prints what it finds.
//   window_probe main                 -> visibility, title, size and style of the main window
//   window_probe resize W H           -> resizes it, prints "client W H"
//   window_probe close                -> posts WM_CLOSE to it
//   window_probe box CAPTION          -> "owner=main|none|other" and "text=..." ("\n" as "\\n")
//   window_probe dismiss CAPTION      -> presses the box's OK button
// Exit code 2 when the window is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring windowText(HWND window) {
  wchar_t text[2048] = {};
  GetWindowTextW(window, text, 2048);
  return text;
}

HWND mainWindow() {
  return FindWindowW(L"VelmoraWebViewApp", nullptr);
}

// Message boxes are dialogs (#32770); their text is the longest static child.
HWND findBox(const std::wstring& caption) {
  return FindWindowW(L"#32770", caption.c_str());
}

BOOL CALLBACK longestStatic(HWND child, LPARAM found) {
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  auto* best = reinterpret_cast<std::wstring*>(found);
  const std::wstring text = windowText(child);
  if (_wcsicmp(className, L"Static") == 0 && text.size() > best->size()) *best = text;
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 64;
  const std::wstring command = argv[1];
  HWND window = mainWindow();

  if (command == L"main") {
    if (!window) return 2;
    RECT outer{};
    GetWindowRect(window, &outer);
    std::printf("visible=%d title=%s\n", IsWindowVisible(window) ? 1 : 0,
                utf8(windowText(window)).c_str());
    std::printf("size=%ldx%ld style=0x%08lX\n", outer.right - outer.left, outer.bottom - outer.top,
                static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE) & 0x00CF0000));
    return 0;
  }
  if (command == L"resize" && argc == 4) {
    if (!window) return 2;
    SetWindowPos(window, nullptr, 0, 0, _wtoi(argv[2]), _wtoi(argv[3]),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window, &client);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    return 0;
  }
  if (command == L"close") {
    if (!window) return 2;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if ((command == L"box" || command == L"dismiss") && argc == 3) {
    HWND box = findBox(argv[2]);
    if (!box) return 2;
    if (command == L"dismiss") {
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    HWND owner = GetWindow(box, GW_OWNER);
    std::wstring text;
    EnumChildWindows(box, longestStatic, reinterpret_cast<LPARAM>(&text));
    std::string printable;
    for (char c : utf8(text)) {
      if (c == '\r') continue;
      printable += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    std::printf("owner=%s\ntext=%s\n",
                !owner            ? "none"
                : owner == window ? "main"
                                  : "other",
                printable.c_str());
    return 0;
  }
  return 64;
}
