#pragma once
// A fake window thread for the bridge tests: `post` queues the reply text, the test waits for it.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/bridge.h"

struct ReplyCollector {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::string> replies;

  PostReply post() {
    return [this](std::unique_ptr<std::string>& reply) {
      std::lock_guard lock(mutex);
      std::unique_ptr<std::string> taken(reply.release());
      replies.push_back(*taken);
      arrived.notify_all();
      return true;
    };
  }

  // Waits (bounded, so a lost reply fails the test instead of hanging it) for `count` replies.
  std::vector<std::string> waitFor(size_t count) {
    std::unique_lock lock(mutex);
    arrived.wait_for(lock, std::chrono::seconds(20), [&] { return replies.size() >= count; });
    return replies;
  }

  size_t size() {
    std::lock_guard lock(mutex);
    return replies.size();
  }
};
