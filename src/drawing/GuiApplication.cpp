#include "GuiApplication.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstdlib>
#include <string>

#include "PlatformServices.h"

namespace funzioni {

namespace {

constexpr char kFactorHalving[] = "0.5";

bool UserChoseScale() {
  for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                           "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR_ROUNDING_POLICY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

// Qt's per-screen factors, in screen order, when some screen's factor does not fit; empty when
// every one does. Qt ignores per-screen factors that are all 1, so each is given doubled and
// halved again by the global factor (kFactorHalving): both are exact in binary, and so is the
// product.
std::string FittedScreenFactors(PixelSize client) {
  std::string factors;
  bool lowered = false;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const double factor = screen->devicePixelRatio();
    const QRect area = screen->availableGeometry();
    const PixelSize available{static_cast<int>(std::lround(area.width() * factor)),
                              static_cast<int>(std::lround(area.height() * factor))};
    const int scale = FittingScale(factor, available, client);
    lowered = lowered || scale < factor;
    if (!factors.empty()) factors += ';';
    factors += std::to_string(scale * 2);
  }
  return lowered ? factors : std::string();
}

}  // namespace

GuiApplication::GuiApplication(int& argc, char** argv, std::string_view desktopFileName,
                               PixelSize client) {
  PrepareGuiApplication();
  application_ = std::make_unique<QApplication>(argc, argv);
  // Qt fixes the scale when the application is made, so one that asked for more than fits is
  // made again with the fitting factors given per screen. Those are not handed on to the programs
  // it starts.
  if (!UserChoseScale()) {
    const std::string factors = FittedScreenFactors(client);
    if (!factors.empty()) {
      application_.reset();
      qputenv("QT_SCREEN_SCALE_FACTORS", QByteArray::fromStdString(factors));
      qputenv("QT_SCALE_FACTOR", kFactorHalving);
      application_ = std::make_unique<QApplication>(argc, argv);
      qunsetenv("QT_SCREEN_SCALE_FACTORS");
      qunsetenv("QT_SCALE_FACTOR");
    }
  }
  QGuiApplication::setDesktopFileName(
      QString::fromUtf8(desktopFileName.data(), static_cast<qsizetype>(desktopFileName.size())));
}

GuiApplication::~GuiApplication() = default;

double GuiApplication::Scale() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen == nullptr ? 1.0 : screen->devicePixelRatio();
}

}  // namespace funzioni
