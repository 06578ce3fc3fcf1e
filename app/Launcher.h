#pragma once
// Starts the spreadsheet program on a CSV file of the report and remembers
// whether it still runs, so that a second start does not open it twice.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace hv {

class ExecMod32Obj {
 public:
  explicit ExecMod32Obj(Platform& platform) : platform_(platform) {}

  // Starts module on parameters (a file) in folder, unless it still runs.
  void Execute(const std::string& module, const std::string& parameters,
               const std::filesystem::path& folder);
  // True while the remembered program is module and has not exited;
  // otherwise the remembered program is forgotten.
  bool IsRunning(const std::string& module);

  std::string ModuleName;  // empty when none is remembered
  bool Launched = false;
  std::int32_t LastError = 0;
  std::string CommandLine;  // as the start was asked for, for the record

 private:
  Platform& platform_;
  std::optional<ProcessHandle> process_;
};

// The "Code = ..." texts of the two spreadsheet failure messages.
std::string AssociationErrorSuffix(int code);
std::string ExecuteErrorSuffix(int code);

}  // namespace hv
