#pragma once
// A small HTTP/1.0 server on 127.0.0.1 at an ephemeral port, for download tests: each path
// answers a fixed response, or holds the connection open without answering ("stall") until the
// server stops. Every connection is served on a thread of its own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace novu::testing {

struct HttpRoute {
  int status = 200;
  std::string body;
  std::string extra_headers;  // complete lines, each ending in "\r\n"
  bool stall = false;         // read the request, then send nothing
};

class LocalHttpServer {
 public:
  explicit LocalHttpServer(std::map<std::string, HttpRoute> routes) : routes_(std::move(routes)) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 16) != 0) {
      close(listener_);
      throw std::runtime_error("bind/listen");
    }
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
  }

  ~LocalHttpServer() {
    stopping_ = true;
    acceptor_.join();
    for (std::thread& t : connections_) t.join();
    close(listener_);
  }

  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  // Requests received so far, by path.
  int Hits(const std::string& path) {
    std::lock_guard lock(mutex_);
    return hits_[path];
  }

 private:
  // Waits up to 20 ms for `fd` to become readable; false on time-out.
  static bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 20) > 0;
  }

  void AcceptLoop() {
    while (!stopping_) {
      if (!Readable(listener_)) continue;
      const int fd = accept(listener_, nullptr, nullptr);
      if (fd >= 0) connections_.emplace_back([this, fd] { Serve(fd); });
    }
  }

  void Serve(int fd) {
    std::string request;
    char buffer[4096];
    while (!stopping_ && request.find("\r\n\r\n") == std::string::npos) {
      if (!Readable(fd)) continue;
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    const size_t path_start = request.find(' ') + 1;
    const std::string path = request.substr(path_start, request.find(' ', path_start) - path_start);
    {
      std::lock_guard lock(mutex_);
      ++hits_[path];
    }
    auto it = routes_.find(path);
    const HttpRoute route = it != routes_.end() ? it->second : HttpRoute{404, "missing", "", false};
    if (route.stall) {
      // Until the server stops or the client hangs up.
      while (!stopping_) {
        if (Readable(fd) && read(fd, buffer, sizeof buffer) <= 0) break;
      }
    } else {
      std::string response = "HTTP/1.0 " + std::to_string(route.status) + " X\r\n" +
                             "Content-Length: " + std::to_string(route.body.size()) + "\r\n" +
                             route.extra_headers + "\r\n" + route.body;
      size_t sent = 0;
      while (sent < response.size()) {
        const ssize_t n = send(fd, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
      }
    }
    close(fd);
  }

  std::map<std::string, HttpRoute> routes_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  std::vector<std::thread> connections_;  // touched by the acceptor only, then by the destructor
  std::mutex mutex_;
  std::map<std::string, int> hits_;
};

}  // namespace novu::testing
