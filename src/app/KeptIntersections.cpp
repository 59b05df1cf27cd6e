#include "app/KeptIntersections.h"

#include <algorithm>
#include <cstdint>

#include "evaluator/BitCast.h"
#include "sampling/FormulaIntersections.h"
#include "sampling/SampleXs.h"
#include "state/KeptFormulas.h"

namespace funzioni {

namespace {

constexpr std::string_view kAbout = "\xE2\x89\x88 ";  // U+2248 and a blank
constexpr std::string_view kCrossing = "Intersezione con {0}: (x {1}, y {2}), attraversamento";
constexpr std::string_view kTouching = "Intersezione con {0}: (x {1}, y {2}), tangenza";

std::string About(double value, double halfRange) {
  return std::string(kAbout) + StudyNumber(value, halfRange);
}

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

struct Placed {
  double x = 0;
  StudyLine line;
};

void PutU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

class BytesIn {
 public:
  explicit BytesIn(std::string_view bytes) : bytes_(bytes) {}
  bool Ok() const { return ok_; }
  bool AtEnd() const { return ok_ && at_ == bytes_.size(); }
  std::uint32_t U32() {
    if (!ok_ || bytes_.size() - at_ < 4) return Fail();
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
      value = value << 8 | static_cast<std::uint8_t>(bytes_[at_ + static_cast<std::size_t>(i)]);
    }
    at_ += 4;
    return value;
  }
  std::string Text() {
    const std::uint32_t size = U32();
    if (!ok_ || bytes_.size() - at_ < size) return Fail(), std::string();
    std::string text(bytes_.substr(at_, size));
    at_ += size;
    return text;
  }
  std::uint32_t Fail() {
    ok_ = false;
    return 0;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

std::vector<IntersectionPartner> IntersectionPartners(const PlotState& state) {
  std::vector<IntersectionPartner> partners;
  for (std::size_t i = 0; i < state.keptFormulas.size() && i < kMaxKeptFormulas; ++i) {
    partners.push_back({state.keptFormulas[i], KeptFormulaText(state, state.keptFormulas[i])});
  }
  for (int n = 1; n <= functionCount; ++n) {
    if (state.curveOn[n] != 1) continue;
    partners.push_back({Trimmed(state.builtinFunctions[n].text), BuiltinFormulaText(state, n)});
  }
  return partners;
}

std::vector<StudyLine> IntersectionLines(ExpressionEvaluator& evaluator, const PlotState& state,
                                         StopToken stop, const Catalogue& catalogue) {
  if (state.currentFormula.empty()) return {};
  const float zoom = state.zoomValue.value;
  const double halfRange =
      state.view ? (state.view->xMax - state.view->xMin) / 2 : static_cast<double>(HalfRange(zoom));
  std::vector<Placed> placed;
  for (const IntersectionPartner& partner : IntersectionPartners(state)) {
    const std::vector<FormulaIntersection> points = FormulaIntersections(
        evaluator, state.currentFormula, partner.formula, zoom, state.view, stop);
    if (stop.stop_requested()) return {};
    for (const FormulaIntersection& p : points) {
      std::string text =
          catalogue.Format(p.touching ? kTouching : kCrossing,
                           {partner.name, About(p.x, halfRange), About(p.y, halfRange)});
      placed.push_back({p.x, {std::move(text), StudyMark{p.x, p.y, false}}});
    }
  }
  std::stable_sort(placed.begin(), placed.end(),
                   [](const Placed& l, const Placed& r) { return l.x < r.x; });
  std::vector<StudyLine> lines;
  lines.reserve(placed.size());
  for (Placed& p : placed) lines.push_back(std::move(p.line));
  return lines;
}

std::string EncodeIntersectionState(const PlotState& state) {
  std::string out;
  PutU32(out, static_cast<std::uint32_t>(state.keptFormulas.size()));
  for (const std::string& kept : state.keptFormulas) {
    PutU32(out, static_cast<std::uint32_t>(kept.size()));
    out += kept;
  }
  for (const ParamRecord& p : state.formulaParams) PutU32(out, BitCast<std::uint32_t>(p.value));
  for (int n = 1; n <= functionCount; ++n) {
    PutU32(out, state.curveOn[n]);
    for (const ParamTable* table : {&state.paramA, &state.paramB, &state.paramC, &state.paramD}) {
      PutU32(out, BitCast<std::uint32_t>((*table)[n].value));
    }
  }
  return out;
}

bool DecodeIntersectionState(std::string_view bytes, PlotState& state) {
  BytesIn in(bytes);
  const std::uint32_t count = in.U32();
  if (count > kMaxKeptFormulas) return false;
  std::vector<std::string> kept;
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) kept.push_back(in.Text());
  PlotState decoded = state;
  for (ParamRecord& p : decoded.formulaParams) p.value = BitCast<float>(in.U32());
  for (int n = 1; n <= functionCount; ++n) {
    const std::uint32_t on = in.U32();
    if (on > 1) return false;
    decoded.curveOn[n] = static_cast<std::uint8_t>(on);
    for (ParamTable* table : {&decoded.paramA, &decoded.paramB, &decoded.paramC, &decoded.paramD}) {
      (*table)[n].value = BitCast<float>(in.U32());
    }
  }
  if (!in.AtEnd()) return false;
  decoded.keptFormulas = std::move(kept);
  state = std::move(decoded);
  return true;
}

}  // namespace funzioni
