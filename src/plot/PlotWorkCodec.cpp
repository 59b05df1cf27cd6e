#include "plot/PlotWorkCodec.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "evaluator/BitCast.h"

namespace funzioni {

namespace {

// "FZ", then the version and what follows: a work or an outcome.
constexpr std::array<std::uint8_t, 2> kMagic{'F', 'Z'};
constexpr std::uint8_t kVersion = 4;
constexpr std::uint8_t kWorkKind = 'W';
constexpr std::uint8_t kOutcomeKind = 'O';
// Larger than any plotting area, small enough that a bad size cannot exhaust memory.
constexpr std::uint32_t kMaxSide = 1 << 14;
constexpr std::uint64_t kMaxLayerPixels = std::uint64_t{1} << 24;

class Writer {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(value >> shift));
  }
  void U64(std::uint64_t value) {
    U32(static_cast<std::uint32_t>(value));
    U32(static_cast<std::uint32_t>(value >> 32));
  }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void F32(float value) { U32(BitCast<std::uint32_t>(value)); }
  void F64(double value) { U64(BitCast<std::uint64_t>(value)); }
  void Text(const std::string& text) {
    U32(static_cast<std::uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Every read past the end, and every value out of range, marks the reader failed; what it reads
// then is zero, so that decoding simply runs on to the end and is refused there.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Ok() const { return ok_; }
  bool AtEnd() const { return ok_ && at_ == bytes_.size(); }
  void Fail() { ok_ = false; }
  // True when count items of size bytes each could still follow (so a count never allocates
  // more than the message holds).
  bool Holds(std::uint64_t count, std::uint64_t size) {
    if (ok_ && count <= (bytes_.size() - at_) / size) return true;
    ok_ = false;
    return false;
  }

  std::uint8_t U8() {
    if (!Holds(1, 1)) return 0;
    return bytes_[at_++];
  }
  std::uint32_t U32() {
    if (!Holds(1, 4)) return 0;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | bytes_[at_ + static_cast<std::size_t>(i)];
    at_ += 4;
    return value;
  }
  std::uint64_t U64() {
    const std::uint64_t low = U32();
    return low | std::uint64_t{U32()} << 32;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() { return BitCast<float>(U32()); }
  double F64() { return BitCast<double>(U64()); }
  bool Flag() {
    const std::uint8_t value = U8();
    if (value > 1) Fail();
    return value == 1;
  }
  std::string Text() {
    const std::uint32_t size = U32();
    if (!Holds(size, 1)) return {};
    std::string text(reinterpret_cast<const char*>(bytes_.data() + at_), size);
    at_ += size;
    return text;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

void WriteHeader(Writer& out, std::uint8_t kind) {
  out.U8(kMagic[0]);
  out.U8(kMagic[1]);
  out.U8(kVersion);
  out.U8(kind);
}

bool ReadHeader(Reader& in, std::uint8_t kind) {
  const bool ours =
      in.U8() == kMagic[0] && in.U8() == kMagic[1] && in.U8() == kVersion && in.U8() == kind;
  if (!ours) in.Fail();
  return in.Ok();
}

void WritePicture(Writer& out, PlotWork::Picture picture) {
  out.U8(static_cast<std::uint8_t>(picture));
}

PlotWork::Picture ReadPicture(Reader& in) {
  const std::uint8_t value = in.U8();
  if (value > static_cast<std::uint8_t>(PlotWork::Picture::FormulaOver)) in.Fail();
  return static_cast<PlotWork::Picture>(in.Ok() ? value : 0);
}

void WriteParam(Writer& out, const ParamRecord& p) {
  for (const float value : {p.minimum, p.maximum, p.value, p.resetValue, p.step}) out.F32(value);
}

ParamRecord ReadParam(Reader& in) {
  ParamRecord p;
  for (float* value : {&p.minimum, &p.maximum, &p.value, &p.resetValue, &p.step}) {
    *value = in.F32();
  }
  return p;
}

void WriteView(Writer& out, const std::optional<PlotView>& view) {
  out.U8(view ? 1 : 0);
  if (!view) return;
  for (const double edge : {view->xMin, view->xMax, view->yMin, view->yMax}) out.F64(edge);
}

// A view whose edges are not finite or not in order is refused.
std::optional<PlotView> ReadView(Reader& in) {
  if (!in.Flag()) return std::nullopt;
  PlotView view;
  for (double* edge : {&view.xMin, &view.xMax, &view.yMin, &view.yMax}) *edge = in.F64();
  const bool sound = std::isfinite(view.xMin) && std::isfinite(view.xMax) &&
                     std::isfinite(view.yMin) && std::isfinite(view.yMax) &&
                     view.xMin < view.xMax && view.yMin < view.yMax;
  if (!sound) in.Fail();
  return view;
}

// No more than the window keeps: a longer list is refused.
std::vector<std::string> ReadKeptFormulas(Reader& in) {
  const std::uint32_t count = in.U32();
  std::vector<std::string> kept;
  if (count > kMaxKeptFormulas) {
    in.Fail();
    return kept;
  }
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) kept.push_back(in.Text());
  return kept;
}

FormulaFamily ReadFamily(Reader& in) {
  FormulaFamily family;
  family.parameter = in.U8();
  family.curves = in.U8();
  if (family.parameter >= kFormulaParameterCount || family.curves > kMaxFamilyCurves) in.Fail();
  return family;
}

void WriteKey(Writer& out, const std::vector<KeptKeyEntry>& key) {
  out.U32(static_cast<std::uint32_t>(key.size()));
  for (const KeptKeyEntry& entry : key) {
    out.Text(entry.text);
    out.I32(entry.color);
  }
}

std::vector<KeptKeyEntry> ReadKey(Reader& in) {
  const std::uint32_t count = in.U32();
  std::vector<KeptKeyEntry> key;
  // The kept formulas' lines and the family's under them.
  if (count > kMaxKeptFormulas + kMaxFamilyCurves) {
    in.Fail();
    return key;
  }
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
    std::string text = in.Text();
    const Color color = in.I32();
    if (color < 0) in.Fail();
    key.push_back({std::move(text), color});
  }
  return key;
}

void WriteState(Writer& out, const PlotState& state) {
  for (const BuiltinFunction& f : state.builtinFunctions) {
    out.Text(f.text);
    for (const std::uint8_t uses : {f.usesA, f.usesB, f.usesC, f.usesD}) out.U8(uses);
  }
  for (const std::uint8_t on : state.curveOn) out.U8(on);
  out.Text(state.currentFormula);
  out.Text(state.typedFormula);
  for (const ParamRecord& p : state.formulaParams) WriteParam(out, p);
  out.U32(static_cast<std::uint32_t>(state.keptFormulas.size()));
  for (const std::string& kept : state.keptFormulas) out.Text(kept);
  out.U8(static_cast<std::uint8_t>(state.family.parameter));
  out.U8(static_cast<std::uint8_t>(state.family.curves));
  for (const ParamTable* table : {&state.paramA, &state.paramB, &state.paramC, &state.paramD}) {
    for (const ParamRecord& p : *table) WriteParam(out, p);
  }
  WriteParam(out, state.zoomValue);
  WriteParam(out, state.stepValue);
  WriteView(out, state.view);
}

PlotState ReadState(Reader& in) {
  PlotState state;
  for (BuiltinFunction& f : state.builtinFunctions) {
    f.text = in.Text();
    for (std::uint8_t* uses : {&f.usesA, &f.usesB, &f.usesC, &f.usesD}) *uses = in.U8();
  }
  for (std::uint8_t& on : state.curveOn) on = in.U8();
  state.currentFormula = in.Text();
  state.typedFormula = in.Text();
  for (ParamRecord& p : state.formulaParams) p = ReadParam(in);
  state.keptFormulas = ReadKeptFormulas(in);
  state.family = ReadFamily(in);
  for (ParamTable* table : {&state.paramA, &state.paramB, &state.paramC, &state.paramD}) {
    for (ParamRecord& p : *table) p = ReadParam(in);
  }
  state.zoomValue = ReadParam(in);
  state.stepValue = ReadParam(in);
  state.view = ReadView(in);
  return state;
}

void WritePosition(Writer& out, const std::optional<std::pair<double, double>>& position) {
  out.U8(position ? 1 : 0);
  if (!position) return;
  out.F64(position->first);
  out.F64(position->second);
}

std::optional<std::pair<double, double>> ReadPosition(Reader& in) {
  if (!in.Flag()) return std::nullopt;
  const double x = in.F64();
  return std::pair{x, in.F64()};
}

void WriteLayer(Writer& out, const DotLayer& layer) {
  out.U32(static_cast<std::uint32_t>(layer.Width()));
  out.U32(static_cast<std::uint32_t>(layer.Height()));
  out.U32(static_cast<std::uint32_t>(layer.Touched().size()));
  for (const std::uint32_t at : layer.Touched()) {
    out.U32(at);
    out.I32(layer.ColorAt(at));
  }
}

void ReadLayer(Reader& in, DotLayer& layer) {
  const std::uint32_t width = in.U32();
  const std::uint32_t height = in.U32();
  const std::uint32_t count = in.U32();
  const std::uint64_t pixels = std::uint64_t{width} * height;
  if (width > kMaxSide || height > kMaxSide || pixels > kMaxLayerPixels || !in.Holds(count, 8)) {
    in.Fail();
    return;
  }
  layer.Reset(static_cast<int>(width), static_cast<int>(height));
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t at = in.U32();
    const Color color = in.I32();
    // No dot colour is negative (the layer marks untouched pixels so), and each pixel comes once.
    if (at >= pixels || color < 0) {
      in.Fail();
      return;
    }
    layer.Put(static_cast<int>(at % width), static_cast<int>(at / width), color);
    if (layer.Touched().size() != i + 1) {
      in.Fail();
      return;
    }
  }
}

void WriteFormulaDots(Writer& out, const FormulaDots& dots) {
  out.U32(static_cast<std::uint32_t>(dots.pixels.size()));
  for (const std::uint32_t at : dots.pixels) out.U32(at);
  WritePosition(out, dots.lastPosition);
}

FormulaDots ReadFormulaDots(Reader& in) {
  FormulaDots dots;
  const std::uint32_t count = in.U32();
  if (!in.Holds(count, 4)) return dots;
  dots.pixels.resize(count);
  for (std::uint32_t& at : dots.pixels) at = in.U32();
  dots.lastPosition = ReadPosition(in);
  return dots;
}

}  // namespace

std::vector<std::uint8_t> EncodePlotWork(const PlotWork& work) {
  Writer out;
  WriteHeader(out, kWorkKind);
  WritePicture(out, work.picture);
  WriteState(out, work.state);
  out.I32(work.size.width);
  out.I32(work.size.height);
  out.U8(work.table ? 1 : 0);
  if (work.table) WriteState(out, *work.table);
  out.I32(work.tableTicket);
  return out.Take();
}

std::optional<PlotWork> DecodePlotWork(std::span<const std::uint8_t> bytes) {
  Reader in(bytes);
  if (!ReadHeader(in, kWorkKind)) return std::nullopt;
  PlotWork work;
  work.picture = ReadPicture(in);
  work.state = ReadState(in);
  work.size.width = in.I32();
  work.size.height = in.I32();
  if (in.Flag()) work.table = ReadState(in);
  work.tableTicket = in.I32();
  if (!in.AtEnd()) return std::nullopt;
  return work;
}

std::vector<std::uint8_t> EncodePlotOutcome(const PlotOutcome& outcome) {
  Writer out;
  WriteHeader(out, kOutcomeKind);
  WritePicture(out, outcome.picture);
  out.F32(outcome.zoom);
  out.U8(outcome.whole ? 1 : 0);
  if (outcome.whole) {
    WriteLayer(out, outcome.whole->layer);
    out.U8(outcome.whole->formulaShown ? 1 : 0);
    WritePosition(out, outcome.whole->formulaLastPosition);
    WriteView(out, outcome.whole->view);
    out.U8(outcome.whole->degrees ? 1 : 0);
    WriteKey(out, outcome.whole->key);
  }
  out.U8(outcome.over ? 1 : 0);
  if (outcome.over) WriteFormulaDots(out, *outcome.over);
  out.U8(outcome.table ? 1 : 0);
  if (outcome.table) out.Text(*outcome.table);
  out.U32(static_cast<std::uint32_t>(outcome.tableRows.size()));
  for (const std::string& row : outcome.tableRows) out.Text(row);
  out.I32(outcome.tableTicket);
  return out.Take();
}

std::optional<PlotOutcome> DecodePlotOutcome(std::span<const std::uint8_t> bytes, DotLayer layer) {
  Reader in(bytes);
  if (!ReadHeader(in, kOutcomeKind)) return std::nullopt;
  PlotOutcome outcome;
  outcome.picture = ReadPicture(in);
  outcome.zoom = in.F32();
  if (in.Flag()) {
    CurveDots& whole = outcome.whole.emplace();
    whole.layer = std::move(layer);
    ReadLayer(in, whole.layer);
    whole.formulaShown = in.Flag();
    whole.formulaLastPosition = ReadPosition(in);
    whole.view = ReadView(in);
    whole.degrees = in.Flag();
    whole.key = ReadKey(in);
  }
  if (in.Flag()) outcome.over = ReadFormulaDots(in);
  if (in.Flag()) outcome.table = in.Text();
  const std::uint32_t rows = in.U32();
  // Each row takes at least its length's four bytes.
  if (in.Holds(rows, 4)) {
    outcome.tableRows.reserve(rows);
    for (std::uint32_t i = 0; i < rows && in.Ok(); ++i) outcome.tableRows.push_back(in.Text());
  }
  outcome.tableTicket = in.I32();
  if (!in.AtEnd()) return std::nullopt;
  return outcome;
}

}  // namespace funzioni
