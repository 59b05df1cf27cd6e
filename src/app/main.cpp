// The grapher: one window, no command line, nothing kept between runs but the history file.

#include <QApplication>
#include <iostream>

#include "app/MainWindow.h"
#include "drawing/PlatformServices.h"

int main(int argc, char** argv) {
  // Without a display Qt would abort with a terse message; say what is missing instead.
  if (!funzioni::DisplayAvailable()) {
    std::cerr << funzioni::NoDisplayMessage() << '\n';
    return 2;
  }
  funzioni::PrepareGuiApplication();
  QApplication application(argc, argv);
  funzioni::MainWindow window;
  return window.Run();
}
