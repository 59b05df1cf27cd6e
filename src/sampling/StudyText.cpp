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

std::string ValueText(const StudyValue& v) {
  switch (v.kind) {
    case StudyValue::Kind::Number:
      return Number(v.value);
    case StudyValue::Kind::PlusInfinity:
      return "+inf";
    case StudyValue::Kind::MinusInfinity:
      return "-inf";
    case StudyValue::Kind::None:
      return "none";
    case StudyValue::Kind::Unknown:
      break;
  }
  return "unknown";
}

std::string WhereText(const StudyLimit& limit) {
  switch (limit.where) {
    case StudyLimit::Where::MinusInfinity:
      return "-inf";
    case StudyLimit::Where::Left:
      return Number(limit.at) + "-";
    case StudyLimit::Where::Right:
      return Number(limit.at) + "+";
    case StudyLimit::Where::PlusInfinity:
      break;
  }
  return "+inf";
}

std::string SideText(int side) {
  return side < 0 ? "-inf" : "+inf";
}

}  // namespace

std::string StudyValueText(const StudyValue& value) {
  return ValueText(value);
}

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
  if (study.parity != StudyParity::None) {
    line("parity", {study.parity == StudyParity::Even ? "even" : "odd"});
  }
  for (const StudyLimit& l : study.limits) line("limit", {WhereText(l), ValueText(l.value)});
  for (const StudyAsymptote& a : study.horizontalAsymptotes) {
    line("asymptote-h", {SideText(a.side), Number(a.q)});
  }
  for (const StudyAsymptote& a : study.obliqueAsymptotes) {
    line("asymptote-o", {SideText(a.side), Number(a.m), Number(a.q)});
  }
  for (const StudyCorner& c : study.corners) {
    line("corner", {Number(c.x), ValueText(c.left), ValueText(c.right)});
  }
  const auto intervals = [&](std::string_view kind, const std::vector<StudyInterval>& list) {
    for (const StudyInterval& i : list) line(kind, {Number(i.from), Number(i.to)});
  };
  intervals("increasing", study.increasing);
  intervals("decreasing", study.decreasing);
  intervals("concave-up", study.concaveUp);
  intervals("concave-down", study.concaveDown);
  return text;
}

}  // namespace funzioni
