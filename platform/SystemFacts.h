#pragma once
// The machine's facts as this operating system gives them, shared by the Qt
// platform and usable by tools. The scripted platform fakes all of them.
#include "platform/Platform.h"

namespace hv::SystemFacts {

ClockReading Now();
std::int64_t MonotonicMs();
std::string UserName();
OsFacts Os();
// Mount folders of iso9660 and udf file systems and of /dev/sr* devices,
// from the mount table text.
std::vector<std::filesystem::path> OpticalMounts(std::string_view mountTable);
std::vector<std::filesystem::path> OpticalDriveRoots();
// The running executable, from /proc/self/exe; empty when it cannot be read.
std::filesystem::path ProgramFile();
std::optional<std::string> FindExecutableFor(const std::filesystem::path& file);
// A failed start gives the system's error in the launcher's numbering
// (SpawnErrorCode).
ProcessStart StartProcess(const std::string& program, const std::filesystem::path& file,
                          const std::filesystem::path& workingFolder = {});
// An errno of a failed start as the launcher's code; an errno that would
// read as another failure there stands as 31, a general failure.
int SpawnErrorCode(int error);
ProcessState State(ProcessHandle handle);

}  // namespace hv::SystemFacts
