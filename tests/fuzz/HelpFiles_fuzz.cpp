// Arbitrary bytes as a help topic list and as a help text file: every entry
// keeps its field limits, and every listed line of a topic keeps the width
// the window wraps at.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/Help.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = hv::SplitTextLines(text);

  hv::HelpList list;
  list.LoadFromLines(lines);
  for (const hv::HelpTopicRec& e : list.Items)
    if (e.Title.size() > 65 || e.FileName.size() > 71) std::abort();

  for (std::size_t from : {std::size_t{0}, lines.size() / 2}) {
    std::vector<std::string> shown;
    std::int32_t related = hv::TopicLines(lines, from, shown);
    if (shown.size() < 2 || related >= static_cast<std::int32_t>(shown.size())) std::abort();
    for (const std::string& l : shown)
      if (l.size() > 72 + 4) std::abort();
  }
  return 0;
}
