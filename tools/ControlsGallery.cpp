// Writes one PNG with every control preset, every indicator style and face mode, the caption
// markers and readouts, the text panels, the ticker and the plotting board, each labelled, so
// that the controls can be looked at without starting the grapher.
//
//   funzioni_controls_gallery [output.png]

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "controls/ControlRenderer.h"
#include "controls/ControlTable.h"
#include "controls/Panels.h"
#include "drawing/DialogServices.h"

namespace funzioni {
namespace {

constexpr int kCanvasWidth = 1420;
constexpr int kLeftColumnEnd = 780;
constexpr int kLabelHeight = 13;
constexpr int kGap = 8;

struct Item {
  int id;
  PixelRect rect;
  std::string label;
};

// Places items left to right in rows, each with room for its label above it.
class Layout {
 public:
  explicit Layout(int right) : right_(right) {}

  PixelRect Place(int width, int height) {
    if (x_ + width > right_ && x_ > kGap) NewRow();
    const PixelRect rect{x_, y_ + kLabelHeight, width, height};
    x_ += width + kGap;
    rowHeight_ = std::max(rowHeight_, height + kLabelHeight);
    return rect;
  }
  void NewRow() {
    y_ += rowHeight_ + kGap;
    x_ = kGap;
    rowHeight_ = 0;
  }
  // Starts a row with a heading; returns where the heading goes.
  PixelPoint Section() {
    if (rowHeight_ > 0 || x_ > kGap) NewRow();
    const PixelPoint at{kGap, y_};
    y_ += 18;
    return at;
  }
  int Bottom() const { return y_ + rowHeight_ + kGap; }

 private:
  int right_;
  int x_ = kGap;
  int y_ = kGap;
  int rowHeight_ = 0;
};

struct SectionHeading {
  PixelPoint at;
  std::string text;
};

class Gallery {
 public:
  Gallery() : dialog_("gallery", 0, 0, kCanvasWidth, 1400, false), layout_(kLeftColumnEnd) {}

  void Build() {
    Presets();
    Styles();
    Faces();
    Captions();
    Panels();
    Boards();
  }

  QImage Compose() const {
    const int height = std::max(layout_.Bottom(), boardBottom_) + kGap;
    QImage canvas(kCanvasWidth, height, QImage::Format_RGB32);
    canvas.fill(QColor(48, 48, 56));
    QPainter painter(&canvas);
    QFont font("DejaVu Sans");
    font.setPixelSize(10);
    painter.setFont(font);
    for (const SectionHeading& h : headings_) {
      painter.setPen(QColor(255, 220, 120));
      painter.drawText(h.at.x, h.at.y + 12, QString::fromStdString(h.text));
    }
    for (const Item& item : items_) {
      const DrawingSurface* surface = dialog_.FindSurface(item.id);
      if (surface == nullptr) continue;
      painter.drawImage(item.rect.x, item.rect.y, ToImage(surface->GetSurfacePixels()));
      painter.setPen(QColor(220, 220, 220));
      painter.drawText(item.rect.x, item.rect.y - 3, QString::fromStdString(item.label));
    }
    return canvas;
  }

 private:
  // Surface pixel images are little-endian 0x00RRGGBB: exactly QImage's RGB32 layout.
  static QImage ToImage(const std::string& image) {
    if (image.size() < 8) return {};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::memcpy(&width, image.data(), 4);
    std::memcpy(&height, image.data() + 4, 4);
    if (width <= 0 || height <= 0 ||
        image.size() < 8 + static_cast<std::size_t>(width) * height * 4)
      return {};
    QImage picture(reinterpret_cast<const uchar*>(image.data() + 8), width, height, width * 4,
                   QImage::Format_RGB32);
    return picture.copy();
  }

  void Add(int id, PixelRect rect, std::string label) {
    items_.push_back({id, rect, std::move(label)});
  }
  void AddHeading(std::string text) { headings_.push_back({layout_.Section(), std::move(text)}); }

  void Preset(const ControlPreset& preset, float value, std::string label) {
    const int id = nextId_++;
    const PixelRect rect = layout_.Place(preset.size.width, preset.size.height);
    CreateControl(dialog_, table_, id, PixelPoint{rect.x, rect.y}, preset);
    if (value != preset.record.value) UpdateControl(dialog_, table_, id, value);
    Add(id, rect, std::move(label));
  }

