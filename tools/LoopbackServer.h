#pragma once
// A small HTTP server on 127.0.0.1 for the online catalog's tests and the
// cone-search tool. One connection at a time: it reads the request head,
// records the request line and answers what the handler says: a reply, a
// close without a word, silence until it stops, or the start of a reply
// and then silence. It stops by itself after
// the given number of connections or when its lifetime runs out, and every
// wait inside it is bounded.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace hv::loopback {

struct Reply {
  enum class Kind { Send, Close, Hold, Stall };
  Kind kind = Kind::Send;
  std::string bytes;  // the whole response: status line, headers, body

  static Reply Close() { return {Kind::Close, {}}; }
  static Reply Hold() { return {Kind::Hold, {}}; }
  // Sends the first bytes of a response, then falls silent until it stops.
  static Reply Stall(std::string start) { return {Kind::Stall, std::move(start)}; }
};

// "HTTP/1.1 <code> <reason>" with a length, or chunked in pieces of at most
// chunk bytes; extra header lines end with CR LF.
inline Reply Response(int code, const std::string& reason, const std::string& body,
                      bool chunked = false, const std::string& extra = {},
                      std::size_t chunk = 100) {
  std::string r = "HTTP/1.1 " + std::to_string(code) + " " + reason + "\r\n";
  r += "Content-Type: text/plain\r\nConnection: close\r\n" + extra;
  if (!chunked) {
    r += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    return {Reply::Kind::Send, r};
  }
  r += "Transfer-Encoding: chunked\r\n\r\n";
  static const char* hex = "0123456789abcdef";
  for (std::size_t at = 0; at < body.size(); at += chunk) {
    const std::size_t n = std::min(chunk, body.size() - at);
    std::string len;
    for (std::size_t v = n; v > 0; v /= 16) len.insert(len.begin(), hex[v % 16]);
    r += len + "\r\n" + body.substr(at, n) + "\r\n";
  }
  r += "0\r\n\r\n";
  return {Reply::Kind::Send, r};
}

class Server {
 public:
  using Handler = std::function<Reply(const std::string& requestLine)>;
  static constexpr std::chrono::milliseconds Tick{20};
  static constexpr std::chrono::milliseconds ReadLimit{2000};

  // connections: how many to serve before stopping (0: no limit);
  // lifetime: how long it runs at most (0: until Stop). port 0 takes a free
  // one.
  Server(Handler handler, int connections = 1,
         std::chrono::milliseconds lifetime = std::chrono::seconds(20), std::uint16_t port = 0)
      : handler_(std::move(handler)), connections_(connections), lifetime_(lifetime) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd_ < 0) throw std::runtime_error("socket failed");
    int one = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    socklen_t len = sizeof a;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 8) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
      ::close(fd_);
      throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~Server() { Stop(); }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // "http://127.0.0.1:<port>" + path.
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> RequestLines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  // Stops serving. The port is closed whenever the server stops, so a later
  // connection is refused rather than left waiting in the queue.
  void Stop() {
    stop_ = true;
    Wait();
  }
  // Blocks until the server has stopped by itself.
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }

  // A port on 127.0.0.1 that nobody listens on (taken and given back).
  static std::uint16_t ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
  }

 private:
  using Clock = std::chrono::steady_clock;

  bool Expired(Clock::time_point end) const {
    return stop_ || (lifetime_.count() > 0 && Clock::now() >= end);
  }

  void Run() {
    const auto end = Clock::now() + lifetime_;
    int served = 0;
    while (!Expired(end) && (connections_ == 0 || served < connections_)) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(Tick.count())) <= 0) continue;
      const int c = ::accept(fd_, nullptr, nullptr);
      if (c < 0) continue;
      ++served;
      Serve(c, end);
      ::close(c);
    }
    // Done: later connections are refused at once.
    ::close(fd_);
    fd_ = -1;
  }

  void Serve(int c, Clock::time_point end) {
    std::string head;
    const auto readEnd = Clock::now() + ReadLimit;
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 && !Expired(end) &&
           Clock::now() < readEnd) {
      pollfd p{c, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(Tick.count())) <= 0) continue;
      char buf[4096];
      const ssize_t n = ::recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      head.append(buf, static_cast<std::size_t>(n));
    }
    const std::string line = head.substr(0, head.find("\r\n"));
    {
      std::lock_guard lock(mutex_);
      lines_.push_back(line);
    }
    const Reply reply = handler_(line);
    if (reply.kind == Reply::Kind::Close) return;
    if (reply.kind == Reply::Kind::Hold) {
      while (!Expired(end)) std::this_thread::sleep_for(Tick);
      return;
    }
    std::size_t sent = 0;
    while (sent < reply.bytes.size() && !Expired(end)) {
      pollfd p{c, POLLOUT, 0};
      if (::poll(&p, 1, static_cast<int>(Tick.count())) <= 0) continue;
      const ssize_t n =
          ::send(c, reply.bytes.data() + sent, reply.bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    if (reply.kind == Reply::Kind::Stall) {
      while (!Expired(end)) std::this_thread::sleep_for(Tick);
      return;
    }
    ::shutdown(c, SHUT_WR);
  }

  Handler handler_;
  int connections_;
  std::chrono::milliseconds lifetime_;
  int fd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
  std::thread thread_;
};

}  // namespace hv::loopback
