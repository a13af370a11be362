#pragma once
// A loopback HTTP server for tests that records the raw bytes of every request and answers each
// with a scripted sequence of raw bytes, delays and a close. Binds 127.0.0.1 on an ephemeral
// port; every wait is bounded, and the destructor ends every connection.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvane::test {

// What the server does with one request, step by step. Without Close() the connection stays open
// for the client's next request.
class Script {
 public:
  struct Step {
    enum class Kind { Send, Delay, Close } kind;
    std::string bytes;
    std::chrono::milliseconds delay{0};
    std::size_t times = 1;  // Send: how often the bytes go out in a row
  };

  Script& Send(std::string bytes);
  // The bytes `times` times in a row: large answers without holding them whole.
  Script& SendRepeated(std::string bytes, std::size_t times);
  Script& Delay(std::chrono::milliseconds delay);
  Script& Close();
  const std::vector<Step>& steps() const { return steps_; }

 private:
  std::vector<Step> steps_;
};

// "HTTP/1.1 <status>\r\n" + header lines + "Content-Length: n\r\n\r\n" + body.
std::string Response(std::string_view status, std::string_view body, std::string_view headerLines = {});

class RawHttpServer {
 public:
  // Chooses the script for a request from its raw bytes and its 0-based number on this server.
  using Responder = std::function<Script(const std::string& request, std::size_t index)>;

  explicit RawHttpServer(Responder responder);
  // Answers the n-th request with scripts[n] (the last one repeats).
  explicit RawHttpServer(std::vector<Script> scripts);
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  std::uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" + pathAndQuery
  std::string Url(std::string_view pathAndQuery = "/") const;
  // "127.0.0.1:<port>"
  std::string HostPort() const;

  // The raw bytes of every request received so far, in order of arrival.
  std::vector<std::string> Requests() const;
  // Waits (at most `limit`) until `count` requests have arrived.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) const;

 private:
  void AcceptLoop();
  void Serve(int socket);
  bool ReadRequest(int socket, std::string& pending, std::string& request);
  bool Play(int socket, const Script& script);
  bool Sleep(std::chrono::milliseconds delay) const;

  Responder responder_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::vector<std::string> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

// A loopback port on which nothing listens (bound, then released).
std::uint16_t UnusedPort();

// A loopback port that takes connections (the kernel completes them) but never accepts one, so
// nothing is ever read: a client's send stalls once the socket buffers are full.
class DeafListener {
 public:
  DeafListener();
  ~DeafListener();
  DeafListener(const DeafListener&) = delete;
  DeafListener& operator=(const DeafListener&) = delete;
  // "http://127.0.0.1:<port>" + pathAndQuery
  std::string Url(std::string_view pathAndQuery = "/") const;

 private:
  int listener_ = -1;
  std::uint16_t port_ = 0;
};

// A script that sends one whole response.
inline Script Answer(std::string_view status, std::string_view body, std::string_view headerLines = {}) {
  return Script().Send(Response(status, body, headerLines));
}

}  // namespace orvane::test
