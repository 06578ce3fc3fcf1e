#pragma once
// The sample star list (data/sample_stars.txt): "identifier RA Dec B V R"
// lines, RA in hours and Dec in degrees (J2000), "#" lines are comments. The
// sample images, the sample catalog and the cone-search server all read it.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace hv::sample {

struct ListedStar {
  std::string id;
  long double ra = 0, dec = 0;      // hours, degrees
  long double b = 0, v = 0, r = 0;  // magnitudes
};

inline bool ParseListNumber(std::string_view t, long double& v) {
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  double d = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), d);
  v = d;
  return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

// Reads the whole list; false when the file cannot be read or a line is
// not six fields of which the last five are numbers, or holds no star.
inline bool ReadStarList(const std::filesystem::path& file, std::vector<ListedStar>& stars) {
  std::ifstream in(file);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string_view> f;
    std::string_view rest(line);
    while (!rest.empty()) {
      const std::size_t a = rest.find_first_not_of(" \t");
      if (a == std::string_view::npos) break;
      rest.remove_prefix(a);
      const std::size_t e = std::min(rest.find_first_of(" \t"), rest.size());
      f.push_back(rest.substr(0, e));
      rest.remove_prefix(e);
    }
    ListedStar s;
    if (f.size() != 6 || !ParseListNumber(f[1], s.ra) || !ParseListNumber(f[2], s.dec) ||
        !ParseListNumber(f[3], s.b) || !ParseListNumber(f[4], s.v) || !ParseListNumber(f[5], s.r))
      return false;
    s.id = std::string(f[0]);
    stars.push_back(std::move(s));
  }
  return !stars.empty();
}

// The list beside an installed program, in the source tree of a build, or
// in the current folder; empty when none is found.
inline std::filesystem::path FindStarList() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  const fs::path bin = ec ? fs::current_path() : exe.parent_path();
  for (const fs::path& p :
       {bin / "../share/halvardin/sample_stars.txt", bin / "../../data/sample_stars.txt",
        bin / "../data/sample_stars.txt", fs::path("data/sample_stars.txt")})
    if (fs::exists(p, ec)) return p;
  return {};
}

}  // namespace hv::sample
