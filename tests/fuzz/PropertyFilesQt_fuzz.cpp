// Arbitrary bytes as a control's property file, loaded whole from disk into
// a round LED the way the controls load their settings: no crash, no read
// past a buffer; a bad value ends the load with its message, and the
// control keeps painting afterwards.
#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>

#include "controls/forms/Leds.h"
#include "tests/fuzz/FuzzKit.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = hv::fuzz::WriteInput(hv::fuzz::Folder() / "led.txt", data, size);
  hv::TiLedRound led;
  try {
    led.LoadFromTextFile(file);
  } catch (const std::exception&) {
  }
  // The update bracket must be closed whatever happened.
  led.BeginUpdate();
  led.EndUpdate();
  // Painting, at a size a screen holds (the file may set any).
  if (led.width() <= 512 && led.height() <= 512) (void)led.grab();
  return 0;
}
