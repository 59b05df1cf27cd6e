#include "DialogControls.h"

#include <cctype>

namespace funzioni::detail {

int ControlRecord::UserValue(int slot) const {
  if (slot < 1 || slot > kUserValueSlots) return 0;
  if (surface) return surface->UserValue(slot);
  return userValues[static_cast<std::size_t>(slot - 1)];
}

void ControlRecord::SetUserValue(int slot, int value) {
  if (slot < 1 || slot > kUserValueSlots) return;
  if (surface) {
    surface->SetUserValue(slot, value);
  } else {
    userValues[static_cast<std::size_t>(slot - 1)] = value;
  }
}

bool IsBoldStyle(std::string_view styleWord) {
  std::string word(styleWord);
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return word == "BOLD";
}

}  // namespace funzioni::detail
