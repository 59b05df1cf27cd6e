#include "app/StudyReport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "sampling/DecimalText.h"
#include "text/Catalogue.h"

namespace funzioni {

namespace {

constexpr std::string_view kMinus = "\xE2\x88\x92";     // U+2212
constexpr std::string_view kAbout = "\xE2\x89\x88 ";    // U+2248 and a blank
constexpr std::string_view kArrow = "\xE2\x86\x92";     // U+2192
constexpr std::string_view kInfinity = "\xE2\x88\x9E";  // U+221E
constexpr std::string_view kTimes = "\xC2\xB7";         // U+00B7, the product dot

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

std::string Infinity(int sign) {
  return std::string(sign > 0 ? "+" : kMinus) + std::string(kInfinity);
}

bool IsInfinite(const StudyValue& v) {
  return v.kind == StudyValue::Kind::PlusInfinity || v.kind == StudyValue::Kind::MinusInfinity;
}

enum class CornerKind { Corner, Cusp, VerticalInflection };

// Both one-sided slopes infinite: of opposite signs a cusp, of the same sign a vertical tangent
// where the curve goes on rising (or falling); any finite slope makes it a corner.
CornerKind KindOf(const StudyCorner& c) {
  if (!IsInfinite(c.left) || !IsInfinite(c.right)) return CornerKind::Corner;
  return c.left.kind == c.right.kind ? CornerKind::VerticalInflection : CornerKind::Cusp;
}

// The line of a point without a derivative: x, y and the two slopes.
std::string_view CornerPattern(CornerKind kind) {
  switch (kind) {
    case CornerKind::Cusp:
      return "Cuspide in x {0}, y {1}: pendenze {2} da sinistra e {3} da destra";
    case CornerKind::VerticalInflection:
      return "Flesso a tangente verticale in x {0}, y {1}: pendenze {2} da sinistra e {3} da "
             "destra";
    case CornerKind::Corner:
      break;
  }
  return "Punto angoloso in x {0}, y {1}: pendenze {2} da sinistra e {3} da destra";
}

// The tangent line where there is none: x0 and the two slopes.
std::string_view NoTangentPattern(CornerKind kind) {
  switch (kind) {
    case CornerKind::Cusp:
      return "Tangente in x\xE2\x82\x80 {0}: non esiste, cuspide (pendenze {1} da sinistra e {2} "
             "da destra)";
    case CornerKind::VerticalInflection:
      return "Tangente in x\xE2\x82\x80 {0}: non esiste, flesso a tangente verticale (pendenze {1} "
             "da sinistra e {2} da destra)";
    case CornerKind::Corner:
      break;
  }
  return "Tangente in x\xE2\x82\x80 {0}: non esiste, punto angoloso (pendenze {1} da sinistra e "
         "{2} da destra)";
}
// Writes the lines in the catalogue's language: each kind of line is one pattern, whose Italian
// text is the line as the program has always written it.
struct Writer {
  explicit Writer(const Catalogue& texts, double half = 1) : catalogue(texts), halfRange(half) {}

  const Catalogue& catalogue;
  double halfRange = 1;
  std::vector<StudyLine> lines;

