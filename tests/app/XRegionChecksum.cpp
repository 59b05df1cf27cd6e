// Prints a checksum of a rectangle of the X screen, so that a shell script can tell whether a
// part of a real window changed: x-region-checksum X Y WIDTH HEIGHT.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT\n", argv[0]);
    return 2;
  }
  QGuiApplication application(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 1;
  const QImage image = screen
                           ->grabWindow(0, std::atoi(argv[1]), std::atoi(argv[2]),
                                        std::atoi(argv[3]), std::atoi(argv[4]))
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return 1;
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the pixels, row by row
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const unsigned char*>(image.constScanLine(y));
    for (int i = 0; i < image.width() * 4; ++i) {
      hash = (hash ^ row[i]) * 1099511628211ull;
    }
  }
  std::printf("%dx%d %016llx\n", image.width(), image.height(),
              static_cast<unsigned long long>(hash));
  return 0;
}
