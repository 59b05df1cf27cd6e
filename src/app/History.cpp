#include "app/History.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

#include "sampling/ChunkSizes.h"

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

// An open file that closes itself.
class FileDescriptor {
 public:
  explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  bool IsOpen() const { return descriptor_ >= 0; }
  int Get() const { return descriptor_; }
  // False when the last writes could not be completed.
  bool Close() {
    if (descriptor_ < 0) return true;
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    return closed == 0;
  }

 private:
  int descriptor_;
};

bool IsRegularFile(const FileDescriptor& file) {
  struct stat info {};
  return ::fstat(file.Get(), &info) == 0 && S_ISREG(info.st_mode);
}

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
  if (!EndsWithLineEnd(existing)) {
    bytes = "\r\n";
  } else if (existing.ends_with(kCr) && formula.starts_with(kLf)) {
    // The formula's LF would join the file's last CR as its line end and be lost: complete the
    // line end first.
    bytes = "\n";
  }
  bytes.append(formula);
  bytes.append("\r\n");
  return bytes;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  // Without blocking, and only a regular file: a pipe or a device of that name would never end.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file.IsOpen() || !IsRegularFile(file)) return std::nullopt;
  std::string bytes;
  std::array<char, kFileReadBytes> buffer;
  for (;;) {
    const ssize_t count = ::read(file.Get(), buffer.data(), buffer.size());
    if (count == 0) return bytes;
    if (count > 0) {
      bytes.append(buffer.data(), static_cast<std::size_t>(count));
    } else if (errno != EINTR) {
      return std::nullopt;
    }
  }
}

bool AppendHistoryLine(const std::string& path, std::string_view formula) {
  // Only the last two bytes decide whether the last line is still open.
  std::string tail;
  if (const FileDescriptor reader(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
      reader.IsOpen() && IsRegularFile(reader)) {
    struct stat info {};
    if (::fstat(reader.Get(), &info) == 0 && info.st_size > 0) {
      const off_t start = info.st_size >= 2 ? info.st_size - 2 : 0;
      tail.resize(static_cast<std::size_t>(info.st_size - start));
      const ssize_t count = ::pread(reader.Get(), tail.data(), tail.size(), start);
      tail.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    }
  }
  const std::string bytes = HistoryAppendBytes(tail, formula);
  // O_APPEND: every write lands after what is there, so nothing is ever overwritten.
  FileDescriptor file(
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!file.IsOpen()) return false;
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const ssize_t count = ::write(file.Get(), rest.data(), rest.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    rest.remove_prefix(static_cast<std::size_t>(count));
  }
  return file.Close();
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
