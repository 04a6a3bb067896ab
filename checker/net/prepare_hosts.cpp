// One record per preparation, shared with its threads: each settles its host or question once,
// and the waiting calls read it under the lock. A thread that cannot be started counts as a
// success, so a host or a DNS server is never given up on without having been asked.
#include "net/prepare_hosts.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct Preparation {
  std::mutex lock;
  std::condition_variable settled;
  std::map<std::string, bool, std::less<>> resolved;  // the hosts settled so far
  std::size_t questionsOpen = 0;
  bool dnsAnswered = false;
  Deadline deadline;
  std::once_flag proxyRead;  // asked only for a host without an address, and only once
  bool viaProxy = false;
};

void settleHost(Preparation& p, const std::string& host, bool found) {
  const std::lock_guard<std::mutex> guard(p.lock);
  p.resolved[host] = found;
  p.settled.notify_all();
}

void settleQuestion(Preparation& p, bool replied) {
  const std::lock_guard<std::mutex> guard(p.lock);
  --p.questionsOpen;
  p.dnsAnswered = p.dnsAnswered || replied;
  p.settled.notify_all();
}

template <typename Ready>
void waitFor(Preparation& p, std::unique_lock<std::mutex>& guard, Ready ready) {
  if (p.deadline == NO_DEADLINE) {
    p.settled.wait(guard, ready);
  } else {
    p.settled.wait_until(guard, p.deadline, ready);
  }
}

}  // namespace

PreparedHosts prepareHostsWith(const std::vector<std::string>& hosts, Deadline deadline,
                               const HostSteps& steps) {
  auto p = std::make_shared<Preparation>();
  p->deadline = deadline;
  p->questionsOpen = hosts.size();
  p->dnsAnswered = hosts.empty();  // nothing asked: nothing speaks against the server
  for (const std::string& host : hosts) {
    if (!steps.startThread(
            [p, host, resolve = steps.resolve] { settleHost(*p, host, resolve(host)); })) {
      settleHost(*p, host, true);
    }
    if (!steps.startThread([p, host, deadline, ask = steps.dnsReplies] {
          settleQuestion(*p, ask(host, deadline));
        })) {
      settleQuestion(*p, true);
    }
  }
  PreparedHosts prepared;
  prepared.hostResolved = [p, hosts, proxyInUse = steps.proxyInUse](const std::string& host) {
    bool asked = false;
    for (const std::string& h : hosts) asked = asked || h == host;
    if (!asked) return true;
    std::unique_lock<std::mutex> guard(p->lock);
    waitFor(*p, guard, [&p, &host] { return p->resolved.count(host) > 0; });
    const auto it = p->resolved.find(host);
    if (it != p->resolved.end() && it->second) return true;
    guard.unlock();
    std::call_once(p->proxyRead, [&p, &proxyInUse] { p->viaProxy = proxyInUse && proxyInUse(); });
    return p->viaProxy;
  };
  prepared.dnsAnswered = [p] {
    std::unique_lock<std::mutex> guard(p->lock);
    waitFor(*p, guard, [&p] { return p->dnsAnswered || p->questionsOpen == 0; });
    return p->dnsAnswered;
  };
  return prepared;
}
