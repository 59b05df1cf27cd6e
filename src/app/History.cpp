#include "app/History.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

namespace funzioni {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kEndOfFile = '\x1A';

struct EditorCandidate {
  std::string_view program;
  std::string_view waitOption;  // keeps the editor in the foreground until its window closes
};

// Desktop editors in the order they are tried.
constexpr std::array<EditorCandidate, 8> kDesktopEditors{{
    {"gedit", "--wait"},
    {"gnome-text-editor", "--standalone"},
    {"kate", "--block"},
    {"xed", "--wait"},
    {"mousepad", "--disable-server"},
    {"geany", "--new-instance"},
    {"leafpad", ""},
    {"xedit", ""},
}};

}  // namespace

std::vector<std::string> SplitHistoryLines(std::string_view bytes) {
  if (const std::size_t end = bytes.find(kEndOfFile); end != std::string_view::npos) {
    bytes = bytes.substr(0, end);
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t cr = bytes.find(kCr, start);
    if (cr == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, cr - start));
    start = cr + 1;
    if (start < bytes.size() && bytes[start] == kLf) ++start;
  }
  return lines;
}

std::string FormulaOfHistoryLine(std::string_view line) {
  return std::string(line.substr(0, line.find('\'')));
}

bool EndsWithLineEnd(std::string_view bytes) {
  if (bytes.empty() || bytes.back() == kCr) return true;
  return bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n";
}

std::string HistoryAppendBytes(std::string_view existing, std::string_view formula) {
  std::string bytes;
  if (!EndsWithLineEnd(existing)) bytes = "\r\n";
  bytes.append(formula);
  bytes.append("\r\n");
  return bytes;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream contents;
  contents << file.rdbuf();
  return std::move(contents).str();
}

bool AppendHistoryLine(const std::string& path, std::string_view formula) {
  // Only the last two bytes decide whether the last line is still open.
  std::string tail;
  if (std::ifstream file(path, std::ios::binary | std::ios::ate); file) {
    const std::streamoff size = file.tellg();
    if (size > 0) {
      const std::streamoff start = size >= 2 ? size - 2 : 0;
      file.seekg(start);
      tail.resize(static_cast<std::size_t>(size - start));
      if (!file.read(tail.data(), static_cast<std::streamsize>(tail.size()))) tail.clear();
    }
  }
  const std::string bytes = HistoryAppendBytes(tail, formula);
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return written && flushed && closed;
}

std::string ChooseEditorCommand(std::string_view fileName, const EditorEnvironment& environment) {
  const std::string file(fileName);
  if (environment.getEnv) {
    if (const auto chosen = environment.getEnv("FUNZIONI_EDITOR"); chosen && !chosen->empty()) {
      return *chosen + " " + file;
    }
  }
  if (environment.windows) return "notepad.exe " + file;
  if (!environment.isExecutable) return {};
  for (const EditorCandidate& editor : kDesktopEditors) {
    if (!environment.isExecutable(editor.program)) continue;
    std::string command(editor.program);
    if (!editor.waitOption.empty()) command.append(" ").append(editor.waitOption);
    return command + " " + file;
  }
  return {};
}

EditorEnvironment ProcessEditorEnvironment() {
  EditorEnvironment environment;
  environment.getEnv = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
  environment.isExecutable = [](std::string_view program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string_view directories(path);
    while (!directories.empty()) {
      const std::size_t colon = directories.find(':');
      std::string directory(directories.substr(0, colon));
      directories =
          colon == std::string_view::npos ? std::string_view() : directories.substr(colon + 1);
      if (directory.empty()) directory = ".";
      const std::string candidate = directory + "/" + std::string(program);
      if (::access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
  };
#ifdef _WIN32
  environment.windows = true;
#endif
  return environment;
}

}  // namespace funzioni
