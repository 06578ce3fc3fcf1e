#include "app/SessionLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "support/Files.h"
#include "support/Rounding.h"

namespace hv {
namespace {
std::string Num(std::int64_t v, std::size_t width, char fill) {
  char b[24];
  auto r = std::to_chars(b, b + sizeof b, v);
  std::string s(b, r.ptr);
  if (s.size() < width) s.insert(0, width - s.size(), fill);
  return s;
}

std::int64_t Centiseconds(const ClockReading& c) {
  std::int64_t ms = ((c.hour * 60LL + c.minute) * 60LL + c.second) * 1000LL + c.millisecond;
  std::int64_t cs = RoundToInt64(static_cast<long double>(ms) / 10.0L);
  // Rounding never carries into the next day: the entry keeps its date.
  return cs >= 8640000 ? 8639999 : cs;
}
}  // namespace

std::string LogDate(const ClockReading& c) {
  return Num(c.month, 2, '0') + "-" + Num(c.day, 2, '0') + "-" + Num(c.year, 4, '0');
}

std::string LogTimeOfDay(std::int64_t cs) {
  std::int64_t h = cs / 360000, m = cs / 6000 % 60, s = cs / 100 % 60, f = cs % 100;
  return Num(h, 2, ' ') + ":" + Num(m, 2, '0') + ":" + Num(s, 2, '0') + "." + Num(f, 2, '0');
}

std::string LogElapsed(std::int64_t ms) {
  if (ms < 0) ms = 0;
  std::int64_t cs = RoundToInt64(static_cast<long double>(ms) / 10.0L);
  std::int64_t days = cs / 8640000;
  std::string out = days > 0 ? Num(days, 0, ' ') + "Days, " : std::string();
  return out + LogTimeOfDay(cs % 8640000);
}

void LogFileObj::Init(const std::string& tag, const std::filesystem::path& path,
                      const LoginRec* login) {
  ProgramTag = tag;
  LogPath = path;
  Login = login;
  Clock = platform_.now();
  Clock.utcOffsetMinutes = 0;
  StartMs = platform_.monotonicMs();
  LoginWritten = LogoutWritten = false;
  IOError = 0;
}

void LogFileObj::Append(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  // Append, creating the file when it is missing, in one step: an existing
  // log is never truncated.
  int fd = ::open(LogPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    IOError = IOResultFromErrno(errno);
    return;
  }
  IOError = 0;
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int code = IOResultFromErrno(n < 0 ? errno : ENOSPC);
      ::close(fd);
      throw FileError(LogPath, code,
                      "Session log " + LogPath.string() +
                          " could not be written. IOResult = " + std::to_string(code));
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  ::close(fd);
}

namespace {
std::vector<std::string> Body(const std::string& first, const ClockReading& c, const LoginRec& r) {
  auto cut = [](std::string s, std::size_t n) { return s.substr(0, n); };
  return {first,
          "Date: " + LogDate(c),
          "Time: " + LogTimeOfDay(Centiseconds(c)),
          cut("Name1: " + r.Name1, 47),
          cut("Name2: " + r.Name2, 47),
          cut("Name3: " + r.Name3, 47),
          cut("Name4: " + r.Name4, 47),
          cut("Table: " + r.TableNumber, 11)};
}
}  // namespace

void LogFileObj::WriteLogin() {
  if (!Login || LogPath.empty()) return;
  std::vector<std::string> lines = Body("Login: " + ProgramTag, Clock, *Login);
  lines.push_back("EndLogin: " + ProgramTag);
  Append(lines);
  if (IOError == 0) LoginWritten = true;
}

void LogFileObj::WriteLogout() {
  Clock = platform_.now();
  Clock.utcOffsetMinutes = 0;
  std::int64_t elapsed = platform_.monotonicMs() - StartMs;
  if (!Login || LogPath.empty()) return;
  std::vector<std::string> lines = Body("Logout: " + ProgramTag, Clock, *Login);
  lines.push_back("Elapsed Time: " + LogElapsed(elapsed));
  lines.push_back("EndLogout: " + ProgramTag);
  Append(lines);
  if (IOError == 0) LogoutWritten = true;
}

}  // namespace hv
