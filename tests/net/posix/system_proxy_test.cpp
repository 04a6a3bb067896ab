// systemProxyInUse over GSettings' memory backend (GSETTINGS_BACKEND=memory, set by the test's
// registration) and the environment.
#include "net/system_proxy.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

const char* const PROXY_VARIABLES[] = {"http_proxy", "https_proxy", "all_proxy",
                                       "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"};

struct Desktop {
  std::string mode = "none";
  std::string http, https, socks, ftp, autoconfigUrl;
};

void setHost(GSettings* proxy, const char* child, const std::string& host) {
  GSettings* settings = g_settings_get_child(proxy, child);
  g_settings_set_string(settings, "host", host.c_str());
  g_settings_set_int(settings, "port", host.empty() ? 0 : 3128);
  g_object_unref(settings);
}

void applyDesktop(const Desktop& d) {
  GSettings* proxy = g_settings_new("org.gnome.system.proxy");
  g_settings_set_string(proxy, "mode", d.mode.c_str());
  g_settings_set_string(proxy, "autoconfig-url", d.autoconfigUrl.c_str());
  setHost(proxy, "http", d.http);
  setHost(proxy, "https", d.https);
  setHost(proxy, "socks", d.socks);
  setHost(proxy, "ftp", d.ftp);
  g_object_unref(proxy);
}

class SystemProxy : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_STREQ(g_getenv("GSETTINGS_BACKEND"), "memory");
    GSettingsSchema* schema = g_settings_schema_source_lookup(
        g_settings_schema_source_get_default(), "org.gnome.system.proxy", TRUE);
    ASSERT_NE(schema, nullptr) << "gsettings-desktop-schemas is not installed";
    g_settings_schema_unref(schema);
    for (const char* name : PROXY_VARIABLES) unsetenv(name);
    applyDesktop({});
  }
};

TEST_F(SystemProxy, DesktopSettingsThatNameAProxyCount) {
  struct Case {
    const char* what;
    Desktop desktop;
    Lookup expected;
  };
  const std::vector<Case> cases = {
      {"nothing set", {}, Lookup::clear},
      {"manual, http host", {"manual", "proxy.lan", "", "", "", ""}, Lookup::flagged},
      {"manual, https host", {"manual", "", "proxy.lan", "", "", ""}, Lookup::flagged},
      {"manual, socks host", {"manual", "", "", "socks.lan", "", ""}, Lookup::flagged},
      {"manual, ftp host only", {"manual", "", "", "", "ftp.lan", ""}, Lookup::clear},
      {"manual, no host", {"manual", "", "", "", "", ""}, Lookup::clear},
      {"auto with a script", {"auto", "", "", "", "", "http://wpad/proxy.pac"}, Lookup::flagged},
      {"auto-detect only", {"auto", "", "", "", "", ""}, Lookup::clear},
      {"hosts kept, mode none", {"none", "proxy.lan", "", "", "", "http://x/p.pac"}, Lookup::clear},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    applyDesktop(c.desktop);
    EXPECT_EQ(systemProxyInUse().outcome, c.expected);
  }
}

TEST_F(SystemProxy, EachProxyVariableCountsWhenNotEmpty) {
  for (const char* name : PROXY_VARIABLES) {
    SCOPED_TRACE(name);
    setenv(name, "", 1);
    EXPECT_EQ(systemProxyInUse().outcome, Lookup::clear);
    setenv(name, "http://proxy.lan:3128", 1);
    EXPECT_EQ(systemProxyInUse().outcome, Lookup::flagged);
    unsetenv(name);
  }
  setenv("no_proxy", "example.org", 1);
  EXPECT_EQ(systemProxyInUse().outcome, Lookup::clear);
  unsetenv("no_proxy");
}

}  // namespace
