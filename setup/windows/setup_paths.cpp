// Where the setup lies and where the shell keeps the user's folders.
// APIs: GetModuleFileNameW, SHGetKnownFolderPath, CoTaskMemFree.
#include "setup.h"

std::filesystem::path setupDirectory(HMODULE module) {
  wchar_t buffer[MAX_PATH] = {};
  GetModuleFileNameW(module, buffer, MAX_PATH);
  return std::filesystem::path(buffer).parent_path();
}

std::wstring knownFolderPath(REFKNOWNFOLDERID id) {
  PWSTR found = nullptr;
  HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &found);
  std::wstring path;
  if (SUCCEEDED(result) && found) path = found;
  // The shell may hand back a buffer even on failure; it is ours to free either way.
  CoTaskMemFree(found);
  return path;
}
