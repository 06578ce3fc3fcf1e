#pragma once
// The platform for tests: every prompt is answered from a queue of expected
// prompts, recorded in a transcript, and reported as a failure when it was
// not expected; answers left over at the end are reported too.
#include <deque>
#include <functional>
#include <map>

#include "platform/Platform.h"

namespace hv {

// Records what a print job drew, as text lines per page.
class ScriptedPrintJob : public PrintJob {
 public:
  struct Page {
    std::vector<std::string> ops;  // "text x y ...", "line ...", "ellipse ...", "image ..."
  };
  explicit ScriptedPrintJob(std::vector<Page>* sink, std::string* title, const PrintRequest& r);
  int pageWidth() const override { return width; }
  int pageHeight() const override { return height; }
  int textHeight(std::string_view) override { return 20; }
  int textWidth(std::string_view t) override { return 10 * static_cast<int>(t.size()); }
  void drawText(int x, int y, std::string_view text) override;
  void drawLine(int x1, int y1, int x2, int y2) override;
  void drawEllipse(int l, int t, int r, int b) override;
  void drawImage(const IndexedImage& image, int left, int top, int w, int h) override;
  void newPage() override;
  void setFont(const PrintFont& f) override;
  void setPenWidth(int width) override;
  bool finish() override;

  int width = 2400;
  int height = 3300;

 private:
  std::vector<Page>* sink_;
  std::vector<Page> pages_{1};
};

class ScriptedPlatform : public Platform {
 public:
  using FailureHandler = std::function<void(const std::string&)>;
  using DialogAnswer = std::function<ModalResult(DialogModel&)>;

  // The default failure handler prints the failure and aborts.
  explicit ScriptedPlatform(FailureHandler onFailure = {});
  ~ScriptedPlatform() override;

  // Expectations, answered in order. An empty "contains" text matches any.
  void expectMessage(ModalResult answer, std::string captionContains = {},
                     std::string textContains = {});
  void expectOpen(std::optional<FileChoice> answer);
  void expectSave(std::optional<FileChoice> answer);
  void expectFolder(std::optional<std::filesystem::path> answer);
  void expectInput(std::optional<std::string> answer);
  void expectDialog(std::string name, DialogAnswer answer);
  // Reports answers left over; the destructor calls it too.
  void verify();
  bool allAnswered() const { return queue_.empty(); }

  const std::vector<std::string>& transcript() const { return transcript_; }
  const std::vector<MessageRequest>& messages() const { return messages_; }
  const std::vector<FileChooser>& choosers() const { return choosers_; }
  const std::vector<Sound>& beeps() const { return beeps_; }

  // Faked facts, free for tests to set.
  ClockReading clock;
  std::int64_t monotonic = 0;
  std::string user = "student";
  OsFacts os;
  std::vector<std::filesystem::path> opticalDrives;
  std::filesystem::path programPath;  // the running test program unless a test sets it
  std::optional<std::string> executableForFiles;
  bool processStarts = true;
  int processStartError = 2;  // the code a failed start gives
  ProcessState processStateAnswer = ProcessState::Running;
  bool printerAvailable = true;
  int busyDepth = 0;
  // What the program started ("program file [in folder]") and printed.
  std::vector<std::string> startedProcesses;
  std::vector<ScriptedPrintJob::Page> printedPages;
  std::string printedTitle;
  // Every window placed, in order: its caption then and its frame's corner.
  struct Placement {
    std::string caption;
    int left = 0, top = 0;
    bool operator==(const Placement&) const = default;
  };
  std::vector<Placement> placements;

  // Platform
  ModalResult message(const MessageRequest& request) override;
  std::optional<FileChoice> openFiles(const FileChooser& request) override;
  std::optional<FileChoice> saveFile(const FileChooser& request) override;
  std::optional<std::filesystem::path> chooseFolder(const FolderChooser& request) override;
  std::optional<std::string> inputLine(const InputRequest& request) override;
  ModalResult showDialog(DialogModel& model) override;
  // Recorded, then the window is moved all the same.
  void placeWindow(PlacedWindow& window, int left, int top) override;
  void beep(Sound sound) override { beeps_.push_back(sound); }
  void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
  ClockReading now() override { return clock; }
  std::int64_t monotonicMs() override { return monotonic; }
  std::string userName() override { return user; }
  OsFacts osFacts() override { return os; }
  std::vector<std::filesystem::path> opticalDriveRoots() override { return opticalDrives; }
  std::filesystem::path programFile() override { return programPath; }
  std::optional<std::string> findExecutableFor(const std::filesystem::path& file) override;
  ProcessStart startProcess(const std::string& program, const std::filesystem::path& file,
                            const std::filesystem::path& workingFolder) override;
  ProcessState processState(ProcessHandle) override { return processStateAnswer; }
  std::unique_ptr<PrintJob> beginPrint(const PrintRequest& request) override;

 private:
  enum class Kind { Message, Open, Save, Folder, Input, Dialog };
  struct Expect {
    Kind kind;
    ModalResult result = ModalResult::None;
    std::string caption, text;  // message match
    std::optional<FileChoice> file;
    std::optional<std::filesystem::path> folder;
    std::optional<std::string> input;
    std::string dialog;
    DialogAnswer answer;
  };
  // The next expectation if it is of this kind, else a reported failure.
  std::optional<Expect> take(Kind kind, const std::string& what);
  void fail(const std::string& what);

  FailureHandler onFailure_;
  std::deque<Expect> queue_;
  std::vector<std::string> transcript_;
  std::vector<MessageRequest> messages_;
  std::vector<FileChooser> choosers_;
  std::vector<Sound> beeps_;
};

const char* SoundName(Sound s);
const char* ResultName(ModalResult r);

}  // namespace hv
