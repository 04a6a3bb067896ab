// httpGet on libcurl: one easy handle per call (curl_easy_init / curl_easy_setopt /
// curl_easy_perform / curl_easy_getinfo / curl_easy_cleanup), the system's CA store (its hashed
// folder where there is one), redirects followed like WinHTTP does (up to 10, never from https
// down to http).
//
// Limits: resolve + connect + TLS handshake within 10 s (CURLOPT_CONNECTTIMEOUT_MS); once the
// request is on its way, 10 s without a byte in either direction ends the call (checked in the
// progress callback, since curl's low-speed limit averages and would cut off slow but steady
// servers); the whole call ends after 60 s; a body beyond 16 MiB ends it with ok false.
#include "net/http.h"

#include <curl/curl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <new>

namespace {

using Clock = std::chrono::steady_clock;

struct Transfer {
  HttpResult* result = nullptr;
  CURL* handle = nullptr;
  Clock::time_point lastActivity = Clock::now();
  bool requestSent = false;  // the stall clock runs only once the connection stands
  bool stalled = false;
  bool tooLarge = false;
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

size_t onHeader(char*, size_t size, size_t count, void* user) {
  noteActivity(*static_cast<Transfer*>(user));
  return size * count;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
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
  if (Clock::now() - t.lastActivity >= std::chrono::milliseconds(PHASE_TIMEOUT_MS)) {
    t.stalled = true;
    return 1;  // aborts the transfer with CURLE_ABORTED_BY_CALLBACK
  }
  return 0;
}

std::string reasonFor(CURLcode code, const Transfer& t) {
  if (t.tooLarge) return "body too large";
  if (t.stalled) return "time-out";
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return "time-out";
    case CURLE_COULDNT_RESOLVE_HOST:
      return "host not found";
    case CURLE_COULDNT_CONNECT:
      return "no connection";
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
      return "certificate rejected";
    case CURLE_SSL_CONNECT_ERROR:
      return "TLS failure";
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
      return "connection cut";
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return "redirect refused";
    case CURLE_OUT_OF_MEMORY:
      throw std::bad_alloc();
    default:
      return curl_easy_strerror(code);
  }
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

void initCurlOnce() {
  // curl_global_init is not safe to race; scans run on several threads.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

HttpResult httpGet(const std::string& host, const std::string& path, bool secure) {
  HttpResult result;
  initCurlOnce();
  CURL* handle = curl_easy_init();
  if (handle == nullptr) {
    result.failure = "HTTP client unavailable";
    return result;
  }
  Transfer transfer;
  transfer.result = &result;
  transfer.handle = handle;

  const std::string url = std::string(secure ? "https://" : "http://") + host + path;
  // curl adds "Accept: */*" on its own; the request carries the user agent and nothing else.
  curl_slist* headers = curl_slist_append(nullptr, "Accept:");

  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(handle, CURLOPT_USERAGENT, USER_AGENT);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM games on worker threads
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, PHASE_TIMEOUT_MS);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, CALL_CEILING_MS);
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
  useHashedCertificateFolder(handle);

  const CURLcode code = curl_easy_perform(handle);

  long status = 0;
  if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) status = 0;
  result.status = status > 0 ? static_cast<std::uint32_t>(status) : 0;
  // A body that breaks off after the headers is kept and judged by its status, as a reader
  // that lost its connection mid-way would; only an oversized body is refused outright.
  result.ok = !transfer.tooLarge && result.status - 200u <= 99u;
  // Seconds or an HTTP date, read by curl from the last response; 0 without the header.
  curl_off_t retryAfter = 0;
  if (curl_easy_getinfo(handle, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter > 0) {
    result.retryAfterSeconds = static_cast<std::uint32_t>(std::min<curl_off_t>(retryAfter, 86400));
  }

  curl_slist_free_all(headers);
  curl_easy_cleanup(handle);
  if (code != CURLE_OK) result.failure = reasonFor(code, transfer);
  return result;
}
