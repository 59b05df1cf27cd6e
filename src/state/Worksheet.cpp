#include "state/Worksheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "state/KeptFormulas.h"

namespace funzioni {

namespace {

constexpr std::string_view kFormulaKey = "f";
constexpr std::string_view kKeepKey = "keep";
constexpr std::string_view kZoomKey = "zoom";
constexpr std::string_view kStepKey = "step";
constexpr std::string_view kViewKey = "view";
constexpr std::string_view kCurvesKey = "on";
constexpr std::string_view kLanguageKey = "lang";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// Bytes written as they are: they mean the same in every part of an address and in a shell.
bool PlainByte(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9') ||
         std::string_view("-._~*,()!").find(static_cast<char>(byte)) != std::string_view::npos;
}

void AppendEncoded(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (PlainByte(byte)) {
      out += c;
      continue;
    }
    out += '%';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
  }
}

// A text that reads back as the same float (or double): the shortest one where the library
// writes it; the web build's library has no floating-point to_chars, and there the locale is
// always "C", so enough digits for a round trip are written by printf.
template <typename Number>
std::string NumberField(Number value) {
  std::array<char, 40> buffer{};
#if defined(__cpp_lib_to_chars)
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return std::string(buffer.data(), end);
#else
  constexpr int kDigits = sizeof(Number) == sizeof(float) ? 9 : 17;
  const int length =
      std::snprintf(buffer.data(), buffer.size(), "%.*g", kDigits, static_cast<double>(value));
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
#endif
}

void AppendField(std::string& out, std::string_view key, std::string_view value) {
  out += out.empty() ? '#' : '&';
  out += key;
  out += '=';
  AppendEncoded(out, value);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Percent escapes resolved; nothing for a broken escape or a byte an address never holds as it
// is (a blank, a control character, "#").
std::optional<std::string> PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte <= ' ' || byte == 0x7F || byte == '#') return std::nullopt;
    if (byte != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

// A formula reaches the history file as one line: no control character may split it.
bool FormulaTextOk(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < ' ' || byte == 0x7F;
  });
}

std::optional<double> FiniteNumber(std::string_view text) {
  double value = 0;
#if defined(__cpp_lib_to_chars)
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
#else
  // strtod reads more forms than from_chars (blanks, "+", hexadecimal, "inf"): only a decimal
  // number's characters reach it, so that both builds take the same texts.
  constexpr std::string_view kNumberBytes = "0123456789.-eE+";
  if (text.empty() || text.front() == '+' ||
      text.find_first_not_of(kNumberBytes) != std::string_view::npos) {
    return std::nullopt;
  }
  const std::string copy(text);
  char* end = nullptr;
  value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
#endif
  return value;
}

// Comma-separated finite numbers, exactly count of them.
std::optional<std::vector<double>> NumberList(std::string_view text, std::size_t count) {
  std::vector<double> numbers;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::optional<double> number = FiniteNumber(text.substr(0, comma));
    if (!number || numbers.size() == count) return std::nullopt;
    numbers.push_back(*number);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (numbers.size() != count) return std::nullopt;
  return numbers;
}

bool Fits(double value, double low, double high) {
  return value >= low && value <= high;
}

// "v" or "v,minimum,maximum,step"; the value within the ends, as floats hold them.
std::optional<ParamRecord> ParameterField(std::string_view text) {
  const bool withEnds = text.find(',') != std::string_view::npos;
  const std::optional<std::vector<double>> numbers = NumberList(text, withEnds ? 4 : 1);
  if (!numbers) return std::nullopt;
  const std::vector<double>& n = *numbers;
  ParamRecord record = kParameterStart;
  const auto stored = [](double v) { return static_cast<float>(v); };
  // A double past a float's range becomes infinite when stored.
  if (std::any_of(n.begin(), n.end(), [&](double v) { return !std::isfinite(stored(v)); })) {
    return std::nullopt;
  }
  record.value = stored(n[0]);
  if (withEnds) {
    record.minimum = stored(n[1]);
    record.maximum = stored(n[2]);
    record.step = stored(n[3]);
  }
  if (!(record.minimum < record.maximum) || !(record.step > 0.0f)) return std::nullopt;
  if (!Fits(record.value, record.minimum, record.maximum)) return std::nullopt;
  record.resetValue = std::clamp(kParameterStart.resetValue, record.minimum, record.maximum);
  return record;
}

std::optional<float> MeterField(std::string_view text) {
  const std::optional<double> number = FiniteNumber(text);
  if (!number || !Fits(*number, 1.0, kMaxWorksheetMeterValue)) return std::nullopt;
  return static_cast<float>(*number);
}

