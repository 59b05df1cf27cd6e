#include "app/CommandLine.h"

#include <array>
#include <system_error>
#include <utility>

#include <unistd.h>

#include "ProgramInfo.h"

namespace funzioni {

namespace {

constexpr std::string_view kUsage =
    "Usage: funzioni [--data-dir]\n"
    "       funzioni [--data-dir] --sheet LINK | LINK\n"
    "       funzioni --help | --version\n"
    "Opens the function grapher's window. Every formula entered is appended to espressioni.txt\n"
    "in the working directory.\n"
    "  --data-dir  work in $XDG_DATA_HOME/funzioni (by default ~/.local/share/funzioni),\n"
    "              creating it when missing, instead of the current directory\n"
    "  --lang it|de|sl\n"
    "              speak Italian, German or Slovene, whatever the locale or the language\n"
    "              last chosen in the window says\n"
    "  --sheet LINK\n"
    "              open the worksheet of a link (funzioni.html#f=...) or of its part from\n"
    "              the \"#\" on; an argument holding a \"#\" is taken as such a link too\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "Qt's options -platform, -display, -session and -style (each with a value) and -reverse\n"
    "are passed to Qt.\n";

// Qt's options that a desktop or a user may give: those that take a value, then the others.
constexpr std::array<std::string_view, 4> kQtOptionsWithValue = {"-platform", "-display",
                                                                 "-session", "-style"};
constexpr std::string_view kQtFlag = "-reverse";

bool IsQtOptionWithValue(std::string_view argument) {
  for (const std::string_view option : kQtOptionsWithValue) {
    if (argument == option) return true;
  }
  return false;
}

ProgramOptions BadUsage(std::string problem) {
  ProgramOptions options;
  options.action = ProgramOptions::Action::BadUsage;
  options.problem = std::move(problem);
  return options;
}

}  // namespace

ProgramOptions ParseProgramOptions(std::span<const std::string_view> arguments) {
  ProgramOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help") {
      options.action = ProgramOptions::Action::Help;
      return options;
    }
    if (argument == "--version") {
      options.action = ProgramOptions::Action::Version;
      return options;
    }
    if (argument == "--data-dir") {
      options.useDataDir = true;
    } else if (argument == "--lang") {
      if (i + 1 >= arguments.size()) return BadUsage("--lang needs a value: it, de or sl");
      const std::string_view code = arguments[++i];
      // Only the bare codes: a locale name here is more likely a mistake than a choice.
      const auto language = code.size() == 2 ? LanguageOfName(code) : std::nullopt;
      if (!language) return BadUsage("--lang takes it, de or sl, not " + std::string(code));
      options.language = language;
    } else if (argument == "--sheet" ||
               (!argument.starts_with('-') && argument.find('#') != std::string_view::npos)) {
      const bool named = argument == "--sheet";
      if (named && i + 1 >= arguments.size()) return BadUsage("--sheet needs a link");
      if (!options.sheet.empty()) return BadUsage("only one worksheet link may be given");
      // Read when the window has started: a refused one is said there, in its language.
      options.sheet = named ? arguments[++i] : argument;
      if (options.sheet.empty()) return BadUsage("--sheet needs a link");
    } else if (IsQtOptionWithValue(argument)) {
      if (i + 1 >= arguments.size()) return BadUsage(std::string(argument) + " needs a value");
      ++i;
    } else if (argument != kQtFlag) {
      const bool option = !argument.empty() && argument.front() == '-';
      return BadUsage((option ? "unknown option " : "unexpected argument ") +
                      std::string(argument));
    }
  }
  return options;
}

std::string_view ProgramUsage() {
  return kUsage;
}

std::string ProgramVersionLine() {
  return "funzioni " + std::string(kProgramVersion);
}

std::filesystem::path DataDirectory(const char* xdgDataHome, const char* home) {
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
    return std::filesystem::path(xdgDataHome) / "funzioni";
  }
  if (home == nullptr || home[0] != '/') return {};
  return std::filesystem::path(home) / ".local" / "share" / "funzioni";
}

std::optional<std::string> EnterDataDirectory(const std::filesystem::path& directory) {
  std::error_code error;
  if (directory.empty()) {
    error = std::make_error_code(std::errc::no_such_file_or_directory);
  } else {
    std::filesystem::create_directories(directory, error);
    if (!error) std::filesystem::current_path(directory, error);
  }
  if (!error) return std::nullopt;
  const std::string shown =
      directory.empty() ? "(neither XDG_DATA_HOME nor HOME is set)" : directory.string();
  std::string message = "funzioni: cannot use the data directory " + shown + ": " +
                        error.message() + "; formulas entered will not be saved.";
  // An empty directory of our own, removed while we stand in it: every file opened in it fails.
  std::string scratch = (std::filesystem::temp_directory_path(error) / "funzioni-XXXXXX").string();
  if (!error && ::mkdtemp(scratch.data()) != nullptr) {
    const bool entered = ::chdir(scratch.c_str()) == 0;
    ::rmdir(scratch.c_str());
    if (!entered) message += " (and the working directory could not be changed)";
  }
  return message;
}

}  // namespace funzioni
