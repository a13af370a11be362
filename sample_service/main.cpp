// orvane-sample-service [--port N]: serves the demo catalogue on 127.0.0.1 until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include <pthread.h>

#include "SampleService.h"

int main(int argc, char** argv) {
  int port = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--port" && i + 1 < argc) {
      char* end = nullptr;
      const long value = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || value < 0 || value > 65535) {
        std::fprintf(stderr, "orvane-sample-service: bad port \"%s\"\n", argv[i]);
        return 2;
      }
      port = static_cast<int>(value);
    } else {
      std::fprintf(stderr, "usage: orvane-sample-service [--port N]\n");
      return 2;
    }
  }

  // Blocked before any thread starts, so that only sigwait below receives them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  try {
    orvane::sample::SampleService service(orvane::sample::SampleService::Demo(), port);
    std::printf("listening on %s\n", service.Host().c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&signals, &received);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "orvane-sample-service: %s\n", error.what());
    return 1;
  }
  return 0;
}
