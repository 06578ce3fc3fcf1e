#include "app/Launcher.h"

namespace hv {

bool ExecMod32Obj::IsRunning(const std::string& module) {
  if (!ModuleName.empty() && ModuleName == module && process_ &&
      platform_.processState(*process_) == ProcessState::Running)
    return true;
  ModuleName.clear();
  process_.reset();
  return false;
}

void ExecMod32Obj::Execute(const std::string& module, const std::string& parameters,
                           const std::filesystem::path& folder) {
  if (IsRunning(module)) return;
  ModuleName = module;
  CommandLine = "\"" + module + "\"" + (parameters.empty() ? "" : " " + parameters);
  const ProcessStart start = platform_.startProcess(module, parameters, folder);
  process_ = start.process;
  Launched = process_.has_value();
  LastError = Launched ? 0 : start.error;
  if (!Launched) ModuleName.clear();
}

std::string AssociationErrorSuffix(int code) {
  switch (code) {
    case 0:
      return " - Out of Memory or Resources";
    case 2:
      return " - File Not Found";
    case 3:
      return " - Path Not Found";
    case 11:
      return " - Error in Associated .EXE File";
    case 31:
      return " - No Association for Specified File Type";
    default:
      return "";
  }
}

std::string ExecuteErrorSuffix(int code) {
  switch (code) {
    case 2:
      return " - File Not Found";
    case 3:
      return " - Path Not Found";
    case 4:
      return " - Too Many Open Files";
    case 5:
      return " - Access Denied";
    case 8:
      return " - Not Enough Memory";
    case 11:
      return " - Program Has Incorrect Format";
    case 14:
      return " - Out of Memory";
    case 267:
      return " - Directory Name is Invalid";
    default:
      return "";
  }
}

}  // namespace hv
