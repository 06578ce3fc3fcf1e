#pragma once
// A loopback server's answer to cone searches from a star list, for the
// cone server and the tests.
#include <string>
#include <utility>
#include <vector>

#include "tools/ConeSearch.h"
#include "tools/LoopbackServer.h"

namespace hv::cone {

// Answers "GET <target> HTTP/1.1" with the stars of the cone (200), or 400
// when the request is no cone search. The stars are copied.
inline loopback::Server::Handler ServeStars(std::vector<Star> stars, Layout layout = {}) {
  return [stars = std::move(stars), layout](const std::string& requestLine) {
    const std::size_t a = requestLine.find(' ');
    const std::size_t b = requestLine.rfind(' ');
    const std::string target =
        a != std::string::npos && b > a ? requestLine.substr(a + 1, b - a - 1) : std::string();
    const auto query = ParseQuery(target);
    if (!requestLine.starts_with("GET ") || !query)
      return loopback::Response(400, "Bad Request", "A cone search needs RA, DEC and SR.\n");
    return loopback::Response(200, "OK", Reply(stars, *query, layout));
  };
}

}  // namespace hv::cone
