#include "controls/PropertyText.h"

namespace hv {

std::string TrimText(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return std::string(text.substr(b, e - b));
}

void SplitNameValue(std::string_view line, std::string_view separator, std::string& name,
                    std::string& value) {
  std::size_t at = separator.empty() ? std::string_view::npos : line.find(separator);
  if (at == std::string_view::npos) {
    name.clear();
    value.clear();
    return;
  }
  name = TrimText(line.substr(0, at));
  value = TrimText(line.substr(at + 1));
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool FindNameValue(std::string_view name, std::string& value, std::vector<std::string>& lines) {
  std::string n, v;
  for (auto it = lines.begin(); it != lines.end(); ++it) {
    SplitNameValue(*it, "=", n, v);
    if (SameName(n, name)) {
      value = v;
      lines.erase(it);
      return true;
    }
  }
  return false;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace hv
