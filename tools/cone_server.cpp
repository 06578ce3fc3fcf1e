// Serves cone-search replies of the online catalog from a star list on a
// loopback port, so that the program's online query can be shown and tried
// without a network:
//
//   cone_server [--port N] [--sexagesimal] [--crlf] [STARS]
//
// STARS defaults to data/sample_stars.txt. Put the printed prefix into the
// options' catalog address and choose NOMAD or USNO-B1.0 there. Stops on
// Ctrl-C.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "tools/ConeSearch.h"
#include "tools/ConeServe.h"
#include "tools/LoopbackServer.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void OnSignal(int) { stopRequested = 1; }

}  // namespace

int main(int argc, char** argv) {
  std::string starsFile = "data/sample_stars.txt";
  int port = 0;
  hv::cone::Layout layout;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--port" && i + 1 < argc) {
      port = std::atoi(argv[++i]);
    } else if (a == "--sexagesimal") {
      layout.sexagesimal = true;
    } else if (a == "--crlf") {
      layout.crlf = true;
    } else if (a == "--help" || a == "-h" || (!a.empty() && a[0] == '-')) {
      std::cerr << "usage: cone_server [--port N] [--sexagesimal] [--crlf] [STARS]\n";
      return a == "--help" || a == "-h" ? 0 : 2;
    } else {
      starsFile = a;
    }
  }
  if (port < 0 || port > 65535) {
    std::cerr << "cone_server: no such port " << port << "\n";
    return 2;
  }
  const auto stars = hv::cone::ReadStars(starsFile);
  if (stars.empty()) {
    std::cerr << "cone_server: no stars read from " << starsFile << "\n";
    return 1;
  }

  const auto answer = hv::cone::ServeStars(stars, layout);
  const auto handler = [&](const std::string& requestLine) {
    std::cout << requestLine << std::endl;
    return answer(requestLine);
  };

  try {
    hv::loopback::Server server(handler, 0, std::chrono::milliseconds(0),
                                static_cast<std::uint16_t>(port));
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::cout << "Serving " << stars.size() << " stars from " << starsFile << "\n"
              << "Catalog address for the options: " << server.Url("/cgi-bin/vo_cone.cgi?")
              << "\nCtrl-C stops." << std::endl;
    while (!stopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } catch (const std::exception& e) {
    std::cerr << "cone_server: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
