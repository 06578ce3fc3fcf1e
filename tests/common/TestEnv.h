#pragma once
#include <filesystem>

#include "platform/scripted/ScriptedPlatform.h"

namespace hv::test {

// Points HOME and the XDG folders at a fresh temporary folder for this test
// process, so that no test touches the user's own files.
void UseFreshHome();

// A fresh empty folder under the test's temporary HOME.
std::filesystem::path FreshFolder(const char* name);

// A scripted platform whose failures are test failures.
class Scripted : public ScriptedPlatform {
 public:
  Scripted();
};

}  // namespace hv::test
