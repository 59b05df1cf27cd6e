#pragma once

// The history file "espressioni.txt": every formula the user enters is appended to it as one
// line, and its lines fill the history list. The file is 8-bit text read as bytes; the program
// only ever appends to it. These functions hold the file logic; the list and the plot are
// driven from MainWindow.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace funzioni {

// Named without a directory: the file lies in the current directory.
inline constexpr std::string_view kHistoryFileName = "espressioni.txt";

// One-line notes for the help panel (each begins with a blank, like every help line).
inline constexpr std::string_view kHistoryNotSavedText =
    " Impossibile salvare la riga in espressioni.txt.";
inline constexpr std::string_view kEditorMissingText = " Impossibile avviare un editor di testo.";

// Splits the file's bytes into lines: a line ends at CR, and an LF right after that CR belongs to
// the line end; a lone LF is an ordinary character; the last line needs no end; a byte 0x1A
// ends the file wherever it stands (the text before it on its line still forms a line).
std::vector<std::string> SplitHistoryLines(std::string_view bytes);

// The formula of a picked line: the text before the first apostrophe, blanks kept.
std::string FormulaOfHistoryLine(std::string_view line);

// True when the bytes are empty or end with a line end (CR, or CR LF), so that a new line can be
// appended without gluing it onto the last one.
bool EndsWithLineEnd(std::string_view bytes);

// What to append to a file holding `existing` to add `formula` as its own line: the formula and
// CR LF, preceded by CR LF when the file's last line has no line end.
std::string HistoryAppendBytes(std::string_view existing, std::string_view formula);

// The whole file as bytes; nothing when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Appends `formula` as one line, creating the file when it does not exist; never rewrites what
// is there. False when the line could not be written completely (read-only file, full disk).
bool AppendHistoryLine(const std::string& path, std::string_view formula);

// How the editor is found. getEnv returns the variable's value or nothing; isExecutable tells
// whether a program of that name can be started from the PATH.
struct EditorEnvironment {
  std::function<std::optional<std::string>(const char*)> getEnv;
  std::function<bool(std::string_view)> isExecutable;
  bool windows = false;
};

// The editor command line for the file, or empty text when no editor is available: the line in
// FUNZIONI_EDITOR with the file name appended; "notepad.exe " on Windows; otherwise the first
// desktop text editor found on the PATH, with the option that makes it wait for its window.
std::string ChooseEditorCommand(std::string_view fileName, const EditorEnvironment& environment);

// The environment of this process (real variables, the real PATH).
EditorEnvironment ProcessEditorEnvironment();

}  // namespace funzioni
