#include "plot/PlotWorkPace.h"

#include <algorithm>
#include <utility>

namespace funzioni {

PlotWorkPace::Kind PlotWorkPace::KindOf(const PlotWork& work) {
  Kind kind;
  kind.formulas.typed = work.state.typedFormula;
  kind.formulas.kept = work.state.keptFormulas;
  kind.formulas.family = work.state.family;
  if (work.table) kind.formulas.table = work.table->typedFormula;
  kind.picture = work.picture;
  kind.size = work.size;
  kind.curveOn = work.state.curveOn;
  return kind;
}

bool PlotWorkPace::Here(const PlotWork& work) const {
  return last_ && skip_ == 0 && expected_ <= quick_ && heaviestSeen_ <= heaviest_ &&
         *last_ == KindOf(work);
}

void PlotWorkPace::Computed(const PlotWork& work, Microseconds took, bool here) {
  Kind kind = KindOf(work);
  const bool sameKind = last_ && *last_ == kind;
  if (!last_ || last_->formulas != kind.formulas) heaviestSeen_ = Microseconds{0};
  if (!sameKind) {
    skip_ = 0;
    backOff_ = 1;
  }
  if (!here) {
    heaviestSeen_ = std::max(heaviestSeen_, took);
    skip_ = std::max(skip_ - 1, 0);
  } else if (took > quick_) {
    skip_ = backOff_;
    backOff_ = std::min(2 * backOff_, kLongestBackOff);
  } else {
    backOff_ = 1;
  }
  expected_ = took;
  last_ = std::move(kind);
}

}  // namespace funzioni
