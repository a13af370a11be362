#include <curl/curl.h>

#include <QApplication>

#include <csignal>

#include "app/MainWindow.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  curl_global_init(CURL_GLOBAL_DEFAULT);
  QApplication app(argc, argv);
  orvane::MainWindow window;
  window.show();
  const int result = QApplication::exec();
  curl_global_cleanup();
  return result;
}
