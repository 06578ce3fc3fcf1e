#pragma once
// Shared by the fuzz targets that read files: a private work folder in
// memory-backed space where there is one (a file written and read per input
// costs microseconds there, milliseconds on a disk's file system), and the
// input written into it.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace hv::fuzz {

// HV_FUZZ_DIR, when set, holds the folder (run.sh makes one per run and
// removes it afterwards); a folder made here goes at a normal exit too.
inline const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const char* given = std::getenv("HV_FUZZ_DIR");
    const std::filesystem::path base =
        given && *given ? std::filesystem::path(given)
        : std::filesystem::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0
            ? shm
            : std::filesystem::temp_directory_path();
    std::string t = (base / "hvfuzz-XXXXXX").string();
    if (!::mkdtemp(t.data())) std::abort();
    return std::filesystem::path(t);
  }();
  static const bool removedAtExit = [] {
    return std::atexit([] {
             std::error_code ec;
             std::filesystem::remove_all(Folder(), ec);
           }) == 0;
  }();
  (void)removedAtExit;
  return folder;
}

// Writes the input as the named file (folders made as needed).
inline std::filesystem::path WriteInput(const std::filesystem::path& path, const std::uint8_t* data,
                                        std::size_t size) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return path;
}

}  // namespace hv::fuzz
