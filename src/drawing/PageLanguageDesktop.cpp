#include "drawing/PageLanguage.h"

namespace funzioni {

// The desktop window draws or names every text itself: there is no page to tell.
void UsePageLanguage(Language /*language*/) {}

}  // namespace funzioni
