#include "support/Files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>

#include "support/Format.h"

namespace hv {
namespace fs = std::filesystem;

int IOResultFromErrno(int err) {
  switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return 101;
    case ENAMETOOLONG:
    case EINVAL: return 123;
    default: return err == 0 ? 0 : 1000 + err;
  }
}

namespace {

std::string UniqueTag() {
  static std::atomic<unsigned> counter{0};
  static const unsigned long long seed = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d-%llx-%u", static_cast<int>(::getpid()), seed & 0xFFFFFF,
                counter.fetch_add(1));
  return buf;
}

[[noreturn]] void Fail(const fs::path& path, int err, const char* what) {
  throw FileError(path, IOResultFromErrno(err), std::string(what) + ": " + path.string());
}

}  // namespace

void WriteFileAtomic(const fs::path& target, std::span<const std::uint8_t> bytes) {
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  fs::path temp = folder / ("." + target.filename().string() + ".tmp-" + UniqueTag());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) Fail(target, errno, "cannot create");
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      Fail(target, err, "cannot write");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    Fail(target, err, "cannot write");
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    Fail(target, err, "cannot replace");
  }
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
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (LowerAscii(it->path().filename().string()) == want) return it->path();
  }
  return direct;
}

}  // namespace hv
