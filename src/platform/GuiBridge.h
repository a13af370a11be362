#pragma once
// Runs a worker's window calls on the GUI thread while the worker waits.
#include <QObject>
#include <QPointer>

#include <functional>
#include <stop_token>

namespace orvane {

// Runs `call` on the GUI thread, directly when already there. The call is skipped, and false returned,
// when `window` no longer exists or `stop` was requested, on the GUI thread itself, so a call never
// touches a window that is gone or belongs to a stopped worker. The waiting caller returns false as
// soon as `stop` is requested. False means: end quietly.
template <typename Window>
bool RunOnGui(const QPointer<Window>& window, const std::stop_token& stop, const std::function<void()>& call);

// The same, for a call that yields a value. Returns false (leaving `result` as it was) as above.
template <typename Window, typename T>
bool ReadOnGui(const QPointer<Window>& window, const std::stop_token& stop, const std::function<T()>& call,
               T& result) {
  T value{};
  if (!RunOnGui(window, stop, [&] { value = call(); })) return false;
  result = std::move(value);
  return true;
}

// RunOnGui with the window's existence as a test that runs on the GUI thread.
bool RunOnGuiWhile(const std::function<bool()>& alive, const std::stop_token& stop, const std::function<void()>& call);

template <typename Window>
bool RunOnGui(const QPointer<Window>& window, const std::stop_token& stop, const std::function<void()>& call) {
  // Copying a QPointer is safe on any thread; reading it is not, so it is read on the GUI thread only.
  return RunOnGuiWhile([window] { return !window.isNull(); }, stop, call);
}

}  // namespace orvane
