#include "TextRenderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "DrawingSurface.h"
#include "TextDecoding.h"

namespace funzioni {

struct FontEntry {
  QFont font;
  QFontMetrics metrics;
  int ascent = 0;
  int height = 0;
  int leading = 0;
  int averageWidth = 0;
};

namespace {

// Metrics must match painting on a QImage, whatever the screen reports.
const QImage& MetricsDevice() {
  static const QImage device(1, 1, QImage::Format_RGB32);
  return device;
}

std::unique_ptr<FontEntry> MakeEntry(const QString& family, int pixelHeight, int styleBits) {
  QFont font(family);
  font.setPixelSize(std::max(1, pixelHeight));
  font.setWeight((styleBits & kFontBold) != 0 ? QFont::Bold : QFont::Normal);
  font.setItalic((styleBits & kFontItalic) != 0);
  font.setUnderline((styleBits & kFontUnderline) != 0);
  font.setStrikeOut((styleBits & kFontStrikeOut) != 0);
  font.setStyleStrategy(QFont::NoAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  // A string is as wide as its characters added up.
  font.setKerning(false);
  QFontMetrics metrics(font, &MetricsDevice());
  auto entry = std::unique_ptr<FontEntry>(new FontEntry{font, metrics});
  entry->ascent = metrics.ascent();
  entry->height = metrics.height();
  entry->leading = std::max(0, metrics.leading());
  entry->averageWidth = metrics.averageCharWidth();
  return entry;
}

}  // namespace

const FontEntry* TextRenderer::SurfaceFont(std::string_view faceName, int pointSize,
                                           int styleBits) {
  // Fonts need the GUI application; without one there is no text, and no crash.
  if (qGuiApp == nullptr) return nullptr;
  // The one process-wide table of the drawing layer, kept on purpose: surfaces hold plain
  // pointers to its entries. An entry is added the first time a face, size and style is asked
  // for and is never changed or removed, so a pointer stays valid and means the same font for the
  // whole run; the lock keeps an addition from racing a lookup.
  using Key = std::tuple<std::string, int, int>;
  static std::mutex lock;
  static std::map<Key, std::unique_ptr<const FontEntry>> cache;
  const std::string family = ResolveFamily(faceName);
  const int pixels = PixelHeightForPoints(pointSize);
  const int style = styleBits & (kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut);
  Key key{family, pixels, style};
  const std::lock_guard<std::mutex> guard(lock);
  auto it = cache.find(key);
  if (it == cache.end()) {
    it = cache.emplace(std::move(key), MakeEntry(QString::fromStdString(family), pixels, style))
             .first;
  }
  return it->second.get();
}

PixelSize TextRenderer::CharSize(const FontEntry* font) {
  if (font == nullptr) return {};
  return {font->averageWidth, font->height + font->leading};
}

PixelSize TextRenderer::Measure(const FontEntry* font, std::string_view utf8) {
  if (font == nullptr) return {};
  if (utf8.empty()) return {0, font->height};
  return {font->metrics.horizontalAdvance(DecodeText(utf8)), font->height};
}

void TextRenderer::Draw(const FontEntry* font, std::string_view utf8, int x, int y,
                        std::uint32_t argb, std::uint32_t* pixels, int width, int height) {
  if (font == nullptr || utf8.empty() || width <= 0 || height <= 0) return;
  // The painter works directly on the surface's own pixels.
  QImage image(reinterpret_cast<uchar*>(pixels), width, height, width * 4, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(font->font);
  painter.setPen(QColor::fromRgb(argb));
  painter.drawText(QPoint(x, y + font->ascent), DecodeText(utf8));
}

}  // namespace funzioni
