// openUserProxySession on WinHTTP: WinHttpGetIEProxyConfigForCurrentUser, WinHttpGetProxyForUrl
// (automatic detection and configuration scripts), WinHttpOpen with the proxy found, GlobalFree.
//
// The order is the browser's: automatic detection and a configuration script first; when they
// name nothing (no script found or it failed), the fixed proxy with its bypass list; else
// directly. Settings that cannot be read leave WinHTTP's own default.
//
// Wine (8.0) reads only the binary record Connections\DefaultConnectionSettings, reports
// automatic detection on when the record is missing, takes one host:port as a named proxy
// without reading "scheme=" lists, and answers a script with its first PROXY entry or directly.
#include "net/windows/user_proxy.h"

#include <cwctype>

namespace {

// Frees what WinHttpGetIEProxyConfigForCurrentUser handed over.
struct UserConfig {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  bool read = false;
  UserConfig() { read = WinHttpGetIEProxyConfigForCurrentUser(&config) != FALSE; }
  ~UserConfig() {
    if (config.lpszAutoConfigUrl) GlobalFree(config.lpszAutoConfigUrl);
    if (config.lpszProxy) GlobalFree(config.lpszProxy);
    if (config.lpszProxyBypass) GlobalFree(config.lpszProxyBypass);
  }
  UserConfig(const UserConfig&) = delete;
  UserConfig& operator=(const UserConfig&) = delete;
};

struct Choice {
  bool found = false;  // the script or detection answered
  std::wstring proxy;  // "" for directly
  std::wstring bypass;
};

// WinHTTP wants host:port; Wine would read "http" as the host of "http://host:port".
std::wstring withoutScheme(const std::wstring& proxy) {
  return proxy.rfind(L"http://", 0) == 0 ? proxy.substr(7) : proxy;
}

std::wstring text(const wchar_t* value) {
  return value ? value : L"";
}

// What automatic detection or the configuration script says for url.
Choice askScript(const std::wstring& agent, const std::wstring& url,
                 const WINHTTP_CURRENT_USER_IE_PROXY_CONFIG& config) {
  Choice choice;
  HINTERNET session = WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) return choice;
  WINHTTP_AUTOPROXY_OPTIONS options{};
  if (config.fAutoDetect) {
    options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  }
  if (config.lpszAutoConfigUrl && config.lpszAutoConfigUrl[0]) {
    options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = config.lpszAutoConfigUrl;
  }
  options.fAutoLogonIfChallenged = TRUE;
  WINHTTP_PROXY_INFO info{};
  if (WinHttpGetProxyForUrl(session, url.c_str(), &options, &info)) {
    choice.found = true;
    if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY) {
      choice.proxy = text(info.lpszProxy);
      choice.bypass = text(info.lpszProxyBypass);
    }
    if (info.lpszProxy) GlobalFree(info.lpszProxy);
    if (info.lpszProxyBypass) GlobalFree(info.lpszProxyBypass);
  }
  WinHttpCloseHandle(session);
  return choice;
}

Choice chooseProxy(const std::wstring& agent, const std::wstring& url,
                   const WINHTTP_CURRENT_USER_IE_PROXY_CONFIG& config) {
  const bool script = config.lpszAutoConfigUrl && config.lpszAutoConfigUrl[0];
  if (config.fAutoDetect || script) {
    Choice choice = askScript(agent, url, config);
    if (choice.found) return choice;
  }
  Choice fixed;
  fixed.proxy = proxyForScheme(text(config.lpszProxy), url.rfind(L"https:", 0) == 0);
  if (!fixed.proxy.empty()) fixed.bypass = text(config.lpszProxyBypass);
  return fixed;
}

}  // namespace

std::wstring proxyForScheme(const std::wstring& list, bool secure) {
  const std::wstring wanted = secure ? L"https" : L"http";
  std::wstring bare;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find_first_of(L"; \t", start);
    if (end == std::wstring::npos) end = list.size();
    std::wstring entry = list.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = entry.find(L'=');
    if (equals == std::wstring::npos) {
      if (bare.empty()) bare = entry;
      continue;
    }
    std::wstring scheme = entry.substr(0, equals);
    for (wchar_t& c : scheme) c = static_cast<wchar_t>(std::towlower(c));
    if (scheme == wanted && equals + 1 < entry.size())
      return withoutScheme(entry.substr(equals + 1));
  }
  return withoutScheme(bare);
}

HINTERNET openUserProxySession(const std::wstring& agent, const std::wstring& url) {
  const UserConfig user;
  if (!user.read) {
    return WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                       WINHTTP_NO_PROXY_BYPASS, 0);
  }
  const Choice choice = chooseProxy(agent, url, user.config);
  if (choice.proxy.empty()) {
    return WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                       WINHTTP_NO_PROXY_BYPASS, 0);
  }
  return WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_NAMED_PROXY, choice.proxy.c_str(),
                     choice.bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : choice.bypass.c_str(), 0);
}