std::optional<PlotView> ViewField(std::string_view text) {
  const std::optional<std::vector<double>> n = NumberList(text, 4);
  if (!n) return std::nullopt;
  const PlotView view{(*n)[0], (*n)[1], (*n)[2], (*n)[3]};
  if (!(view.xMin < view.xMax) || !(view.yMin < view.yMax)) return std::nullopt;
  return view;
}

// Numbers of built-in curves, each once; empty: none is on.
std::optional<std::array<std::uint8_t, functionCount + 1>> CurvesField(std::string_view text) {
  std::array<std::uint8_t, functionCount + 1> on{};
  if (text.empty()) return on;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = std::min(text.find(',', from), text.size());
    const std::string_view piece = text.substr(from, comma - from);
    int number = 0;
    const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), number);
    if (piece.empty() || error != std::errc() || end != piece.data() + piece.size()) {
      return std::nullopt;
    }
    if (number < 1 || number > functionCount || on[number] != 0) return std::nullopt;
    on[number] = 1;
    from = comma + 1;
  }
  return on;
}

bool DefaultEnds(const ParamRecord& record) {
  return record.minimum == kParameterStart.minimum && record.maximum == kParameterStart.maximum &&
         record.step == kParameterStart.step;
}

bool SameParameter(const ParamRecord& a, const ParamRecord& b) {
  return a.value == b.value && a.minimum == b.minimum && a.maximum == b.maximum && a.step == b.step;
}

std::string ParameterText(const ParamRecord& record) {
  std::string text = NumberField(record.value);
  if (DefaultEnds(record)) return text;
  for (const float end : {record.minimum, record.maximum, record.step}) {
    text += ',';
    text += NumberField(end);
  }
  return text;
}

// One decoded field applied to the sheet; the key that was at fault otherwise.
class SheetReader {
 public:
  WorksheetFault Take(std::string_view key, const std::string& value) {
    if (key == kKeepKey) return TakeKept(value);
    if (!seen_.insert_unique(key)) return WorksheetFault::RepeatedKey;
    if (key == kFormulaKey) {
      if (!FormulaTextOk(value)) return WorksheetFault::BadText;
      sheet_.formula = value;
      hasFormula_ = true;
      return WorksheetFault::None;
    }
    if (key.size() == 1) {
      const std::optional<std::size_t> index = FormulaParameterIndex(key.front());
      if (!index) return WorksheetFault::UnknownKey;
      const std::optional<ParamRecord> record = ParameterField(value);
      if (!record) return WorksheetFault::BadNumber;
      sheet_.parameters[*index] = *record;
      return WorksheetFault::None;
    }
    return TakeOther(key, value);
  }

  bool HasFormula() const { return hasFormula_; }
  Worksheet& sheet() { return sheet_; }

 private:
  // Keys seen once already, in a small list (a sheet has a dozen fields at most).
  struct SeenKeys {
    std::vector<std::string> keys;
    bool insert_unique(std::string_view key) {
      if (std::find(keys.begin(), keys.end(), key) != keys.end()) return false;
      keys.emplace_back(key);
      return true;
    }
  };

  WorksheetFault TakeKept(const std::string& value) {
    if (sheet_.kept.size() >= kMaxKeptFormulas) return WorksheetFault::TooManyKept;
    if (!FormulaTextOk(value)) return WorksheetFault::BadText;
    // KeepFormula's own rules: a blank text or one kept already is refused.
    if (KeepFormula(sheet_.kept, value) != KeepResult::Kept) return WorksheetFault::BadText;
    return WorksheetFault::None;
  }

  WorksheetFault TakeOther(std::string_view key, const std::string& value) {
    if (key == kZoomKey || key == kStepKey) {
      const std::optional<float> meter = MeterField(value);
      if (!meter) return WorksheetFault::BadNumber;
      (key == kZoomKey ? sheet_.zoom : sheet_.step) = *meter;
      return WorksheetFault::None;
    }
    if (key == kViewKey) {
      sheet_.view = ViewField(value);
      return sheet_.view ? WorksheetFault::None : WorksheetFault::BadNumber;
    }
    if (key == kCurvesKey) {
      const auto on = CurvesField(value);
      if (!on) return WorksheetFault::BadNumber;
      sheet_.curveOn = *on;
      return WorksheetFault::None;
    }
    if (key == kLanguageKey) {
      const bool known = value == "it" || value == "de" || value == "sl";
      return known ? WorksheetFault::None : WorksheetFault::BadText;
    }
    return WorksheetFault::UnknownKey;
  }

