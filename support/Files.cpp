#include "support/Files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include "support/Format.h"

namespace hv {
namespace fs = std::filesystem;

int IOResultFromErrno(int err) {
  switch (err) {
    case ENOENT:
      return 2;
    case ENOTDIR:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return 101;
    case ENAMETOOLONG:
    case EINVAL:
      return 123;
    default:
      return err == 0 ? 0 : 1000 + err;
  }
}

namespace {

const unsigned long long kSeed =
    static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) &
    0xFFFFFF;

std::string UniqueTag() {
  static std::atomic<unsigned> counter{0};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d-%llx-%u", static_cast<int>(::getpid()), kSeed,
                counter.fetch_add(1));
  return buf;
}

[[noreturn]] void Fail(const fs::path& path, int err, const char* what) {
  throw FileError(path, IOResultFromErrno(err), std::string(what) + ": " + path.string());
}

const std::function<int(std::string_view)>* g_saveFault = nullptr;

// True when a test makes this system call of a save fail (errno is set).
bool Faulted(std::string_view call) {
  if (!g_saveFault) return false;
  const int err = (*g_saveFault)(call);
  if (err == 0) return false;
  errno = err;
  return true;
}

// The file a path names, through any symbolic links (a link to a link, a
// relative link), so that a save replaces the file and keeps the link.
fs::path ThroughLinks(fs::path p) {
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec)) || ec) return p;
    const fs::path to = fs::read_symlink(p, ec);
    if (ec) return p;
    p = to.is_absolute() ? to : p.parent_path() / to;
  }
  return p;
}

constexpr std::string_view kTempMark = ".tmp-";

std::string TempPrefix(const fs::path& target) {
  return "." + target.filename().string() + std::string(kTempMark);
}

// The temporaries a killed save of this file left: our own names for it
// (".NAME.tmp-PID-SEED-N") whose process has ended. A live process's, our
// own included, may be in the middle of its save and is left alone.
void RemoveStaleTemporaries(const fs::path& folder, const fs::path& target) {
  const std::string prefix = TempPrefix(target);
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.starts_with(prefix)) continue;
    const std::string tag = name.substr(prefix.size());
    int pid = 0;
    unsigned long long seed = 0;
    unsigned n = 0;
    int used = 0;
    if (std::sscanf(tag.c_str(), "%d-%llx-%u%n", &pid, &seed, &n, &used) != 3 ||
        used != static_cast<int>(tag.size()) || pid <= 0 || tag[0] == '-' || tag[0] == '+')
      continue;
    if (pid == ::getpid() && seed == kSeed) continue;
    if (pid != ::getpid() && (::kill(pid, 0) == 0 || errno == EPERM)) continue;
    ::unlink(it->path().c_str());
  }
}

}  // namespace

SaveFaultScope::SaveFaultScope(std::function<int(std::string_view call)> fault)
    : fault_(std::move(fault)), previous_(g_saveFault) {
  g_saveFault = &fault_;
}

SaveFaultScope::~SaveFaultScope() { g_saveFault = previous_; }

void WriteFileAtomic(const fs::path& given, std::span<const std::uint8_t> bytes) {
  const fs::path target = ThroughLinks(given);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  RemoveStaleTemporaries(folder, target);
  fs::path temp = folder / (TempPrefix(target) + UniqueTag());
  // A file replaced keeps its permissions; a new one gets the umask's.
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  int fd =
      Faulted("open") ? -1 : ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail(given, errno, "cannot create");
  auto abandon = [&](int err, const char* what) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    Fail(given, err, what);
  };
  if (replacing && (Faulted("fchmod") || ::fchmod(fd, old.st_mode & 07777) != 0))
    abandon(errno, "cannot write");
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = Faulted("write") ? -1 : ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      abandon(errno, "cannot write");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (Faulted("fsync") || ::fsync(fd) != 0) abandon(errno, "cannot write");
  const bool closed = ::close(fd) == 0;
  fd = -1;
  if (!closed || Faulted("close")) abandon(errno, "cannot write");
  if (Faulted("rename") || ::rename(temp.c_str(), target.c_str()) != 0)
    abandon(errno, "cannot replace");
  // The new name lasts only once the folder is on the disk too. A file
  // system that cannot sync folders says so; that is no failure.
  const int dir =
      Faulted("open folder") ? -1 : ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) Fail(given, errno, "cannot sync the folder of");
  const bool synced = !Faulted("fsync folder") && ::fsync(dir) == 0;
  const int err = errno;
  ::close(dir);
  if (!synced && err != EINVAL && err != ENOTSUP) Fail(given, err, "cannot sync the folder of");
}

namespace {
int OpenFolder(const fs::path& folder) {
  return Faulted("open file system")
             ? -1
             : ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}
}  // namespace

FileSystemSync::FileSystemSync(const fs::path& folder) : folder_(folder), fd_(OpenFolder(folder)) {}

FileSystemSync::~FileSystemSync() {
  if (fd_ >= 0) ::close(fd_);
}

void FileSystemSync::Sync() {
  if (fd_ < 0 && (fd_ = OpenFolder(folder_)) < 0) Fail(folder_, errno, "cannot open");
  if (Faulted("syncfs") || ::syncfs(fd_) != 0) Fail(folder_, errno, "cannot sync");
}

void WriteFileAtomic(const fs::path& target, std::string_view text) {
  WriteFileAtomic(target, std::span<const std::uint8_t>(
                              reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(path, errno, "cannot open");
  std::vector<std::uint8_t> out;
  std::uint8_t buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      Fail(path, err, "cannot read");
    }
    if (n == 0) break;
    out.insert(out.end(), buf, buf + n);
  }
  ::close(fd);
  return out;
}

void CopyFileAtomic(const fs::path& source, const fs::path& target) {
  auto bytes = ReadWholeFile(source);
  WriteFileAtomic(target, bytes);
}

fs::path CreateUniqueFile(const fs::path& folder, std::string_view stem, std::string_view ext) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = folder / (std::string(stem) + "-" + UniqueTag() + std::string(ext));
    int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      return p;
    }
    if (errno != EEXIST) Fail(p, errno, "cannot create");
  }
  throw FileError(folder, 5, "no unique temporary name in " + folder.string());
}

fs::path FindCaseInsensitive(const fs::path& folder, std::string_view name) {
  fs::path direct = folder / std::string(name);
  std::error_code ec;
  if (fs::exists(direct, ec)) return direct;
  const std::string want = LowerAscii(name);
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
       !ec && it != end; it.increment(ec)) {
    if (LowerAscii(it->path().filename().string()) == want) return it->path();
  }
  return direct;
}

}  // namespace hv
