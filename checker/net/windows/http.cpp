// HTTP GET on WinHTTP in synchronous mode, its errors told in the words of failure.h.
// One session, connection and request per call; the session goes through the proxy the user's
// settings name for the URL (user_proxy.h).
//
// A status counts only once the blank line that ends its header block has arrived (the raw
// headers end in an empty line; Wine's WinHTTP hands over a block that broke off as it is). A
// body whose framing is broken is no answer either; a connection that breaks mid-body (cut, or
// short of its Content-Length) keeps what arrived.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "net/failure.h"
#include "net/windows/http_limits.h"
#include "net/windows/text.h"
#include "net/windows/user_proxy.h"

namespace {

// Closes whatever was opened, in reverse order, on every way out.
struct Handles {
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
  ~Handles() {
    if (request) WinHttpCloseHandle(request);
    if (connection) WinHttpCloseHandle(connection);
    if (session) WinHttpCloseHandle(session);
  }
};

// A redirect chain longer than this is a loop, as the other platforms' client counts it.
constexpr DWORD MAX_REDIRECTS = 10;

// The kind of a WinHTTP error; nothing for a code without one. redirects: the hops followed.
std::optional<Failure> kindOf(DWORD error, int redirects) {
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:  // Wine passes the socket's own code through
      return Failure::timeOut;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return Failure::hostNotFound;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return Failure::noConnection;
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return Failure::connectionCut;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:  // not HTTP, or a status line cut short
      return Failure::notHttp;
    case ERROR_WINHTTP_SECURE_FAILURE:  // synchronous calls report every certificate error so
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
      return Failure::certificateRejected;
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return Failure::tlsFailure;
    case ERROR_WINHTTP_REDIRECT_FAILED:  // a scheme change, or one hop too many
      return redirects >= static_cast<int>(MAX_REDIRECTS) ? Failure::tooManyRedirects
                                                          : Failure::redirectRefused;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      throw std::bad_alloc();
    default:
      return std::nullopt;
  }
}

std::string reasonFor(DWORD error, int redirects = 0) {
  if (const auto kind = kindOf(error, redirects)) return failureWords(*kind);
  return "no answer (error " + std::to_string(error) + ")";
}

// Milliseconds left before the call's ceiling; never negative.
long msLeft(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return now >= deadline ? 0 : static_cast<long>(deadline - now);
}

// Every phase gets its own limit, but never more than what is left of the whole call.
void applyTimeouts(HINTERNET handle, const HttpLimits& limits, ULONGLONG deadline) {
  const long left = std::max(msLeft(deadline), 1L);
  const int ms = static_cast<int>(std::min(limits.phaseMs, left));
  WinHttpSetTimeouts(handle, ms, ms, ms, ms);
  // Waiting for the response headers has a limit of its own, which the call above leaves alone.
  DWORD responseMs = static_cast<DWORD>(ms);
  WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseMs,
                   sizeof(responseMs));
}

// What the status callback needs to keep every phase inside the call's ceiling, and the
// redirects it has seen.
struct Clock {
  const HttpLimits* limits;
  ULONGLONG deadline;
  int redirects = 0;
};

// WinHTTP calls this before it resolves, connects, sends or waits for an answer, also for each
// hop of a redirect; each phase then gets only what is left of the call.
void CALLBACK onPhase(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
  auto* clock = reinterpret_cast<Clock*>(context);
  if (!clock) return;
  if (status == WINHTTP_CALLBACK_STATUS_REDIRECT) ++clock->redirects;
  applyTimeouts(handle, *clock->limits, clock->deadline);
}

bool headerBlockEnded(HINTERNET request) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                      WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return false;
  std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                           raw.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
    return false;
  }
  raw.resize(size / sizeof(wchar_t));
  return raw.size() >= 4 && raw.compare(raw.size() - 4, 4, L"\r\n\r\n") == 0;
}

// The announced body length, if the answer gave one.
bool contentLength(HINTERNET request, DWORD& length) {
  DWORD size = sizeof(length);
  return WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &length, &size,
                             WINHTTP_NO_HEADER_INDEX) != FALSE;
}

// A read that ended because the connection broke or fell silent keeps what arrived; any other
// failure means the body's framing could not be followed.
bool connectionBroke(DWORD error) {
  return error == ERROR_WINHTTP_TIMEOUT || error == WSAETIMEDOUT ||
         error == ERROR_WINHTTP_CONNECTION_ERROR;
}

// Opens the session, connection and request for the URL; a text is why not.
std::string openRequest(Handles& h, const std::string& host, const std::string& path, bool secure,
                        Clock& clock) {
  const std::string url = std::string(secure ? "https://" : "http://") + host + path;
  h.session = openUserProxySession(utf8ToWide(USER_AGENT), utf8ToWide(url));
  if (!h.session) return failureWords(Failure::clientUnavailable);
  // Connection and request inherit these; the outcome is not needed.
  applyTimeouts(h.session, *clock.limits, clock.deadline);

  const INTERNET_PORT port = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
  h.connection = WinHttpConnect(h.session, utf8ToWide(host).c_str(), port, 0);
  if (!h.connection) return reasonFor(GetLastError());
  h.request = WinHttpOpenRequest(h.connection, L"GET", utf8ToWide(path).c_str(), nullptr,
                                 WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                 secure ? WINHTTP_FLAG_SECURE : 0);
  if (!h.request) return reasonFor(GetLastError());
  applyTimeouts(h.request, *clock.limits, clock.deadline);
  DWORD maxRedirects = MAX_REDIRECTS;
  WinHttpSetOption(h.request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &maxRedirects,
                   sizeof(maxRedirects));
  DWORD_PTR clockContext = reinterpret_cast<DWORD_PTR>(&clock);
  WinHttpSetOption(h.request, WINHTTP_OPTION_CONTEXT_VALUE, &clockContext, sizeof(clockContext));
  WinHttpSetStatusCallback(
      h.request, onPhase,
      WINHTTP_CALLBACK_FLAG_RESOLVE_NAME | WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER |
          WINHTTP_CALLBACK_FLAG_SEND_REQUEST | WINHTTP_CALLBACK_FLAG_RECEIVE_RESPONSE |
          WINHTTP_CALLBACK_FLAG_REDIRECT,
      0);
  return {};
}

