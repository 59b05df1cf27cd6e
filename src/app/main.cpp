// The grapher: one window, nothing kept between runs but the history file and the language chosen.
// The command line chooses where those files are kept and the language, or asks for the usage or
// the version.

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramInfo.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "drawing/GuiApplication.h"
#include "drawing/PageLanguage.h"
#include "drawing/PlatformServices.h"
#include "drawing/QtDialogLanguage.h"
#include "text/LanguageChoice.h"

namespace {

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

// The language chosen in the window last time, kept beside the history.
std::optional<funzioni::Language> RememberedLanguage() {
  std::ifstream file{std::string(funzioni::kLanguageFileName)};
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return funzioni::LanguageOfRememberedText(text.str());
}

}  // namespace

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
  const funzioni::Language language = funzioni::ChooseLanguage(
      options.language, RememberedLanguage(),
      {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")});
  funzioni::UsePageLanguage(language);
  const funzioni::QtDialogLanguage dialogs(language);
  funzioni::MainWindow window{funzioni::Catalogue(language)};
  if (!options.sheet.empty()) window.OpenWorksheetAtStart(options.sheet);
  return window.Run();
}
