#include "ShellFixture.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "app/History.h"
#include "support/PixelCount.h"

namespace funzioni::testing {

void ShellFixture::SetUp() {
  previousDirectory_ = std::filesystem::current_path();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  directory_ =
      std::filesystem::temp_directory_path() / ("funzioni-shell-" + std::to_string(::getpid()) +
                                                "-" + info->test_suite_name() + "-" + info->name());
  std::filesystem::remove_all(directory_);
  std::filesystem::create_directories(directory_);
  std::filesystem::current_path(directory_);
  ::unsetenv("FUNZIONI_EDITOR");
}

void ShellFixture::TearDown() {
  window_.reset();
  std::filesystem::current_path(previousDirectory_);
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

MainWindow& ShellFixture::Start() {
  window_ = std::make_unique<MainWindow>();
  window_->Show();
  QWidget* widget = window_->dialog().Widget();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(widget));
  // The first paint plays the opening animation; the first picture follows it.
  EXPECT_TRUE(Until([this] { return window_->introOver(); }));
  Settle(0);
  // The application remembers the last pointer position across tests and drops a move to the
  // same place; start every test from the dialog's face in its bottom-right corner.
  QTest::mouseMove(Handle(), QPoint(kClientWidth - 1, kClientHeight - 1));
  Settle(0);
  return *window_;
}

QWindow* ShellFixture::Handle() const {
  return window_->dialog().Widget()->windowHandle();
}

QPoint ShellFixture::CentreOf(int id) const {
  const PixelRect r = window_->dialog().GetControlRect(id);
  return {r.x + r.width / 2, r.y + r.height / 2};
}

QPoint ShellFixture::Inside(int id, int dx, int dy) const {
  const PixelRect r = window_->dialog().GetControlRect(id);
  return {r.x + dx, r.y + dy};
}

void ShellFixture::Move(QPoint point) {
  QTest::mouseMove(Handle(), point);
  Settle(0);
}

void ShellFixture::Press(Qt::MouseButton button, QPoint point) {
  QTest::mousePress(Handle(), button, Qt::NoModifier, point);
  Settle(0);
}

void ShellFixture::Release(Qt::MouseButton button, QPoint point) {
  QTest::mouseRelease(Handle(), button, Qt::NoModifier, point);
  Settle(0);
}

void ShellFixture::Click(Qt::MouseButton button, QPoint point) {
  Press(button, point);
  Release(button, point);
}

void ShellFixture::DoubleClick(QPoint point) {
  QTest::mouseDClick(Handle(), Qt::LeftButton, Qt::NoModifier, point);
  Settle(0);
}

void ShellFixture::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(Handle(), key, modifiers);
  Settle(0);
}

void ShellFixture::Type(std::string_view text) {
  for (const char c : text) QTest::keyClick(Handle(), c);
  Settle(0);
}

void ShellFixture::ChooseInNextMenu(std::string text) {
  auto* poll = new QTimer(QCoreApplication::instance());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, text] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    poll->deleteLater();
    poll->stop();
    for (QAction* action : menu->actions()) {
      if (action->text().toStdString() == text && action->isEnabled()) {
        menu->setActiveAction(action);
      }
    }
    QTest::keyClick(menu, menu->activeAction() != nullptr ? Qt::Key_Return : Qt::Key_Escape);
  });
  poll->start(5);
}

bool ShellFixture::Until(const std::function<bool()>& condition) const {
  return QTest::qWaitFor(condition, kPatienceMs);
}

void ShellFixture::Settle(int milliseconds) {
  QCoreApplication::processEvents();
  WaitForPlot();
  if (milliseconds > 0) QTest::qWait(milliseconds);
}

std::string ShellFixture::Caption(int id) const {
  const ControlRecord* record = window_->controls().Find(id);
  return record == nullptr ? std::string() : record->caption.Trimmed();
}

float ShellFixture::Value(int id) const {
  const ControlRecord* record = window_->controls().Find(id);
  return record == nullptr ? -1.0f : record->value;
}

// The picture of the last input is drawn once the inputs queued before it are handled.
void ShellFixture::WaitForPlot() const {
  if (!window_) return;
  EXPECT_TRUE(Until([this] { return window_->plotIdle(); }));
}

int ShellFixture::CountPixels(int surfaceId, Color color) const {
  WaitForPlot();
  const DrawingSurface* surface = window_->dialog().FindSurface(surfaceId);
  return surface == nullptr ? -1 : test::CountPixels(*surface, color);
}

std::string ShellFixture::SurfacePixels(int surfaceId) const {
  WaitForPlot();
  const DrawingSurface* surface = window_->dialog().FindSurface(surfaceId);
  return surface == nullptr ? std::string() : surface->GetSurfacePixels();
}

std::vector<std::string> ShellFixture::ListLines(int id) const {
  std::vector<std::string> lines;
  const int count = window_->dialog().ListCount(id);
  for (int line = 1; line <= count; ++line) lines.push_back(window_->dialog().ListLine(id, line));
  return lines;
}

void ShellFixture::WriteHistory(std::string_view bytes) const {
  std::ofstream file(HistoryPath(), std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> ShellFixture::ReadHistory() const {
  return ReadFileBytes(HistoryPath());
}

}  // namespace funzioni::testing
