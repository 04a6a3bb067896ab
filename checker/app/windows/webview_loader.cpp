// Finding WebView2 at run time: LoadLibraryExW / GetProcAddress for a WebView2Loader.dll beside
// the program; else RegOpenKeyExW / RegQueryValueExW for every registration of the runtime,
// SHGetKnownFolderPath for its install folders and LoadLibraryExW for the runtime's own
// EmbeddedBrowserWebView.dll. No load searches the working directory or PATH.
#include "webview_loader.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t RUNTIME_CLIENT_KEY[] =
    L"Software\\Microsoft\\EdgeUpdate\\Clients\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}";

// A DLL named by full path, whose own imports come from its folder and System32 only.
constexpr DWORD PINNED_LOAD = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

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

std::wstring programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Only the copy beside the program counts; one in the working directory or on PATH is ignored.
HMODULE loaderDll() {
  static HMODULE loader = [] {
    const std::wstring folder = programFolder();
    if (folder.empty()) return HMODULE{};
    return LoadLibraryExW((folder + L"\\WebView2Loader.dll").c_str(), nullptr, PINNED_LOAD);
  }();
  return loader;
}

// The numbers of a dotted version; nullopt when a part is not a number.
std::optional<std::vector<unsigned long>> versionParts(const std::wstring& version) {
  std::vector<unsigned long> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = version.find(L'.', start);
    const std::wstring part = version.substr(start, dot - start);
    if (part.empty() || part.size() > 9 ||
        part.find_first_not_of(L"0123456789") != std::wstring::npos) {
      return std::nullopt;
    }
    parts.push_back(std::wcstoul(part.c_str(), nullptr, 10));
    if (dot == std::wstring::npos) return parts;
    start = dot + 1;
  }
}

}  // namespace

const wchar_t* runtimeArchitectureFolder() {
#if defined(__aarch64__) || defined(_M_ARM64)
  return L"arm64";
#elif defined(__x86_64__) || defined(_M_X64)
  return L"x64";
#else
  return L"x86";
#endif
}

bool isNewerRuntimeVersion(const std::wstring& candidate, const std::wstring& than) {
  const auto a = versionParts(candidate);
  const auto b = versionParts(than);
  if (!a) return false;
  if (!b) return true;
  return std::lexicographical_compare(b->begin(), b->end(), a->begin(), a->end());
}

std::vector<std::wstring> registeredRuntimeVersions() {
  struct Place {
    HKEY root;
    REGSAM view;
  };
  // Per user, then per machine in both registry views (the 32-bit one is the usual home).
  const std::array<Place, 4> places = {
      Place{HKEY_CURRENT_USER, 0}, Place{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
      Place{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY}, Place{HKEY_CURRENT_USER, KEY_WOW64_32KEY}};
  std::vector<std::wstring> versions;
  for (const Place& place : places) {
    auto version = readVersion(place.root, place.view);
    if (version && std::find(versions.begin(), versions.end(), *version) == versions.end()) {
      versions.push_back(std::move(*version));
    }
  }
  // Newest first; a version that is not all numbers goes last.
  std::stable_sort(versions.begin(), versions.end(), isNewerRuntimeVersion);
  return versions;
}

std::optional<std::wstring> installedRuntimeDll(const std::wstring& version) {
  if (!versionParts(version)) return std::nullopt;  // a version names one folder, nothing more
  const std::array<const KNOWNFOLDERID*, 2> roots = {&FOLDERID_ProgramFilesX86,
                                                     &FOLDERID_LocalAppData};
  for (const KNOWNFOLDERID* root : roots) {
    const auto folder = knownFolder(*root);
    if (!folder) continue;
    const std::wstring dll = *folder + L"\\Microsoft\\EdgeWebView\\Application\\" + version +
                             L"\\EBWebView\\" + runtimeArchitectureFolder() +
                             L"\\EmbeddedBrowserWebView.dll";
    const DWORD attributes = GetFileAttributesW(dll.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return dll;
    }
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

  // The newest installed runtime that loads; a half-updated one gives way to the next. The one
  // loaded stays for the life of the process: the environment's objects live in it.
  HMODULE runtime = nullptr;
  HRESULT loadError = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  for (const std::wstring& version : registeredRuntimeVersions()) {
    const auto dll = installedRuntimeDll(version);
    if (!dll) continue;
    runtime = LoadLibraryExW(dll->c_str(), nullptr, PINNED_LOAD);
    if (runtime) break;
    loadError = HRESULT_FROM_WIN32(GetLastError());
  }
  if (!runtime) return loadError;
  auto create = reinterpret_cast<CreateEnvironmentInternalFn>(reinterpret_cast<void*>(
      GetProcAddress(runtime, "CreateWebViewEnvironmentWithOptionsInternal")));
  if (!create) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  // Evergreen runtime (type 0), sharing a browser process already running for this folder.
  return create(true, 0, userDataFolder.c_str(), nullptr, handler);
}
