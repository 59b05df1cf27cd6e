#include "app/StudyReport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "sampling/DecimalText.h"

namespace funzioni {

namespace {

constexpr std::string_view kMinus = "\xE2\x88\x92";       // U+2212
constexpr std::string_view kAbout = "\xE2\x89\x88 ";      // U+2248 and a blank
constexpr std::string_view kArrow = "\xE2\x86\x92";       // U+2192
constexpr std::string_view kInfinity = "\xE2\x88\x9E";    // U+221E
constexpr std::string_view kTimes = "\xC2\xB7";           // U+00B7, the product dot
constexpr std::string_view kSuperMinus = "\xE2\x81\xBB";  // U+207B: from the left
constexpr std::string_view kSuperPlus = "\xE2\x81\xBA";   // U+207A: from the right

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

// Both one-sided slopes infinite: of opposite signs a cusp, of the same sign a vertical tangent
// where the curve goes on rising (or falling); any finite slope makes it a corner.
std::string_view CornerKind(const StudyCorner& c) {
  if (!IsInfinite(c.left) || !IsInfinite(c.right)) return "Punto angoloso";
  return c.left.kind == c.right.kind ? "Flesso a tangente verticale" : "Cuspide";
}

struct Writer {
  double halfRange = 1;
  std::vector<StudyLine> lines;

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
        return "non esiste";
      case StudyValue::Kind::Unknown:
        break;
    }
    return "non determinabile numericamente";
  }
  std::string Where(const StudyLimit& limit) const {
    switch (limit.where) {
      case StudyLimit::Where::MinusInfinity:
        return Infinity(-1);
      case StudyLimit::Where::Left:
        return StudyNumber(limit.at, halfRange) + std::string(kSuperMinus) + " (da sinistra)";
      case StudyLimit::Where::Right:
        return StudyNumber(limit.at, halfRange) + std::string(kSuperPlus) + " (da destra)";
      case StudyLimit::Where::PlusInfinity:
        break;
    }
    return Infinity(1);
  }
  static std::string Side(int side) {
    return "(x " + std::string(kArrow) + " " + Infinity(side) + ")";
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

// What the limits and the derivatives add, after the kinds above: parity, limits, horizontal and
// oblique asymptotes, points without a derivative, then where f grows, falls and bends.
void BeyondLines(const FunctionStudy& study, Writer& w) {
  if (study.parity != StudyParity::None) {
    w.lines.push_back(
        {study.parity == StudyParity::Even ? "Funzione pari" : "Funzione dispari", std::nullopt});
  }
  for (const StudyLimit& limit : study.limits) {
    w.lines.push_back({"Limite per x " + std::string(kArrow) + " " + w.Where(limit) + ": " +
                           w.Value(limit.value, false),
                       std::nullopt});
  }
  if (!study.limits.empty() && study.horizontalAsymptotes.empty() &&
      study.obliqueAsymptotes.empty()) {
    w.None("Asintoti orizzontali e obliqui", "nessuno");
  }
  for (const StudyAsymptote& a : study.horizontalAsymptotes) {
    w.lines.push_back(
        {"Asintoto orizzontale " + Writer::Side(a.side) + ": y " + w.About(a.q), std::nullopt});
  }
  for (const StudyAsymptote& a : study.obliqueAsymptotes) {
    const std::string q = StudyNumber(std::abs(a.q), w.halfRange);
    w.lines.push_back({"Asintoto obliquo " + Writer::Side(a.side) + ": y " +
                           Writer::AboutSlope(a.m) + std::string(kTimes) + "x " +
                           (a.q < 0 && q != "0" ? std::string(kMinus) : "+") + " " + q,
                       std::nullopt});
  }
  if (study.corners.empty()) w.None("Punti di non derivabilit\xC3\xA0");
  for (const StudyCorner& c : study.corners) {
    w.lines.push_back({std::string(CornerKind(c)) + " in x " + w.About(c.x) + ", y " +
                           w.About(c.y) + ": pendenze " + w.Value(c.left, true) +
                           " da sinistra e " + w.Value(c.right, true) + " da destra",
                       StudyMark{c.x, c.y, false}});
  }
  const auto intervals = [&](std::string_view kind, const std::vector<StudyInterval>& list) {
    for (const StudyInterval& i : list) {
      w.lines.push_back({std::string(kind) + " per " + w.Span(i.from, i.to), std::nullopt});
    }
  };
  intervals("Crescente", study.increasing);
  intervals("Decrescente", study.decreasing);
  intervals("Concava verso l'alto", study.concaveUp);
  intervals("Concava verso il basso", study.concaveDown);
}

// One row of the sign chart: the signs over intervals and what f (or a derivative) is at points,
// in the order of x, each as a line "Schema dei segni di f: − per x da ... a ..." or
// "Schema dei segni di f: 0 in x ≈ ...".
class SignRow {
 public:
  explicit SignRow(const Writer& w) : w_(w) {}

  void Interval(double from, double to, int sign, std::string_view meaning) {
    std::string text = std::string(sign > 0 ? "+" : kMinus);
    if (!meaning.empty()) text += " (" + std::string(meaning) + ")";
    items_.push_back({from, 1, text + " per " + w_.Span(from, to)});
    intervals_ = true;
  }
  void Point(double x, std::string_view what) {
    items_.push_back({x, 0, std::string(what) + " in x " + w_.About(x)});
  }
  void Gap(const StudyGap& gap) {
    const std::string where = gap.from == gap.to ? " in " : " per ";
    items_.push_back({gap.from, 0, "non definita" + where + w_.Span(gap.from, gap.to)});
  }
  // One line per item, each short enough for the printed page, which does not wrap lines.
  // Nothing for a row without an interval of either sign, nor for one too long to read as a
  // chart (SIN(x*500)): the lines of each kind above list those items already.
  void Write(std::string_view name, std::vector<StudyLine>& lines) {
    constexpr std::size_t kMostItems = 24;
    if (!intervals_ || items_.size() > kMostItems) return;
    std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
      return a.x != b.x ? a.x < b.x : a.order < b.order;
    });
    for (const Item& item : items_) {
      lines.push_back(
          {"Schema dei segni di " + std::string(name) + ": " + item.text, std::nullopt});
    }
  }

