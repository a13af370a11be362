#include "platform/Notice.h"

#include <QCoreApplication>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/GuiBridge.h"

namespace orvane {
namespace {

QMessageBox* MakeBox(const QString& text, const QString& title, QMessageBox::Icon icon, Qt::WindowModality modality) {
  auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setAttribute(Qt::WA_QuitOnClose, false);
  box->setWindowModality(modality);
  return box;
}

struct Closed {
  std::mutex mutex;
  std::condition_variable_any changed;
  bool closed = false;
  QPointer<QMessageBox> box;  // touched on the GUI thread only
  void Set() {
    std::lock_guard lock(mutex);
    closed = true;
    changed.notify_all();
  }
};

}  // namespace

void ShowNotice(const QString& text, const QString& title, QMessageBox::Icon icon) {
  MakeBox(text, title, icon, Qt::ApplicationModal)->show();
}

bool ShowNoticeAndWait(const std::function<bool()>& alive, const std::stop_token& stop, const QString& text,
                       const QString& title, QMessageBox::Icon icon) {
  auto closed = std::make_shared<Closed>();
  const bool shown = RunOnGuiWhile(alive, stop, [&] {
    QMessageBox* box = MakeBox(text, title, icon, Qt::NonModal);
    // A box deleted while visible emits no finished(), so both count as closed.
    QObject::connect(box, &QMessageBox::finished, [closed] { closed->Set(); });
    QObject::connect(box, &QObject::destroyed, [closed] { closed->Set(); });
    closed->box = box;
    box->show();
  });
  if (!shown) return false;
  std::unique_lock lock(closed->mutex);
  if (closed->changed.wait(lock, stop, [&] { return closed->closed; })) return true;
  // The worker was stopped: its notice has nothing left to report.
  QMetaObject::invokeMethod(QCoreApplication::instance(), [closed] {
    if (!closed->box.isNull()) closed->box->close();
  }, Qt::QueuedConnection);
  return false;
}

}  // namespace orvane
