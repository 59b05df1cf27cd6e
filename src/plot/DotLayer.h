#pragma once

// Dots collected off-screen before they reach a surface. Every dot is one pixel set to one
// colour with nothing read back, so only the last colour written to each pixel matters: the layer
// keeps that colour and then sets each touched pixel once, however many dots fell on it.

#include <cstdint>
#include <span>
#include <vector>

#include "drawing/Color.h"

namespace funzioni {

class DrawingSurface;

class DotLayer {
 public:
  // Prepares an empty layer of width x height pixels (keeps the memory of an earlier size).
  void Reset(int width, int height);

  // A dot at column x, row y; both must lie on the layer.
  void Put(int x, int y, Color color) {
    const std::size_t at = static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x);
    if (colors_[at] == kUntouched) touched_.push_back(static_cast<std::uint32_t>(at));
    colors_[at] = color;
  }

  // Sets every touched pixel of the surface to its last colour and empties the layer.
  void FlushTo(DrawingSurface& surface);

  bool Empty() const { return touched_.empty(); }
  int Width() const { return static_cast<int>(width_); }
  int Height() const { return width_ == 0 ? 0 : static_cast<int>(colors_.size() / width_); }
  // The touched pixels as row * width + column, in the order first touched, and the last colour
  // of each (so that the dots can be handed elsewhere and put on a layer there).
  std::span<const std::uint32_t> Touched() const { return touched_; }
  Color ColorAt(std::uint32_t at) const { return colors_[at]; }

 private:
  static constexpr Color kUntouched = -1;  // no dot colour is negative

  std::size_t width_ = 0;
  std::vector<Color> colors_;
  std::vector<std::uint32_t> touched_;
};

}  // namespace funzioni
