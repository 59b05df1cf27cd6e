// The list of formulas kept drawn: kept once each, at most five, blank texts refused.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/KeptFormulas.h"

namespace funzioni {
namespace {

TEST(KeptFormulas, KeepingAndDropping) {
  struct Step {
    const char* name;
    bool keep;  // otherwise drop
    const char* formula;
    std::vector<std::string> after;
    KeepResult result;  // of a keep
    bool dropped;       // of a drop
  };
  using enum KeepResult;
  const Step steps[] = {
      {"first", true, "x^2", {"x^2"}, Kept, false},
      {"the same again", true, "x^2", {"x^2"}, AlreadyKept, false},
      {"blank", true, "  ", {"x^2"}, Empty, false},
      {"second", true, "k*x", {"x^2", "k*x"}, Kept, false},
      {"third to fifth", true, "1", {"x^2", "k*x", "1"}, Kept, false},
      {"fourth", true, "2", {"x^2", "k*x", "1", "2"}, Kept, false},
      {"fifth", true, "3", {"x^2", "k*x", "1", "2", "3"}, Kept, false},
      {"a sixth is refused", true, "4", {"x^2", "k*x", "1", "2", "3"}, Full, false},
      {"dropping one not kept", false, "4", {"x^2", "k*x", "1", "2", "3"}, Kept, false},
      {"dropping the second keeps the order", false, "k*x", {"x^2", "1", "2", "3"}, Kept, true},
      {"room again", true, "4", {"x^2", "1", "2", "3", "4"}, Kept, false},
  };
  std::vector<std::string> kept;
  for (const Step& s : steps) {
    if (s.keep) {
      EXPECT_EQ(KeepFormula(kept, s.formula), s.result) << s.name;
    } else {
      EXPECT_EQ(DropKeptFormula(kept, s.formula), s.dropped) << s.name;
    }
    EXPECT_EQ(kept, s.after) << s.name;
    EXPECT_LE(kept.size(), kMaxKeptFormulas) << s.name;
  }
}

}  // namespace
}  // namespace funzioni
