// The orvane-sample-service executable: the "listening on" line that run.sh reads, and SIGTERM.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "Fetch.h"

extern char** environ;

namespace orvane::sample {
namespace {

// Reads the first line of fd, waiting at most ten seconds in all.
std::string ReadLine(int fd) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return line;
    line += c;
  }
  return line;
}

// True when the child ended within ten seconds; kills it otherwise.
bool WaitForExit(pid_t pid, int& status) {
  for (int i = 0; i < 1000; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return false;
}

TEST(SampleExecutable, PrintsItsAddressServesTheDemoAndStopsOnSigterm) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char program[] = ORVANE_SAMPLE_SERVICE_EXE;
  char portOption[] = "--port";
  char port[] = "0";
  char* argv[] = {program, portOption, port, nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  ASSERT_EQ(spawned, 0);

  const std::string line = ReadLine(out[0]);
  close(out[0]);
  const std::string prefix = "listening on 127.0.0.1:";
  EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
  if (line.rfind(prefix, 0) == 0) {
    const auto page = testing::Fetch("http://" + line.substr(13) + "/album/more_tracks?url=%2Falbum%2Fmore_tracks&aid=200002&page=1");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("\"next_page\":2"), std::string::npos);
  }
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_TRUE(WaitForExit(pid, status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace orvane::sample
