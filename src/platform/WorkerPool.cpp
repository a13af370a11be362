#include "platform/WorkerPool.h"

#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace orvane {

struct WorkerPool::State {
  struct Worker {
    std::jthread thread;
    bool finished = false;
  };
  std::mutex mutex;
  std::condition_variable changed;
  std::list<Worker> workers;
  int running = 0;

  // Joins the threads that have ended; called with the mutex held.
  void ReapFinished() {
    for (auto it = workers.begin(); it != workers.end();) {
      if (it->finished) {
        it->thread.join();
        it = workers.erase(it);
      } else {
        ++it;
      }
    }
  }
};

WorkerPool& WorkerPool::Instance() {
  static WorkerPool pool;
  return pool;
}

WorkerPool::State& WorkerPool::Shared() {
  // Never destroyed: a worker that outlives main must not find its pool gone.
  static State* state = new State;
  return *state;
}

std::stop_source WorkerPool::Start(std::function<void(std::stop_token)> work) {
  State& state = Shared();
  std::lock_guard lock(state.mutex);
  state.ReapFinished();
  State::Worker& worker = state.workers.emplace_back();
  ++state.running;
  worker.thread = std::jthread([&state, &worker, work = std::move(work)](std::stop_token stop) {
    work(stop);
    std::lock_guard done(state.mutex);
    worker.finished = true;
    --state.running;
    state.changed.notify_all();
  });
  return worker.thread.get_stop_source();
}

bool WorkerPool::StopAll(std::chrono::milliseconds timeout) {
  State& state = Shared();
  std::unique_lock lock(state.mutex);
  for (auto& worker : state.workers) worker.thread.request_stop();
  if (!state.changed.wait_for(lock, timeout, [&] { return state.running == 0; })) return false;
  state.ReapFinished();
  return true;
}

bool WorkerPool::WaitIdle(std::chrono::milliseconds timeout) {
  State& state = Shared();
  std::unique_lock lock(state.mutex);
  if (!state.changed.wait_for(lock, timeout, [&] { return state.running == 0; })) return false;
  state.ReapFinished();
  return true;
}

}  // namespace orvane
