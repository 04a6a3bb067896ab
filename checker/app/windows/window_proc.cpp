// The main window procedure: WM_CREATE / WM_SIZE / WM_DPICHANGED / WM_DESTROY and the worker
// replies; every other message goes to DefWindowProcW unchanged.
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

LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      startWebView(window);
      return 0;
    case WM_SIZE:
      resizeWebView(window);
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor with another scale: take the size Windows suggests for it.
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_PAGE_REPLY:
      deliverPageReply(lParam);
      return 0;
    case WM_DESTROY:
      // From here on, replies still in flight find no page and are freed undelivered, and late
      // start-up completions are ignored.
      g_windowClosing = true;
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

}  // namespace

// No C++ exception may unwind into user32's frames: one that reaches here (an allocation
// failing while a reply is delivered, say) ends that message's handling only. A reply being
// delivered is freed on the way out.
LRESULT CALLBACK wndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return handle(window, message, wParam, lParam);
  } catch (...) {
    return message == WM_CREATE ? 0 : DefWindowProcW(window, message, wParam, lParam);
  }
}
