#pragma once

// The grapher's command line and the data directory a menu-started grapher works in. Standard
// library and POSIX only, so that it is decided before any window exists.

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/Language.h"

namespace funzioni {

struct ProgramOptions {
  enum class Action { Run, Help, Version, BadUsage };
  Action action = Action::Run;
  bool useDataDir = false;
  std::optional<Language> language;  // --lang, over the remembered choice and the locale
  std::string sheet;                 // --sheet TEXT, or an argument holding "#": a worksheet link
  std::string problem;               // one line, for BadUsage
};

// The arguments after the program's name. Qt's own options are left for Qt.
ProgramOptions ParseProgramOptions(std::span<const std::string_view> arguments);
std::string_view ProgramUsage();
std::string ProgramVersionLine();

// $XDG_DATA_HOME/funzioni, or ~/.local/share/funzioni when XDG_DATA_HOME is unset, empty or not
// an absolute path; empty when neither that nor HOME is usable. Null means unset.
std::filesystem::path DataDirectory(const char* xdgDataHome, const char* home);

// Creates the directory (with its parents) when missing and makes it the working directory.
// When that fails the answer is the message to show, and the working directory becomes one in
// which nothing can be read or written: the files the grapher keeps then fail to open as they
// would anywhere else, and no stray file lands where the program was started from.
std::optional<std::string> EnterDataDirectory(const std::filesystem::path& directory);

}  // namespace funzioni