  void Presets() {
    AddHeading("Presets (window sizes)");
    Preset(ParameterMeterPreset("a=1.0"), 50, "meter @50");
    Preset(ParameterMeterPreset("b=-3.2"), 10, "meter @10");
    Preset(ParameterMeterPreset("c=0.0"), 0, "meter @0");
    Preset(ParameterMeterPreset("d=5.0"), 100, "meter @100");
    Preset(CurveSwitchPreset("a.x^2+b"), 0, "switch, curve on (0)");
    Preset(CurveSwitchPreset("(a.x+b):(c.x+d)"), 100, "switch, curve off");
    Preset(RangeMeterPreset("zoom"), 50, "zoom @50");
    Preset(RangeMeterPreset("passo"), 100, "passo @100");
    Preset(PushButtonPreset("Tutte spente"), 0, "button @0");
    Preset(PushButtonPreset("Tutte accese"), 100, "button @100 (flash)");
  }

  void Styles() {
    const std::string_view horizontal[] = {styles::kBlueRedBar, styles::kSegments, styles::kRedBar,
                                           styles::kNeedle, styles::kBroadNeedle};
    const std::string_view vertical[] = {styles::kVerticalBlueRedBar, styles::kVerticalSegments,
                                         styles::kVerticalNeedle, styles::kVerticalBroadNeedle};
    const float values[] = {0, 35, 100};
    AddHeading(
        "Horizontal styles at 0, 35, 100 (190 x 24, frame 2 oro, face grigio mode 2, scale 10)");
    for (const std::string_view style : horizontal) {
      for (const float value : values) {
        const int id = nextId_++;
        const PixelRect rect = layout_.Place(190, 24);
        CreateControl(dialog_, table_, id, rect,
                      {.frameWidth = 2,
                       .frameColor = "oro",
                       .value = value,
                       .scale = 10,
                       .caption = "%",
                       .textColor = kWhite,
                       .style = style,
                       .faceColor = "grigio",
                       .faceMode = 2});
        Add(id, rect, std::string(style) + " @" + std::to_string(static_cast<int>(value)));
      }
      layout_.NewRow();
    }
    AddHeading(
        "Vertical styles at 0, 35, 100 (56 x 130, frame 2 oro, face verde mode 0, scale 10)");
    for (const std::string_view style : vertical) {
      for (const float value : values) {
        const int id = nextId_++;
        // Room for the label beside the narrow control.
        PixelRect rect = layout_.Place(68, 130);
        rect.width = 56;
        CreateControl(dialog_, table_, id, rect,
                      {.frameWidth = 2,
                       .frameColor = "oro",
                       .value = value,
                       .scale = 10,
                       .caption = "!",
                       .textColor = kWhite,
                       .style = style,
                       .faceColor = "verde"});
        Add(id, rect, std::string(style.substr(4)) + "@" + std::to_string(static_cast<int>(value)));
      }
    }
  }

  void Faces() {
    AddHeading("Face modes 0-5 (120 x 40, frame 3, flat frame since no style)");
    for (const std::string_view name : {"verde", "rosso", ""}) {
      for (int mode = 0; mode <= 5; ++mode) {
        const int id = nextId_++;
        const PixelRect rect = layout_.Place(120, 40);
        const std::string caption = "mode " + std::to_string(mode);
        CreateControl(dialog_, table_, id, rect,
                      {.frameWidth = 3,
                       .frameColor = "oro",
                       .caption = std::string_view(caption),
                       .textColor = kWhite,
                       .faceColor = name,
                       .faceMode = mode});
        Add(id, rect, "\"" + std::string(name) + "\" mode " + std::to_string(mode));
      }
      layout_.NewRow();
    }
  }

  void Captions() {
    AddHeading("Caption markers, readouts and colour names (pulsante* on a 120 x 24 button)");
    const std::pair<std::string_view, std::string_view> captions[] = {{"[<]sinistra", "[<] left"},
                                                                      {"centro", "centred"},
                                                                      {"[>]destra", "[>] right"},
                                                                      {"%", "\"%\" @62.5"},
                                                                      {"!", "\"!\" @35 scale 10"}};
    for (const auto& [caption, label] : captions) {
      const int id = nextId_++;
      const PixelRect rect = layout_.Place(140, 24);
      CreateControl(dialog_, table_, id, rect,
                    {.frameWidth = 2,
                     .frameColor = "oro",
                     .value = caption == "%" ? 62.5f : 35.f,
                     .scale = 10,
                     .caption = caption,
                     .textColor = kWhite,
                     .faceColor = "verde"});
      Add(id, rect, std::string(label));
    }
    layout_.NewRow();
    for (const std::string_view name : {"pulsanterosso", "pulsanteverde", "pulsantegrigio",
                                        "pulsanteoro", "pulsanteblu", "#3080C0"}) {
      const int id = nextId_++;
      const PixelRect rect = layout_.Place(120, 24);
      CreateControl(dialog_, table_, id, rect,
                    {.frameWidth = 2,
                     .frameColor = name,
                     .caption = name,
                     .textColor = kBlack,
                     .style = "ori_rosso",
                     .faceColor = name});
      Add(id, rect, std::string(name));
    }
  }

