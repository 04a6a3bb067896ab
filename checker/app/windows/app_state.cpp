// The checker window's process-wide references and icons (see app_state.h).
#include "app_state.h"

bool g_windowClosing = false;
ICoreWebView2Controller* g_controller = nullptr;
ICoreWebView2* g_webview = nullptr;
HICON g_iconSmall = nullptr;
HICON g_iconBig = nullptr;
