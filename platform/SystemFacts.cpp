#include "platform/SystemFacts.h"

#include <pwd.h>
#include <spawn.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

extern char** environ;

namespace hv::SystemFacts {
namespace fs = std::filesystem;

ClockReading Now() {
  using namespace std::chrono;
  auto tp = system_clock::now();
  auto ms = duration_cast<milliseconds>(tp.time_since_epoch()).count();
  std::time_t t = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&t, &local);
  ClockReading r;
  r.year = local.tm_year + 1900;
  r.month = local.tm_mon + 1;
  r.day = local.tm_mday;
  r.hour = local.tm_hour;
  r.minute = local.tm_min;
  r.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  r.millisecond = static_cast<int>(ms % 1000);
  r.utcOffsetMinutes = static_cast<int>(local.tm_gmtoff / 60);
  return r;
}

std::int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string UserName() {
  if (const char* u = std::getenv("USER"); u && *u) return u;
  if (passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name) return pw->pw_name;
  return {};
}

OsFacts Os() {
  // The version the program's rules ask about is that of a multi-user system
  // with per-user folders (NT 5 and later), which every Linux is; the kernel
  // release is only reported.
  OsFacts f;
  f.windowsNT = true;
  f.major = 5;
  f.minor = 1;
  utsname u{};
  if (::uname(&u) == 0) f.name = std::string(u.sysname) + " " + u.release;
  return f;
}

std::vector<fs::path> OpticalMounts(std::string_view table) {
  std::vector<fs::path> out;
  std::istringstream in{std::string(table)};
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string dev, dir, type;
    if (!(fields >> dev >> dir >> type)) continue;
    // An optical drive's disc: a CD or DVD file system, or any mount of /dev/sr*.
    if (type == "iso9660" || type == "udf" || dev.rfind("/dev/sr", 0) == 0) {
      // The mount table escapes blanks as \040.
      std::string unescaped;
      for (std::size_t i = 0; i < dir.size(); ++i) {
        if (dir[i] == '\\' && i + 3 < dir.size()) {
          int v = (dir[i + 1] - '0') * 64 + (dir[i + 2] - '0') * 8 + (dir[i + 3] - '0');
          unescaped.push_back(static_cast<char>(v));
          i += 3;
        } else {
          unescaped.push_back(dir[i]);
        }
      }
      out.emplace_back(unescaped);
    }
  }
  return out;
}

std::vector<fs::path> OpticalDriveRoots() {
  std::ifstream in("/proc/self/mounts");
  std::stringstream ss;
  ss << in.rdbuf();
  return OpticalMounts(ss.str());
}

fs::path ProgramFile() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : p;
}

namespace {
std::optional<std::string> OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return std::nullopt;
  std::istringstream in(path);
  std::string dir;
  while (std::getline(in, dir, ':')) {
    if (dir.empty()) continue;
    fs::path p = fs::path(dir) / name;
    if (::access(p.c_str(), X_OK) == 0) return p.string();
  }
  return std::nullopt;
}
}  // namespace

std::optional<std::string> FindExecutableFor(const fs::path& file) {
  // Spreadsheets that open CSV files, then the desktop's generic opener.
  for (const char* name : {"libreoffice", "localc", "gnumeric", "xdg-open"}) {
    if (auto p = OnPath(name)) return p;
  }
  return std::nullopt;
}

int SpawnErrorCode(int error) {
  switch (error) {
    case ENOENT:
      return 2;
    case ENOTDIR:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
      return 5;
    case ENOMEM:
    case EAGAIN:
      return 8;
    case ENOEXEC:
    case ELIBBAD:
      return 11;
  }
  switch (error) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 8:
    case 11:
    case 14:
    case 267:
      return 31;
  }
  return error;
}

ProcessStart StartProcess(const std::string& program, const fs::path& file,
                          const fs::path& workingFolder) {
  // A working folder that is not there cannot be told from a missing
  // program once the start failed, so it is looked at first.
  std::error_code ec;
  if (!workingFolder.empty() && !fs::is_directory(workingFolder, ec)) return {std::nullopt, 267};
  std::string arg = file.string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  std::string calc = "--calc";
  if (fs::path(program).filename() == "libreoffice") argv.push_back(calc.data());
  argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  int rc = ::posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return {std::nullopt, SpawnErrorCode(rc)};
  return {ProcessHandle{pid}, 0};
}

ProcessState State(ProcessHandle handle) {
  int status = 0;
  pid_t r = ::waitpid(static_cast<pid_t>(handle.id), &status, WNOHANG);
  if (r == 0) return ProcessState::Running;
  if (r < 0) return ProcessState::Failed;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return ProcessState::Failed;
  return ProcessState::Exited;
}

}  // namespace hv::SystemFacts
