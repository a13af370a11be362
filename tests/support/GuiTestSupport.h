#pragma once
// Helpers for tests that drive the real windows (offscreen) against the sample service.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/QtText.h"
#include "platform/WorkerPool.h"

namespace orvane::testing {

inline QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Points the program at a host ("127.0.0.1:PORT") for the length of a test.
class ScopedHosts {
 public:
  explicit ScopedHosts(const std::string& host) {
    setenv("ORVANE_MAIN_HOST", host.c_str(), 1);
    setenv("ORVANE_MOBILE_HOST", host.c_str(), 1);
  }
  ~ScopedHosts() {
    unsetenv("ORVANE_MAIN_HOST");
    unsetenv("ORVANE_MOBILE_HOST");
  }
};

// The named control of a window; fails the test when there is none.
template <typename T>
T* Control(QWidget* window, const char* utf8Name) {
  T* control = window == nullptr ? nullptr : window->findChild<T*>(Q(utf8Name));
  EXPECT_NE(control, nullptr) << "no control " << utf8Name;
  return control;
}

// The visible top-level window whose caption starts with `prefix`, or nullptr.
inline QWidget* WindowCaptioned(const QString& prefix) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && !qobject_cast<QMessageBox*>(widget) && widget->windowTitle().startsWith(prefix)) {
      return widget;
    }
  }
  return nullptr;
}

inline QMessageBox* OpenNotice() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) return box;
  }
  return nullptr;
}

// Waits (running the event loop) until a notice is open and returns it; nullptr after `ms`.
inline QMessageBox* WaitForNotice(int ms = 10000) {
  (void)QTest::qWaitFor([] { return OpenNotice() != nullptr; }, ms);
  return OpenNotice();
}

// Clicks a notice's OK button.
inline void Dismiss(QMessageBox* box) {
  ASSERT_NE(box, nullptr);
  QAbstractButton* ok = box->button(QMessageBox::Ok);
  ASSERT_NE(ok, nullptr);
  QTest::mouseClick(ok, Qt::LeftButton);
}

inline bool WaitFor(const std::function<bool()>& condition, int ms = 10000) {
  return QTest::qWaitFor(condition, ms);
}

// Closes every window and notice and lets the workers they stopped end, so tests start clean.
inline void CloseEverything() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) widget->close();
  }
  (void)QTest::qWaitFor([] { return WorkerPool::Instance().WaitIdle(std::chrono::milliseconds(0)); }, 10000);
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace orvane::testing