  std::string Say(std::string_view pattern, std::initializer_list<std::string_view> values) const {
    return catalogue.Format(pattern, values);
  }
  std::string About(double value) const {
    return std::string(kAbout) + StudyNumber(value, halfRange);
  }
  // A slope is a ratio, not a position: only its own rounding makes it 0.
  static std::string AboutSlope(double value) {
    return std::string(kAbout) + StudyNumber(value, 1);
  }
  std::string Value(const StudyValue& v, bool slope) const {
    switch (v.kind) {
      case StudyValue::Kind::Number:
        return slope ? AboutSlope(v.value) : About(v.value);
      case StudyValue::Kind::PlusInfinity:
        return Infinity(1);
      case StudyValue::Kind::MinusInfinity:
        return Infinity(-1);
      case StudyValue::Kind::None:
        return std::string(catalogue.Translate("non esiste"));
      case StudyValue::Kind::Unknown:
        break;
    }
    return std::string(catalogue.Translate("non determinabile numericamente"));
  }
  std::string Where(const StudyLimit& limit) const {
    switch (limit.where) {
      case StudyLimit::Where::MinusInfinity:
        return Infinity(-1);
      case StudyLimit::Where::Left:  // U+207B: from the left
        return Say("{0}\xE2\x81\xBB (da sinistra)", {StudyNumber(limit.at, halfRange)});
      case StudyLimit::Where::Right:  // U+207A: from the right
        return Say("{0}\xE2\x81\xBA (da destra)", {StudyNumber(limit.at, halfRange)});
      case StudyLimit::Where::PlusInfinity:
        break;
    }
    return Infinity(1);
  }
  static std::string Side(int side) {
    return "(x " + std::string(kArrow) + " " + Infinity(side) + ")";
  }
  std::string Span(double from, double to) const {
    if (from == to) return "x " + About(from);
    return Say("x da {0} a {1}", {About(from), About(to)});
  }
  // A whole line without values ("Zeri: nessuno nell'intervallo visibile").
  void Fixed(std::string_view text) {
    lines.push_back({std::string(catalogue.Translate(text)), std::nullopt});
  }
  void Points(std::string_view none, std::string_view pattern,
              const std::vector<StudyPoint>& list) {
    if (list.empty()) Fixed(none);
    for (const StudyPoint& p : list) {
      lines.push_back({Say(pattern, {About(p.x), About(p.y)}), StudyMark{p.x, p.y, false}});
    }
  }
};

// "y ≈ 2·x − 1": the same in every language.
std::string LineOf(const Writer& w, double m, double q) {
  const std::string qText = StudyNumber(std::abs(q), w.halfRange);
  return "y " + Writer::AboutSlope(m) + std::string(kTimes) + "x " +
         (q < 0 && qText != "0" ? std::string(kMinus) : "+") + " " + qText;
}

std::string_view IntervalPattern(bool increasing, bool up, bool slope) {
  if (slope) return increasing ? "Crescente per {0}" : "Decrescente per {0}";
  return up ? "Concava verso l'alto per {0}" : "Concava verso il basso per {0}";
}

// What the limits and the derivatives add, after the kinds above: parity, limits, horizontal and
// oblique asymptotes, points without a derivative, then where f grows, falls and bends.
void BeyondLines(const FunctionStudy& study, Writer& w) {
  if (study.parity != StudyParity::None) {
    w.Fixed(study.parity == StudyParity::Even ? "Funzione pari" : "Funzione dispari");
  }
  for (const StudyLimit& limit : study.limits) {
    w.lines.push_back(
        {w.Say("Limite per x \xE2\x86\x92 {0}: {1}", {w.Where(limit), w.Value(limit.value, false)}),
         std::nullopt});
  }
  if (!study.limits.empty() && study.horizontalAsymptotes.empty() &&
      study.obliqueAsymptotes.empty()) {
    w.Fixed("Asintoti orizzontali e obliqui: nessuno");
  }
  for (const StudyAsymptote& a : study.horizontalAsymptotes) {
    w.lines.push_back(
        {w.Say("Asintoto orizzontale {0}: y {1}", {Writer::Side(a.side), w.About(a.q)}),
         std::nullopt});
  }
  for (const StudyAsymptote& a : study.obliqueAsymptotes) {
    w.lines.push_back(
        {w.Say("Asintoto obliquo {0}: {1}", {Writer::Side(a.side), LineOf(w, a.m, a.q)}),
         std::nullopt});
  }
  if (study.corners.empty()) {
    w.Fixed("Punti di non derivabilit\xC3\xA0: nessuno nell'intervallo visibile");
  }
  for (const StudyCorner& c : study.corners) {
    w.lines.push_back(
        {w.Say(CornerPattern(KindOf(c)),
               {w.About(c.x), w.About(c.y), w.Value(c.left, true), w.Value(c.right, true)}),
         StudyMark{c.x, c.y, false}});
  }
  const auto intervals = [&](std::string_view pattern, const std::vector<StudyInterval>& list) {
    for (const StudyInterval& i : list) {
      w.lines.push_back({w.Say(pattern, {w.Span(i.from, i.to)}), std::nullopt});
    }
  };
  intervals(IntervalPattern(true, true, true), study.increasing);
  intervals(IntervalPattern(false, true, true), study.decreasing);
  intervals(IntervalPattern(true, true, false), study.concaveUp);
  intervals(IntervalPattern(true, false, false), study.concaveDown);
}

// The pattern of one item of a sign chart's row: "− (decrescente) per {0}", "0 in x {0}",
// "non definita per {0}"; {0} is the item's span or place.
std::string_view SignItemPattern(const SignChartItem& item, SignChartRowName row) {
  using Kind = SignChartItem::Kind;
  const bool plus = item.sign > 0;
  switch (item.kind) {
    case Kind::Interval:
      if (row == SignChartRowName::Slope) {
        return plus ? "+ (crescente) per {0}" : "\xE2\x88\x92 (decrescente) per {0}";
      }
      if (row == SignChartRowName::Bend) {
        return plus ? "+ (concava verso l'alto) per {0}"
                    : "\xE2\x88\x92 (concava verso il basso) per {0}";
      }
      return plus ? "+ per {0}" : "\xE2\x88\x92 per {0}";
    case Kind::Zero:
      return "0 in x {0}";
    case Kind::Maximum:
      return item.noDerivative ? "non esiste (massimo) in x {0}" : "0 (massimo) in x {0}";
    case Kind::Minimum:
      return item.noDerivative ? "non esiste (minimo) in x {0}" : "0 (minimo) in x {0}";
    case Kind::Inflection:
      return item.noDerivative ? "non esiste (flesso) in x {0}" : "0 (flesso) in x {0}";
    case Kind::Gap:
      return item.from == item.to ? "non definita in {0}" : "non definita per {0}";
    case Kind::Pole:
      break;
  }
  return "asintoto verticale in x {0}";
}

// The sign chart of f, f' and f'' as textbooks draw it (SignChart.h, which the window draws),
// one line per item, each short enough for the printed page, which does not wrap lines; nothing
// for a row the chart does not show. The screen reader, the clipboard and the printed page take
// it as it is.
void SignChartLines(const SignChart& chart, Writer& w) {
  constexpr std::array<std::string_view, 3> kNames = {"f", "f\xE2\x80\xB2", "f\xE2\x80\xB3"};
  using Kind = SignChartItem::Kind;
  for (std::size_t r = 0; r < chart.rows.size(); ++r) {
    const SignChartRow& row = chart.rows[r];
    if (!row.Shown()) continue;
    for (const SignChartItem& item : row.items) {
      const bool span = item.kind == Kind::Interval || item.kind == Kind::Gap;
      const std::string where = span ? w.Span(item.from, item.to) : w.About(item.from);
      const std::string text =
          w.Say(SignItemPattern(item, static_cast<SignChartRowName>(r)), {where});
      w.lines.push_back({w.Say("Schema dei segni di {0}: {1}", {kNames[r], text}), std::nullopt});
    }
  }
}

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

std::string StudyHeading(std::string_view formula, double xMin, double xMax,
                         const Catalogue& catalogue) {
  const double half = std::max(std::abs(xMin), std::abs(xMax));
  return catalogue.Format("Studio numerico di f(x) = {0} per x da {1} a {2}, angoli in gradi",
                          {formula, StudyNumber(xMin, half), StudyNumber(xMax, half)});
}

std::vector<StudyLine> StudyLines(const FunctionStudy& study, const Catalogue& catalogue) {
  Writer w(catalogue, std::max(std::abs(study.xMin), std::abs(study.xMax)));
  if (study.yIntercept) {
    w.lines.push_back({w.Say("Intersezione con l'asse y: y {0}", {w.About(*study.yIntercept)}),
                       StudyMark{0, *study.yIntercept, false}});
  } else {
    w.Fixed("Intersezione con l'asse y: nessuna (f non ha valore in x = 0)");
  }
  // "Punti" agrees with the "nessuno" every kind without items says.
  if (study.gaps.empty()) w.Fixed("Punti senza valore: nessuno nell'intervallo visibile");
  for (const StudyGap& gap : study.gaps) {
    // The reason is the evaluator's own message, the same in every language.
    const std::string span = w.Span(gap.from, gap.to);
    w.lines.push_back({gap.reason.empty()
                           ? w.Say("Lacuna del dominio: {0}", {span})
                           : w.Say("Lacuna del dominio: {0} ({1})", {span, gap.reason}),
                       std::nullopt});
  }
  if (study.zeros.empty()) w.Fixed("Zeri: nessuno nell'intervallo visibile");
  for (const StudyZero& zero : study.zeros) {
    w.lines.push_back(
        {w.Say(zero.touching ? "Zero (tangenza): x {0}" : "Zero (attraversamento): x {0}",
               {w.About(zero.x)}),
         StudyMark{zero.x, 0, false}});
  }
  if (study.asymptotes.empty()) w.Fixed("Asintoti verticali: nessuno nell'intervallo visibile");
  for (const double x : study.asymptotes) {
    w.lines.push_back({w.Say("Asintoto verticale: x {0}", {w.About(x)}), StudyMark{x, 0, true}});
  }
  w.Points("Massimi relativi: nessuno nell'intervallo visibile", "Massimo relativo: x {0}, y {1}",
           study.maxima);
  w.Points("Minimi relativi: nessuno nell'intervallo visibile", "Minimo relativo: x {0}, y {1}",
           study.minima);
  w.Points("Flessi: nessuno nell'intervallo visibile", "Flesso: x {0}, y {1}", study.inflections);
  if (study.signs.empty()) w.Fixed("Segno: nessuno nell'intervallo visibile");
  for (const StudySign& s : study.signs) {
    w.lines.push_back({w.Say(s.sign > 0 ? "Segno: f(x) > 0 per {0}" : "Segno: f(x) < 0 per {0}",
                             {w.Span(s.from, s.to)}),
                       std::nullopt});
  }
  BeyondLines(study, w);
  SignChartLines(MakeSignChart(study), w);
  return std::move(w.lines);
}

namespace {

double SlopeOf(const StudyValue& v) {
  if (v.kind == StudyValue::Kind::PlusInfinity) return std::numeric_limits<double>::infinity();
  if (v.kind == StudyValue::Kind::MinusInfinity) return -std::numeric_limits<double>::infinity();
  return v.value;
}

bool Known(const StudyValue& v) {
  return v.kind == StudyValue::Kind::Number || IsInfinite(v);
}

// One half-tangent: its line in the window and its ray on the plot.
void HalfTangent(const Writer& w, const StudyTangent& t, int side, TangentReport& report) {
  const StudyValue& slope = side < 0 ? t.left : t.right;
  if (!Known(slope)) return;
  std::string text;
  if (IsInfinite(slope)) {
    text = w.Say(side < 0 ? "Semitangente sinistra in x\xE2\x82\x80 {0}: verticale, x {0}"
                          : "Semitangente destra in x\xE2\x82\x80 {0}: verticale, x {0}",
                 {w.About(t.x)});
  } else {
    text = w.Say(side < 0 ? "Semitangente sinistra in x\xE2\x82\x80 {0}: {1}"
                          : "Semitangente destra in x\xE2\x82\x80 {0}: {1}",
                 {w.About(t.x), LineOf(w, slope.value, t.y - slope.value * t.x)});
  }
  report.lines.push_back({text, StudyMark{t.x, t.y, false}});
  report.rays.push_back({t.x, t.y, SlopeOf(slope), side});
}

}  // namespace

TangentReport ReportTangent(const StudyTangent& t, double halfRange, const Catalogue& catalogue) {
  const Writer w(catalogue, halfRange);
  TangentReport report;
  const std::string x0 = w.About(t.x);
  const StudyMark point{t.x, t.y, false};
  switch (t.kind) {
    case StudyTangent::Kind::Tangent:
      report.lines.push_back(
          {w.Say("Tangente in x\xE2\x82\x80 {0}: {1}", {x0, LineOf(w, t.m, t.q)}), point});
      report.rays.push_back({t.x, t.y, t.m, 0});
      return report;
    case StudyTangent::Kind::Corner: {
      // Both slopes infinite alike: the curve goes on through a vertical tangent.
      if (IsInfinite(t.left) && t.left.kind == t.right.kind) {
        report.lines.push_back(
            {w.Say("Tangente in x\xE2\x82\x80 {0}: verticale, x {0}", {x0}), point});
        report.rays.push_back({t.x, t.y, SlopeOf(t.right), 0});
        return report;
      }
      const CornerKind kind = KindOf({t.x, t.y, t.left, t.right});
      report.lines.push_back(
          {w.Say(NoTangentPattern(kind), {x0, w.Value(t.left, true), w.Value(t.right, true)}),
           point});
      HalfTangent(w, t, -1, report);
      HalfTangent(w, t, 1, report);
      return report;
    }
    case StudyTangent::Kind::None:
      break;
  }
  if (t.reason == "no value") {
    report.lines.push_back(
        {w.Say("Tangente in x\xE2\x82\x80 {0}: non esiste, f non ha valore in x\xE2\x82\x80", {x0}),
         std::nullopt});
    return report;
  }
  report.lines.push_back(
      {w.Say(
           "Tangente in x\xE2\x82\x80 {0}: non esiste, f non \xC3\xA8 derivabile in x\xE2\x82\x80",
           {x0}),
       point});
  HalfTangent(w, t, -1, report);
  HalfTangent(w, t, 1, report);
  return report;
}

std::vector<StudyLine> ReportIntegral(const StudyIntegral& integral, double a, double b,
                                      double halfRange, const Catalogue& catalogue) {
  const Writer w(catalogue, halfRange);
  const std::string from = StudyNumber(a, halfRange);
  const std::string to = StudyNumber(b, halfRange);
  // An error bound is small by nature: its own digits, never the range's zero; a value is its own
  // digits too: only an exact 0 (a whole turn of SIN) is written 0.
  const auto about = [](double v) { return std::string(kAbout) + StudyNumber(v, 0); };
  if (!integral.refused) {
    return {{w.Say("Integrale da {0} a {1} {2} (errore \xE2\x89\xA4 {3})",
                   {from, to, about(integral.value), StudyNumber(integral.error, 0)}),
             std::nullopt},
            {w.Say("Area da {0} a {1} {2} (errore \xE2\x89\xA4 {3})",
                   {from, to, about(integral.area), StudyNumber(integral.areaError, 0)}),
             std::nullopt}};
  }
  switch (integral.why) {
    case StudyIntegral::Refusal::Pole:
      return {{w.Say("Integrale e area da {0} a {1}: non calcolati, asintoto verticale in x {2}",
                     {from, to, w.About(integral.at)}),
               StudyMark{integral.at, 0, true}}};
    case StudyIntegral::Refusal::Gap:
      return {{w.Say("Integrale e area da {0} a {1}: non calcolati, f non ha valore in x {2}",
                     {from, to, w.About(integral.at)}),
               std::nullopt}};
    case StudyIntegral::Refusal::GapBetween:
      return {{w.Say("Integrale e area da {0} a {1}: non calcolati, f non ha valori tra x {2} e "
                     "x {3}",
                     {from, to, w.About(integral.at), w.About(integral.to)}),
               std::nullopt}};
    case StudyIntegral::Refusal::WideBound:
    case StudyIntegral::Refusal::None:
      break;
  }
  return {
      {w.Say("Integrale e area da {0} a {1}: non calcolati, l'errore stimato non \xC3\xA8 sotto "
             "un decimillesimo del valore",
             {from, to}),
       std::nullopt}};
}

std::string StudyClipboardText(std::string_view heading, const std::vector<StudyLine>& lines) {
  std::string text = std::string(heading) + "\n";
  for (const StudyLine& line : lines) text += line.text + "\n";
  return text;
}

}  // namespace funzioni
