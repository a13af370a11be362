#pragma once
// Message boxes of the program. None has an owner window, and none keeps the program alive.
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <stop_token>

namespace orvane {

// On the GUI thread: shows the notice modal to every window of the program and returns at once; the
// windows are usable again when the user closes it.
void ShowNotice(const QString& text, const QString& title, QMessageBox::Icon icon);

// From a worker: shows the notice without blocking any window and waits until the user closes it.
// False when `window` is gone or `stop` was requested before that (the worker then ends quietly).
bool ShowNoticeAndWait(const std::function<bool()>& alive, const std::stop_token& stop, const QString& text,
                       const QString& title, QMessageBox::Icon icon);

template <typename Window>
bool ShowNoticeAndWait(const QPointer<Window>& window, const std::stop_token& stop, const QString& text,
                       const QString& title, QMessageBox::Icon icon) {
  return ShowNoticeAndWait([window] { return !window.isNull(); }, stop, text, title, icon);
}

}  // namespace orvane
