// A request to stop the operation in progress, set from another thread or a signal handler and
// read by the operation between two bytes. Lock-free, so that a signal handler may set it.
#pragma once

#include <atomic>

namespace keldar {

class StopRequest {
 public:
  void Request() noexcept { requested_.store(true, std::memory_order_relaxed); }
  [[nodiscard]] bool Requested() const noexcept {
    return requested_.load(std::memory_order_relaxed);
  }
  void Clear() noexcept { requested_.store(false, std::memory_order_relaxed); }

 private:
  static_assert(std::atomic<bool>::is_always_lock_free);
  std::atomic<bool> requested_{false};
};

}  // namespace keldar
