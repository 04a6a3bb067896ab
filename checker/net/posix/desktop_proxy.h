#pragma once
// The proxy the desktop's settings name for one URL, through GIO's proxy resolver.
#include <curl/curl.h>

#include <optional>
#include <string>

// The proxy for url in libcurl's form ("http://host:port", "socks5h://host:port"), "" for a
// direct connection, or nothing when GIO has no opinion (no resolver module, or the lookup
// failed): then libcurl's own reading of the proxy variables stands.
std::optional<std::string> desktopProxyFor(const std::string& url);

// Hands libcurl the proxy desktopProxyFor names (CURLOPT_PROXY), or none at all for a direct
// connection (CURLOPT_NOPROXY "*").
void useDesktopProxy(CURL* handle, const std::string& url);
