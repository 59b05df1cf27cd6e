#pragma once

// What a drawn control's widget keeps for assistive technologies and the keyboard. Private to the
// drawing layer.

#include <functional>
#include <string>

#include "Accessibility.h"

namespace funzioni {

class SurfaceWidget;

// What was last announced, so that only changes are announced.
struct AnnouncedState {
  std::string name;
  std::string description;
  bool checked = false;
  double value = 0.0;
};

struct SurfaceAccess {
  ControlDescription about;
  std::function<void(AccessRequest request, double value)> request;
  std::function<void(ControlKey key)> key;
  AnnouncedState announced;
};

// Announces what changed since the last announcement; nothing when no assistive technology
// listens. Called each time the widget shows a new picture.
void AnnounceChanges(SurfaceWidget& widget);

// Makes the toolkit build the drawn controls' accessibility interfaces from their descriptions.
void InstallAccessibleSurfaces();

}  // namespace funzioni
