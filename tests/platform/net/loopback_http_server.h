// A tiny HTTP server on 127.0.0.1 for tests: one thread accepts connections
// one after another, reads the request head, asks the handler for the raw
// reply bytes (optionally after a delay) and closes the connection. It also
// records every request head it saw. Nothing leaves the machine.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace net_test {

struct Reply {
  std::string bytes;                     // sent as they stand
  std::chrono::milliseconds delay{0};    // waited before sending
};

// "HTTP/1.1 <status>" with a Content-Length and the body.
inline std::string HttpReply(int status, const std::string& body, const std::string& extraHeaders = {}) {
  return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Type: text/plain\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

class LoopbackHttpServer {
 public:
  using Handler = std::function<Reply(const std::string& requestHead)>;

  explicit LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
    // A proxy configured in the environment must not see loopback requests.
    ::setenv("no_proxy", "127.0.0.1,localhost", 1);
    ::setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      ADD_FAILURE() << "loopback server could not listen";
      return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }

  ~LoopbackHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
  }

  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  std::vector<std::string> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  // A port on which nothing listens (bound, then released).
  static int ClosedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
  }

 private:
  bool WaitReadable(int fd, int milliseconds) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, milliseconds) > 0;
  }

  void Serve() {
    while (!stop_) {
      if (!WaitReadable(listener_, 20)) continue;
      const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      Handle(client);
      ::close(client);
    }
  }

  void Handle(int client) {
    std::string head;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline && !stop_) {
      if (!WaitReadable(client, 20)) continue;
      char buffer[1024];
      const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      head.append(buffer, static_cast<std::size_t>(n));
    }
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(head);
    }
    const Reply reply = handler_(head);
    const auto sendAt = std::chrono::steady_clock::now() + reply.delay;
    while (std::chrono::steady_clock::now() < sendAt) {
      if (stop_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::size_t sent = 0;
    while (sent < reply.bytes.size() && !stop_) {
      const ssize_t n = ::send(client, reply.bytes.data() + sent, reply.bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;  // the client gave up (a size cap, a time-out)
      sent += static_cast<std::size_t>(n);
    }
  }

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace net_test
