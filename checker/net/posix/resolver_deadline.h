#pragma once
// Shortens a resolver state's retry limits so that a query through it ends by a deadline.
#include <resolv.h>

#include "net/deadline.h"

// Fewer tries and a shorter wait per server when the configured ones would run past `deadline`.
// False when less than the resolver's smallest wait (one second) is left: send nothing then.
bool fitResolverToDeadline(struct __res_state& state, Deadline deadline);
