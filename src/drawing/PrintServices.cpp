#include "PrintServices.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "DialogServices.h"
#include "DrawingSurface.h"
#include "PrintLayout.h"
#include "TextDecoding.h"
#include "TextRenderer.h"

namespace funzioni {

namespace {

using print::kGapBelowPictureMm;
using print::kLayoutDpi;
using print::kLeastMarginMm;
using print::kTextPoints;
using print::MmToDots;

QColor ToQColor(Color color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// A copy of the surface's pixels.
QImage PictureImage(const DrawingSurface& picture) {
  const PixelSize size = picture.GetSurfaceSize();
  QImage image(size.width, size.height, QImage::Format_RGB32);
  std::memcpy(image.bits(), picture.ScreenPixels(),
              static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 4);
  return image;
}

bool PaintPage(QPrinter& printer, const PrintPage& page) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // Images go into the page as they are: no JPEG compression, no smoothing.
  painter.setRenderHint(QPainter::LosslessImageRendering, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const int dpi = std::max(printer.resolution(), 1);
  const int scale = std::max(1, (dpi + kLayoutDpi - 1) / kLayoutDpi);
  const double layoutDpi = static_cast<double>(dpi) / scale;
  // The printer is in full-page mode: the painter's origin is the paper's corner, and the picture
  // starts on a whole dot of the paper. Between dots it would be resampled, and blurred, by the
  // printer or the viewer.
  painter.scale(scale, scale);
  const QPageLayout layout = printer.pageLayout();
  const QMargins printerMargins = layout.marginsPixels(dpi);
  const int least = static_cast<int>(std::ceil(MmToDots(kLeastMarginMm, dpi)));
  const QMargins margins(
      std::max(printerMargins.left(), least), std::max(printerMargins.top(), least),
      std::max(printerMargins.right(), least), std::max(printerMargins.bottom(), least));
  const QRect printable = layout.fullRectPixels(dpi).marginsRemoved(margins);
  const QRect area((printable.x() + scale - 1) / scale, (printable.y() + scale - 1) / scale,
                   printable.width() / scale - 1, printable.height() / scale - 1);

  double y = area.top();
  double textLeft = area.left();
  if (page.picture != nullptr && page.picture->GetSurfaceSize().width > 0) {
    const PixelSize size = page.picture->GetSurfaceSize();
    const int factor =
        print::PictureFactor(size, page.pictureWidthMm, layoutDpi, {area.width(), area.height()});
    // Every pixel becomes a block of factor x factor dots, never smoothed: a PDF carries the
    // picture as it is, marked as not to be interpolated, and other printers get exact blocks.
    const QRect target(0, area.top(), size.width * factor, size.height * factor);
    const int left = area.left() + std::max(0, (area.width() - target.width()) / 2);
    painter.drawImage(target.translated(left, 0), PictureImage(*page.picture));
    y = area.top() + target.height() + MmToDots(kGapBelowPictureMm, layoutDpi);
    textLeft = left;
  }

  QFont font(QString::fromStdString(TextRenderer::ResolveFamily("Arial")));
  font.setPixelSize(static_cast<int>(std::lround(kTextPoints / 72.0 * layoutDpi)));
  painter.setFont(font);
  const QFontMetricsF metrics(font, &printer);
  const double lineHeight = metrics.lineSpacing() * print::kLineSpacing;
  const double square = metrics.ascent() * print::kSquareOfAscent;
  const bool anySwatch =
      std::any_of(page.lines.begin(), page.lines.end(),
                  [](const PrintLine& line) { return line.swatch != kNoSwatch; });
  const double textIndent = anySwatch ? square * print::kIndentInSquares : 0.0;
  for (const PrintLine& line : page.lines) {
    // Lines that the page has no room for go on the next one, from its top.
    if (y + lineHeight > area.bottom() && y > area.top()) {
      if (!printer.newPage()) return false;
      y = area.top();
    }
    const double baseline = y + metrics.ascent();
    if (line.swatch != kNoSwatch) {
      painter.setPen(QPen(Qt::black, 0));
      painter.setBrush(ToQColor(line.swatch));
      painter.drawRect(QRectF(textLeft, baseline - square, square, square));
    }
    painter.setPen(Qt::black);
    painter.drawText(QPointF(textLeft + textIndent, baseline), DecodeText(line.text));
    y += lineHeight;
  }
  return painter.end();
}

}  // namespace

PrintResult PrintWithDialog(Dialog& owner, const PrintPage& page) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(DecodeText(page.documentName));
  printer.setFullPage(true);
  QPrintDialog dialog(&printer, owner.Widget());
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  if (dialog.exec() != QDialog::Accepted) return PrintResult::Cancelled;
  return PaintPage(printer, page) ? PrintResult::Printed : PrintResult::Failed;
}

bool PrintToPdf(const PrintPage& page, std::string_view pdfPath) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(DecodeText(pdfPath));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setResolution(kLayoutDpi);
  printer.setDocName(DecodeText(page.documentName));
  printer.setFullPage(true);
  return PaintPage(printer, page);
}

}  // namespace funzioni
