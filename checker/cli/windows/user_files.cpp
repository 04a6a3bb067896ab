// The user's AppData folders (_wgetenv), the keys file read whole, LockFileEx for the pace file.
// Roaming AppData holds the keys (they go with the user); local AppData holds the pace, which
// belongs to this machine's address. A profile folder is the user's alone by its ACL, so no mode
// check is made as on POSIX.
#include "cli/user_files.h"

#include <windows.h>

#include <cstdlib>

namespace {

std::wstring wide(const std::string& text) {
  if (text.empty()) return L"";
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return "";
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();  // the terminating zero
  return out;
}

std::string appDataFolder(const wchar_t* variable) {
  const wchar_t* set = _wgetenv(variable);
  if (set == nullptr || set[0] == L'\0') return "";
  return narrow(set) + "\\Velmora";
}

std::string lastError(const std::string& what, const std::string& path) {
  return what + " '" + path + "' (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

std::string userConfigFolder() {
  return appDataFolder(L"APPDATA");
}

std::string userStateFolder() {
  return appDataFolder(L"LOCALAPPDATA");
}

PrivateFile readPrivateFile(const std::string& path) {
  PrivateFile file;
  HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    file.exists = code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
    if (file.exists) file.error = lastError("cannot open", path);
    return file;
  }
  file.exists = true;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
    file.text.append(buffer, got);
  CloseHandle(handle);
  return file;
}

std::shared_ptr<void> lockFile(const std::string& path, std::string& error) {
  HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = lastError("cannot open", path);
    return nullptr;
  }
  OVERLAPPED whole{};
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
    error = lastError("cannot lock", path);
    CloseHandle(handle);
    return nullptr;
  }
  return std::shared_ptr<void>(handle, [](void* held) {
    OVERLAPPED whole{};
    UnlockFileEx(held, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(held);
  });
}
