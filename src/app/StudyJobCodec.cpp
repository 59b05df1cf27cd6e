#include "app/StudyJobCodec.h"

#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "app/KeptIntersections.h"
#include "evaluator/BitCast.h"

namespace funzioni {

namespace {

// "FS", then the version and what follows: a request or an outcome.
constexpr std::array<std::uint8_t, 2> kMagic{'F', 'S'};
constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kRequestKind = 'R';
constexpr std::uint8_t kOutcomeKind = 'O';

class Writer {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(value); }
  void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(value >> shift));
  }
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void F32(float value) { U32(BitCast<std::uint32_t>(value)); }
  void F64(double value) {
    const auto bits = BitCast<std::uint64_t>(value);
    U32(static_cast<std::uint32_t>(bits));
    U32(static_cast<std::uint32_t>(bits >> 32));
  }
  void Flag(bool value) { U8(value ? 1 : 0); }
  void Text(const std::string& text) {
    U32(static_cast<std::uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }
  void Header(std::uint8_t kind) {
    for (const std::uint8_t b : {kMagic[0], kMagic[1], kVersion, kind}) U8(b);
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

  bool Done() const { return ok_ && at_ == bytes_.size(); }
  // True when count items of at least size bytes each could still follow (so that a count never
  // allocates more than the message holds).
  bool Holds(std::uint64_t count, std::uint64_t size) {
    if (ok_ && count <= (bytes_.size() - at_) / size) return true;
    ok_ = false;
    return false;
  }
  std::uint8_t U8() { return Holds(1, 1) ? bytes_[at_++] : 0; }
  std::uint32_t U32() {
    if (!Holds(1, 4)) return 0;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | bytes_[at_ + static_cast<std::size_t>(i)];
    at_ += 4;
    return value;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() { return BitCast<float>(U32()); }
  double F64() {
    const std::uint64_t low = U32();
    return BitCast<double>(low | std::uint64_t{U32()} << 32);
  }
  void Fail() { ok_ = false; }
  bool Flag() {
    const std::uint8_t value = U8();
    if (value > 1) ok_ = false;
    return value == 1;
  }
  std::string Text() {
    const std::uint32_t size = U32();
    if (!Holds(size, 1)) return {};
    std::string text(reinterpret_cast<const char*>(bytes_.data() + at_), size);
    at_ += size;
    return text;
  }
  bool Header(std::uint8_t kind) {
    const bool ours = U8() == kMagic[0] && U8() == kMagic[1] && U8() == kVersion && U8() == kind;
    if (!ours) ok_ = false;
    return ok_;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

void WriteLine(Writer& out, const StudyLine& line) {
  out.Text(line.text);
  out.Flag(line.mark.has_value());
  if (!line.mark) return;
  out.F64(line.mark->x);
  out.F64(line.mark->y);
  out.Flag(line.mark->vertical);
}

StudyLine ReadLine(Reader& in) {
  StudyLine line;
  line.text = in.Text();
  if (!in.Flag()) return line;
  StudyMark mark;
  mark.x = in.F64();
  mark.y = in.F64();
  mark.vertical = in.Flag();
  line.mark = mark;
  return line;
}

// A list as its count and its items; the least size of an item bounds the count.
template <typename T, typename ReadItem>
void ReadList(Reader& in, std::vector<T>& list, std::uint64_t leastSize, ReadItem read) {
  const std::uint32_t count = in.U32();
  if (!in.Holds(count, leastSize)) return;
  list.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) list.push_back(read(in));
}

void WriteView(Writer& out, const std::optional<PlotView>& view) {
  out.Flag(view.has_value());
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

void WriteOptional(Writer& out, const std::optional<float>& value) {
  out.Flag(value.has_value());
  out.F32(value.value_or(0));
}

// A number asked for that is not finite is refused.
std::optional<float> ReadOptional(Reader& in) {
  const bool there = in.Flag();
  const float value = in.F32();
  if (!there) return std::nullopt;
  if (!std::isfinite(value)) in.Fail();
  return value;
}

void WriteAsk(Writer& out, const StudyAsk& ask) {
  for (const auto* value : {&ask.tangentAt, &ask.areaFrom, &ask.areaTo}) WriteOptional(out, *value);
}

StudyAsk ReadAsk(Reader& in) {
  StudyAsk ask;
  for (auto* value : {&ask.tangentAt, &ask.areaFrom, &ask.areaTo}) *value = ReadOptional(in);
  return ask;
}

// The sign chart: each row's items and whether it is too dense, then the lines it reads as.
void WriteChart(Writer& out, const SignChart& chart, const std::vector<std::string>& lines) {
  out.F64(chart.xMin);
  out.F64(chart.xMax);
  for (const SignChartRow& row : chart.rows) {
    out.Flag(row.dense);
    out.U32(static_cast<std::uint32_t>(row.items.size()));
    for (const SignChartItem& item : row.items) {
      out.U8(static_cast<std::uint8_t>(item.kind));
      out.F64(item.from);
      out.F64(item.to);
      out.I32(item.sign);
      out.Flag(item.noDerivative);
    }
  }
  out.U32(static_cast<std::uint32_t>(lines.size()));
  for (const std::string& line : lines) out.Text(line);
}

void ReadChart(Reader& in, StudyOutcome& outcome) {
  SignChart& chart = outcome.chart;
  chart.xMin = in.F64();
  chart.xMax = in.F64();
  for (SignChartRow& row : chart.rows) {
    row.dense = in.Flag();
    ReadList(in, row.items, 22, [](Reader& r) {
      SignChartItem item;
      const std::uint8_t kind = r.U8();
      if (kind > static_cast<std::uint8_t>(SignChartItem::Kind::Pole)) r.Fail();
      item.kind = static_cast<SignChartItem::Kind>(kind);
      item.from = r.F64();
      item.to = r.F64();
      item.sign = r.I32();
      if (item.sign < -1 || item.sign > 1) r.Fail();
      item.noDerivative = r.Flag();
      return item;
    });
  }
  ReadList(in, outcome.chartLines, 4, [](Reader& r) { return r.Text(); });
}

}  // namespace

std::vector<std::uint8_t> EncodeStudyRequest(const StudyRequest& request) {
  Writer out;
  out.Header(kRequestKind);
  out.I32(request.ticket);
  out.Text(request.state.currentFormula);
  out.F32(request.state.zoomValue.value);
  out.F32(request.state.stepValue.value);
  WriteView(out, request.state.view);
  out.Flag(request.slopes);
  // The other curves drawn, which the study meets (KeptIntersections.h).
  out.Text(EncodeIntersectionState(request.state));
  WriteAsk(out, request.ask);
  out.U8(static_cast<std::uint8_t>(request.language));
  return out.Take();
}

std::optional<StudyRequest> DecodeStudyRequest(std::span<const std::uint8_t> bytes) {
  Reader in(bytes);
  StudyRequest request;
  in.Header(kRequestKind);
  request.ticket = in.I32();
  request.state.currentFormula = in.Text();
  request.state.zoomValue.value = in.F32();
  request.state.stepValue.value = in.F32();
  request.state.view = ReadView(in);
  request.slopes = in.Flag();
  if (!DecodeIntersectionState(in.Text(), request.state)) in.Fail();
  request.ask = ReadAsk(in);
  const std::uint8_t language = in.U8();
  if (language > static_cast<std::uint8_t>(Language::Slovene)) in.Fail();
  request.language = static_cast<Language>(language);
  if (!in.Done()) return std::nullopt;
  return request;
}

std::vector<std::uint8_t> EncodeStudyOutcome(const StudyOutcome& outcome) {
  Writer out;
  out.Header(kOutcomeKind);
  out.I32(outcome.ticket);
  out.Text(outcome.formula);
  out.F32(outcome.zoom);
  out.F64(outcome.xMin);
  out.F64(outcome.xMax);
  out.Flag(outcome.failed);
  out.U32(static_cast<std::uint32_t>(outcome.lines.size()));
  for (const StudyLine& line : outcome.lines) WriteLine(out, line);
  out.Flag(outcome.slopes);
  out.U32(static_cast<std::uint32_t>(outcome.curve.size()));
  for (const SlopeDot& dot : outcome.curve) {
    out.F32(dot.x);
    out.F64(dot.slope);
  }
  out.U32(static_cast<std::uint32_t>(outcome.tableRows.size()));
  for (const RowSlope& row : outcome.tableRows) {
    out.Text(row.x);
    out.F64(row.slope);
  }
  WriteView(out, outcome.view);  // after the fields above, so that they keep their places
  WriteAsk(out, outcome.ask);
  out.U32(static_cast<std::uint32_t>(outcome.rays.size()));
  for (const StudyRay& ray : outcome.rays) {
    for (const double v : {ray.x, ray.y, ray.slope}) out.F64(v);
    out.I32(ray.side);
  }
  out.U32(static_cast<std::uint32_t>(outcome.area.size()));
  for (const AreaSample& sample : outcome.area) {
    out.F32(sample.x);
    out.F64(sample.y);
  }
  WriteChart(out, outcome.chart, outcome.chartLines);
  return out.Take();
}

std::optional<StudyOutcome> DecodeStudyOutcome(std::span<const std::uint8_t> bytes) {
  Reader in(bytes);
  StudyOutcome outcome;
  in.Header(kOutcomeKind);
  outcome.ticket = in.I32();
  outcome.formula = in.Text();
  outcome.zoom = in.F32();
  outcome.xMin = in.F64();
  outcome.xMax = in.F64();
  outcome.failed = in.Flag();
  ReadList(in, outcome.lines, 5, ReadLine);
  outcome.slopes = in.Flag();
  ReadList(in, outcome.curve, 12, [](Reader& r) {
    const float x = r.F32();
    return SlopeDot{x, r.F64()};
  });
  ReadList(in, outcome.tableRows, 12, [](Reader& r) {
    std::string x = r.Text();
    return RowSlope{std::move(x), r.F64()};
  });
  outcome.view = ReadView(in);
  outcome.ask = ReadAsk(in);
  ReadList(in, outcome.rays, 28, [](Reader& r) {
    StudyRay ray;
    for (double* v : {&ray.x, &ray.y, &ray.slope}) *v = r.F64();
    ray.side = r.I32();
    if (ray.side < -1 || ray.side > 1) r.Fail();
    return ray;
  });
  ReadList(in, outcome.area, 12, [](Reader& r) {
    const float x = r.F32();
    return AreaSample{x, r.F64()};
  });
  ReadChart(in, outcome);
  if (!in.Done()) return std::nullopt;
  return outcome;
}

}  // namespace funzioni
