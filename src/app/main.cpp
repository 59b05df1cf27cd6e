// The grapher: one window, nothing kept between runs but the history file. The command line only
// chooses where that file is kept, or asks for the usage or the version.

#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include "ProgramInfo.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "drawing/GuiApplication.h"
#include "drawing/PlatformServices.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const funzioni::ProgramOptions options = funzioni::ParseProgramOptions(arguments);
  switch (options.action) {
    case funzioni::ProgramOptions::Action::Help:
      std::cout << funzioni::ProgramUsage();
      return 0;
    case funzioni::ProgramOptions::Action::Version:
      std::cout << funzioni::ProgramVersionLine() << '\n';
      return 0;
    case funzioni::ProgramOptions::Action::BadUsage:
      std::cerr << "funzioni: " << options.problem << '\n' << funzioni::ProgramUsage();
      return 2;
    case funzioni::ProgramOptions::Action::Run:
      break;
  }
  // Without a display Qt would abort with a terse message; say what is missing instead.
  if (!funzioni::DisplayAvailable()) {
    std::cerr << funzioni::NoDisplayMessage() << '\n';
    return 2;
  }
  if (options.useDataDir) {
    const auto problem = funzioni::EnterDataDirectory(
        funzioni::DataDirectory(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    if (problem) std::cerr << *problem << '\n';
  }
  const funzioni::GuiApplication application(argc, argv, funzioni::kApplicationId,
                                             {funzioni::kClientWidth, funzioni::kClientHeight});
  funzioni::MainWindow window;
  return window.Run();
}
