// On Windows the proxy settings are the current user's Internet Options.
#include "scan/catalogue.h"

SourceIdentity systemProxySource() {
  return {"windowsProxy", "Windows Proxy", "microsoft.com", "local", ""};
}
