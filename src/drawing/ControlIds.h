#pragma once

// The range a control's identifier lies in, for the dialog and for the control table alike.
// Timers and the app's own commands are numbered outside it (app/Ids.h), so that no command can
// be taken for a control's.

namespace funzioni {

inline constexpr int kFirstControlId = 0;
inline constexpr int kLastControlId = 10000;

inline constexpr bool IsControlId(int id) {
  return id >= kFirstControlId && id <= kLastControlId;
}

}  // namespace funzioni
