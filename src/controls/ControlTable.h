#pragma once

// The custom controls' records, the colour names and the creation and update of a control.
//
// Every switch, button and needle meter is a drawing surface of the dialog that this library
// paints from a record. The records live in a ControlTable indexed directly by the control
// identifier (0..10000), together with the cached background picture of each control. Start-up
// makes one table before any control and keeps it for the whole run; a test makes a fresh one.
//
// Identifiers outside 0..10000 have no record: every operation ignores them and draws nothing.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/Color.h"
#include "drawing/ControlIds.h"
#include "drawing/DialogServices.h"
#include "drawing/Geometry.h"
#include "text/Catalogue.h"

namespace funzioni {

inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kRed = 0x000000FF;

// A fixed-width text field: always exactly Width characters, filled with blanks on the right,
// a longer text cut at Width characters when stored. Characters are counted as UTF-8 code
// points so that a cut never splits a character.
template <std::size_t Width>
class FixedText {
 public:
  FixedText() : text_(Width, ' ') {}
  FixedText(std::string_view text) { Assign(text); }  // NOLINT: stored like an assignment
  FixedText(const char* text) : FixedText(std::string_view(text)) {}  // NOLINT: as above
  FixedText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  FixedText& operator=(const char* text) { return *this = std::string_view(text); }
  const std::string& Padded() const { return text_; }  // the whole field, blanks included
  std::string Trimmed() const;                         // without surrounding blanks
  friend bool operator==(const FixedText&, const FixedText&) = default;

 private:
  void Assign(std::string_view text);
  std::string text_;
};

// Cuts or pads text to width characters (UTF-8 code points).
std::string FitToWidth(std::string_view text, std::size_t width);
// The text without leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);

template <std::size_t Width>
std::string FixedText<Width>::Trimmed() const {
  return std::string(TrimBlanks(text_));
}
template <std::size_t Width>
void FixedText<Width>::Assign(std::string_view text) {
  text_ = FitToWidth(text, Width);
}

// One control: how it is framed, shaded and what it shows. An empty record (numbers 0, texts
// blank) belongs to an identifier that was never created. Written with named fields, e.g.
// ControlRecord{.frameWidth = 2, .frameColor = "oro", .caption = "Tutte spente", ...}.
struct ControlRecord {
  std::int32_t frameWidth = 0;  // frame thickness in pixels, also the inset of the inside
  FixedText<20> frameColor{};   // colour name of the frame
  float value = 0.0f;           // level in percent, 0..100
  std::int16_t scale = 0;       // divisions; for text panels the font size basis
  FixedText<20> caption{};      // "%" and "!" are readouts of the value
  Color textColor = 0;          // colour of the caption
  FixedText<32> style{};        // indicator style name; blank for a plain button
  FixedText<20> faceColor{};    // colour name of the face
  std::int32_t faceMode = 0;    // 0..5, how the face is shaded
};

// The static background (frame and face) of each control as a pixel image, drawn once.
class BackgroundCache {
 public:
  // The stored image of the control; empty when it has none (or the id is out of range).
  std::string_view Find(int id) const;
  void Store(int id, std::string image);  // ignored outside 0..10000
  bool Has(int id) const { return !Find(id).empty(); }

 private:
  std::vector<std::string> images_;  // grown to 10001 entries on first use
};

// The records of all controls, indexed by identifier, and their cached backgrounds. Records keep
// the Italian captions the program writes; the catalogue translates them as they are drawn.
class ControlTable {
 public:
  explicit ControlTable(Catalogue catalogue = Catalogue());
  // nullptr for an identifier outside 0..10000.
  ControlRecord* Find(int id);
  const ControlRecord* Find(int id) const;
  BackgroundCache& Backgrounds() { return backgrounds_; }
  const BackgroundCache& Backgrounds() const { return backgrounds_; }
  const Catalogue& catalogue() const { return catalogue_; }

 private:
  Catalogue catalogue_;
  std::vector<ControlRecord> records_;
  BackgroundCache backgrounds_;
};

// The colour of a name darkened by shade (subtracted from each component, clamped to 0..255).
// "#RRGGBB" is read as written (a pair that is not two hex digits, or is missing, counts as 0);
// any other name is compared without surrounding blanks and letter case; unknown names are black.
Color ShadeColor(std::string_view name, int shade);

// Names of the indicator styles (compared exactly, after trimming blanks).
namespace styles {
inline constexpr std::string_view kBlueRedBar = "ori_blurosso";
inline constexpr std::string_view kSegments = "ori_vmeter";
inline constexpr std::string_view kRedBar = "ori_rosso";
inline constexpr std::string_view kNeedle = "ori_ago";
inline constexpr std::string_view kBroadNeedle = "ori_agone";
inline constexpr std::string_view kVerticalBlueRedBar = "ver_blurosso";
inline constexpr std::string_view kVerticalSegments = "ver_vmeter";
inline constexpr std::string_view kVerticalNeedle = "ver_ago";
inline constexpr std::string_view kVerticalBroadNeedle = "ver_agone";
}  // namespace styles

// The presets of the window's value controls and buttons: the record to create and its size.
struct ControlPreset {
  PixelSize size;
  ControlRecord record;
};
// A parameter's needle meter (95 x 16), e.g. ParameterMeterPreset("a=1.0").
ControlPreset ParameterMeterPreset(std::string_view caption);
// A built-in function's curve switch (95 x 20) carrying the formula's text.
ControlPreset CurveSwitchPreset(std::string_view formulaText);
// The long "zoom" and "passo" meters (364 x 20).
ControlPreset RangeMeterPreset(std::string_view caption);
// The "Tutte spente" / "Tutte accese" push buttons (120 x 24).
ControlPreset PushButtonPreset(std::string_view text);

// Places the drawing surface of a control; identifiers above 0 report clicks to the dialog.
void CreateControlSurface(Dialog& dialog, int id, PixelRect rect);

// Creates the surface and the record, and draws the control, e.g.
// CreateControl(dialog, table, 1001, {4, 644, 95, 16}, record).
void CreateControl(Dialog& dialog, ControlTable& table, int id, PixelRect rect,
                   const ControlRecord& record);
// Creates a preset at a position: CreateControl(dialog, table, 1001, {4, 644},
// ParameterMeterPreset("a=1.0")).
void CreateControl(Dialog& dialog, ControlTable& table, int id, PixelPoint position,
                   const ControlPreset& preset);

// Stores and redraws. An empty caption keeps the stored one; a new caption is stored (cut to 20
// characters) and drawn whole this once, in the table's language. A negative value keeps the
// stored value.
void UpdateControl(Dialog& dialog, ControlTable& table, int id, float value,
                   std::string_view caption = {});

// The pointer's position over the control in percent of its width / height, at most 100 and
// with no lower limit (left of or above the control it is negative). 0 for a control of no size.
float PointerPercentX(const Dialog& dialog, int id);
float PointerPercentY(const Dialog& dialog, int id);

}  // namespace funzioni
