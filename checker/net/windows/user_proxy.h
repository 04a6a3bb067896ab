#pragma once
// The WinHTTP session for one request, opened with the proxy the current user's settings name
// for its URL (the settings of Internet Options, as systemProxyInUse reads them).
#include <windows.h>
#include <winhttp.h>

#include <string>

// Null when WinHTTP cannot open a session.
HINTERNET openUserProxySession(const std::wstring& agent, const std::wstring& url);

// The proxy of a proxy list ("host:port", or "http=host:port;https=host:port ...") for a
// request of that scheme: the scheme's own entry, else the entry without a scheme, as host:port;
// "" for none.
std::wstring proxyForScheme(const std::wstring& list, bool secure);
