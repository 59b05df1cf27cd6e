#pragma once

// What the dialog keeps of its controls whatever shows them (DialogServices.cpp on the desktop,
// web/DialogWeb.cpp in the page): which identifiers it takes, a surface's picture and text, the
// user values, the face colour around stretched pictures, and the surface that drawing acts on.

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "Color.h"
#include "ControlIds.h"
#include "DialogServices.h"
#include "DrawingSurface.h"

namespace funzioni::detail {

inline constexpr int kUserValueSlots = 8;

// The part of a control that is the dialog's own, beside the toolkit's part of it.
struct ControlRecord {
  ControlKind kind = ControlKind::Surface;
  std::unique_ptr<DrawingSurface> surface;        // a surface's picture
  std::array<int, kUserValueSlots> userValues{};  // of a control that is not a surface
  std::string text;                               // a surface's text

  // Slots count from 1: outside them a value reads 0 and is not kept. A surface keeps its own.
  int UserValue(int slot) const;
  void SetUserValue(int slot, int value);
};

// Whether a font's style word asks for bold, in any case.
bool IsBoldStyle(std::string_view styleWord);

// The controls as the dialog's shared methods (DialogCommon.cpp) see them, whatever each backend
// keeps beside its records, and the surface that drawing acts on.
class ControlRecords {
 public:
  ControlRecords(const ControlRecords&) = delete;  // the current surface may be its own empty one
  ControlRecords& operator=(const ControlRecords&) = delete;

  virtual ControlRecord* FindRecord(int id) = 0;
  virtual const ControlRecord* FindRecord(int id) const = 0;
  // The dialog's face colour (kDefaultFaceColor until its program sets one).
  virtual Color Face() const = 0;

  // Makes the surface current; an identifier that is no surface leaves an empty one current.
  DrawingSurface& Attach(int id) {
    const ControlRecord* control = FindRecord(id);
    current_ = control != nullptr && control->surface ? control->surface.get() : &empty_;
    return *current_;
  }
  DrawingSurface& Current() { return *current_; }
  const DrawingSurface* FindSurface(int id) const {
    const ControlRecord* control = FindRecord(id);
    return control != nullptr ? control->surface.get() : nullptr;
  }

 protected:
  ControlRecords() = default;
  ~ControlRecords() = default;

 private:
  DrawingSurface empty_;
  DrawingSurface* current_ = &empty_;
};

// The dialog's controls by identifier (Control: the backend's ControlRecord).
template <typename Control>
class ControlTable final : public ControlRecords {
 public:
  ControlTable() = default;

  ControlRecord* FindRecord(int id) override { return Find(id); }
  const ControlRecord* FindRecord(int id) const override { return Find(id); }

  // Identifiers outside the control range or already used are not taken.
  bool Takes(int id) const { return IsControlId(id) && controls_.count(id) == 0; }
  void Add(int id, Control control) { controls_.emplace(id, std::move(control)); }

  Control* Find(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
  }
  const Control* Find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
  }
  // The control when it is of that kind, else nullptr.
  Control* Find(int id, ControlKind kind) {
    Control* c = Find(id);
    return c != nullptr && c->kind == kind ? c : nullptr;
  }
  const Control* Find(int id, ControlKind kind) const {
    const Control* c = Find(id);
    return c != nullptr && c->kind == kind ? c : nullptr;
  }

  // A new surface's picture, stretched on the face colour.
  std::unique_ptr<DrawingSurface> NewSurface(int width, int height) const {
    auto surface = std::make_unique<DrawingSurface>(width, height);
    surface->SetStretchOutsideColor(stretchOutside_);
    return surface;
  }
  // The face colour (its low 24 bits, which it returns) around every surface's stretched
  // picture, from now on as well.
  Color SetFace(Color color) {
    stretchOutside_ = color & 0x00FFFFFF;
    for (auto& entry : controls_) {
      if (entry.second.surface) entry.second.surface->SetStretchOutsideColor(stretchOutside_);
    }
    return stretchOutside_;
  }
  Color Face() const override { return stretchOutside_; }

  auto begin() { return controls_.begin(); }
  auto end() { return controls_.end(); }

 private:
  std::map<int, Control> controls_;
  Color stretchOutside_ =
      kDefaultFaceColor;  // the face colour, for surfaces added after it was set
};

}  // namespace funzioni::detail
