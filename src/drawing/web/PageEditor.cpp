#include "PageEditor.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "EditorText.h"
#include "PageBridge.h"

namespace funzioni::web {

namespace {

// A missing file, or anything but a regular file, reads as empty.
std::string ReadBytes(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  // Read in one piece: a history of megabytes byte by byte takes a noticeable while.
  const auto size = std::filesystem::file_size(path, error);
  if (error) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::ifstream file(path, std::ios::binary);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return bytes;
}

// Every byte or none: the page keeps a file's bytes in the browser's storage as it is closed,
// and puts back what was stored when that fails.
bool WriteBytes(const std::string& path, std::string_view bytes) {
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (file < 0) return false;
  bool complete = true;
  while (complete && !bytes.empty()) {
    const ssize_t count = ::write(file, bytes.data(), bytes.size());
    complete = count > 0;
    if (complete) bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return ::close(file) == 0 && complete;
}

std::string FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

std::optional<std::string> PageEditor::FileOfCommand(std::string_view commandLine) {
  if (!commandLine.starts_with(kPageEditorProgram)) return std::nullopt;
  std::string_view rest = commandLine.substr(kPageEditorProgram.size());
  if (rest.empty() || rest.front() != ' ') return std::nullopt;
  rest.remove_prefix(rest.find_first_not_of(' '));
  if (rest.empty()) return std::nullopt;
  return std::string(rest);
}

PageEditor::~PageEditor() {
  if (closing_ != 0) PageScheduler().Cancel(closing_);
}

void PageEditor::Start(const std::string& path, std::function<void()> ended) {
  state_ = State::Open;
  path_ = path;
  fileBytes_ = ReadBytes(path);
  baseline_ = fileBytes_;
  ended_ = std::move(ended);
  longLineLength_ = PageOwnText(kLongLineLength);
  shown_.emplace(baseline_, longLineLength_);
  OpenEditor(FileName(path), shown_->Text());
}

void PageEditor::ShowBaseline() {
  shown_.emplace(baseline_, longLineLength_);
  SetEditorText(shown_->Text());
}

char* PageEditor::Input(std::size_t size) {
  input_.assign(size, '\0');
  return input_.data();
}

bool PageEditor::Act(EditorAction action) {
  if (state_ != State::Open) return true;
  switch (action) {
    case EditorAction::Cancel:
      End();
      return true;
    case EditorAction::Save:
      if (!Save()) return false;
      End();
      return true;
    case EditorAction::Replace:
      baseline_ = input_;
      ShowBaseline();
      return true;
    case EditorAction::Download:
      DownloadBytes(shown_->BytesOf(input_), FileName(path_));
      return true;
  }
  return true;
}

bool PageEditor::Save() {
  const std::string bytes = shown_->BytesOf(input_);
  // An unchanged file is not written at all.
  return bytes == fileBytes_ || WriteBytes(path_, bytes);
}

void PageEditor::End() {
  state_ = State::Closing;
  input_.clear();
  input_.shrink_to_fit();
  // The rest in a task of its own: after the save of a history of megabytes, the program reads
  // it back into its list, and both in one task would hold the page for long. The dialog stays
  // held meanwhile, as while the editor was shown.
  closing_ = PageScheduler().Start(this, 0, 0, [this] { Ended(); });
}

void PageEditor::Ended() {
  state_ = State::Closed;
  closing_ = 0;
  CloseEditor();
  shown_.reset();
  fileBytes_.clear();
  fileBytes_.shrink_to_fit();
  baseline_.clear();
  baseline_.shrink_to_fit();
  // Taken first: the call may start the editor again.
  std::function<void()> ended = std::move(ended_);
  ended_ = nullptr;
  if (ended) ended();
}

}  // namespace funzioni::web
