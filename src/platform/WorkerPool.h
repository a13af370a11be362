#pragma once
// Owns the program's worker threads. Workers start fire-and-forget from the windows' point of view,
// but each has an owner here, so that the program can stop them all and wait before it ends.
#include <chrono>
#include <functional>
#include <stop_token>

namespace orvane {

class WorkerPool {
 public:
  static WorkerPool& Instance();

  // Runs `work` on a new thread. The returned source stops that worker (its transfers abort, its
  // window calls return false).
  std::stop_source Start(std::function<void(std::stop_token)> work);

  // Stops every worker and waits up to `timeout` for all of them to end. True when all ended and were
  // joined; false when some still run (the caller must then leave without running static destructors).
  bool StopAll(std::chrono::milliseconds timeout);

  // Waits up to `timeout` for every worker to end without stopping them (tests).
  bool WaitIdle(std::chrono::milliseconds timeout);

 private:
  WorkerPool() = default;
  struct State;
  static State& Shared();
};

}  // namespace orvane
