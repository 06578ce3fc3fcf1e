// Every way out of the program ends its process with status 0 within a few
// seconds: the driver runs the program's own start and end (RunProgram)
// through one way out each, and a run that hangs is stopped here.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

extern char** environ;

namespace {

struct Outcome {
  bool ended = false;
  int status = 0;
};

// Runs the driver for one way out; stops it after the time allowed.
Outcome RunDriver(const std::string& wayOut, std::chrono::seconds allowed) {
  std::string program = HV_EXIT_DRIVER;
  char* argv[] = {program.data(), const_cast<char*>(wayOut.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return {};
  const auto deadline = std::chrono::steady_clock::now() + allowed;
  Outcome out;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      out.ended = true;
      out.status = status;
      return out;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return out;
}

class ProgramExit : public ::testing::TestWithParam<const char*> {};

TEST_P(ProgramExit, EndsTheProcessWithStatusZero) {
  // Generous for a sanitizer build; a normal run takes a second or two.
  const Outcome o = RunDriver(GetParam(), std::chrono::seconds(60));
  ASSERT_TRUE(o.ended) << GetParam() << ": the process did not end";
  ASSERT_TRUE(WIFEXITED(o.status)) << GetParam() << ": ended by signal " << WTERMSIG(o.status);
  EXPECT_EQ(WEXITSTATUS(o.status), 0) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(WaysOut, ProgramExit,
                         ::testing::Values("measured-exit", "guide-exit", "guide-closebox",
                                           "blink-closebox", "loading-closebox",
                                           "modal-closebox"),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (c == '-') c = '_';
                           return n;
                         });

}  // namespace
