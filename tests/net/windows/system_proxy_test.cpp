// systemProxyInUse through the current user's Internet Settings in the registry. The settings
// live in the binary value Connections\DefaultConnectionSettings, which is what WinHTTP reads
// (Wine reads nothing else); the named values beside it are written too, as Internet Options
// would. Each case restores what was there before. The same settings then choose the proxy of
// httpGet's requests.
#include "net/system_proxy.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "fake_network.h"
#include "net/http.h"
#include "net/windows/text.h"
#include "net/windows/user_proxy.h"

namespace {

constexpr const wchar_t* SETTINGS =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const wchar_t* CONNECTIONS =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

// Flags of the connection settings record.
constexpr std::uint32_t DIRECT = 1, PROXY = 2, SCRIPT = 4, AUTO_DETECT = 8;

struct Settings {
  std::uint32_t flags = DIRECT;
  std::string proxy;   // "host:port"
  std::string bypass;  // "<local>"
  std::string script;  // configuration script address
};

std::vector<BYTE> record(const Settings& s) {
  std::vector<BYTE> out;
  const auto put32 = [&out](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(v >> (8 * i)));
  };
  const auto putText = [&](const std::string& text) {
    put32(static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
  };
  put32(0x46);  // version of the record
  put32(1);     // change counter
  put32(s.flags);
  putText(s.proxy);
  putText(s.bypass);
  putText(s.script);
  out.resize(out.size() + 32, 0);  // auto-detect details: none
  return out;
}

// One registry value, saved on construction and put back (or removed) on destruction.
class SavedValue {
 public:
  SavedValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
    DWORD type = 0, size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key_, name_, RRF_RT_ANY, &type, nullptr, &size) ==
        ERROR_SUCCESS) {
      std::vector<BYTE> data(size);
      RegGetValueW(HKEY_CURRENT_USER, key_, name_, RRF_RT_ANY, &type, data.data(), &size);
      data.resize(size);
      saved_ = std::make_pair(type, data);
    }
  }
  ~SavedValue() {
    if (saved_) {
      set(saved_->first, saved_->second);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_);
    }
  }
  void set(DWORD type, const std::vector<BYTE>& data) const {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key_, name_, type, data.data(),
                              static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }
  void remove() const { RegDeleteKeyValueW(HKEY_CURRENT_USER, key_, name_); }

 private:
  const wchar_t* key_;
  const wchar_t* name_;
  std::optional<std::pair<DWORD, std::vector<BYTE>>> saved_;
};

std::vector<BYTE> wideBytes(const std::wstring& text) {
  const auto* p = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t));
}
std::vector<BYTE> dwordBytes(DWORD value) {
  const auto* p = reinterpret_cast<const BYTE*>(&value);
  return std::vector<BYTE>(p, p + sizeof(value));
}

class SystemProxy : public ::testing::Test {
 protected:
  // Writes the record and the matching named values of Internet Options.
  void apply(const Settings& s) {
    record_.set(REG_BINARY, record(s));
    enable_.set(REG_DWORD, dwordBytes((s.flags & PROXY) ? 1 : 0));
    server_.set(REG_SZ, wideBytes(std::wstring(s.proxy.begin(), s.proxy.end())));
    if (s.flags & SCRIPT) {
      script_.set(REG_SZ, wideBytes(std::wstring(s.script.begin(), s.script.end())));
    } else {
      script_.remove();
    }
  }

  SavedValue record_{CONNECTIONS, L"DefaultConnectionSettings"};
  SavedValue enable_{SETTINGS, L"ProxyEnable"};
  SavedValue server_{SETTINGS, L"ProxyServer"};
  SavedValue script_{SETTINGS, L"AutoConfigURL"};
};

