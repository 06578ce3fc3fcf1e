#include "tests/common/TestEnv.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <string>

namespace hv::test {
namespace fs = std::filesystem;

namespace {
fs::path& Home() {
  static fs::path home;
  return home;
}
}  // namespace

void UseFreshHome() {
  std::string templ = (fs::temp_directory_path() / "hvtest-XXXXXX").string();
  if (!::mkdtemp(templ.data())) std::abort();
  fs::path home = templ;
  Home() = home;
  for (const char* sub : {".config", ".local/share", ".cache", "runtime"}) fs::create_directories(home / sub);
  fs::permissions(home / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
  ::setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
  ::setenv("TMPDIR", home.c_str(), 1);
  fs::current_path(home);
}

fs::path FreshFolder(const char* name) {
  static std::atomic<int> n{0};
  fs::path p = Home() / (std::string(name) + "-" + std::to_string(n++));
  fs::create_directories(p);
  return p;
}

Scripted::Scripted()
    : ScriptedPlatform([](const std::string& what) { ADD_FAILURE() << "scripted platform: " << what; }) {}

}  // namespace hv::test
