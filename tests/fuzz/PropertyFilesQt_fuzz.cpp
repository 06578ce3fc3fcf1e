// Arbitrary bytes as a control's property file, loaded whole from disk into
// a round LED the way the controls load their settings: no crash, no read
// past a buffer; a bad value ends the load with its message, and the
// control keeps painting afterwards.
//
// One LED serves every input: making a widget per input costs more than the
// load itself. Before each input it takes back the properties a new LED
// has, through the same property walk, so each input starts alike.
#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "controls/forms/Leds.h"
#include "controls/forms/PropertyFiles.h"
#include "tests/fuzz/FuzzKit.h"

namespace {

hv::TiLedRound* led = nullptr;
std::vector<std::string> fresh;  // the properties of a new LED

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(*argc, *argv);
  static hv::TiLedRound one;
  led = &one;
  hv::SaveProperties(one, "", fresh, {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::vector<std::string> lines = fresh;
    led->BeginUpdate();
    hv::LoadProperties(*led, "", lines);
    led->EndUpdate();
  }
  const auto file = hv::fuzz::WriteInput(hv::fuzz::Folder() / "led.txt", data, size);
  try {
    led->LoadFromTextFile(file);
  } catch (const std::exception&) {
  }
  // The update bracket must be closed whatever happened.
  led->BeginUpdate();
  led->EndUpdate();
  // Painting, at a size a screen holds (the file may set any).
  if (led->width() <= 512 && led->height() <= 512) (void)led->grab();
  return 0;
}
