#pragma once
// Broken answers of the fake internet's web.test and bl.test (scenarios http.scn and dns.scn),
// with what each must come to. One table for every platform's runner: a broken answer is never
// a success with a status, never "not listed", never "no such name".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a call must give: a usable answer (ok, with the status and body as received) or none.
struct HostileHttpCase {
  std::string path;
  bool ok;
  std::uint32_t status;    // 0: no answer at all
  std::string body;        // what is kept of the body
  std::string reason;      // the client's words, on every platform
  std::string limit = {};  // a client that cannot see this form says so in HostileCalls::limits
};

// /hostile/head-cut/N sends the first N bytes of an answer whose header block is this long.
inline constexpr std::size_t HOSTILE_HEAD_BYTES = 195;

inline const std::vector<HostileHttpCase>& hostileHttpCases() {
  static const std::vector<HostileHttpCase> cases = {
      {"/hostile/status-then-silence", false, 0, "", "time-out"},
      {"/hostile/trickled-head", true, 200, "ok", ""},  // slow but never 10 s without a byte
      {"/hostile/not-http", false, 0, "", "not an HTTP answer"},
      {"/hostile/bad-chunk", false, 0, "", "broken chunked body"},
      {"/hostile/chunk-cut", true, 200, "abcdefg", "connection cut", "chunked cut unseen"},
      {"/hostile/redirect-loop", false, 0, "", "too many redirects"},
      {"/hostile/redirect-refused", false, 0, "", "no connection"},
      {"/big/over", false, 200, "", "body too large"},      // body: not compared
      {"/cut", true, 200, "abcdefghij", "connection cut"},  // shorter than its Content-Length
  };
  return cases;
}

enum class DnsExpect { listed, notListed, noAnswer };

struct HostileDnsCase {
  std::string address;  // asked in bl.test
  DnsExpect expected;
  std::string what;
  std::string limit = {};
};

inline const std::vector<HostileDnsCase>& hostileDnsCases() {
  static const std::vector<HostileDnsCase> cases = {
      {"192.0.2.20", DnsExpect::noAnswer, "TC bit, nothing over TCP"},
      {"192.0.2.28", DnsExpect::noAnswer, "TC bit, TCP accepted but silent",
       "silent TCP waited on"},
      {"192.0.2.21", DnsExpect::listed, "300 records, over TCP", "answers over 4 KiB"},
      {"192.0.2.22", DnsExpect::noAnswer, "compression pointer loop"},
      {"192.0.2.23", DnsExpect::noAnswer, "reply with another ID"},
      {"192.0.2.24", DnsExpect::noAnswer, "reply to another question"},
      {"192.0.2.25", DnsExpect::noAnswer, "a TXT record for an A question"},
      {"192.0.2.26", DnsExpect::noAnswer, "an A record of class CH", "record class unseen"},
      {"192.0.2.27", DnsExpect::noAnswer, "FORMERR"},
      {"192.0.2.17", DnsExpect::noAnswer, "silence"},
      {"192.0.2.13", DnsExpect::notListed, "NXDOMAIN"},
      {"192.0.2.14", DnsExpect::notListed, "no A record"},
  };
  return cases;
}

// Reverse DNS: answered (with "" meaning no such name) or not answered.
struct HostilePtrCase {
  std::string address;
  bool answered;
  std::string what;
};

inline const std::vector<HostilePtrCase>& hostilePtrCases() {
  static const std::vector<HostilePtrCase> cases = {
      {"198.51.100.26", false, "FORMERR"},
      {"198.51.100.27", false, "silence"},
      {"198.51.100.28", false, "reply with another ID"},
      {"198.51.100.29", true, "no PTR record"},
      {"198.51.100.24", true, "NXDOMAIN"},
  };
  return cases;
}