// Sends the request and reads the status and Retry-After of the answer; a text is why not.
std::string sendRequest(HINTERNET request, const Clock& clock, HttpResult& result) {
  const ULONGLONG waitStart = GetTickCount64();
  if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                          0)) {
    return reasonFor(GetLastError(), clock.redirects);
  }
  if (!WinHttpReceiveResponse(request, nullptr)) return reasonFor(GetLastError(), clock.redirects);
  if (!headerBlockEnded(request)) {
    // A block that broke off is handed over as it is: after the server fell silent for the
    // phase limit (Wine), or at once when it hung up. The tick count is coarse: 90 % of the
    // limit is a wait that ran out.
    const ULONGLONG waited = GetTickCount64() - waitStart;
    const bool waitedOut = waited * 10 >= static_cast<ULONGLONG>(clock.limits->phaseMs) * 9;
    return failureWords(waitedOut ? Failure::timeOut : Failure::connectionCut);
  }
  DWORD status = 0;
  DWORD size = sizeof(status);
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  result.status = status;
  // Only the delta-seconds form reads as a number; an HTTP date leaves 0 (the default pause).
  DWORD retryAfter = 0;
  size = sizeof(retryAfter);
  if (WinHttpQueryHeaders(request, WINHTTP_QUERY_RETRY_AFTER | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &retryAfter, &size,
                          WINHTTP_NO_HEADER_INDEX)) {
    result.retryAfterSeconds = std::min<DWORD>(retryAfter, 86400);
  }
  return {};
}

// How reading the body ended.
struct BodyRead {
  bool tooLarge = false;
  bool framingBroken = false;
  std::string failure;  // empty: the body ended as its framing says
};

BodyRead readBody(HINTERNET request, const Clock& clock, std::string& body) {
  BodyRead read;
  const std::size_t maxBody = clock.limits->maxBody;
  for (;;) {
    if (msLeft(clock.deadline) == 0) {
      read.failure = failureWords(Failure::timeOut);
      return read;
    }
    applyTimeouts(request, *clock.limits, clock.deadline);
    DWORD available = 0;
    std::vector<char> buffer;
    DWORD got = 0;
    bool fine = WinHttpQueryDataAvailable(request, &available) != FALSE;
    if (fine && available == 0) return read;
    if (fine) {
      // Reading one byte past the cap is enough to know the body is too large.
      const DWORD wanted =
          static_cast<DWORD>(std::min<std::size_t>(available, maxBody - body.size() + 1));
      buffer.assign(wanted, '\0');
      fine = WinHttpReadData(request, buffer.data(), wanted, &got) != FALSE;
    }
    if (!fine) {
      const DWORD error = GetLastError();
      read.framingBroken = !connectionBroke(error);
      // Content-Length framing that breaks is a cut; what else breaks is the chunked framing.
      read.failure =
          read.framingBroken ? failureWords(Failure::brokenChunkedBody) : reasonFor(error);
      return read;
    }
    body.append(buffer.data(), got);
    if (body.size() > maxBody) {
      body.resize(maxBody);
      read.tooLarge = true;
      return read;
    }
  }
}

}  // namespace

HttpResult httpGetWithin(const std::string& host, const std::string& path, bool secure,
                         const HttpLimits& limits) {
  HttpResult result;
  // The status callback reads it until the handles close.
  Clock clock{&limits, GetTickCount64() + static_cast<ULONGLONG>(limits.ceilingMs)};
  Handles h;
  result.failure = openRequest(h, host, path, secure, clock);
  if (result.failure.empty()) result.failure = sendRequest(h.request, clock, result);
  if (!result.failure.empty()) {
    result.status = 0;
    return result;
  }

  BodyRead read = readBody(h.request, clock, result.body);
  if (read.framingBroken) {
    result.status = 0;
    result.body.clear();
    result.failure = read.failure;
    return result;
  }
  DWORD announced = 0;
  if (read.failure.empty() && !read.tooLarge && contentLength(h.request, announced) &&
      result.body.size() < announced) {
    read.failure = failureWords(Failure::connectionCut);
  }
  // A body that breaks off (cut, stalled, or ended by the call's ceiling) is kept and judged by
  // its status; only an oversized body is refused outright.
  result.ok = result.status - 200u <= 99u && !read.tooLarge;
  result.failure = read.tooLarge ? failureWords(Failure::bodyTooLarge) : read.failure;
  return result;
}

HttpResult httpGet(const std::string& host, const std::string& path, bool secure,
                   Deadline deadline) {
  // A deadline shortens the call's ceiling; every phase already gets only what is left of it.
  HttpLimits limits;
  limits.ceilingMs = msUntil(deadline, CALL_CEILING_MS);
  if (limits.ceilingMs == 0) {
    HttpResult none;
    none.failure = failureWords(Failure::timeOut);
    return none;
  }
  return httpGetWithin(host, path, secure, limits);
}
