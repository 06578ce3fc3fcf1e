#pragma once
// The program's run: the application object, the platform, the session, its
// main window and the windows that live for the whole run, the message
// loop, and the end, in one order.
#include <functional>

namespace hv {

class Platform;
class TBendulak;

struct ProgramHooks {
  // The platform the run uses; null: the desktop's (Qt) platform.
  Platform* platform = nullptr;
  // Called once the main window is shown, before the message loop runs.
  std::function<void(TBendulak&)> started;
};

// Runs the program to its end and returns its exit status.
int RunProgram(int argc, char** argv, const ProgramHooks& hooks = {});

}  // namespace hv
