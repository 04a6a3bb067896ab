// On a Linux desktop the proxy settings are the freedesktop / GNOME ones and the environment.
#include "catalogue/catalogue.h"

SourceIdentity systemProxySource() {
  return {
      .key = "windowsProxy", .name = "System Proxy", .domain = "freedesktop.org", .group = "local"};
}
