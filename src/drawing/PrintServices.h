#pragma once

// One printed page: a surface's picture, enlarged by whole pixels so that it stays sharp, and
// under it a few lines of text, each with an optional colour square before it.

#include <string>
#include <string_view>
#include <vector>

#include "Color.h"

namespace funzioni {

class Dialog;
class DrawingSurface;

inline constexpr Color kNoSwatch = kDefaultColor;

struct PrintLine {
  std::string text;
  Color swatch = kNoSwatch;  // a small square of this colour before the text
};

struct PrintPage {
  const DrawingSurface* picture = nullptr;
  double pictureWidthMm =
      120.0;  // the picture's width on paper, met as nearly as whole pixels allow
  std::vector<PrintLine> lines;
  std::string documentName;  // the print job's name
};

enum class PrintResult { Printed, Cancelled, Failed };

// Opens the desktop's print dialog over the dialog and prints the page on the printer chosen
// there (its "print to file" gives a PDF).
PrintResult PrintWithDialog(Dialog& owner, const PrintPage& page);

// Prints the page to a PDF file, A4, without asking anything. False when it could not be written.
bool PrintToPdf(const PrintPage& page, std::string_view pdfPath);

}  // namespace funzioni
