#pragma once
// Process-wide state of the checker window. Touched only on the window thread.
#include <windows.h>

#include "webview2.h"

// Posted by a worker with a heap std::string* reply as lParam; the window thread frees it.
inline constexpr UINT WM_PAGE_REPLY = WM_APP + 10;

inline constexpr wchar_t WINDOW_CLASS_NAME[] = L"VelmoraWebViewApp";
inline constexpr wchar_t WINDOW_TITLE[] = L"Check Your Velmora";

// Set at WM_DESTROY: from then on, whatever WebView2 completes late is released and ignored.
extern bool g_windowClosing;
extern ICoreWebView2Controller* g_controller;
extern ICoreWebView2* g_webview;
extern HICON g_iconSmall;
extern HICON g_iconBig;
