#pragma once
// The WebView2 host of the main window: finding the page, starting the runtime, sizing the view.
#include <windows.h>

#include <string>

std::wstring findAppBaseDir();
bool hasWebPage(const std::wstring& directory);

// WM_CREATE: creates the folders, then starts the environment and controller asynchronously.
void startWebView(HWND window);

// Fits the view to the window's client area; nothing while there is no controller.
void resizeWebView(HWND window);

// "HRESULT: 0x%08X" of the code, as shown in the error boxes.
std::wstring hresultText(HRESULT result);
