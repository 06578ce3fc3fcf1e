// Arbitrary bytes as the help topic list, a help text file and the exit
// reminder, each read whole from disk the way the help window and the exit
// read them: no crash, no read past a buffer, and the shown lines keep the
// width the window wraps at.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/Help.h"
#include "platform/scripted/ScriptedPlatform.h"
#include "tests/fuzz/FuzzKit.h"

namespace {

class NoHost : public hv::ListHost {
 public:
  std::filesystem::path ReportFolder() const override { return {}; }
  hv::PrintHeader ListPrintHeader() const override { return {}; }
  bool EditReportHeader(HeaderRecord) override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = hv::fuzz::Folder();
  hv::ScriptedPlatform platform([](const std::string&) {});
  try {
    const auto listFile = hv::fuzz::WriteInput(folder / "ASTRMHLP.LST", data, size);
    auto list = hv::LoadHelpList(platform, listFile);
    if (list)
      for (const hv::HelpTopicRec& e : list->Items)
        if (e.Title.size() > 65 || e.FileName.size() > 71) std::abort();

    // The topic is the text between the first two bytes' positions, so that
    // the fuzzer can aim at a heading in the file.
    hv::fuzz::WriteInput(folder / "TOPIC.HLP", data, size);
    std::string title = "Topic";
    if (size > 2) {
      const std::size_t from = data[0] % size, n = data[1] % 16;
      title.assign(reinterpret_cast<const char*>(data) + from, std::min(n, size - from));
    }
    hv::HelpFolder = folder;
    hv::HelpTopicToShow = hv::HelpTopicRec{title, "TOPIC.HLP"};
    NoHost host;
    hv::HelpLstDlgModel topics(platform);
    hv::HelpWinModel win(platform, host, topics);
    win.FormActivate();
    for (const std::string& l : win.Lines)
      if (l.size() > 72 + 4) std::abort();
    hv::HelpTopicToShow.reset();

    (void)hv::ShowReminder(platform, hv::fuzz::WriteInput(folder / "REMINDER.TXT", data, size),
                           "Exit");
  } catch (const std::exception&) {
  }
  return 0;
}
