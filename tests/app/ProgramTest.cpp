// The program as a whole process: it starts without a command line and ends cleanly on a signal.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <thread>

#include "SampleService.h"

namespace orvane {
namespace {

using namespace std::chrono_literals;

// Waits up to `limit` for the child; its wait status, or -1 when it is still running.
int WaitForExit(pid_t child, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (::waitpid(child, &status, WNOHANG) == child) return status;
    std::this_thread::sleep_for(20ms);
  }
  return -1;
}

TEST(Program, RunsBesideItsFileAndEndsCleanlyOnTermination) {
  sample::SampleService service;
  // Everything the child needs is made before fork: between fork and exec only exec itself runs.
  const std::string main = "ORVANE_MAIN_HOST=" + service.Host();
  const std::string mobile = "ORVANE_MOBILE_HOST=" + service.Host();
  std::vector<std::string> entries = {"QT_QPA_PLATFORM=offscreen", main, mobile};
  for (const char* name : {"PATH", "HOME", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name)) entries.push_back(std::string(name) + "=" + value);
  }
  std::vector<char*> environment;
  for (std::string& entry : entries) environment.push_back(entry.data());
  environment.push_back(nullptr);
  char* const arguments[] = {const_cast<char*>(ORVANE_PROGRAM), nullptr};
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::execve(ORVANE_PROGRAM, arguments, environment.data());
    ::_exit(127);
  }
  std::this_thread::sleep_for(1500ms);
  ASSERT_EQ(WaitForExit(child, 0ms), -1) << "the program ended by itself";
  // Album folders are made under the current directory, which is the program's folder wherever it
  // was started from.
  EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(child) + "/cwd"),
            std::filesystem::path(ORVANE_PROGRAM).parent_path());
  EXPECT_NE(std::filesystem::current_path(), std::filesystem::path(ORVANE_PROGRAM).parent_path());
  ::kill(child, SIGTERM);
  const int status = WaitForExit(child, 10s);
  if (status == -1) ::kill(child, SIGKILL);
  ASSERT_NE(status, -1) << "the program did not end";
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace orvane
