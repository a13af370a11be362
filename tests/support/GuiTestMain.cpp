#include <curl/curl.h>
#include <gtest/gtest.h>

#include <QApplication>

#include <csignal>

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  curl_global_init(CURL_GLOBAL_DEFAULT);
  // Window tests need no display unless one is asked for (also when CTest lists the tests).
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Tests open and close windows freely; the application must outlive each of them.
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  curl_global_cleanup();
  return result;
}
