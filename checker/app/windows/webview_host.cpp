// WebView2 host: GetModuleFileNameW / PathRemoveFileSpecW / GetFileAttributesW for the base
// directory, CreateDirectoryW for the user-data folder, UrlCreateFromPathW for the page URL,
// MessageBoxW for start-up failures, and the environment / controller completion handlers.
#include "webview_host.h"

#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "app_state.h"
#include "com_handler.h"
#include "page_bridge.h"
#include "webview_loader.h"

namespace {

std::wstring cutLastElement(std::wstring path) {
  path.push_back(L'\0');
  PathRemoveFileSpecW(path.data());
  path.resize(std::wcslen(path.c_str()));
  return path;
}

// Whether start-up should stop: the window is gone or going, so nothing more is shown in it.
bool windowGone(HWND window) {
  return g_windowClosing || !IsWindow(window);
}

// No box once the window is gone: it would stand alone, after the user closed the program.
void showError(HWND owner, const std::wstring& text, const wchar_t* caption) {
  if (windowGone(owner)) return;
  MessageBoxW(owner, text.c_str(), caption, MB_ICONERROR);
}

void showEnvironmentError(HWND owner, HRESULT result) {
  showError(owner,
            L"WebView2 could not start.\n" + hresultText(result) +
                L"\nMake sure Microsoft Edge WebView2 Runtime is installed.",
            L"WebView2 error");
}

void showControllerError(HWND owner, HRESULT result) {
  showError(owner, L"WebView2 controller could not be created.\n" + hresultText(result),
            L"WebView2 error");
}

void applySettings(ICoreWebView2* view) {
  ICoreWebView2Settings* settings = nullptr;
  if (SUCCEEDED(view->get_Settings(&settings)) && settings) {
    settings->put_IsStatusBarEnabled(FALSE);
    settings->put_AreDefaultContextMenusEnabled(TRUE);
    settings->Release();
  }
}

struct ControllerCompleted final
    : ComHandler<ControllerCompleted, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler,
                 IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler> {
  ControllerCompleted(HWND window, std::wstring url) : window(window), url(std::move(url)) {}

  HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Controller* controller) override {
    return guardedInvoke([&] { return attach(result, controller); });
  }

  HRESULT attach(HRESULT result, ICoreWebView2Controller* controller) {
    // Closed meanwhile: the controller is not kept, so the runtime's release ends it.
    if (windowGone(window)) return S_OK;
    if (FAILED(result) || !controller) {
      showControllerError(window, result);
      return result;
    }
    controller->AddRef();
    if (g_controller) g_controller->Release();
    g_controller = controller;

    if (g_webview) {
      ICoreWebView2* previous = g_webview;
      g_webview = nullptr;
      previous->Release();
    }
    const HRESULT viewResult = controller->get_CoreWebView2(&g_webview);
    if (FAILED(viewResult) || !g_webview) {
      // Without a view nothing can be shown; say so instead of leaving a silent blank window.
      g_webview = nullptr;
      showControllerError(window, viewResult);
      return FAILED(viewResult) ? viewResult : S_OK;
    }

    resizeWebView(window);
    applySettings(g_webview);

    // Registered before Navigate so that no early page message is missed.
    ICoreWebView2WebMessageReceivedEventHandler* messages = newWebMessageHandler(window);
    EventRegistrationToken token{};
    g_webview->add_WebMessageReceived(messages, &token);
    messages->Release();

    g_webview->Navigate(url.c_str());
    return S_OK;
  }

  HWND window;
  std::wstring url;
};

struct EnvironmentCompleted final
    : ComHandler<EnvironmentCompleted, ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler,
                 IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> {
  EnvironmentCompleted(HWND window, std::wstring url) : window(window), url(std::move(url)) {}

  HRESULT STDMETHODCALLTYPE Invoke(HRESULT result, ICoreWebView2Environment* environment) override {
    return guardedInvoke([&] {
      // Closed meanwhile: no controller for a window that is gone, and no box either.
      if (windowGone(window)) return S_OK;
      if (FAILED(result) || !environment) {
        showEnvironmentError(window, result);
        return result;
      }
      auto* handler = new ControllerCompleted(window, url);
      const HRESULT asked = environment->CreateCoreWebView2Controller(window, handler);
      handler->Release();
      // Refused at once, the request will never complete: say so now.
      if (FAILED(asked)) showControllerError(window, asked);
      return S_OK;
    });
  }

  HWND window;
  std::wstring url;
};

}  // namespace

std::wstring hresultText(HRESULT result) {
  wchar_t text[256] = {};
  std::swprintf(text, 256, L"HRESULT: 0x%08X", static_cast<unsigned>(result));
  return text;
}

bool hasWebPage(const std::wstring& directory) {
  return GetFileAttributesW((directory + L"\\web\\index.html").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring findAppBaseDir() {
  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring programDir = cutLastElement(module);
  if (hasWebPage(programDir)) return programDir;
  const std::wstring parent = cutLastElement(programDir);
  if (hasWebPage(parent)) return parent;
  return cutLastElement(parent);
}

void startWebView(HWND window) {
  const std::wstring base = findAppBaseDir();
  const std::wstring page = base + L"\\web\\index.html";
  const std::wstring userData = base + L"\\build\\webview-user-data";
  CreateDirectoryW((base + L"\\build").c_str(), nullptr);
  CreateDirectoryW(userData.c_str(), nullptr);

  if (GetFileAttributesW(page.c_str()) == INVALID_FILE_ATTRIBUTES) {
    showError(window, page, L"Cannot find web/index.html");
    return;
  }

  wchar_t url[2048] = {};
  DWORD urlLength = 2048;
  UrlCreateFromPathW(page.c_str(), url, &urlLength, 0);

  auto* handler = new EnvironmentCompleted(window, url);
  const HRESULT started = createWebViewEnvironment(userData, handler);
  handler->Release();
  if (FAILED(started)) showEnvironmentError(window, started);
}

void resizeWebView(HWND window) {
  if (!g_controller) return;
  RECT bounds{};
  GetClientRect(window, &bounds);
  g_controller->put_Bounds(bounds);
}
