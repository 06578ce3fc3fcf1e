// Runs the program as main runs it (RunProgram: the same start, message
// loop and end), offscreen, on a scripted platform, through the way out
// named by the first argument. The scripted platform aborts on a question
// it was not told to expect, so the exit status says how the run ended: 0
// once the main window has closed and everything of the run has gone.
#include <stdlib.h>

#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/forms/MainForm.h"
#include "app/forms/Program.h"
#include "astrometry/ObsParms.h"
#include "astrometry/forms/SlctRefForm.h"
#include "support/Files.h"
#include "tests/app/SampleField.h"
#include "tests/common/TestEnv.h"

namespace hv {
namespace {
namespace fs = std::filesystem;

void Login(ScriptedPlatform& p, TBendulak& w) {
  test::ExpectStudentLogin(p);
  w.action("Login1")->trigger();
}

void Load(ScriptedPlatform& p, TBendulak& w, int n) {
  p.expectOpen(FileChoice{{test::SamplesDir() / ("FIELD" + std::to_string(n) + ".FIT")}, 1});
  w.action("LoadImg" + std::to_string(n))->trigger();
}

// Images > Measure > Image 1, OK, OK: the guide asks for references.
// inObsDialog runs while the observation dialog is shown.
void Measure(ScriptedPlatform& p, TBendulak& w, std::function<void()> inObsDialog = {}) {
  p.expectDialog("TObsParmsDlg", [inObsDialog](DialogModel& m) {
    if (inObsDialog) inObsDialog();
    auto& d = static_cast<ObsParmsDlgModel&>(m);
    d.FormActivate();
    return d.OKBtnClick();
  });
  test::ExpectFieldDialog(p);
  w.action("MeasImg1")->trigger();
  if (!w.guideForm() || !w.guideForm()->isVisible()) {
    std::fprintf(stderr, "the guide is not shown\n");
    std::exit(2);
  }
}

// Logged in, image 1 loaded and its measurement started.
void UpToTheGuide(ScriptedPlatform& p, TBendulak& w) {
  Login(p, w);
  Load(p, w, 1);
  Measure(p, w);
}

void ConfirmExit(ScriptedPlatform& p) {
  p.expectMessage(ModalResult::OK, "** Exercise Finished? **");
}

using Scenario = std::function<void(ScriptedPlatform&, TBendulak&)>;

const std::map<std::string, Scenario>& Scenarios() {
  static const std::map<std::string, Scenario> all = {
      // A measurement started and abandoned, then File > Exit: the
      // magnifier's form was made and goes before its model.
      {"measured-exit",
       [](ScriptedPlatform& p, TBendulak& w) {
         UpToTheGuide(p, w);
         p.expectDialog("TRefCnclForm1", [](DialogModel&) { return ModalResult::Cancel; });
         w.guideForm()->CnclBtn->click();
         ConfirmExit(p);
         w.action("Exit1")->trigger();
       }},
      // File > Exit with the guide up.
      {"guide-exit",
       [](ScriptedPlatform& p, TBendulak& w) {
         UpToTheGuide(p, w);
         ConfirmExit(p);
         w.action("Exit1")->trigger();
       }},
      // The main window's close box with the guide up.
      {"guide-closebox",
       [](ScriptedPlatform& p, TBendulak& w) {
         UpToTheGuide(p, w);
         ConfirmExit(p);
         w.close();
       }},
      // The close box with the blink window shown.
      {"blink-closebox",
       [](ScriptedPlatform& p, TBendulak& w) {
         Login(p, w);
         Load(p, w, 1);
         Load(p, w, 2);
         w.action("Blink1")->trigger();
         if (!w.session().BlinkForm1 || !w.session().BlinkForm1->Visible) {
           std::fprintf(stderr, "the blink window is not shown\n");
           std::exit(2);
         }
         ConfirmExit(p);
         w.close();
       }},
      // The close box while the catalog loads for a measurement: the loading
      // box lets queued events through, so the close arrives in the middle
      // of the command; it is refused without a question. File > Exit after.
      {"loading-closebox",
       [](ScriptedPlatform& p, TBendulak& w) {
         Login(p, w);
         Load(p, w, 1);
         auto tried = std::make_shared<bool>(false);
         Measure(p, w, [&w, tried] {
           QTimer::singleShot(0, &w, [&w, tried] {
             *tried = true;
             if (w.close() || !w.isVisible()) {
               std::fprintf(stderr, "the main window closed in the middle of a command\n");
               std::exit(2);
             }
           });
         });
         if (!*tried) {
           std::fprintf(stderr, "the close did not arrive during the command\n");
           std::exit(2);
         }
         ConfirmExit(p);
         w.action("Exit1")->trigger();
       }},
      // The close box while the baseline dialog is shown is refused; File >
      // Exit after it ends.
      {"modal-closebox",
       [](ScriptedPlatform& p, TBendulak& w) {
         Login(p, w);
         p.expectDialog("TBaselineDlg", [&w](DialogModel&) {
           if (w.close() || !w.isVisible()) {
             std::fprintf(stderr, "the main window closed under the baseline dialog\n");
             std::exit(2);
           }
           return ModalResult::Cancel;
         });
         w.action("Baseline1")->trigger();
         ConfirmExit(p);
         w.action("Exit1")->trigger();
       }},
  };
  return all;
}

}  // namespace
}  // namespace hv

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using namespace hv;
  if (argc != 2 || !Scenarios().count(argv[1])) {
    std::fprintf(stderr, "usage: %s <way out>\n", argv[0]);
    return 64;
  }
  test::UseFreshHome();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const fs::path prog = test::FreshFolder("prog"), data = test::FreshFolder("data");
  for (const auto& e : fs::directory_iterator(fs::path(HV_SOURCE_DIR) / "app" / "shipped"))
    fs::copy_file(e.path(), prog / e.path().filename());
  test::ShipCatalog(prog);
  fs::current_path(data);

  int rc = 0;
  {
    ScriptedPlatform p;  // aborts on anything unexpected
    p.programPath = prog / "halvardin";
    p.opticalDrives = {test::FreshFolder("disc")};
    const Scenario& scenario = Scenarios().at(argv[1]);
    ProgramHooks hooks;
    hooks.platform = &p;
    hooks.started = [&](TBendulak& w) {
      QTimer::singleShot(0, &w, [&p, &w, &scenario] { scenario(p, w); });
    };
    int n = 1;
    char* args[] = {argv[0], nullptr};
    rc = RunProgram(n, args, hooks);
    p.verify();
  }
  const auto log = ReadWholeFile(data / "VESKLOG.LOG");
  if (std::string(log.begin(), log.end()).find("EndLogout: MORVETIK") == std::string::npos) {
    std::fprintf(stderr, "no logout entry in the session log\n");
    return 3;
  }
  std::error_code ec;
  fs::remove_all(std::getenv("HOME"), ec);
  return rc;
}
