// The bridge's Windows ends: get_WebMessageAsJson / CoTaskMemFree for page messages,
// WSAStartup / WSACleanup around each worker's network work, PostMessageW(WM_PAGE_REPLY) for
// the hand-over, and PostWebMessageAsJson for delivery on the window thread.
#include "page_bridge.h"

#include <winsock2.h>

#include <memory>
#include <optional>
#include <string>

#include "app_state.h"
#include "com_handler.h"
#include "net/windows/sockets.h"
#include "net/windows/text.h"
#include "scan/report.h"
#include "scan/system_scan.h"

namespace {

using WinsockScope = SocketsScope;

struct WebMessageReceived final
    : ComHandler<WebMessageReceived, ICoreWebView2WebMessageReceivedEventHandler,
                 IID_ICoreWebView2WebMessageReceivedEventHandler> {
  explicit WebMessageReceived(HWND window) : window(window) {}

  // onWebMessageReceived: always S_OK, whatever the message holds.
  HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2*,
                                   ICoreWebView2WebMessageReceivedEventArgs* args) override {
    // A message that cannot be handled (out of memory, say) is dropped like an unknown one.
    guardedInvoke([&] { return receive(args); });
    return S_OK;
  }

  HRESULT receive(ICoreWebView2WebMessageReceivedEventArgs* args) {
    if (!args) return S_OK;
    LPWSTR json = nullptr;
    if (FAILED(args->get_WebMessageAsJson(&json)) || !json) {
      CoTaskMemFree(json);
      return S_OK;
    }
    std::string message = wideToUtf8(json);
    CoTaskMemFree(json);
    handleWebMessage(std::move(message), postReplyTo(window), windowsBridgeWork());
    return S_OK;
  }

  HWND window;
};

}  // namespace

ICoreWebView2WebMessageReceivedEventHandler* newWebMessageHandler(HWND window) {
  return new WebMessageReceived(window);
}

BridgeWork windowsBridgeWork() {
  BridgeWork work;
  work.scan = [](const ScanRequest& request) {
    WinsockScope sockets;
    return runScan(request.ip, request.options);
  };
  work.getIp = [] {
    std::optional<std::string> address;
    {
      WinsockScope sockets;
      address = discoverPublicIp();
    }
    return buildIpResultMessage(address);
  };
  return work;
}

PostReply postReplyTo(HWND window) {
  return [window](std::unique_ptr<std::string>& reply) {
    if (!PostMessageW(window, WM_PAGE_REPLY, 0, reinterpret_cast<LPARAM>(reply.get()))) {
      return false;
    }
    static_cast<void>(reply.release());  // the window thread owns it now
    return true;
  };
}

void deliverPageReply(LPARAM reply) {
  std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(reply));
  if (!text || !g_webview) return;
  const std::wstring json = utf8ToWide(*text);
  g_webview->PostWebMessageAsJson(json.c_str());
}
