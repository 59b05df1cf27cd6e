#pragma once

// The page's own text editor of a file: what the dialog starts for the command line
// "funzioni-page-editor FILE" (the page names that program as the editor), since a page starts
// no programs. The file's text shows in the page's text area; "Salva" writes it back, "Annulla"
// leaves the file as it was, and either ends the editor. Private to the browser backend.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "EditorText.h"

namespace funzioni::web {

inline constexpr std::string_view kPageEditorProgram = "funzioni-page-editor";

// What the page's editor buttons ask for; the text area's text or a picked file's bytes come in
// the editor's input buffer.
enum class EditorAction { Cancel = 0, Save = 1, Replace = 2, Download = 3 };

class PageEditor {
 public:
  PageEditor() = default;
  PageEditor(const PageEditor&) = delete;
  PageEditor& operator=(const PageEditor&) = delete;
  ~PageEditor();

  // The file a command line gives the page's editor; nothing for any other program.
  static std::optional<std::string> FileOfCommand(std::string_view commandLine);

  // Also while it is closing: from a button that ends it to the next task of the page, where the
  // editor goes and `ended` runs.
  bool IsOpen() const { return state_ != State::Closed; }
  // Shows the file (missing: empty) in the page's editor; `ended` runs once it is closed.
  void Start(const std::string& path, std::function<void()> ended);
  // Where the page puts the text area's text (UTF-8) or a picked file's bytes, `size` bytes.
  char* Input(std::size_t size);
  // One of the page's buttons, with the input given; false when the file could not be written
  // (the editor then stays open, the file as it was). Once a button has ended it, the others do
  // nothing.
  bool Act(EditorAction action);

 private:
  enum class State { Closed, Open, Closing };

  bool Save();
  void ShowBaseline();
  void End();
  void Ended();

  State state_ = State::Closed;
  int closing_ = 0;  // the scheduler's call that ends it, while it is closing
  std::string path_;
  std::string fileBytes_;            // the file's bytes when the editor opened
  std::string baseline_;             // the bytes the text area's text was made from
  std::optional<EditorFile> shown_;  // baseline_ as the text area shows it
  std::string input_;
  std::string longLineLength_;  // how a long line's length shows, in the program's language
  std::function<void()> ended_;
};

}  // namespace funzioni::web
