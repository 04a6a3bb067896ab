// Finding WebView2 at run time: LoadLibraryW / GetProcAddress for WebView2Loader.dll; else
// RegOpenKeyExW / RegQueryValueExW for the runtime's registration, SHGetKnownFolderPath for
// its install folders and LoadLibraryExW for the runtime's own EmbeddedBrowserWebView.dll.
#include "webview_loader.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <array>
#include <string>

namespace {

constexpr wchar_t RUNTIME_CLIENT_KEY[] =
    L"Software\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

std::optional<std::wstring> readVersion(HKEY root, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, RUNTIME_CLIENT_KEY, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  wchar_t value[128] = {};
  DWORD type = 0;
  DWORD size = sizeof(value) - sizeof(wchar_t);  // keeps a terminator even for unterminated data
  const LSTATUS status =
      RegQueryValueExW(key, L"pv", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  const std::wstring version = value;
  if (version.empty() || version == L"0.0.0.0") return std::nullopt;
  return version;
}

std::optional<std::wstring> knownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::optional<std::wstring> result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path) result = path;
  CoTaskMemFree(path);
  return result;
}

HMODULE loaderDll() {
  static HMODULE loader = LoadLibraryW(L"WebView2Loader.dll");
  return loader;
}

}  // namespace

std::optional<std::wstring> installedRuntimeVersion() {
  // Per-user installs first; per-machine ones live in the 32-bit registry view.
  if (auto version = readVersion(HKEY_CURRENT_USER, 0)) return version;
  if (auto version = readVersion(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY)) return version;
  return readVersion(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY);
}

std::optional<std::wstring> installedRuntimeDll(const std::wstring& version) {
  const std::array<const KNOWNFOLDERID*, 2> roots = {&FOLDERID_ProgramFilesX86,
                                                     &FOLDERID_LocalAppData};
  for (const KNOWNFOLDERID* root : roots) {
    const auto folder = knownFolder(*root);
    if (!folder) continue;
    const std::wstring dll = *folder + L"\\Microsoft\\EdgeWebView\\Application\\" + version +
                             L"\\EBWebView\\x64\\EmbeddedBrowserWebView.dll";
    if (GetFileAttributesW(dll.c_str()) != INVALID_FILE_ATTRIBUTES) return dll;
  }
  return std::nullopt;
}

HRESULT createWebViewEnvironment(
    const std::wstring& userDataFolder,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler) {
  if (HMODULE loader = loaderDll()) {
    auto create = reinterpret_cast<CreateEnvironmentWithOptionsFn>(reinterpret_cast<void*>(
        GetProcAddress(loader, "CreateCoreWebView2EnvironmentWithOptions")));
    if (create) return create(nullptr, userDataFolder.c_str(), nullptr, handler);
  }

  const auto version = installedRuntimeVersion();
  const auto dll = version ? installedRuntimeDll(*version) : std::nullopt;
  if (!dll) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  // Stays loaded for the life of the process: the environment's objects live in it.
  HMODULE runtime = LoadLibraryExW(dll->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!runtime) return HRESULT_FROM_WIN32(GetLastError());
  auto create = reinterpret_cast<CreateEnvironmentInternalFn>(reinterpret_cast<void*>(
      GetProcAddress(runtime, "CreateWebViewEnvironmentWithOptionsInternal")));
  if (!create) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  // Evergreen runtime (type 0), sharing a browser process already running for this folder.
  return create(true, 0, userDataFolder.c_str(), nullptr, handler);
}
