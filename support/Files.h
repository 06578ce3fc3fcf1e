#pragma once
// File helpers shared by every writer of user data: atomic replacement and
// temporary names unique to their owner.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// A failed file operation with the numeric I/O result the messages show.
class FileError : public std::runtime_error {
 public:
  FileError(const std::filesystem::path& path, int code, const std::string& what)
      : std::runtime_error(what), path_(path), code_(code) {}
  const std::filesystem::path& path() const { return path_; }
  int code() const { return code_; }

 private:
  std::filesystem::path path_;
  int code_;
};

// Writes the bytes to a unique temporary file in the target's folder, flushes
// it, renames it over the target and syncs the folder, so an interrupted
// write never leaves a cut file. A symbolic link is written through (its
// target is replaced, the link stays); a replaced file keeps its mode.
// Temporaries that killed saves of the same file left are removed first.
// On failure the temporary file is removed, the old target stays, and
// FileError is thrown with an I/O result code (errno-based).
void WriteFileAtomic(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
void WriteFileAtomic(const std::filesystem::path& target, std::string_view text);

// Brings everything written on the file system that holds a folder to its
// disc in one pass (syncfs), for a writer of many files that would pay too
// much for a sync per file. Made before the writing starts: the kernel then
// reports to Sync a write-back error of any file written meanwhile, even one
// that another process has already been told of (Linux 5.8 and later report
// such errors through syncfs at all).
class FileSystemSync {
 public:
  // Never throws: a folder that cannot be opened now is opened again by Sync.
  explicit FileSystemSync(const std::filesystem::path& folder);
  ~FileSystemSync();
  FileSystemSync(const FileSystemSync&) = delete;
  FileSystemSync& operator=(const FileSystemSync&) = delete;
  // FileError (path: the folder) when the folder cannot be opened or the
  // file system could not write everything to its disc.
  void Sync();

 private:
  std::filesystem::path folder_;
  int fd_ = -1;
};

// For tests: while one lives, each system call of WriteFileAtomic ("open",
// "fchmod", "write", "fsync", "close", "rename", "open folder", "fsync
// folder") and of FileSystemSync ("open file system", "syncfs") first asks
// the function; an answer other than 0 makes that call fail with that
// errno, as a full disk or a dying drive would.
class SaveFaultScope {
 public:
  explicit SaveFaultScope(std::function<int(std::string_view call)> fault);
  ~SaveFaultScope();
  SaveFaultScope(const SaveFaultScope&) = delete;
  SaveFaultScope& operator=(const SaveFaultScope&) = delete;

 private:
  std::function<int(std::string_view)> fault_;
  const std::function<int(std::string_view)>* previous_;
};

// Reads a whole file; throws FileError when it cannot be opened or read.
std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);

// Copies source to target (replacing it) through WriteFileAtomic.
void CopyFileAtomic(const std::filesystem::path& source, const std::filesystem::path& target);

// A path in folder that no other file has: stem + "-" + a unique tag + ext.
// The file is created empty, so the name stays reserved for the caller.
std::filesystem::path CreateUniqueFile(const std::filesystem::path& folder, std::string_view stem,
                                       std::string_view ext);

// The folder's entry whose name matches name without regard to case, or
// folder / name when none does. Shipped files and catalog discs are found
// this way.
std::filesystem::path FindCaseInsensitive(const std::filesystem::path& folder,
                                          std::string_view name);

// Maps an errno value to the Pascal-style I/O result codes the messages name
// (2 file not found, 3 path not found, 4 too many open files, 5 access
// denied, 100 EOF, 101 disk full, 106 invalid input, 123 invalid name).
int IOResultFromErrno(int err);

}  // namespace hv
