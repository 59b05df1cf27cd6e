#include "controls/ControlTable.h"

#include <algorithm>
#include <cstdint>

#include "controls/ControlRenderer.h"

namespace funzioni {

namespace {

constexpr std::size_t kTableSize = kLastControlId + 1;

bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The pair of characters at position pos read as a two-digit hexadecimal number; a missing or
// malformed pair counts as 0.
int HexPair(std::string_view name, std::size_t pos) {
  if (name.size() < pos + 2) return 0;
  const int high = HexDigit(name[pos]);
  const int low = HexDigit(name[pos + 1]);
  if (high < 0 || low < 0) return 0;
  return high * 16 + low;
}

// Base components of a colour name; each is lowered by the shade, except where a base says so.
struct NamedColor {
  std::string_view name;
  int red;
  int green;
  int blue;
  bool blueIgnoresShade = false;
};

constexpr NamedColor kNamedColors[] = {
    {"rosso", 255, 155, 155},          {"verde", 155, 255, 155},
    {"grigio", 255, 255, 255},         {"oro", 255, 255, 155},
    {"pulsanterosso", 410, 210, 210},  {"pulsanteverde", 210, 410, 210},
    {"pulsantegrigio", 410, 410, 410}, {"pulsanteoro", 410, 310, 55, true},
};

// Component minus shade, clamped to 0..255 without overflowing for any shade.
int Darken(std::int64_t base, std::int64_t shade) {
  return static_cast<int>(std::clamp<std::int64_t>(base - shade, 0, 255));
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string FitToWidth(std::string_view text, std::size_t width) {
  std::size_t characters = 0;
  std::size_t end = 0;
  while (end < text.size()) {
    if (!IsUtf8Continuation(text[end])) {
      if (characters == width) break;
      ++characters;
    }
    ++end;
  }
  std::string fitted(text.substr(0, end));
  fitted.append(width - characters, ' ');
  return fitted;
}

std::string_view BackgroundCache::Find(int id) const {
  if (!IsControlId(id) || images_.empty()) return {};
  return images_[static_cast<std::size_t>(id)];
}

void BackgroundCache::Store(int id, std::string image) {
  if (!IsControlId(id)) return;
  if (images_.empty()) images_.resize(kTableSize);
  images_[static_cast<std::size_t>(id)] = std::move(image);
}

ControlTable::ControlTable(Catalogue catalogue) : catalogue_(catalogue), records_(kTableSize) {}

ControlRecord* ControlTable::Find(int id) {
  return IsControlId(id) ? &records_[static_cast<std::size_t>(id)] : nullptr;
}

const ControlRecord* ControlTable::Find(int id) const {
  return IsControlId(id) ? &records_[static_cast<std::size_t>(id)] : nullptr;
}

Color ShadeColor(std::string_view name, int shade) {
  const std::int64_t s = shade;
  if (!name.empty() && name.front() == '#') {
    return Rgb(Darken(HexPair(name, 1), s), Darken(HexPair(name, 3), s),
               Darken(HexPair(name, 5), s));
  }
  const std::string key = LowerAscii(TrimBlanks(name));
  if (key == "pulsanteblu") {
    // Starts black and brightens as the shade grows.
    return Rgb(Darken(s, 200), Darken(s, 100), Darken(s, 100));
  }
  for (const NamedColor& named : kNamedColors) {
    if (key != named.name) continue;
    const int blue = named.blueIgnoresShade ? named.blue : Darken(named.blue, s);
    return Rgb(Darken(named.red, s), Darken(named.green, s), blue);
  }
  return kBlack;  // empty or unknown names
}

namespace {

ControlRecord MakeRecord(std::int32_t frameWidth, std::string_view frameColor, float value,
                         std::int16_t scale, std::string_view caption, std::string_view style,
                         std::string_view faceColor, std::int32_t faceMode) {
  ControlRecord record;
  record.frameWidth = frameWidth;
  record.frameColor = frameColor;
  record.value = value;
  record.scale = scale;
  record.caption = caption;
  record.textColor = kWhite;
  record.style = style;
  record.faceColor = faceColor;
  record.faceMode = faceMode;
  return record;
}

}  // namespace

ControlPreset ParameterMeterPreset(std::string_view caption) {
  return {{95, 16}, MakeRecord(0, "verde", 50, 10, caption, styles::kNeedle, "grigio", 2)};
}

ControlPreset CurveSwitchPreset(std::string_view formulaText) {
  return {{95, 20}, MakeRecord(1, "oro", 0, 0, formulaText, styles::kRedBar, "verde", 0)};
}

ControlPreset RangeMeterPreset(std::string_view caption) {
  return {{364, 20}, MakeRecord(3, "verde", 50, 10, caption, styles::kNeedle, "grigio", 2)};
}

ControlPreset PushButtonPreset(std::string_view text) {
  return {{120, 24}, MakeRecord(2, "oro", 0, 0, text, styles::kRedBar, "verde", 0)};
}

void CreateControlSurface(Dialog& dialog, int id, PixelRect rect) {
  if (!IsControlId(id)) return;
  // Surfaces of the dialog report clicks by themselves; identifier 0 is never dispatched.
  dialog.AddControl(ControlKind::Surface, id, "", rect.x, rect.y, rect.width, rect.height);
}

void CreateControl(Dialog& dialog, ControlTable& table, int id, PixelRect rect,
                   const ControlRecord& record) {
  ControlRecord* stored = table.Find(id);
  if (stored == nullptr) return;
  CreateControlSurface(dialog, id, rect);
  *stored = record;
  UpdateControl(dialog, table, id, record.value, {});
}

void CreateControl(Dialog& dialog, ControlTable& table, int id, PixelPoint position,
                   const ControlPreset& preset) {
  CreateControl(dialog, table, id,
                PixelRect{position.x, position.y, preset.size.width, preset.size.height},
                preset.record);
}

void UpdateControl(Dialog& dialog, ControlTable& table, int id, float value,
                   std::string_view caption) {
  ControlRecord* record = table.Find(id);
  if (record == nullptr) return;
  // A new caption is drawn whole this once; the record keeps its first 20 characters.
  std::string drawn;
  if (caption.empty()) {
    drawn = record->caption.Trimmed();
  } else {
    record->caption = caption;
    drawn = caption;
  }
  if (value >= 0) record->value = value;  // negative (or NaN): change the caption only
  const std::string shown = table.catalogue().Caption(drawn);
  DrawControl(dialog, table, id,
              {.frameWidth = record->frameWidth,
               .value = record->value,
               .scale = record->scale,
               .caption = shown,
               .textColor = record->textColor,
               .style = record->style.Trimmed(),
               .faceColor = record->faceColor.Trimmed(),
               .faceMode = record->faceMode});
}

namespace {

float PointerPercent(int pointer, int start, int length, int nudge) {
  if (length <= 0) return 0.0f;
  const double percent = (static_cast<double>(pointer) + nudge - start) * 100.0 / length;
  return static_cast<float>(std::min(100.0, percent));
}

}  // namespace

float PointerPercentX(const Dialog& dialog, int id) {
  const PixelRect rect = dialog.GetControlRect(id);
  return PointerPercent(dialog.GetPointerPosition().x, rect.x, rect.width, +1);
}

float PointerPercentY(const Dialog& dialog, int id) {
  const PixelRect rect = dialog.GetControlRect(id);
  return PointerPercent(dialog.GetPointerPosition().y, rect.y, rect.height, -1);
}

}  // namespace funzioni
