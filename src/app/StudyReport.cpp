#include "app/StudyReport.h"

#include <algorithm>
#include <cmath>

#include "sampling/DecimalText.h"

namespace funzioni {

namespace {

constexpr std::string_view kMinus = "\xE2\x88\x92";   // U+2212
constexpr std::string_view kAbout = "\xE2\x89\x88 ";  // U+2248 and a blank

std::string WithMinusSign(std::string text) {
  if (!text.empty() && text.front() == '-') text.replace(0, 1, kMinus);
  return text;
}

std::string WithoutTrailingZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

struct Writer {
  double halfRange = 1;
  std::vector<StudyLine> lines;

  std::string About(double value) const {
    return std::string(kAbout) + StudyNumber(value, halfRange);
  }
  std::string At(StudyPoint p) const { return "x " + About(p.x) + ", y " + About(p.y); }
  std::string Span(double from, double to) const {
    if (from == to) return "x " + About(from);
    return "x da " + About(from) + " a " + About(to);
  }
  void None(std::string_view kind, std::string_view none = kStudyNoneVisible) {
    lines.push_back({std::string(kind) + ": " + std::string(none), std::nullopt});
  }
  void Points(std::string_view plural, std::string_view one, const std::vector<StudyPoint>& list) {
    if (list.empty()) None(plural);
    for (const StudyPoint& p : list) {
      lines.push_back({std::string(one) + ": " + At(p), StudyMark{p.x, p.y, false}});
    }
  }
};

}  // namespace

std::string StudyNumber(double value, double halfRange) {
  if (!std::isfinite(value)) return value > 0 ? "+inf" : value < 0 ? WithMinusSign("-inf") : "nan";
  if (std::abs(value) < 1e-4 * std::abs(halfRange) || value == 0) return "0";
  const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(value))));
  const int decimals = std::max(0, 3 - magnitude);
  std::string text = WithoutTrailingZeros(FixedText(value, decimals));
  if (text == "-0") text = "0";
  return WithMinusSign(text);
}

std::string StudyHeading(std::string_view formula, double xMin, double xMax) {
  const double half = std::max(std::abs(xMin), std::abs(xMax));
  return "Studio numerico di f(x) = " + std::string(formula) + " per x da " +
         StudyNumber(xMin, half) + " a " + StudyNumber(xMax, half) + ", angoli in gradi";
}

std::vector<StudyLine> StudyLines(const FunctionStudy& study) {
  Writer w;
  w.halfRange = std::max(std::abs(study.xMin), std::abs(study.xMax));
  if (study.yIntercept) {
    w.lines.push_back({"Intersezione con l'asse y: y " + w.About(*study.yIntercept),
                       StudyMark{0, *study.yIntercept, false}});
  } else {
    w.None("Intersezione con l'asse y", "nessuna (f non ha valore in x = 0)");
  }
  // "Punti" agrees with the "nessuno" every kind without items says.
  if (study.gaps.empty()) w.None("Punti senza valore");
  for (const StudyGap& gap : study.gaps) {
    std::string text = "Lacuna del dominio: " + w.Span(gap.from, gap.to);
    if (!gap.reason.empty()) text += " (" + gap.reason + ")";
    w.lines.push_back({text, std::nullopt});
  }
  if (study.zeros.empty()) w.None("Zeri");
  for (const StudyZero& zero : study.zeros) {
    w.lines.push_back({std::string(zero.touching ? "Zero (tangenza)" : "Zero (attraversamento)") +
                           ": x " + w.About(zero.x),
                       StudyMark{zero.x, 0, false}});
  }
  if (study.asymptotes.empty()) w.None("Asintoti verticali");
  for (const double x : study.asymptotes) {
    w.lines.push_back({"Asintoto verticale: x " + w.About(x), StudyMark{x, 0, true}});
  }
  w.Points("Massimi relativi", "Massimo relativo", study.maxima);
  w.Points("Minimi relativi", "Minimo relativo", study.minima);
  w.Points("Flessi", "Flesso", study.inflections);
  if (study.signs.empty()) w.None("Segno");
  for (const StudySign& s : study.signs) {
    w.lines.push_back({std::string("Segno: f(x) ") + (s.sign > 0 ? "> 0" : "< 0") + " per " +
                           w.Span(s.from, s.to),
                       std::nullopt});
  }
  return std::move(w.lines);
}

std::string StudyClipboardText(std::string_view heading, const std::vector<StudyLine>& lines) {
  std::string text = std::string(heading) + "\n";
  for (const StudyLine& line : lines) text += line.text + "\n";
  return text;
}

}  // namespace funzioni
