#include "PlatformServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "EventGate.h"

namespace funzioni {

namespace {

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// 53 random bits scaled by 2^-53: always below 1.
double UnitFromBits(std::uint64_t bits) {
  return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

std::uint64_t EntropyBits() {
  std::random_device entropy;
  const std::uint64_t high = entropy();
  return (high << 32) | entropy();
}

}  // namespace

namespace detail {

bool RunAndWaitHolding(HandlerGate* gate, std::string_view commandLine) {
  QStringList words = QProcess::splitCommand(
      QString::fromUtf8(commandLine.data(), static_cast<qsizetype>(commandLine.size())));
  if (words.isEmpty()) return false;
  QProcess process;
  process.setProgram(words.takeFirst());
  process.setArguments(words);
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start();
  if (!process.waitForStarted()) return false;
  const HandlerGate::Hold hold(gate);
  if (QCoreApplication::instance() == nullptr) {
    process.waitForFinished(-1);
    return true;
  }
  // The loop sleeps until an event comes; the process's end is one (waitForFinished alone cannot
  // tell a time-out from an end already handled by an event loop, so it is not relied on).
  QEventLoop loop;
  QObject::connect(&process, &QProcess::stateChanged, &loop, [&loop](QProcess::ProcessState state) {
    if (state == QProcess::NotRunning) loop.quit();
  });
  while (process.state() != QProcess::NotRunning) loop.exec(QEventLoop::ExcludeUserInputEvents);
  return true;
}

void PauseHolding(HandlerGate* gate, int milliseconds) {
  if (milliseconds <= 0) return;
  if (QCoreApplication::instance() == nullptr) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return;
  }
  const HandlerGate::Hold hold(gate);
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(milliseconds);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace detail

bool RunAndWait(std::string_view commandLine) {
  return detail::RunAndWaitHolding(nullptr, commandLine);
}

bool OpenDocument(std::string_view path) {
  const QFileInfo file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  if (!file.exists() || qGuiApp == nullptr) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

TimeOfDay CurrentTimeOfDay() {
  const QTime now = QTime::currentTime();
  return {now.hour(), now.minute(), now.second()};
}

void PauseMilliseconds(int milliseconds) {
  detail::PauseHolding(nullptr, milliseconds);
}

double RandomUnit() {
  return UnitFromBits(EntropyBits());
}

RandomSource::RandomSource() : engine_(EntropyBits()) {}

double RandomSource::RandomUnit() {
  return UnitFromBits(engine_());
}

bool DisplayAvailable() {
  if (!EnvValue("QT_QPA_PLATFORM").empty()) return true;
  if (!EnvValue("WAYLAND_DISPLAY").empty()) return true;
  std::string display = EnvValue("DISPLAY");
  if (display.empty()) return false;
  // A local X display (":99", "unix:0.0") is reachable only while its socket exists.
  if (display.rfind("unix:", 0) == 0) display.erase(0, 4);
  if (display.front() != ':') return true;
  const std::string number = display.substr(1, display.find('.') - 1);
  std::error_code error;
  return std::filesystem::exists("/tmp/.X11-unix/X" + number, error);
}

std::string NoDisplayMessage() {
  return "funzioni: no display to show the window on. Start it from a graphical session "
         "(DISPLAY or WAYLAND_DISPLAY set to a running display), or set QT_QPA_PLATFORM "
         "(for example QT_QPA_PLATFORM=offscreen) to run without a screen.";
}

void PrepareGuiApplication() {
  // Only whole scale factors, so that the client area keeps its size in pixels and surfaces are
  // never stretched unevenly on a desktop with fractional scaling.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
}

}  // namespace funzioni
