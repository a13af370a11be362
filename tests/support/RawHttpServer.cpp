#include "support/RawHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace orvane::test {
namespace {

constexpr auto kPollStep = std::chrono::milliseconds(20);
constexpr auto kRequestIdleLimit = std::chrono::seconds(10);

int ListenOnLoopback(std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof(address);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("bind/listen failed");
  }
  port = ntohs(address.sin_port);
  return fd;
}

bool WaitReadable(int fd, std::chrono::milliseconds limit) {
  pollfd entry{fd, POLLIN, 0};
  return ::poll(&entry, 1, static_cast<int>(limit.count())) > 0;
}

std::size_t ContentLength(std::string_view head) {
  std::size_t from = 0;
  while (true) {
    const std::size_t end = head.find("\r\n", from);
    if (end == std::string_view::npos) return 0;
    const std::string_view line = head.substr(from, end - from);
    from = end + 2;
    constexpr std::string_view kName = "content-length:";
    if (line.size() < kName.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < kName.size() && same; ++i) {
      char c = line[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      same = c == kName[i];
    }
    if (same) return std::strtoull(std::string(line.substr(kName.size())).c_str(), nullptr, 10);
  }
}

}  // namespace

Script& Script::Send(std::string bytes) {
  steps_.push_back({Step::Kind::Send, std::move(bytes), {}});
  return *this;
}

Script& Script::SendRepeated(std::string bytes, std::size_t times) {
  steps_.push_back({Step::Kind::Send, std::move(bytes), {}, times});
  return *this;
}

Script& Script::Delay(std::chrono::milliseconds delay) {
  steps_.push_back({Step::Kind::Delay, {}, delay});
  return *this;
}

Script& Script::Close() {
  steps_.push_back({Step::Kind::Close, {}, {}});
  return *this;
}

std::string Response(std::string_view status, std::string_view body, std::string_view headerLines) {
  std::string out = "HTTP/1.1 ";
  out += status;
  out += "\r\n";
  out += headerLines;
  out += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out += body;
  return out;
}

RawHttpServer::RawHttpServer(Responder responder) : responder_(std::move(responder)) {
  listener_ = ListenOnLoopback(port_);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

RawHttpServer::RawHttpServer(std::vector<Script> scripts)
    : RawHttpServer([scripts = std::move(scripts)](const std::string&, std::size_t index) {
        if (scripts.empty()) return Script().Close();
        return scripts[std::min(index, scripts.size() - 1)];
      }) {}

RawHttpServer::~RawHttpServer() {
  stopping_ = true;
  acceptor_.join();
  for (std::thread& connection : connections_) connection.join();
  ::close(listener_);
}

std::string RawHttpServer::Url(std::string_view pathAndQuery) const {
  return "http://" + HostPort() + std::string(pathAndQuery);
}

std::string RawHttpServer::HostPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> RawHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool RawHttpServer::WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return arrived_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

void RawHttpServer::AcceptLoop() {
  while (!stopping_) {
    if (!WaitReadable(listener_, kPollStep)) continue;
    const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0) continue;
    connections_.emplace_back([this, socket] { Serve(socket); });
  }
}

void RawHttpServer::Serve(int socket) {
  std::string pending;
  std::string request;
  while (!stopping_ && ReadRequest(socket, pending, request)) {
    std::size_t index = 0;
    {
      std::lock_guard lock(mutex_);
      index = requests_.size();
      requests_.push_back(request);
    }
    arrived_.notify_all();
    if (!Play(socket, responder_(request, index))) break;
  }
  ::close(socket);
}

// One request: the head up to the blank line, then Content-Length bytes of body.
bool RawHttpServer::ReadRequest(int socket, std::string& pending, std::string& request) {
  auto idleSince = std::chrono::steady_clock::now();
  std::size_t needed = std::string::npos;
  while (!stopping_) {
    if (needed == std::string::npos) {
      const std::size_t headEnd = pending.find("\r\n\r\n");
      if (headEnd != std::string::npos) needed = headEnd + 4 + ContentLength(std::string_view(pending).substr(0, headEnd + 2));
    }
    if (needed != std::string::npos && pending.size() >= needed) {
      request = pending.substr(0, needed);
      pending.erase(0, needed);
      return true;
    }
    if (std::chrono::steady_clock::now() - idleSince > kRequestIdleLimit) return false;
    if (!WaitReadable(socket, kPollStep)) continue;
    char buffer[16384];
    const ssize_t got = ::recv(socket, buffer, sizeof(buffer), 0);
    if (got <= 0) return false;
    pending.append(buffer, static_cast<std::size_t>(got));
    idleSince = std::chrono::steady_clock::now();
  }
  return false;
}

bool RawHttpServer::Play(int socket, const Script& script) {
  for (const Script::Step& step : script.steps()) {
    switch (step.kind) {
      case Script::Step::Kind::Send:
        for (std::size_t time = 0; time < step.times; ++time) {
          std::size_t sent = 0;
          while (sent < step.bytes.size()) {
            const ssize_t n = ::send(socket, step.bytes.data() + sent, step.bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
          }
        }
        break;
      case Script::Step::Kind::Delay:
        if (!Sleep(step.delay)) return false;
        break;
      case Script::Step::Kind::Close:
        ::shutdown(socket, SHUT_RDWR);
        return false;
    }
  }
  return true;
}

bool RawHttpServer::Sleep(std::chrono::milliseconds delay) const {
  const auto until = std::chrono::steady_clock::now() + delay;
  while (std::chrono::steady_clock::now() < until) {
    if (stopping_) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kPollStep, until - std::chrono::steady_clock::now()));
  }
  return true;
}

std::uint16_t UnusedPort() {
  std::uint16_t port = 0;
  const int fd = ListenOnLoopback(port);
  ::close(fd);
  return port;
}

DeafListener::DeafListener() { listener_ = ListenOnLoopback(port_); }

DeafListener::~DeafListener() { ::close(listener_); }

std::string DeafListener::Url(std::string_view pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

}  // namespace orvane::test
