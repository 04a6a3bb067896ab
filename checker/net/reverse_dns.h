#pragma once
#include <string>

#include "net/lookup.h"

// inet_pton + getnameinfo(NI_NAMEREQD). answered with an empty name: not dotted IPv4, or no PTR.
NameLookup reverseDnsName(const std::string& address);
