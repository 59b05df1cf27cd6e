#pragma once

// The real main window, shown offscreen and driven with simulated input, in a fresh temporary
// current directory so that no real "espressioni.txt" is ever read or written.

#include <QPoint>
#include <QWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainWindow.h"

namespace funzioni::testing {

inline constexpr Color kYellowDot = 0x0000FFFF;
inline constexpr Color kGreyDot = 0x00808080;  // the parabola a.x^2+b

class ShellFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds and shows the window, and waits until its opening animation has played.
  MainWindow& Start();
  MainWindow& window() { return *window_; }
  Dialog& dialog() { return window_->dialog(); }
  QWindow* Handle() const;

  // Points of the client area: the centre of a control, or an offset from its top-left corner.
  QPoint CentreOf(int id) const;
  QPoint Inside(int id, int dx, int dy) const;

  void Move(QPoint point);
  void Press(Qt::MouseButton button, QPoint point);
  void Release(Qt::MouseButton button, QPoint point);
  void Click(Qt::MouseButton button, QPoint point);
  void DoubleClick(QPoint point);
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  void Type(std::string_view text);
  void Settle(int milliseconds = 10);
  // Handles events until the condition holds (true) or kPatienceMs have passed (false).
  bool Until(const std::function<bool()>& condition) const;
  // Long enough for any wait of these tests on a machine busy with other work.
  static constexpr int kPatienceMs = 30000;
  // The next popup menu gets its enabled item of this text chosen with the keyboard once it
  // shows (Esc when it has none).
  void ChooseInNextMenu(std::string text);
  // Until the plotting area shows the state of the inputs given so far.
  void WaitForPlot() const;

  // What a control shows: its stored caption (trimmed) and value.
  std::string Caption(int id) const;
  float Value(int id) const;
  int CountPixels(int surfaceId, Color color) const;
  std::string SurfacePixels(int surfaceId) const;
  std::vector<std::string> ListLines(int id) const;

  std::string HistoryPath() const { return (directory_ / kHistoryFileName).string(); }
  void WriteHistory(std::string_view bytes) const;
  std::optional<std::string> ReadHistory() const;

  std::filesystem::path directory_;

 private:
  std::filesystem::path previousDirectory_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace funzioni::testing
