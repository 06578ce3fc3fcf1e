// The program: the application object, then the main window.
#include <QMainWindow>

#include "platform/qt/Application.h"

int main(int argc, char** argv) {
  hv::Application app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Halvardin");
  window.resize(800, 600);
  window.show();
  return app.exec();
}