TEST_F(SystemProxy, EachSettingThatNamesAProxyCounts) {
  struct Case {
    std::string name;
    Settings settings;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"nothing", {DIRECT, "", "", ""}, "clear"},
      {"proxy server", {DIRECT | PROXY, "proxy.example:8080", "<local>", ""}, "flagged"},
      {"configuration script",
       {DIRECT | SCRIPT, "", "", "http://wpad.example/proxy.pac"},
       "flagged"},
      {"auto-detect only", {DIRECT | AUTO_DETECT, "", "", ""}, "clear"},
      {"server and script",
       {DIRECT | PROXY | SCRIPT, "10.0.0.1:3128", "", "http://x/p.pac"},
       "flagged"},
      // A server written down but switched off is not in use.
      {"server switched off", {DIRECT, "proxy.example:8080", "", ""}, "clear"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    apply(c.settings);
    EXPECT_EQ(describe(systemProxyInUse()), c.expected);
  }
}

TEST_F(SystemProxy, NoSettingsAtAllIsNoProxy) {
  record_.remove();
  enable_.remove();
  server_.remove();
  script_.remove();
  EXPECT_EQ(describe(systemProxyInUse()), "clear");
}

// A record cut short after its header makes WinHTTP's read fail (as Wine implements it): that is
// "no answer", never "no proxy".
TEST_F(SystemProxy, UnreadableSettingsAreNoAnswer) {
  std::vector<BYTE> cut = record({DIRECT | PROXY, "proxy.example:8080", "", ""});
  cut.resize(12);
  record_.set(REG_BINARY, cut);
  EXPECT_EQ(describe(systemProxyInUse()), "failed: settings unreadable");
}

TEST(ProxyList, TheSchemesOwnEntryElseTheCommonOne) {
  struct Case {
    std::wstring list;
    bool secure;
    std::wstring expected;
  };
  const std::vector<Case> cases = {
      {L"proxy.lan:3128", true, L"proxy.lan:3128"},
      {L"http://proxy.lan:3128", false, L"proxy.lan:3128"},
      {L"http=a:1;https=b:2", true, L"b:2"},
      {L"HTTP=a:1 https=b:2", false, L"a:1"},
      {L"ftp=c:3;common:4;https=b:2", false, L"common:4"},
      {L"socks=s:1080", true, L""},
      {L"", false, L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(proxyForScheme(c.list, c.secure), c.expected) << wideToUtf8(c.list);
  }
}

// Requests under each of the user's settings, in the fake internet (scenario windows.scn): the
// stand-in proxy on 127.0.0.1:3128 logs what passes through it.
class UserProxyRequests : public SystemProxy {
 protected:
  static int proxiedToWebTest() {
    const char* dir = std::getenv("FAKE_NET_DIR");
    std::ifstream log(std::string("Z:") + (dir ? dir : "") + "/requests.log");
    int count = 0;
    for (std::string line; std::getline(log, line);) {
      if (line.rfind("proxy ", 0) == 0 && line.find("web.test") != std::string::npos) ++count;
    }
    return count;
  }
};

TEST_F(UserProxyRequests, GoThroughTheProxyTheSettingsName) {
  struct Case {
    std::string name;
    Settings settings;
    bool proxied;
  };
  const std::vector<Case> cases = {
      {"none", {DIRECT, "127.0.0.1:3128", "", ""}, false},
      {"fixed proxy", {DIRECT | PROXY, "127.0.0.1:3128", "<local>", ""}, true},
      {"one per scheme",
       {DIRECT | PROXY, "http=127.0.0.1:3128;https=127.0.0.1:3128", "", ""},
       true},
      {"host on the bypass list", {DIRECT | PROXY, "127.0.0.1:3128", "*.test", ""}, false},
      {"script", {DIRECT | SCRIPT, "", "", "http://web.test/proxy.pac"}, true},
      {"script out of reach, fixed proxy beside",
       {DIRECT | PROXY | SCRIPT, "127.0.0.1:3128", "", "http://refused.test/proxy.pac"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    apply(c.settings);
    const int before = proxiedToWebTest();
    EXPECT_TRUE(httpGet("web.test", "/status/200", true).ok);
    EXPECT_TRUE(httpGet("web.test", "/status/200", false).ok);
    EXPECT_EQ(proxiedToWebTest() - before, c.proxied ? 2 : 0);
  }
}

}  // namespace
