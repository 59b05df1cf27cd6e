// A worksheet link as a pasted or hostile text: reading it never fails other than by refusing,
// and what it accepts is within what the window takes and reads back the same once written.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Require.h"
#include "state/KeptFormulas.h"
#include "state/Worksheet.h"

namespace {

using funzioni::fuzz::Require;

bool NoControlBytes(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < ' ' || byte == 0x7F) return false;
  }
  return true;
}

void CheckAccepted(const funzioni::Worksheet& sheet, std::string_view input) {
  Require(NoControlBytes(sheet.formula), "control byte in the formula", input);
  Require(sheet.kept.size() <= funzioni::kMaxKeptFormulas, "too many kept", input);
  for (const std::string& kept : sheet.kept) {
    Require(NoControlBytes(kept), "control byte in a kept formula", input);
  }
  for (const funzioni::ParamRecord& p : sheet.parameters) {
    Require(std::isfinite(p.value) && std::isfinite(p.minimum) && std::isfinite(p.maximum) &&
                std::isfinite(p.step),
            "a parameter not finite", input);
    Require(p.minimum < p.maximum && p.step > 0 && p.value >= p.minimum && p.value <= p.maximum,
            "a parameter out of its ends", input);
  }
  Require(sheet.zoom >= 1 && sheet.step >= 1, "a meter below its minimum", input);
  if (sheet.view) {
    Require(sheet.view->xMin < sheet.view->xMax && sheet.view->yMin < sheet.view->yMax,
            "an empty view", input);
  }
  const std::string written = funzioni::EncodeWorksheet(sheet);
  const funzioni::WorksheetReading again = funzioni::DecodeWorksheet(written);
  Require(again.sheet.has_value(), "a written sheet is refused", written);
  Require(*again.sheet == sheet, "a written sheet reads back otherwise", written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const funzioni::WorksheetReading reading = funzioni::DecodeWorksheet(input);
  Require(reading.sheet.has_value() == (reading.fault == funzioni::WorksheetFault::None),
          "a sheet and a fault together", input);
  if (reading.sheet) CheckAccepted(*reading.sheet, input);
  return 0;
}
