#pragma once
// The session log the instructor keeps: one login entry per session start
// and one logout entry at the program's end, appended to a text file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Login.h"
#include "platform/Platform.h"

namespace hv {

class LogFileObj {
 public:
  explicit LogFileObj(Platform& platform) : platform_(platform) {}

  // Remembers the three and reads the clocks; nothing is written yet.
  void Init(const std::string& tag, const std::filesystem::path& path, const LoginRec* login);
  // Appends the entries; a log that cannot be opened is skipped silently
  // (IOError keeps the code), a write that fails after opening throws.
  void WriteLogin();
  void WriteLogout();

  bool LoginWritten = false;
  bool LogoutWritten = false;
  std::int32_t IOError = 0;
  ClockReading Clock;        // local date and time of the last entry
  std::int64_t StartMs = 0;  // monotonic clock at Init: elapsed time never jumps
  std::string ProgramTag;
  std::filesystem::path LogPath;
  const LoginRec* Login = nullptr;

 private:
  void Append(const std::vector<std::string>& lines);
  Platform& platform_;
};

// "MM-DD-YYYY".
std::string LogDate(const ClockReading& c);
// Hours two characters wide, then ":MM:SS.ss", from centiseconds of a day.
std::string LogTimeOfDay(std::int64_t centiseconds);
// Elapsed milliseconds as the logout entry writes them: "1Days,  2:00:00.00"
// when a day or more has passed, else the time alone.
std::string LogElapsed(std::int64_t milliseconds);

}  // namespace hv
