// Looks at what velmora-setup did from inside Wine, for the end-to-end tests.
//   setup-probe lnk FILE   prints the shell link's target, working directory, description,
//                          arguments, icon, hot key and show command, one "key=value" a line
//   setup-probe box [S]    waits up to S seconds (default 30) for the setup's message box and
//                          prints its text and buttons
//   setup-probe hold FILE  opens FILE sharing nothing, prints "held", keeps it until stdin ends
// APIs: IShellLinkW, IPersistFile, FindWindowW, EnumChildWindows, CreateFileW.
// clang-format off
#include <windows.h>  // first: the shell headers rely on it
#include <objidl.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void printLine(const std::string& key, const std::wstring& value) {
  int size = WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, value.c_str(), -1, text.data(), size, nullptr, nullptr);
  std::printf("%s=%s\n", key.c_str(), text.c_str());
}

int readLink(const wchar_t* file) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    std::printf("error=no shell link object\n");
    return 1;
  }
  IPersistFile* persist = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
  if (!persist || FAILED(persist->Load(file, STGM_READ))) {
    std::printf("error=cannot load\n");
    return 1;
  }
  wchar_t text[MAX_PATH * 2] = {};
  link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
  printLine("path", text);
  text[0] = 0;
  link->GetWorkingDirectory(text, MAX_PATH * 2);
  printLine("workdir", text);
  text[0] = 0;
  link->GetDescription(text, MAX_PATH * 2);
  printLine("description", text);
  text[0] = 0;
  link->GetArguments(text, MAX_PATH * 2);
  printLine("arguments", text);
  text[0] = 0;
  int iconIndex = 0;
  link->GetIconLocation(text, MAX_PATH * 2, &iconIndex);
  printLine("icon", text);
  WORD hotkey = 0;
  link->GetHotkey(&hotkey);
  int show = 0;
  link->GetShowCmd(&show);
  std::printf("hotkey=%u\nshow=%d\n", static_cast<unsigned>(hotkey), show);
  persist->Release();
  link->Release();
  CoUninitialize();
  return 0;
}

struct BoxParts {
  std::vector<std::wstring> texts;
  std::vector<std::wstring> buttons;
};

BOOL CALLBACK collectChild(HWND child, LPARAM param) {
  auto* parts = reinterpret_cast<BoxParts*>(param);
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  wchar_t text[1024] = {};
  GetWindowTextW(child, text, 1024);
  if (lstrcmpiW(className, L"Button") == 0 && IsWindowVisible(child)) {
    parts->buttons.push_back(text);
  } else if (lstrcmpiW(className, L"Static") == 0 && text[0]) {
    parts->texts.push_back(text);
  }
  return TRUE;
}

int readBox(int seconds) {
  for (int tries = 0; tries < seconds * 10; ++tries) {
    HWND box = FindWindowW(L"#32770", L"Velmora Checker Setup");
    if (box && IsWindowVisible(box)) {
      BoxParts parts;
      EnumChildWindows(box, collectChild, reinterpret_cast<LPARAM>(&parts));
      for (const auto& text : parts.texts) printLine("text", text);
      for (const auto& button : parts.buttons) printLine("button", button);
      return 0;
    }
    Sleep(100);
  }
  std::printf("error=no message box\n");
  return 1;
}

int holdFile(const wchar_t* file) {
  HANDLE held = CreateFileW(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    std::printf("error=cannot open %lu\n", GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  char buffer[64];
  while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
  }
  CloseHandle(held);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"lnk" && argc == 3) return readLink(argv[2]);
  if (command == L"box" && argc == 2) return readBox(30);
  if (command == L"box" && argc == 3)
    return readBox(static_cast<int>(std::clamp(std::wcstol(argv[2], nullptr, 10), 1L, 3600L)));
  if (command == L"hold" && argc == 3) return holdFile(argv[2]);
  std::fprintf(stderr, "usage: setup-probe lnk FILE | box [SECONDS] | hold FILE\n");
  return 2;
}
