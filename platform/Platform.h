#pragma once
// Everything modal that a command asks, and the facts of the machine the
// program runs on, go through this one interface. The Qt implementation
// (platform/qt) shows real dialogs; the scripted one (platform/scripted)
// answers from a queue for tests.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Printing.h"

namespace hv {

// The system sound that goes before a prompt.
enum class Sound { None, Default, Question, Exclamation, Hand };

enum class MsgIcon { None, Information, Question, Warning, Error };

// Modal results, as dialogs and message boxes return them.
enum class ModalResult { None, OK, Cancel, Yes, No, Retry, Abort, Ignore };

namespace Buttons {
constexpr unsigned OK = 1, Cancel = 2, Yes = 4, No = 8, Retry = 16, Abort = 32, Ignore = 64;
constexpr unsigned OKCancel = OK | Cancel, YesNo = Yes | No, YesNoCancel = Yes | No | Cancel;
}  // namespace Buttons

struct MessageRequest {
  std::string caption;
  std::string text;
  MsgIcon icon = MsgIcon::None;
  unsigned buttons = Buttons::OK;
  Sound sound = Sound::Default;
};

// An open or save chooser. The filter is in the Windows form the program's
// texts use: "Description|*.A;*.B|All Files|*.*"; filterIndex counts from 1.
struct FileChooser {
  std::string caption;
  std::filesystem::path folder;
  std::string filter;
  int filterIndex = 1;
  std::string fileName;    // proposed name
  std::string defaultExt;  // without dot; added when the user types none
  bool multiple = false;   // open only
};

struct FileChoice {
  // Whole paths. Several chosen files come in the reverse of the order in
  // which the dialog lists them, as the program's multiple load expects
  // (it takes them from the end).
  std::vector<std::filesystem::path> files;
  int filterIndex = 1;
};

struct FolderChooser {
  std::string caption;
  std::filesystem::path start;
  bool allowCreate = false;
};

struct InputRequest {
  std::string caption;
  std::string prompt;
  std::string initial;
};

// A dialog's Qt-free model. The Qt side finds the form registered under
// dialogName(); the scripted side hands the model to the test's answer.
class DialogModel {
 public:
  virtual ~DialogModel() = default;
  virtual std::string_view dialogName() const = 0;
};

// Local wall-clock reading with its offset from UTC.
struct ClockReading {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int utcOffsetMinutes = 0;  // local = UTC + offset
};

struct OsFacts {
  bool windowsNT = true;  // the data-folder rule asks for NT 5 and later
  int major = 5;
  int minor = 1;
  std::string name;
};

// A started external process.
struct ProcessHandle {
  std::int64_t id = 0;
};
enum class ProcessState { Running, Exited, Failed };

// A start's outcome: the process, or why there is none, as the error codes
// the launcher's messages name (2 file not found, 3 path not found, 4 too
// many open files, 5 access denied, 8 not enough memory, 11 incorrect
// format, 267 invalid folder; another code stands as the system gave it).
struct ProcessStart {
  std::optional<ProcessHandle> process;
  int error = 0;
};

// A top-level window that the program places itself, as the platform
// sees it.
class PlacedWindow {
 public:
  virtual ~PlacedWindow() = default;
  virtual std::string caption() const = 0;
  // Puts the frame's top-left corner at (left, top), screen pixels, whether
  // the window is shown yet or not.
  virtual void moveFrame(int left, int top) = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- modal ---
  virtual ModalResult message(const MessageRequest& request) = 0;
  virtual std::optional<FileChoice> openFiles(const FileChooser& request) = 0;
  virtual std::optional<FileChoice> saveFile(const FileChooser& request) = 0;
  virtual std::optional<std::filesystem::path> chooseFolder(const FolderChooser& request) = 0;
  virtual std::optional<std::string> inputLine(const InputRequest& request) = 0;
  virtual ModalResult showDialog(DialogModel& model) = 0;
  // True while one of the above is shown (they nest): whatever the shown
  // one binds must stay, so the main window does not close meanwhile.
  bool modalShown() const { return modalDepth_ > 0; }

  // --- windows ---
  // Places a window by its frame (title bar and border included), as a
  // window's position is given on the desktop the program was made for:
  // a window at (0, 0) keeps its title bar on the screen.
  virtual void placeWindow(PlacedWindow& window, int left, int top) = 0;

  // --- feedback ---
  virtual void beep(Sound sound) = 0;
  // The hourglass on long work; calls nest.
  virtual void setBusy(bool busy) = 0;

  // --- facts ---
  virtual ClockReading now() = 0;
  // Milliseconds from a clock that does not jump.
  virtual std::int64_t monotonicMs() = 0;
  virtual std::string userName() = 0;
  virtual OsFacts osFacts() = 0;
  // Roots (mount folders) of the optical drives that hold a disc.
  virtual std::vector<std::filesystem::path> opticalDriveRoots() = 0;
  // The running program file, whole; the program folder is found from it.
  virtual std::filesystem::path programFile() = 0;

  // --- processes ---
  // The program this desktop opens such a file with, if any.
  virtual std::optional<std::string> findExecutableFor(const std::filesystem::path& file) = 0;
  // Starts program with the file as its one argument, detached, in the
  // working folder (the current one when empty).
  virtual ProcessStart startProcess(const std::string& program, const std::filesystem::path& file,
                                    const std::filesystem::path& workingFolder) = 0;
  // Without blocking.
  virtual ProcessState processState(ProcessHandle handle) = 0;

  // --- printing ---
  // Null when the user cancelled the print dialog or no printer is there.
  virtual std::unique_ptr<PrintJob> beginPrint(const PrintRequest& request) = 0;

 protected:
  // Counts one modal question or dialog for as long as it lives; each
  // modal operation of an implementation holds one.
  class ModalScope {
   public:
    explicit ModalScope(Platform& p) : p_(p) { ++p_.modalDepth_; }
    ~ModalScope() { --p_.modalDepth_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

   private:
    Platform& p_;
  };

 private:
  int modalDepth_ = 0;
};

// RAII hourglass.
class BusyCursor {
 public:
  explicit BusyCursor(Platform& p) : p_(p) { p_.setBusy(true); }
  ~BusyCursor() { p_.setBusy(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Platform& p_;
};

// The common prompts, each with the sound and icon that go with it.
ModalResult ShowError(Platform& p, std::string_view caption, std::string_view text);
ModalResult ShowWarning(Platform& p, std::string_view caption, std::string_view text);
ModalResult ShowInfo(Platform& p, std::string_view caption, std::string_view text);
bool AskYesNo(Platform& p, std::string_view caption, std::string_view text);

}  // namespace hv
