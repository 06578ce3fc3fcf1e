// The program: the application object, the platform, the session and its
// main window, then the message loop.
#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "app/InfoList.h"
#include "app/Session.h"
#include "app/forms/MainForm.h"
#include "astrometry/GSCRegions.h"
#include "astrometry/forms/CatalogForms.h"
#include "astrometry/forms/ConverterForms.h"
#include "images/ImageDialogs.h"
#include "platform/qt/Application.h"
#include "platform/qt/QtPlatform.h"

int main(int argc, char** argv) {
  hv::Application app(argc, argv);
  hv::QtPlatform platform;
  app.setPlatform(&platform);
  hv::RegisterAppForms();
  hv::RegisterCatalogForms();
  hv::ResetSearchDialog();

  hv::BendulakSession session(platform);
  hv::Bendulak = &session;
  hv::TBendulak window(session);
  platform.setParentWindow(&window);

  hv::StartupFacts facts;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    facts.screenWidth = screen->geometry().width();
    facts.screenHeight = screen->geometry().height();
  }
  for (int i = 1; i < argc; ++i) facts.arguments.emplace_back(argv[i]);
  std::error_code ec;
  facts.currentFolder = std::filesystem::current_path(ec);

  int rc = 0;
  try {
    window.FormCreate(facts);
  } catch (const std::exception& e) {
    // A failure in the creation is shown; the window opens without the rest.
    app.showException(e.what());
  }
  // The dialogs that live for the whole run, made after the main window's
  // creation (they start from the settings' measuring box).
  hv::CreateImageDialogs();
  // The catalog's table, field and boxes read the session's working copy.
  hv::CreateCatalogObjects(platform, session.Settings);
  hv::CreateCatalogForms();
  hv::CreateConverterForms();
  if (!session.QuitRequested) {
    window.show();
    rc = app.exec();
  } else {
    session.CloseConfirmed = true;
    window.close();
  }
  hv::FreeConverterForms();
  hv::FreeCatalogForms();
  hv::FreeCatalogObjects();
  hv::FreeImageDialogs();
  hv::Bendulak = nullptr;
  return rc;
}
