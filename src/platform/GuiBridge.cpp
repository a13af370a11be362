#include "platform/GuiBridge.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace orvane {
namespace {

struct PendingCall {
  std::mutex mutex;
  std::condition_variable_any done;
  bool finished = false;
  bool ran = false;
  bool abandoned = false;  // the worker stopped waiting: `call` may no longer be touched
};

}  // namespace

bool RunOnGuiWhile(const std::function<bool()>& alive, const std::stop_token& stop,
                   const std::function<void()>& call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || stop.stop_requested()) return false;
  if (QThread::currentThread() == app->thread()) {
    if (!alive()) return false;
    call();
    return true;
  }

  auto pending = std::make_shared<PendingCall>();
  // Posted to the application object, which outlives every window; `alive` runs on the GUI thread,
  // where windows are deleted.
  QMetaObject::invokeMethod(
      app,
      [pending, alive, stop, &call] {
        std::lock_guard lock(pending->mutex);
        if (!pending->abandoned && !stop.stop_requested() && alive()) {
          call();
          pending->ran = true;
        }
        pending->finished = true;
        pending->done.notify_all();
      },
      Qt::QueuedConnection);

  std::unique_lock lock(pending->mutex);
  if (!pending->done.wait(lock, stop, [&] { return pending->finished; })) {
    pending->abandoned = true;
    return false;
  }
  return pending->ran;
}

}  // namespace orvane
