// The main window procedure: WM_CREATE / WM_SIZE / WM_DESTROY and the worker replies; every
// other message goes to DefWindowProcW unchanged.
#include "window_proc.h"

#include "app_state.h"
#include "page_bridge.h"
#include "webview_host.h"

namespace {

template <class Interface>
void releaseGlobal(Interface*& reference) {
  if (!reference) return;
  Interface* held = reference;
  reference = nullptr;
  held->Release();
}

void destroyIcon(HICON& icon) {
  if (!icon) return;
  DestroyIcon(icon);
  icon = nullptr;
}

}  // namespace

LRESULT CALLBACK wndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      startWebView(window);
      return 0;
    case WM_SIZE:
      resizeWebView(window);
      return 0;
    case WM_PAGE_REPLY:
      deliverPageReply(lParam);
      return 0;
    case WM_DESTROY:
      // From here on, replies still in flight find no page and are freed undelivered.
      releaseGlobal(g_webview);
      releaseGlobal(g_controller);
      destroyIcon(g_iconSmall);
      destroyIcon(g_iconBig);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
