// The page has no print dialog of its own yet: printing is cancelled, as if the user closed it.

#include "drawing/PrintServices.h"

namespace funzioni {

PrintResult PrintWithDialog(Dialog& /*owner*/, const PrintPage& /*page*/) {
  return PrintResult::Cancelled;
}

bool PrintToPdf(const PrintPage& /*page*/, std::string_view /*pdfPath*/) {
  return false;
}

}  // namespace funzioni
