// desktopProxyFor on GIO: g_proxy_resolver_get_default, g_proxy_resolver_lookup, g_strfreev;
// useDesktopProxy hands its answer to libcurl (curl_easy_setopt).
// The default resolver comes from glib-networking: on a GNOME desktop it reads the desktop's
// proxy settings (GSettings org.gnome.system.proxy, configuration scripts through its PAC
// runner), elsewhere libproxy, which reads the proxy variables. Without glib-networking GIO
// falls back to a resolver that answers "direct" to everything without looking at anything.
#include "net/posix/desktop_proxy.h"

#include <gio/gio.h>

#include <cstring>

namespace {

// GIO's SOCKS 5 sends host names to the proxy to resolve, as libcurl's socks5h does; its
// "socks://" means any version, of which libcurl must be given one.
std::optional<std::string> inCurlTerms(const std::string& proxy) {
  if (proxy == "direct://") return std::string();
  for (const char* scheme : {"http://", "https://", "socks5h://", "socks4://", "socks4a://"}) {
    if (proxy.rfind(scheme, 0) == 0) return proxy;
  }
  for (const char* scheme : {"socks://", "socks5://"}) {
    const std::size_t length = std::strlen(scheme);
    if (proxy.compare(0, length, scheme) == 0) return "socks5h://" + proxy.substr(length);
  }
  return std::nullopt;  // a scheme libcurl cannot speak: try the next one
}

}  // namespace

std::optional<std::string> desktopProxyFor(const std::string& url) {
  GProxyResolver* resolver = g_proxy_resolver_get_default();
  if (resolver == nullptr ||
      std::strcmp(G_OBJECT_TYPE_NAME(resolver), "GDummyProxyResolver") == 0) {
    return std::nullopt;
  }
  GError* error = nullptr;
  gchar** proxies = g_proxy_resolver_lookup(resolver, url.c_str(), nullptr, &error);
  if (proxies == nullptr) {
    g_clear_error(&error);
    return std::nullopt;
  }
  std::optional<std::string> chosen;
  for (gchar** p = proxies; *p != nullptr && !chosen; ++p) chosen = inCurlTerms(*p);
  g_strfreev(proxies);
  return chosen;
}

void useDesktopProxy(CURL* handle, const std::string& url) {
  const std::optional<std::string> proxy = desktopProxyFor(url);
  if (!proxy) return;
  if (proxy->empty()) {
    curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
  } else {
    curl_easy_setopt(handle, CURLOPT_PROXY, proxy->c_str());
  }
}
