#pragma once

// Copies of the plotting area's unchanging layers, so that a redraw does not paint them again:
// the bare face, which depends only on the size of the area, and the face with the grid, the
// scale numbers and the axes, which depends on the size and the zoom. A copy holds the pixels
// and the current position that drawing them left behind.

#include <cstdint>
#include <optional>

#include "drawing/DrawingSurface.h"
#include "state/PlotView.h"

namespace funzioni {

class PlotBackgroundCache {
 public:
  // Puts the kept face onto the surface; false when there is none for its size.
  bool RestoreFace(DrawingSurface& surface) const;
  void KeepFace(const DrawingSurface& surface);

  // Puts the kept face, grid and axes onto the surface; false when there is none for its size
  // and this zoom.
  // A moved view's grid depends on the view and on whether x is in degrees instead.
  bool RestoreBackground(DrawingSurface& surface, float zoom,
                         const std::optional<PlotView>& view = std::nullopt,
                         bool degrees = false) const;
  // Told of every background drawn; a copy is kept when the same one is drawn twice in a row:
  // a drag of the zoom meter or of the view draws a new one at every step, never wanted again,
  // and copying each would cost as much as drawing it.
  void KeepBackground(const DrawingSurface& surface, float zoom,
                      const std::optional<PlotView>& view = std::nullopt, bool degrees = false);

  void Drop();

 private:
  struct Copy {
    DrawingSurface picture;
    PixelPoint position;
    std::optional<std::uint32_t> zoomBits;  // empty for the bare face
    std::optional<PlotView> view;
    bool degrees = false;
    bool valid = false;
  };
  static bool Restore(const Copy& copy, DrawingSurface& surface);
  static void Keep(Copy& copy, const DrawingSurface& surface);

  struct Key {
    std::uint32_t zoomBits = 0;
    std::optional<PlotView> view;
    bool degrees = false;
    bool operator==(const Key&) const = default;
  };

  Copy face_;
  Copy background_;
  std::optional<Key> lastDrawn_;  // the background drawn last, kept or not
};

}  // namespace funzioni
