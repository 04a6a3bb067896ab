#pragma once
// Starts creating a WebView2 environment. The loader DLL is used when one ships beside the
// program (or is on the DLL search path); otherwise the installed Evergreen runtime is found
// through its registration and asked directly.
#include <windows.h>

#include <optional>
#include <string>

#include "webview2.h"

HRESULT createWebViewEnvironment(
    const std::wstring& userDataFolder,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler);

// The registered runtime version: per user first, then per machine; empty values and
// "0.0.0.0" count as not installed.
std::optional<std::wstring> installedRuntimeVersion();

// <version folder>\EBWebView\x64\EmbeddedBrowserWebView.dll under Program Files (x86) or the
// user's Local AppData, whichever exists first.
std::optional<std::wstring> installedRuntimeDll(const std::wstring& version);
