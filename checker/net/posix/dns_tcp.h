#pragma once
// One DNS question over TCP (two length bytes, then the message), for an answer that came
// truncated over UDP. The resolver state is set to ignore the TC bit, so libresolv never opens
// a TCP connection itself: its TCP wait has no limit of its own.
#include <netinet/in.h>
#include <resolv.h>

#include <optional>
#include <vector>

#include "net/deadline.h"

// Asks each of the state's IPv4 name servers in turn, each for at most 10 s (less when the
// deadline is nearer), and gives the first reply that carries the query's ID and is a response;
// nothing when every server refuses, hangs up or stays silent.
std::optional<std::vector<unsigned char>> askDnsOverTcp(const struct __res_state& state,
                                                        const std::vector<unsigned char>& query,
                                                        Deadline deadline);

// One server, until `until`: the reply that carries the query's ID and is a response.
std::optional<std::vector<unsigned char>> askDnsServerOverTcp(
    const sockaddr_in& server, const std::vector<unsigned char>& query, Deadline until);
