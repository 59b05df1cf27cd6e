// The event stream a dialog's handler receives, driven through the real window offscreen.
#include <gtest/gtest.h>

namespace funzioni {
namespace {}  // namespace
}  // namespace funzioni
