// systemProxyInUse on the desktop's proxy settings (GSettings schema org.gnome.system.proxy,
// through gio: g_settings_schema_source_lookup, g_settings_new_full, g_settings_get_*) and the
// conventional proxy variables of the environment (getenv).
//
// A proxy counts when the mode is "manual" with a host for http, https or socks, when the mode
// is "auto" with a configuration URL, or when http_proxy, https_proxy or all_proxy (either
// case) is set and not empty. A desktop without the schema has no such settings: no proxy.
#include "net/system_proxy.h"

#include <gio/gio.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char* PROXY_SCHEMA = "org.gnome.system.proxy";

bool environmentNamesProxy() {
  for (const char* name :
       {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

std::string readString(GSettings* settings, const char* key) {
  gchar* value = g_settings_get_string(settings, key);
  std::string text = value != nullptr ? value : "";
  g_free(value);
  return text;
}

bool childHasHost(GSettings* parent, const char* child) {
  GSettings* settings = g_settings_get_child(parent, child);
  if (settings == nullptr) return false;
  const bool hasHost = !readString(settings, "host").empty();
  g_object_unref(settings);
  return hasHost;
}

bool desktopNamesProxy() {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return false;
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, PROXY_SCHEMA, TRUE);
  if (schema == nullptr) return false;  // g_settings_new would abort the process
  GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
  g_settings_schema_unref(schema);

  bool inUse = false;
  const std::string mode = readString(settings, "mode");
  if (mode == "manual") {
    inUse = childHasHost(settings, "http") || childHasHost(settings, "https") ||
            childHasHost(settings, "socks");
  } else if (mode == "auto") {
    inUse = !readString(settings, "autoconfig-url").empty();
  }
  g_object_unref(settings);
  return inUse;
}

}  // namespace

LookupResult systemProxyInUse() {
  if (environmentNamesProxy() || desktopNamesProxy()) return flaggedResult();
  return clearResult();
}
