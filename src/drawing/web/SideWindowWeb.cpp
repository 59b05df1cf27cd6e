// The page has no side window yet: it keeps what it is given and never shows, so the program
// behaves as with the window closed.

#include <string>
#include <vector>

#include "drawing/SideWindow.h"

namespace funzioni {

struct SideWindow::Impl {
  std::vector<std::string> lines;
  int current = -1;
};

SideWindow::SideWindow(Dialog&, const SideWindowLook&, SideWindowCommands)
    : impl_(std::make_unique<Impl>()) {}
SideWindow::~SideWindow() = default;
void SideWindow::Show() {}
void SideWindow::Hide() {}
bool SideWindow::IsShown() const {
  return false;
}
void SideWindow::SetHeading(std::string_view) {}
void SideWindow::SetLines(std::span<const std::string> lines) {
  impl_->lines.assign(lines.begin(), lines.end());
  if (impl_->current >= LineCount()) impl_->current = -1;
}
int SideWindow::LineCount() const {
  return static_cast<int>(impl_->lines.size());
}
std::string SideWindow::Line(int index) const {
  return index >= 0 && index < LineCount() ? impl_->lines[index] : std::string();
}
int SideWindow::CurrentLine() const {
  return impl_->current;
}
void SideWindow::SetCurrentLine(int index) {
  impl_->current = index >= 0 && index < LineCount() ? index : -1;
}
bool SideWindow::Checked() const {
  return false;
}

}  // namespace funzioni
