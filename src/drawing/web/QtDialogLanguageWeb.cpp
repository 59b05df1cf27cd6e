#include "drawing/QtDialogLanguage.h"

namespace funzioni {

// The page has no Qt dialogs: its own elements take their texts from the catalogue.
struct QtDialogLanguage::Impl {};

QtDialogLanguage::QtDialogLanguage(Language /*language*/) {}

QtDialogLanguage::~QtDialogLanguage() = default;

bool QtDialogLanguage::Loaded() const {
  return false;
}

}  // namespace funzioni
