#include "PlatformServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QTime>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

#include "Entropy.h"
#include "EventGate.h"

namespace funzioni {

namespace {

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

constexpr int kEndPollMs = 100;

// The end of a process that is not our child: a process descriptor becomes readable when it
// ends. Where the system has none, its end is asked for (Ended) instead.
class ProcessEnd {
 public:
  explicit ProcessEnd(pid_t pid)
      : pid_(pid), descriptor_(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))) {}
  ~ProcessEnd() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  ProcessEnd(const ProcessEnd&) = delete;
  ProcessEnd& operator=(const ProcessEnd&) = delete;

  int Descriptor() const { return descriptor_; }
  bool Ended() const {
    if (descriptor_ < 0) return ::kill(pid_, 0) != 0 && errno == ESRCH;
    pollfd entry{descriptor_, POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0;
  }
  void Wait() const {
    while (!Ended()) {
      if (descriptor_ >= 0) {
        pollfd entry{descriptor_, POLLIN, 0};
        ::poll(&entry, 1, -1);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(kEndPollMs));
      }
    }
  }

 private:
  pid_t pid_;
  int descriptor_;
};

}  // namespace

namespace detail {

bool RunAndWaitHolding(HandlerGate* gate, std::string_view commandLine) {
  QStringList words = QProcess::splitCommand(
      QString::fromUtf8(commandLine.data(), static_cast<qsizetype>(commandLine.size())));
  if (words.isEmpty()) return false;
  // Started on its own, so that a window closed meanwhile can leave it running.
  const QString program = words.takeFirst();
  qint64 pid = 0;
  if (!QProcess::startDetached(program, words, QString(), &pid) || pid <= 0) return false;
  const HandlerGate::Hold hold(gate);
  const ProcessEnd end(static_cast<pid_t>(pid));
  if (QCoreApplication::instance() == nullptr) {
    end.Wait();
    return true;
  }
  // The loop sleeps until an event comes: the program's end, a paint, a release by the dialog.
  QEventLoop loop;
  std::unique_ptr<QSocketNotifier> notifier;
  QTimer poll;
  if (end.Descriptor() >= 0) {
    notifier = std::make_unique<QSocketNotifier>(end.Descriptor(), QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &loop, &QEventLoop::quit);
  } else {
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop, &end] {
      if (end.Ended()) loop.quit();
    });
    poll.start(kEndPollMs);
  }
  bool released = false;
  if (gate != nullptr) {
    gate->SetRelease([&loop, &released] {
      released = true;
      loop.quit();
    });
  }
  while (!released && !end.Ended()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (gate != nullptr) gate->SetRelease(nullptr);
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

std::uint64_t EntropyBits() {
  std::random_device entropy;
  const std::uint64_t high = entropy();
  return (high << 32) | entropy();
}

}  // namespace detail

bool OpenDocument(std::string_view path) {
  const QFileInfo file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  if (!file.exists() || qGuiApp == nullptr) return false;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

TimeOfDay CurrentTimeOfDay() {
  const QTime now = QTime::currentTime();
  return {now.hour(), now.minute(), now.second()};
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
  // Only whole scale factors, so that surfaces are never stretched unevenly on a desktop with
  // fractional scaling; the nearest one, so that a desktop at 150 % or 175 % gets 2x, not 1x.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

}  // namespace funzioni