 private:
  struct Item {
    double x;
    int order;  // a point before the interval that starts at it
    std::string text;
  };
  const Writer& w_;
  std::vector<Item> items_;
  bool intervals_ = false;
};

bool IsCorner(const FunctionStudy& study, double x) {
  return std::any_of(study.corners.begin(), study.corners.end(),
                     [x](const StudyCorner& c) { return c.x == x; });
}

// The sign chart of f, f' and f'' as textbooks draw it, one line per row: the screen reader,
// the clipboard and the printed page take it as it is.
void SignChartLines(const FunctionStudy& study, Writer& w) {
  SignRow f(w);
  for (const StudySign& s : study.signs) f.Interval(s.from, s.to, s.sign, "");
  for (const StudyZero& z : study.zeros) f.Point(z.x, "0");
  SignRow slope(w);
  for (const StudyInterval& i : study.increasing) slope.Interval(i.from, i.to, 1, "crescente");
  for (const StudyInterval& i : study.decreasing) slope.Interval(i.from, i.to, -1, "decrescente");
  for (const auto* list : {&study.maxima, &study.minima}) {
    for (const StudyPoint& p : *list) {
      const bool max = list == &study.maxima;
      slope.Point(p.x, IsCorner(study, p.x) ? (max ? "non esiste (massimo)" : "non esiste (minimo)")
                                            : (max ? "0 (massimo)" : "0 (minimo)"));
    }
  }
  SignRow bend(w);
  for (const StudyInterval& i : study.concaveUp)
    bend.Interval(i.from, i.to, 1, "concava verso l'alto");
  for (const StudyInterval& i : study.concaveDown) {
    bend.Interval(i.from, i.to, -1, "concava verso il basso");
  }
  for (const StudyPoint& p : study.inflections) {
    bend.Point(p.x, IsCorner(study, p.x) ? "non esiste (flesso)" : "0 (flesso)");
  }
  for (const StudyGap& gap : study.gaps) {
    for (SignRow* row : {&f, &slope, &bend}) row->Gap(gap);
  }
  // A pole the values reach on both sides (TAN(x) at 90) has no gap of its own.
  for (const double x : study.asymptotes) {
    const bool inGap = std::any_of(study.gaps.begin(), study.gaps.end(),
                                   [x](const StudyGap& g) { return g.from <= x && x <= g.to; });
    if (inGap) continue;
    for (SignRow* row : {&f, &slope, &bend}) row->Point(x, "asintoto verticale");
  }
  f.Write("f", w.lines);
  slope.Write("f\xE2\x80\xB2", w.lines);  // f′
  bend.Write("f\xE2\x80\xB3", w.lines);   // f″
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
  BeyondLines(study, w);
  SignChartLines(study, w);
  return std::move(w.lines);
}