  void Panels() {
    AddHeading("Text panels of the window");
    struct PanelSpec {
      int width, height, frame;
      std::string_view frameColor;
      int scale;
      std::string_view faceColor;
      int faceMode;
      std::string_view text;
      bool lines;
      std::string_view label;
    };
    const PanelSpec panels[] = {
        {599, 16, 1, "oro", 14, "verde", 3, "x = 1.25   y = -0.4", false, "coordinates"},
        {120, 24, 3, "oro", 18, "rosso", 2, "12:34:56", false, "clock"},
        {364, 50, 3, "rosso", 9, "rosso", 3,
         " Mouse + il tasto sinistro: cambi il valore.\r\n Tasto destro: torna al valore "
         "iniziale.\r\n",
         true, "help (lines)"},
        {240, 240, 4, "rosso", 9, "oro", 1, "[<]sinistra", false, "zoom window, [<]"},
        {240, 60, 3, "verde", 14, "", 3, "[>]destra", false, "empty face: sunken"},
    };
    for (const PanelSpec& p : panels) {
      const int id = nextId_++;
      const PixelRect rect = layout_.Place(p.width, p.height);
      CreatePanel(dialog_, table_, id, rect,
                  {.frameWidth = p.frame,
                   .frameColor = p.frameColor,
                   .scale = p.scale,
                   .textColor = kWhite,
                   .faceColor = p.faceColor,
                   .faceMode = p.faceMode});
      if (p.lines) {
        SetPanelLines(dialog_, table_, id, p.text);
      } else {
        SetPanelText(dialog_, table_, id, p.text);
      }
      Add(id, rect, std::string(p.label));
    }
    // The ticker: a panel scrolled by a timer.
    const int id = nextId_++;
    const PixelRect rect = layout_.Place(363, 28);
    CreatePanel(dialog_, table_, id, rect,
                {.frameWidth = 3,
                 .frameColor = "verde",
                 .scale = 14,
                 .textColor = kWhite,
                 .faceColor = "verde",
                 .faceMode = 3});
    for (int tick = 0; tick < 22; ++tick) {
      ScrollPanelText(dialog_, id, "www.funzioni.example",
                      {.frameWidth = 5,
                       .frameColor = "rosso",
                       .faceMode = 4,
                       .textColor = kWhite,
                       .fontSize = 9});
    }
    Add(id, rect, "ticker after 22 ticks");
  }

  void Boards() {
    int y = kGap;
    const auto board = [&](int size, int frame, float value, std::int16_t grid,
                           std::string_view title, int fontSize, Color color, std::string label) {
      const int id = nextId_++;
      const PixelRect rect{kLeftColumnEnd + 20, y + kLabelHeight, size, size};
      dialog_.AddControl(ControlKind::Surface, id, "", rect.x, rect.y, size, size);
      DrawBoard(dialog_, id,
                {.frameWidth = frame,
                 .value = value,
                 .gridPercent = grid,
                 .title = title,
                 .fontSize = fontSize,
                 .titleColor = color,
                 .faceColor = "verde"});
      Add(id, rect, std::move(label));
      y = rect.y + size + kGap;
    };
    board(600, 10, 40, 20, "lavagna", 12, 0x0078F070,
          "board 600 x 600: frame 10, grid 20, value 40");
    board(300, 2, 70, 4, "Grafico di funzioni", 14, Rgb(255, 255, 0),
          "opening board (300 x 300): frame 2, grid 4, value 70");
    boardBottom_ = y;
  }

  Dialog dialog_;
  ControlTable table_;
  Layout layout_;
  std::vector<Item> items_;
  std::vector<SectionHeading> headings_;
  int nextId_ = 1;
  int boardBottom_ = 0;
};

}  // namespace
}  // namespace funzioni

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "controls_gallery.png";
  funzioni::Gallery gallery;
  gallery.Build();
  if (!gallery.Compose().save(output, "PNG")) {
    std::cerr << "could not write " << output.toStdString() << "\n";
    return 1;
  }
  std::cout << output.toStdString() << "\n";
  return 0;
}
