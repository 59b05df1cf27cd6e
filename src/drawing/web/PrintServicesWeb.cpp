// Printing in the page: the same page as the desktop prints, laid out by the page's print style
// sheet (export.js) and handed to the browser's print dialog. The picture goes in as its pixels,
// enlarged by the same whole factor as on the desktop and never smoothed; the lines follow it.

#include <emscripten.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "CanvasPixels.h"
#include "PageText.h"
#include "drawing/DrawingSurface.h"
#include "drawing/PrintLayout.h"
#include "drawing/PrintServices.h"

// clang-format off
EM_JS(void, funzioni_js_print_layout, (double marginMm, double gapMm, double points,
                                       double lineSpacing, double squareOfAscent,
                                       double indentInSquares), {
  FunzioniExport.printLayout(marginMm, gapMm, points, lineSpacing, squareOfAscent,
                             indentInSquares);
});
EM_JS(void, funzioni_js_print_begin, (const void* rgba, int w, int h, int factor, int dpi), {
  FunzioniExport.printBegin(rgba, w, h, factor, dpi);
});
EM_JS(void, funzioni_js_print_line, (const char* text, int swatch), {
  FunzioniExport.printLine(UTF8ToString(text), swatch);
});
EM_JS(int, funzioni_js_print_end, (const char* name), {
  return FunzioniExport.printEnd(UTF8ToString(name)) ? 1 : 0;
});
// clang-format on

namespace funzioni {

namespace {

// The area inside the least margins of an A4 sheet, in dots of the layout's resolution: the
// browser's paper is the style sheet's, A4.
PixelSize A4Area() {
  const auto dots = [](double mm) {
    return static_cast<int>(std::floor(print::MmToDots(mm, print::kLayoutDpi))) - 1;
  };
  return {dots(print::kA4WidthMm - 2 * print::kLeastMarginMm),
          dots(print::kA4HeightMm - 2 * print::kLeastMarginMm)};
}

// 0x00BBGGRR as the script's 0xRRGGBB; -1 for no square.
int ScriptColour(Color swatch) {
  if (swatch == kNoSwatch) return -1;
  return static_cast<int>(((swatch & 0xFFu) << 16) | (swatch & 0xFF00u) | ((swatch >> 16) & 0xFFu));
}

}  // namespace

PrintResult PrintWithDialog(Dialog& /*owner*/, const PrintPage& page) {
  std::vector<std::uint32_t> pixels;
  PixelSize size;
  int factor = 1;
  if (page.picture != nullptr) {
    size = page.picture->GetSurfaceSize();
    pixels = web::CanvasPixels(*page.picture);
    factor = print::PictureFactor(size, page.pictureWidthMm, print::kLayoutDpi, A4Area());
  }
  if (pixels.empty()) size = {};
  funzioni_js_print_layout(print::kLeastMarginMm, print::kGapBelowPictureMm, print::kTextPoints,
                           print::kLineSpacing, print::kSquareOfAscent, print::kIndentInSquares);
  funzioni_js_print_begin(pixels.data(), size.width, size.height, factor, print::kLayoutDpi);
  for (const PrintLine& line : page.lines) {
    funzioni_js_print_line(web::PageText(line.text).c_str(), ScriptColour(line.swatch));
  }
  // The browser's dialog says nothing of how it was closed: a page shown to it counts as printed.
  return funzioni_js_print_end(web::PageText(page.documentName).c_str()) != 0 ? PrintResult::Printed
                                                                              : PrintResult::Failed;
}

// The page writes no files: a PDF is what the browser's dialog makes of the printed page.
bool PrintToPdf(const PrintPage& /*page*/, std::string_view /*pdfPath*/) {
  return false;
}

}  // namespace funzioni
