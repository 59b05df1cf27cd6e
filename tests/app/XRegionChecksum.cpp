// Prints a checksum of a rectangle of the X screen, so that a shell script can tell whether a
// part of a real window changed: x-region-checksum X Y WIDTH HEIGHT.
// With --watch first it keeps reading the rectangle every 100 ms and prints the time (seconds
// since the epoch) of every change, one line each, until it is ended.

#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

std::optional<std::uint64_t> Checksum(QScreen& screen, int x, int y, int width, int height,
                                      QSize& size) {
  const QImage image =
      screen.grabWindow(0, x, y, width, height).toImage().convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return std::nullopt;
  size = image.size();
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the pixels, row by row
  for (int row = 0; row < image.height(); ++row) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.constScanLine(row));
    for (int i = 0; i < image.width() * 4; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  }
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  const bool watch = argc == 6 && std::strcmp(argv[1], "--watch") == 0;
  if (argc != 5 && !watch) {
    std::fprintf(stderr, "usage: %s [--watch] X Y WIDTH HEIGHT\n", argv[0]);
    return 2;
  }
  char** at = argv + (watch ? 2 : 1);
  const int x = std::atoi(at[0]);
  const int y = std::atoi(at[1]);
  const int width = std::atoi(at[2]);
  const int height = std::atoi(at[3]);
  QGuiApplication application(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 1;
  QSize size;
  if (!watch) {
    const auto hash = Checksum(*screen, x, y, width, height, size);
    if (!hash) return 1;
    std::printf("%dx%d %016llx\n", size.width(), size.height(),
                static_cast<unsigned long long>(*hash));
    return 0;
  }
  std::optional<std::uint64_t> last;
  for (;;) {
    const auto hash = Checksum(*screen, x, y, width, height, size);
    if (hash && hash != last) {
      std::printf("%.3f\n", static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000);
      std::fflush(stdout);
      last = hash;
    }
    QThread::msleep(100);
  }
}
