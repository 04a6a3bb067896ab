#pragma once
// Starts creating a WebView2 environment. The loader DLL is used when one ships beside the
// program; otherwise the newest installed Evergreen runtime is found through its registrations
// and asked directly.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "webview2.h"

HRESULT createWebViewEnvironment(
    const std::wstring& userDataFolder,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

// Every registered runtime version (per user; per machine in the 32- and 64-bit registry views),
// newest first, each once; empty values and "0.0.0.0" count as not installed.
std::vector<std::wstring> registeredRuntimeVersions();

// Whether dotted version `candidate` is newer than `than`, part by part as numbers. A version
// that is not all numbers is older than any that is.
bool isNewerRuntimeVersion(const std::wstring& candidate, const std::wstring& than);

// "x64", "arm64" or "x86": the runtime's DLL folder for this process.
const wchar_t* runtimeArchitectureFolder();

// <version folder>\EBWebView\<architecture>\EmbeddedBrowserWebView.dll under Program Files (x86)
// or the user's Local AppData, whichever holds the file first.
std::optional<std::wstring> installedRuntimeDll(const std::wstring& version);
