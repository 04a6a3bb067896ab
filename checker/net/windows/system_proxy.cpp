// The current user's proxy settings (those of Internet Options) through WinHTTP:
// WinHttpGetIEProxyConfigForCurrentUser, then GlobalFree of each text it handed over.
#include "net/system_proxy.h"

#include <windows.h>
#include <winhttp.h>

LookupResult systemProxyInUse() {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return failedResult("settings unreadable");

  // Present counts, empty or not; auto-detect alone names no proxy.
  const bool inUse = config.lpszProxy != nullptr || config.lpszAutoConfigUrl != nullptr;
  if (config.lpszAutoConfigUrl) GlobalFree(config.lpszAutoConfigUrl);
  if (config.lpszProxy) GlobalFree(config.lpszProxy);
  if (config.lpszProxyBypass) GlobalFree(config.lpszProxyBypass);
  return inUse ? flaggedResult() : clearResult();
}
