#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace funzioni {

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Starts a program from a command line (split as a shell would, without a shell) and waits until
// it ends, keeping the windows painted meanwhile; false when it could not be started. Called from
// a dialog's handler it keeps that handler busy; Dialog::RunAndWait holds its dialog from anywhere.
bool RunAndWait(std::string_view commandLine);
// Opens a document with the application associated with it; false when that failed.
bool OpenDocument(std::string_view path);
TimeOfDay CurrentTimeOfDay();
// Pauses, keeping the windows painted but handling no user input. Like RunAndWait it holds the
// handler it is called from; Dialog::PauseMilliseconds holds its dialog from anywhere.
void PauseMilliseconds(int milliseconds);
// A random number in [0, 1), straight from the system's entropy source; keeps no state.
double RandomUnit();

// Random numbers in [0, 1) from a generator of its own: seeded from the system, or with a given
// seed so that a run can be repeated. Each dialog owns one (Dialog::Random).
class RandomSource {
 public:
  RandomSource();
  explicit RandomSource(std::uint64_t seed) : engine_(seed) {}
  double RandomUnit();

 private:
  std::mt19937_64 engine_;
};

// Whether a window can be shown: a Qt platform was chosen (QT_QPA_PLATFORM), or a Wayland or a
// reachable X display is set. Without one Qt aborts, so main checks this first and prints
// NoDisplayMessage() instead.
bool DisplayAvailable();
std::string NoDisplayMessage();
// Call before the QApplication exists: the desktop's scale factor is rounded to the nearest whole
// one (GuiApplication also makes it fit the screen).
void PrepareGuiApplication();

}  // namespace funzioni
