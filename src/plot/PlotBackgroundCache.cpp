#include "plot/PlotBackgroundCache.h"

#include "evaluator/BitCast.h"

namespace funzioni {

namespace {

// A one-to-one copy of the whole picture: each target pixel takes the source pixel at its place.
void CopyPicture(const DrawingSurface& source, DrawingSurface& target) {
  const PixelSize size = source.GetSurfaceSize();
  const double right = size.width - 1;
  const double bottom = size.height - 1;
  target.StretchSurface(source, 0, 0, right, bottom, 0, 0, right, bottom);
}

}  // namespace

bool PlotBackgroundCache::Restore(const Copy& copy, DrawingSurface& surface) {
  if (!copy.valid || copy.picture.GetSurfaceSize() != surface.GetSurfaceSize()) return false;
  CopyPicture(copy.picture, surface);
  surface.MoveTo(copy.position.x, copy.position.y);
  return true;
}

void PlotBackgroundCache::Keep(Copy& copy, const DrawingSurface& surface) {
  const PixelSize size = surface.GetSurfaceSize();
  copy.valid = false;
  if (size.width <= 0 || size.height <= 0) return;
  if (copy.picture.GetSurfaceSize() != size) copy.picture = DrawingSurface(size.width, size.height);
  CopyPicture(surface, copy.picture);
  copy.position = surface.GetCurrentPosition();
  copy.valid = true;
}

bool PlotBackgroundCache::RestoreFace(DrawingSurface& surface) const {
  return Restore(face_, surface);
}

void PlotBackgroundCache::KeepFace(const DrawingSurface& surface) {
  Keep(face_, surface);
}

bool PlotBackgroundCache::RestoreBackground(DrawingSurface& surface, float zoom,
                                            const std::optional<PlotView>& view,
                                            bool degrees) const {
  if (background_.zoomBits != BitCast<std::uint32_t>(zoom)) return false;
  if (background_.view != view || background_.degrees != degrees) return false;
  return Restore(background_, surface);
}

void PlotBackgroundCache::KeepBackground(const DrawingSurface& surface, float zoom,
                                         const std::optional<PlotView>& view, bool degrees) {
  const Key drawn{BitCast<std::uint32_t>(zoom), view, degrees};
  const bool again = lastDrawn_ == drawn;
  lastDrawn_ = drawn;
  if (!again) return;
  Keep(background_, surface);
  background_.zoomBits = BitCast<std::uint32_t>(zoom);
  background_.view = view;
  background_.degrees = degrees;
}

void PlotBackgroundCache::Drop() {
  face_.valid = false;
  background_.valid = false;
  lastDrawn_.reset();
}

}  // namespace funzioni
