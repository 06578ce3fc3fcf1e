#pragma once
#include <QApplication>

namespace hv {

class Platform;

// The application object: an exception that leaves an event handler is shown
// in an error box captioned with the application title instead of reaching
// Qt's event loop.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  // Shows an escaped exception's text as an error box captioned with the
  // application title, through the platform when one is set.
  void showException(const char* what);
  void setPlatform(Platform* p) { platform_ = p; }

 private:
  Platform* platform_ = nullptr;
};

}  // namespace hv
