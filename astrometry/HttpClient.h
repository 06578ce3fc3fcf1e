#pragma once
// One blocking HTTP GET for the online catalog query. The interface lets
// tests and tools put their own client in; the program uses libcurl.
#include <chrono>
#include <cstddef>
#include <string>

namespace hv {

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Fetches url and gives the body. A connection or read failure, a
  // time-out or a status outside 2xx is a failure (false); StatusLine then
  // holds the status line of an answer outside 2xx. It is empty when no
  // status line came, when a time-out ended the transfer and when a 2xx
  // answer was cut off: "200 OK" must not read as the server's fault.
  virtual bool Get(const std::string& url, std::string& body) = 0;
  virtual const std::string& StatusLine() const = 0;
};

// HTTP/1.1, redirects not followed, no signals (the window thread is the
// caller). Without time-outs a server that never answers would hold the
// only window thread for ever, so both are always set.
class CurlHttpClient : public HttpClient {
 public:
  static constexpr std::chrono::milliseconds DefaultConnectTimeout{15000};
  static constexpr std::chrono::milliseconds DefaultTotalTimeout{60000};
  // A reply larger than this is refused rather than held in memory.
  static constexpr std::size_t MaxBodyBytes = std::size_t{64} << 20;

  CurlHttpClient(std::chrono::milliseconds connectTimeout = DefaultConnectTimeout,
                 std::chrono::milliseconds totalTimeout = DefaultTotalTimeout);

  bool Get(const std::string& url, std::string& body) override;
  const std::string& StatusLine() const override { return statusLine_; }

  std::chrono::milliseconds ConnectTimeout;
  std::chrono::milliseconds TotalTimeout;

 private:
  std::string statusLine_;
};

}  // namespace hv
