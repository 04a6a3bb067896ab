// httpGet on libcurl: one easy handle per call (curl_easy_init / curl_easy_setopt /
// curl_easy_perform / curl_easy_getinfo / curl_easy_cleanup), the system's CA store (its hashed
// folder where there is one), redirects followed like WinHTTP does (up to 10, never from https
// down to http), through the proxy the desktop's settings name for the URL (desktop_proxy.h).
//
// Limits: resolve + connect + TLS handshake within 10 s (CURLOPT_CONNECTTIMEOUT_MS); once the
// request is on its way, 10 s without a byte in either direction ends the call (checked in the
// progress callback against the socket's own byte counters, since curl's low-speed limit
// averages and its callbacks see whole header lines only); the whole call ends after 60 s; a
// body beyond 16 MiB ends it with ok false. A host the scan's first step resolved is not looked
// up again (CURLOPT_RESOLVE, pinned_hosts.h).
//
// A status counts only once the blank line that ends its header block has arrived: a server
// that hangs up or falls silent before that gave no answer (status 0, empty body), and so did
// one whose chunked framing is broken. A connection that breaks mid-body keeps what arrived.
#include "net/http.h"

#include <curl/curl.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>

#include "net/failure.h"
#include "net/posix/desktop_proxy.h"
#include "net/posix/pinned_hosts.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Transfer {
  HttpResult* result = nullptr;
  CURL* handle = nullptr;
  Clock::time_point lastActivity = Clock::now();
  bool requestSent = false;  // the stall clock runs only once the connection stands
  bool stalled = false;
  bool tooLarge = false;
  bool headersDone = false;                // the current response's header block has ended
  curl_socket_t socket = CURL_SOCKET_BAD;  // the connection's socket, the latest one opened
  std::uint64_t socketBytes = 0;           // bytes received + sent on it, as last seen
  curl_off_t bodyBytes = 0;  // curl's own counters, for a socket the kernel does not count
};

void noteActivity(Transfer& t) {
  t.lastActivity = Clock::now();
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t n = size * count;
  noteActivity(t);
  if (t.result->body.size() + n > MAX_BODY_BYTES) {
    t.tooLarge = true;
    return CURL_WRITEFUNC_ERROR;
  }
  t.result->body.append(data, n);
  return n;
}

// curl hands over one header line at a time, the status line of each response (a redirect's,
// then the next hop's) first and the blank line that ends the block last.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  const size_t n = size * count;
  noteActivity(t);
  if (n >= 5 && std::memcmp(data, "HTTP/", 5) == 0) t.headersDone = false;
  if ((n == 2 && data[0] == '\r' && data[1] == '\n') || (n == 1 && data[0] == '\n')) {
    t.headersDone = true;
  }
  return n;
}

// Any byte in or out since the last look counts as activity, header bytes curl still holds
// included.
void noteSocketBytes(Transfer& t, curl_off_t dlnow, curl_off_t ulnow) {
  if (dlnow + ulnow != t.bodyBytes) {
    t.bodyBytes = dlnow + ulnow;
    noteActivity(t);
  }
  const curl_socket_t socket = t.socket;
  if (socket == CURL_SOCKET_BAD) return;
  tcp_info info;
  std::memset(&info, 0, sizeof info);
  socklen_t length = sizeof info;
  if (getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &length) != 0) return;
  const std::uint64_t bytes = info.tcpi_bytes_received + info.tcpi_bytes_sent;
  if (bytes != t.socketBytes) {
    t.socketBytes = bytes;
    noteActivity(t);
  }
}

// curl has no socket to tell while a transfer runs; it is noted as curl opens it.
int onSocket(void* user, curl_socket_t socket, curlsocktype) {
  auto& t = *static_cast<Transfer*>(user);
  t.socket = socket;
  t.socketBytes = 0;
  return CURL_SOCKOPT_OK;
}

int onProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
  auto& t = *static_cast<Transfer*>(user);
  if (!t.requestSent) {
    curl_off_t pretransfer = 0;
    if (curl_easy_getinfo(t.handle, CURLINFO_PRETRANSFER_TIME_T, &pretransfer) == CURLE_OK &&
        pretransfer > 0) {
      t.requestSent = true;
      noteActivity(t);
    }
    return 0;
  }
  noteSocketBytes(t, dlnow, ulnow);
  if (Clock::now() - t.lastActivity >= std::chrono::milliseconds(PHASE_TIMEOUT_MS)) {
    t.stalled = true;
    return 1;  // aborts the transfer with CURLE_ABORTED_BY_CALLBACK
  }
  return 0;
}

bool mentionsChunks(const char* message) {
  std::string text(message);
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text.find("chunk") != std::string::npos;
}

