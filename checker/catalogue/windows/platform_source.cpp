// On Windows the proxy settings are the current user's Internet Options.
#include "catalogue/catalogue.h"

SourceIdentity systemProxySource() {
  return {
      .key = "windowsProxy", .name = "Windows Proxy", .domain = "microsoft.com", .group = "local"};
}
