#include "astrometry/HttpClient.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string_view>

namespace hv {

namespace {

// libcurl wants its global set-up once for the run, before any handle.
void GlobalInitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
  std::string* body = nullptr;
  std::string status;
  bool tooLarge = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (t->body->size() + n > CurlHttpClient::MaxBodyBytes) {
    t->tooLarge = true;
    return 0;  // ends the transfer with a write error
  }
  t->body->append(data, n);
  return n;
}

// Keeps the last status line seen (an interim "100 Continue" is replaced
// by the final one), without its line end.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  if (line.starts_with("HTTP/")) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    t->status = std::string(line);
  }
  return n;
}

}  // namespace

CurlHttpClient::CurlHttpClient(std::chrono::milliseconds connectTimeout,
                               std::chrono::milliseconds totalTimeout)
    : ConnectTimeout(connectTimeout), TotalTimeout(totalTimeout) {
  GlobalInitOnce();
}

bool CurlHttpClient::Get(const std::string& url, std::string& body) {
  body.clear();
  statusLine_.clear();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) return false;
  Transfer t;
  t.body = &body;
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  // The prefix comes from the options file: only web addresses are asked.
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeout.count()));
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(TotalTimeout.count()));
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
  const CURLcode rc = curl_easy_perform(h);
  statusLine_ = t.status;
  long code = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
  const bool answered2xx = code >= 200 && code <= 299;
  if (rc != CURLE_OK || t.tooLarge || !answered2xx) {
    // Only a real answer outside 2xx is told by its status line; a reply
    // stalled or cut after its status line is a server that did not answer.
    if (rc == CURLE_OPERATION_TIMEDOUT || answered2xx) statusLine_.clear();
    body.clear();
    return false;
  }
  return true;
}

}  // namespace hv
