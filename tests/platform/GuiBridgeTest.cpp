// The bridge between workers and windows, and the pool that owns the workers.
#include "platform/GuiBridge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractButton>
#include <QLabel>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Notice.h"
#include "platform/WorkerPool.h"

namespace orvane {
namespace {

using namespace std::chrono_literals;

// Runs `work` on a worker thread while the GUI thread's event loop serves it; returns when done.
void OnWorker(const std::function<void(std::stop_token)>& work, std::stop_source* source = nullptr) {
  std::atomic<bool> done = false;
  std::stop_source started = WorkerPool::Instance().Start([&](std::stop_token stop) {
    work(stop);
    done = true;
  });
  if (source != nullptr) *source = started;
  ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
  ASSERT_TRUE(WorkerPool::Instance().WaitIdle(5s));
}

TEST(GuiBridge, RunsTheCallOnTheGuiThreadWhileTheWorkerWaits) {
  auto* label = new QLabel;
  QPointer<QLabel> window(label);
  bool ran = false;
  std::thread::id where;
  OnWorker([&](std::stop_token stop) {
    ran = RunOnGui(window, stop, [&] {
      where = std::this_thread::get_id();
      label->setText(QStringLiteral("x"));
    });
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(where, std::this_thread::get_id());
  EXPECT_EQ(label->text(), QStringLiteral("x"));
  delete label;
}

TEST(GuiBridge, ACallOnTheGuiThreadRunsDirectly) {
  QLabel label;
  QPointer<QLabel> window(&label);
  EXPECT_TRUE(RunOnGui(window, {}, [&] { label.setText(QStringLiteral("direct")); }));
  EXPECT_EQ(label.text(), QStringLiteral("direct"));
}

TEST(GuiBridge, AWindowThatIsGoneStopsTheWorkerQuietly) {
  QPointer<QLabel> window(new QLabel);
  delete window.data();
  bool ran = true;
  bool called = false;
  OnWorker([&](std::stop_token stop) { ran = RunOnGui(window, stop, [&] { called = true; }); });
  EXPECT_FALSE(ran);
  EXPECT_FALSE(called);
}

TEST(GuiBridge, AStopWhileWaitingReturnsAtOnceAndTheCallNeverRuns) {
  QLabel label;
  QPointer<QLabel> window(&label);
  std::atomic<bool> waiting = false;
  std::atomic<bool> returned = false;
  bool ran = true;
  bool called = false;
  std::stop_source source = WorkerPool::Instance().Start([&](std::stop_token stop) {
    waiting = true;
    ran = RunOnGui(window, stop, [&] { called = true; });
    returned = true;
  });
  // The GUI thread does not serve the call: the worker is woken by its stop alone.
  while (!waiting) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(50ms);
  source.request_stop();
  ASSERT_TRUE(WorkerPool::Instance().WaitIdle(5s));
  EXPECT_TRUE(returned);
  EXPECT_FALSE(ran);
  QApplication::processEvents();  // the call that was posted finds its worker gone
  EXPECT_FALSE(called);
}

TEST(GuiBridge, AWorkerNoticeHoldsUpOnlyItsWorker) {
  QLabel label;
  QPointer<QLabel> window(&label);
  std::atomic<bool> closed = false;
  WorkerPool::Instance().Start([&](std::stop_token stop) {
    closed = ShowNoticeAndWait(window, stop, QStringLiteral("text"), QStringLiteral("title"), QMessageBox::Warning);
  });
  QMessageBox* box = nullptr;
  ASSERT_TRUE(QTest::qWaitFor([&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<QMessageBox*>(widget); found != nullptr && found->isVisible()) box = found;
    }
    return box != nullptr;
  }, 5000));
  EXPECT_EQ(box->windowModality(), Qt::NonModal);
  EXPECT_FALSE(box->testAttribute(Qt::WA_QuitOnClose));
  EXPECT_FALSE(closed);
  QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return closed.load(); }, 5000));
  EXPECT_TRUE(WorkerPool::Instance().WaitIdle(5s));
}

TEST(GuiBridge, AStoppedWorkersNoticeCloses) {
  QLabel label;
  QPointer<QLabel> window(&label);
  std::atomic<bool> returned = false;
  bool closed = true;
  std::stop_source source = WorkerPool::Instance().Start([&](std::stop_token stop) {
    closed = ShowNoticeAndWait(window, stop, QStringLiteral("text"), QStringLiteral("title"), QMessageBox::Warning);
    returned = true;
  });
  const auto openBox = [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible()) return true;
    }
    return false;
  };
  ASSERT_TRUE(QTest::qWaitFor(openBox, 5000));
  source.request_stop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return returned.load(); }, 5000));
  EXPECT_FALSE(closed);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !openBox(); }, 5000));
  EXPECT_TRUE(WorkerPool::Instance().WaitIdle(5s));
}

TEST(WorkerPool, StopAllEndsEveryWorker) {
  std::atomic<int> ended = 0;
  for (int i = 0; i < 3; ++i) {
    WorkerPool::Instance().Start([&](std::stop_token stop) {
      while (!stop.stop_requested()) std::this_thread::sleep_for(1ms);
      ++ended;
    });
  }
  EXPECT_FALSE(WorkerPool::Instance().WaitIdle(20ms));
  EXPECT_TRUE(WorkerPool::Instance().StopAll(5s));
  EXPECT_EQ(ended, 3);
}

}  // namespace
}  // namespace orvane