namespace {

constexpr std::string_view kAtX0 = " in x\xE2\x82\x80 ";  // " in x₀ "
constexpr std::string_view kAtMost = "\xE2\x89\xA4 ";     // U+2264 and a blank

std::string LineOf(const Writer& w, double m, double q) {
  const std::string qText = StudyNumber(std::abs(q), w.halfRange);
  return "y " + Writer::AboutSlope(m) + std::string(kTimes) + "x " +
         (q < 0 && qText != "0" ? std::string(kMinus) : "+") + " " + qText;
}

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
  std::string text = std::string(side < 0 ? "Semitangente sinistra" : "Semitangente destra") +
                     std::string(kAtX0) + w.About(t.x) + ": ";
  if (IsInfinite(slope)) {
    text += "verticale, x " + w.About(t.x);
  } else {
    text += LineOf(w, slope.value, t.y - slope.value * t.x);
  }
  report.lines.push_back({text, StudyMark{t.x, t.y, false}});
  report.rays.push_back({t.x, t.y, SlopeOf(slope), side});
}

}  // namespace

TangentReport ReportTangent(const StudyTangent& t, double halfRange) {
  Writer w;
  w.halfRange = halfRange;
  TangentReport report;
  const std::string head = "Tangente" + std::string(kAtX0) + w.About(t.x) + ": ";
  const StudyMark point{t.x, t.y, false};
  switch (t.kind) {
    case StudyTangent::Kind::Tangent:
      report.lines.push_back({head + LineOf(w, t.m, t.q), point});
      report.rays.push_back({t.x, t.y, t.m, 0});
      return report;
    case StudyTangent::Kind::Corner: {
      // Both slopes infinite alike: the curve goes on through a vertical tangent.
      if (IsInfinite(t.left) && t.left.kind == t.right.kind) {
        report.lines.push_back({head + "verticale, x " + w.About(t.x), point});
        report.rays.push_back({t.x, t.y, SlopeOf(t.right), 0});
        return report;
      }
      std::string kind(CornerKind({t.x, t.y, t.left, t.right}));
      kind.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(kind.front())));
      report.lines.push_back({head + "non esiste, " + kind + " (pendenze " + w.Value(t.left, true) +
                                  " da sinistra e " + w.Value(t.right, true) + " da destra)",
                              point});
      HalfTangent(w, t, -1, report);
      HalfTangent(w, t, 1, report);
      return report;
    }
    case StudyTangent::Kind::None:
      break;
  }
  if (t.reason == "no value") {
    report.lines.push_back({head + "non esiste, f non ha valore in x\xE2\x82\x80", std::nullopt});
    return report;
  }
  report.lines.push_back({head + "non esiste, f non \xC3\xA8 derivabile in x\xE2\x82\x80", point});
  HalfTangent(w, t, -1, report);
  HalfTangent(w, t, 1, report);
  return report;
}

std::vector<StudyLine> ReportIntegral(const StudyIntegral& integral, double a, double b,
                                      double halfRange) {
  Writer w;
  w.halfRange = halfRange;
  const std::string ends = "da " + StudyNumber(a, halfRange) + " a " + StudyNumber(b, halfRange);
  // An error bound is small by nature: its own digits, never the range's zero.
  const auto bound = [](double e) {
    return " (errore " + std::string(kAtMost) + StudyNumber(e, 0) + ")";
  };
  // A value is its own digits too: only an exact 0 (a whole turn of SIN) is written 0.
  const auto about = [](double v) { return std::string(kAbout) + StudyNumber(v, 0); };
  if (!integral.refused) {
    return {
        {"Integrale " + ends + " " + about(integral.value) + bound(integral.error), std::nullopt},
        {"Area " + ends + " " + about(integral.area) + bound(integral.areaError), std::nullopt}};
  }
  std::string why;
  std::optional<StudyMark> mark;
  switch (integral.why) {
    case StudyIntegral::Refusal::Pole:
      why = "asintoto verticale in x " + w.About(integral.at);
      mark = StudyMark{integral.at, 0, true};
      break;
    case StudyIntegral::Refusal::Gap:
      why = "f non ha valore in x " + w.About(integral.at);
      break;
    case StudyIntegral::Refusal::GapBetween:
      why = "f non ha valori tra x " + w.About(integral.at) + " e x " + w.About(integral.to);
      break;
    case StudyIntegral::Refusal::WideBound:
    case StudyIntegral::Refusal::None:
      why = "l'errore stimato non \xC3\xA8 sotto un decimillesimo del valore";
      break;
  }
  return {{"Integrale e area " + ends + ": non calcolati, " + why, mark}};
}

std::string StudyClipboardText(std::string_view heading, const std::vector<StudyLine>& lines) {
  std::string text = std::string(heading) + "\n";
  for (const StudyLine& line : lines) text += line.text + "\n";
  return text;
}

}  // namespace funzioni
