#pragma once
#include "net/lookup.h"

// flagged: the user's settings name a proxy server or a configuration script.
LookupResult systemProxyInUse();
