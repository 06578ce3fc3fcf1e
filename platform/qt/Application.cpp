#include "platform/qt/Application.h"

#include <QMessageBox>
#include <clocale>
#include <exception>

#include "platform/Platform.h"

namespace hv {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Halvardin");
  // QApplication takes the locale from the environment; numbers never do.
  std::setlocale(LC_NUMERIC, "C");
}

void Application::showException(const char* what) {
  if (platform_) {
    ShowError(*platform_, "Halvardin", what);
    return;
  }
  QApplication::beep();
  QMessageBox::critical(QApplication::activeWindow(), "Halvardin", QString::fromLatin1(what));
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    showException(e.what());
  } catch (...) {
    showException("Unknown error");
  }
  return false;
}

}  // namespace hv
