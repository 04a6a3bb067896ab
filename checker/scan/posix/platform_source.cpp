// On a Linux desktop the proxy settings are the freedesktop / GNOME ones and the environment.
#include "scan/catalogue.h"

SourceIdentity systemProxySource() {
  return {"windowsProxy", "System Proxy", "freedesktop.org", "local", ""};
}
