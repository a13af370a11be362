#include <curl/curl.h>

#include <QApplication>
#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "platform/MessagePump.h"
#include "platform/WorkerPool.h"

namespace {

void PumpGuiThread() {
  if (QCoreApplication* app = QCoreApplication::instance(); app != nullptr && QThread::currentThread() == app->thread()) {
    QCoreApplication::processEvents();
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  curl_global_init(CURL_GLOBAL_DEFAULT);
  QApplication app(argc, argv);
  orvane::InstallMessagePump(PumpGuiThread);
  orvane::QuitOnTerminationSignals();

  // Album folders are made under the current directory: beside the program, wherever it was started from.
  std::error_code ignored;
  std::filesystem::current_path(QCoreApplication::applicationDirPath().toStdString(), ignored);

  (new orvane::MainWindow)->show();
  const int result = QApplication::exec();

  // Workers still running are stopped: their transfers abort and their temporary files go.
  if (!orvane::WorkerPool::Instance().StopAll(std::chrono::seconds(5))) std::quick_exit(result);
  curl_global_cleanup();
  return result;
}
