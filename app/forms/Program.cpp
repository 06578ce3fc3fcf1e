#include "app/forms/Program.h"

#include <QGuiApplication>
#include <QScreen>
#include <filesystem>
#include <memory>

#include "app/InfoList.h"
#include "app/Session.h"
#include "app/forms/MainForm.h"
#include "astrometry/GSCRegions.h"
#include "astrometry/forms/CatalogForms.h"
#include "astrometry/forms/ConverterForms.h"
#include "images/ImageDialogs.h"
#include "platform/qt/Application.h"
#include "platform/qt/QtPlatform.h"

namespace hv {

namespace {
// The windows and objects that live for the whole run. They are made in
// this order: the main window (its creation sets the measuring box), the
// image dialogs (from that box), the catalog objects (over the session's
// working copy), then the forms over the catalog objects. They go in the
// reverse order, except that the main window goes right after the forms
// that follow catalog models: the forms it made on demand (the magnifier,
// the guide, the image and reference windows) bind the image dialogs' and
// the catalog's models, so every form is gone before the model it binds.
class RunWindows {
 public:
  RunWindows(BendulakSession& session, QtPlatform& qtPlatform, const StartupFacts& facts,
             Application& app)
      : window_(std::make_unique<TBendulak>(session)) {
    qtPlatform.setParentWindow(window_.get());
    // The run ends when the main window has closed, even with a window of
    // its own still shown: exit, not quit, which would ask every window to
    // close and stop at the first that refuses (the guide, the blink window).
    window_->Closed = [] { QCoreApplication::exit(0); };
    try {
      window_->FormCreate(facts);
    } catch (const std::exception& e) {
      // A failure in the creation is shown; the window opens without the rest.
      app.showException(e.what());
    }
    CreateImageDialogs();
    CreateCatalogObjects(session.platform(), session.Settings);
    CreateCatalogForms();
    CreateConverterForms();
  }
  ~RunWindows() {
    FreeConverterForms();
    FreeCatalogForms();
    window_.reset();
    FreeCatalogObjects();
    FreeImageDialogs();
  }
  RunWindows(const RunWindows&) = delete;
  RunWindows& operator=(const RunWindows&) = delete;

  TBendulak& window() { return *window_; }

 private:
  std::unique_ptr<TBendulak> window_;
};
}  // namespace

int RunProgram(int argc, char** argv, const ProgramHooks& hooks) {
  Application app(argc, argv);
  QtPlatform qtPlatform;
  Platform& platform = hooks.platform ? *hooks.platform : qtPlatform;
  app.setPlatform(&platform);
  RegisterAppForms();
  RegisterCatalogForms();
  ResetSearchDialog();

  StartupFacts facts;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    facts.screenWidth = screen->geometry().width();
    facts.screenHeight = screen->geometry().height();
  }
  for (int i = 1; i < argc; ++i) facts.arguments.emplace_back(argv[i]);
  std::error_code ec;
  facts.currentFolder = std::filesystem::current_path(ec);

  // The session outlives every window and object of the run that reaches it.
  BendulakSession session(platform);
  Bendulak = &session;
  int rc = 0;
  {
    RunWindows run(session, qtPlatform, facts, app);
    TBendulak& window = run.window();
    if (!session.QuitRequested) {
      window.show();
      if (hooks.started) hooks.started(window);
      rc = app.exec();
    } else {
      session.CloseConfirmed = true;
      window.close();
    }
  }
  Bendulak = nullptr;
  app.setPlatform(nullptr);
  return rc;
}

}  // namespace hv