  Worksheet sheet_;
  SeenKeys seen_;
  bool hasFormula_ = false;
};

bool KnownKey(std::string_view key) {
  const bool parameter = key.size() == 1 && FormulaParameterIndex(key.front()).has_value();
  return parameter || key == kFormulaKey || key == kKeepKey || key == kZoomKey || key == kStepKey ||
         key == kViewKey || key == kCurvesKey || key == kLanguageKey;
}

// The key is named only when it is one of ours: the text of a hostile one is never shown.
WorksheetReading Refused(WorksheetFault fault, std::string_view key = {}) {
  return {std::nullopt, fault, KnownKey(key) ? std::string(key) : std::string()};
}

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

Worksheet::Worksheet() {
  parameters.fill(kParameterStart);
  curveOn[3] = 1;
}

bool operator==(const Worksheet& a, const Worksheet& b) {
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    if (!SameParameter(a.parameters[i], b.parameters[i])) return false;
  }
  return a.formula == b.formula && a.kept == b.kept && a.zoom == b.zoom && a.step == b.step &&
         a.view == b.view && a.curveOn == b.curveOn;
}

Worksheet WorksheetOfState(const PlotState& state) {
  Worksheet sheet;
  sheet.formula = state.typedFormula;
  sheet.kept = state.keptFormulas;
  std::string used = FormulaParameterLetters(state.typedFormula);
  for (const std::string& kept : state.keptFormulas) used += FormulaParameterLetters(kept);
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    if (used.find(kFormulaParameterLetters[i]) != std::string::npos) {
      sheet.parameters[i] = state.formulaParams[i];
    }
  }
  sheet.zoom = state.zoomValue.value;
  sheet.step = state.stepValue.value;
  sheet.view = state.view;
  sheet.curveOn = state.curveOn;
  sheet.curveOn[0] = 0;
  return sheet;
}

std::string EncodeWorksheet(const Worksheet& sheet) {
  const Worksheet start;
  std::string out;
  AppendField(out, kFormulaKey, sheet.formula);
  for (const std::string& kept : sheet.kept) AppendField(out, kKeepKey, kept);
  for (std::size_t i = 0; i < kFormulaParameterCount; ++i) {
    if (SameParameter(sheet.parameters[i], start.parameters[i])) continue;
    AppendField(out, kFormulaParameterLetters.substr(i, 1), ParameterText(sheet.parameters[i]));
  }
  if (sheet.zoom != start.zoom) AppendField(out, kZoomKey, NumberField(sheet.zoom));
  if (sheet.step != start.step) AppendField(out, kStepKey, NumberField(sheet.step));
  if (sheet.view) {
    const PlotView& v = *sheet.view;
    AppendField(out, kViewKey,
                NumberField(v.xMin) + ',' + NumberField(v.xMax) + ',' + NumberField(v.yMin) + ',' +
                    NumberField(v.yMax));
  }
  if (sheet.curveOn != start.curveOn) {
    std::string on;
    for (int k = 1; k <= functionCount; ++k) {
      if (sheet.curveOn[k] == 0) continue;
      if (!on.empty()) on += ',';
      on += std::to_string(k);
    }
    AppendField(out, kCurvesKey, on);
  }
  return out;
}

WorksheetReading DecodeWorksheet(std::string_view text) {
  if (text.size() > kMaxWorksheetBytes) return Refused(WorksheetFault::TooLong);
  text = Trimmed(text);
  const std::size_t hash = text.find('#');
  if (hash == std::string_view::npos) return Refused(WorksheetFault::NoFragment);
  std::string_view rest = text.substr(hash + 1);
  SheetReader reader;
  while (true) {
    const std::size_t amp = rest.find('&');
    const std::string_view field = rest.substr(0, amp);
    const std::size_t equals = field.find('=');
    if (equals == std::string_view::npos || equals == 0) return Refused(WorksheetFault::BadField);
    const std::string_view key = field.substr(0, equals);
    const std::optional<std::string> value = PercentDecoded(field.substr(equals + 1));
    if (!value) return Refused(WorksheetFault::BadField, key);
    const WorksheetFault fault = reader.Take(key, *value);
    if (fault != WorksheetFault::None) return Refused(fault, key);
    if (amp == std::string_view::npos) break;
    rest = rest.substr(amp + 1);
  }
  if (!reader.HasFormula()) return Refused(WorksheetFault::NoFormula);
  return {std::move(reader.sheet()), WorksheetFault::None, {}};
}

bool LooksLikeWorksheet(std::string_view text) {
  return text.find('#') != std::string_view::npos;
}

}  // namespace funzioni
