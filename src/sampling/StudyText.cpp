// The study as text: one line of tab-separated fields per item.
#include <charconv>
#include <cmath>
#include <string>

#include "sampling/DecimalText.h"
#include "sampling/FunctionStudy.h"

namespace funzioni {

namespace {

// Up to 7 significant digits in the C locale, without trailing zeros; -0 is written 0.
std::string Number(double value) {
  if (value == 0) return "0";
  return GeneralText(value, 7);
}

}  // namespace

std::string StudyText(const FunctionStudy& study) {
  std::string text;
  const auto line = [&](std::string_view kind, std::initializer_list<std::string> fields) {
    text += kind;
    for (const std::string& field : fields) {
      text += '\t';
      text += field;
    }
    text += '\n';
  };
  line("range", {Number(study.xMin), Number(study.xMax)});
  if (study.yIntercept) line("y-intercept", {Number(*study.yIntercept)});
  for (const StudyGap& gap : study.gaps) line("gap", {Number(gap.from), Number(gap.to)});
  for (const StudyZero& zero : study.zeros) {
    line("zero", {Number(zero.x), zero.touching ? "touching" : "crossing"});
  }
  for (const double x : study.asymptotes) line("asymptote", {Number(x)});
  for (const StudyPoint& p : study.maxima) line("max", {Number(p.x), Number(p.y)});
  for (const StudyPoint& p : study.minima) line("min", {Number(p.x), Number(p.y)});
  for (const StudyPoint& p : study.inflections) line("inflection", {Number(p.x), Number(p.y)});
  for (const StudySign& s : study.signs) {
    line("sign", {Number(s.from), Number(s.to), s.sign > 0 ? "+" : "-"});
  }
  return text;
}

}  // namespace funzioni