// The kind of a failed transfer; nothing for a code without one. status: the response code curl
// last read (a redirect's, when a later hop failed).
std::optional<Failure> kindOf(CURLcode code, const Transfer& t, long status, const char* message) {
  if (t.tooLarge) return Failure::bodyTooLarge;
  if (t.stalled) return Failure::timeOut;
  const bool redirected = status >= 300 && status <= 399;
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return Failure::timeOut;
    case CURLE_COULDNT_RESOLVE_HOST:
      return Failure::hostNotFound;
    case CURLE_COULDNT_CONNECT:
      return Failure::noConnection;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
      return Failure::certificateRejected;
    case CURLE_SSL_CONNECT_ERROR:
      return Failure::tlsFailure;
    case CURLE_RECV_ERROR:
      return mentionsChunks(message) ? Failure::brokenChunkedBody : Failure::connectionCut;
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
      return Failure::connectionCut;
    case CURLE_BAD_CONTENT_ENCODING:
      return Failure::brokenBodyEncoding;
    case CURLE_TOO_MANY_REDIRECTS:
      return Failure::tooManyRedirects;
    case CURLE_UNSUPPORTED_PROTOCOL:  // also curl's word for a reply that is not HTTP at all
      return redirected ? Failure::redirectRefused : Failure::notHttp;
    case CURLE_WEIRD_SERVER_REPLY:
      return Failure::notHttp;
    case CURLE_OUT_OF_MEMORY:
      throw std::bad_alloc();
    default:
      return std::nullopt;
  }
}

std::string reasonFor(CURLcode code, const Transfer& t, long status, const char* message) {
  if (const auto kind = kindOf(code, t, status, message)) return failureWords(*kind);
  return std::string(curl_easy_strerror(code)).substr(0, 60);
}

// OpenSSL 3 spends some 30 ms of CPU parsing the whole system CA bundle, on every call. Where
// libcurl knows the system's hashed certificate folder, the same checks read only the issuer
// a server's chain needs.
void useHashedCertificateFolder(CURL* handle) {
  const char* folder = nullptr;
  struct stat info;
  if (curl_easy_getinfo(handle, CURLINFO_CAPATH, &folder) == CURLE_OK && folder != nullptr &&
      stat(folder, &info) == 0 && S_ISDIR(info.st_mode)) {
    curl_easy_setopt(handle, CURLOPT_CAINFO, nullptr);
  }
}

// The addresses the scan's first step found for this host, while they are fresh; null if none.
curl_slist* pinnedAddresses(const std::string& host) {
  curl_slist* list = nullptr;
  for (const std::string& entry : pinnedResolveEntries(host)) {
    list = curl_slist_append(list, entry.c_str());
  }
  return list;
}

void initCurlOnce() {
  // curl_global_init is not safe to race; scans run on several threads.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Fills the result from the finished transfer: its failure, status and Retry-After.
void readOutcome(HttpResult& result, CURL* handle, CURLcode code, const Transfer& transfer,
                 const char* message) {
  long status = 0;
  if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) status = 0;
  // Seconds or an HTTP date, read by curl from the last response; 0 without the header.
  curl_off_t retryAfter = 0;
  if (curl_easy_getinfo(handle, CURLINFO_RETRY_AFTER, &retryAfter) != CURLE_OK) retryAfter = 0;
  if (code != CURLE_OK) result.failure = reasonFor(code, transfer, status, message);

  // A redirect whose next hop failed, headers that never ended, or a body whose framing broke:
  // none of them is an answer.
  const bool hopFailed = code != CURLE_OK && status >= 300 && status <= 399;
  if (!transfer.headersDone || hopFailed ||
      result.failure == failureWords(Failure::brokenChunkedBody)) {
    result.status = 0;
    result.body.clear();
    if (result.failure.empty()) result.failure = failureWords(Failure::connectionCut);
    return;
  }
  result.status = status > 0 ? static_cast<std::uint32_t>(status) : 0;
  // A body that breaks off after the headers is kept and judged by its status, as a reader
  // that lost its connection mid-way would; only an oversized body is refused outright.
  result.ok = !transfer.tooLarge && result.status - 200u <= 99u;
  if (retryAfter > 0) {
    result.retryAfterSeconds = static_cast<std::uint32_t>(std::min<curl_off_t>(retryAfter, 86400));
  }
}

}  // namespace

HttpResult httpGet(const std::string& host, const std::string& path, bool secure,
                   Deadline deadline) {
  HttpResult result;
  // A deadline shortens the call's ceiling, and the connect limit with it.
  const long callMs = msUntil(deadline, CALL_CEILING_MS);
  if (callMs == 0) {
    result.failure = failureWords(Failure::timeOut);
    return result;
  }
  initCurlOnce();
  CURL* handle = curl_easy_init();
  if (handle == nullptr) {
    result.failure = failureWords(Failure::clientUnavailable);
    return result;
  }
  Transfer transfer;
  transfer.result = &result;
  transfer.handle = handle;

  char message[CURL_ERROR_SIZE] = {};
  const std::string url = std::string(secure ? "https://" : "http://") + host + path;
  // curl adds "Accept: */*" on its own; the request carries the user agent and nothing else.
  curl_slist* headers = curl_slist_append(nullptr, "Accept:");
  curl_slist* pinned = pinnedAddresses(host);

  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  useDesktopProxy(handle, url);
  curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(handle, CURLOPT_USERAGENT, USER_AGENT);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  if (pinned != nullptr) curl_easy_setopt(handle, CURLOPT_RESOLVE, pinned);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM games on worker threads
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, std::min(PHASE_TIMEOUT_MS, callMs));
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, callMs);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, onProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, message);
  curl_easy_setopt(handle, CURLOPT_SOCKOPTFUNCTION, onSocket);
  curl_easy_setopt(handle, CURLOPT_SOCKOPTDATA, &transfer);
  useHashedCertificateFolder(handle);

  const CURLcode code = curl_easy_perform(handle);
  readOutcome(result, handle, code, transfer, message);
  curl_slist_free_all(headers);
  curl_slist_free_all(pinned);
  curl_easy_cleanup(handle);
  return result;
}
