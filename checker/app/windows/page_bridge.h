#pragma once
// The window and WebView2 ends of the page bridge.
#include <windows.h>

#include "app/bridge.h"
#include "webview2.h"

// The page-message handler registered on the view; it keeps the main window to reply to.
ICoreWebView2WebMessageReceivedEventHandler* newWebMessageHandler(HWND window);

// Workers bracket their network work with WSAStartup / WSACleanup.
BridgeWork windowsBridgeWork();

// Posts WM_PAGE_REPLY to the window; on failure the reply stays with the worker.
PostReply postReplyTo(HWND window);

// WM_PAGE_REPLY: hands the text to the page if one is attached, and frees it either way.
void deliverPageReply(LPARAM reply);
