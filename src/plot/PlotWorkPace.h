#pragma once

// Where the browser's plot worker computes the next work. A round trip to the background instance
// costs the page several milliseconds of its own (the request and the reply copied and posted,
// the instance's and the page's wake, the reply waiting for the page's frame), more than a drag
// step's picture takes to compute. Work of the same kind as work just computed quickly (the same
// formulas, curves and area; a parameter, the zoom or the view moved) costs about the same, so the
// page computes it itself and shows it within the same task. Any other work, work of a kind that
// took long, and work whose formulas took long to compute at all (the page's kept results start
// cold: its first computation of a kind may have to compute everything) go to the background
// instance, so that the page keeps answering while they are computed.

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plot/PlotCompute.h"

namespace funzioni {

class PlotWorkPace {
 public:
  using Microseconds = std::chrono::microseconds;
  // A step computed on the page for longer than this would hold up its events for half a frame.
  static constexpr Microseconds kQuickHere{8000};
  // The page takes on no formulas whose computation from scratch took the background instance
  // longer than this: a page slowed down four times still answers within a fifth of a second.
  static constexpr Microseconds kHeaviestHere{50000};

  PlotWorkPace(Microseconds quick = kQuickHere, Microseconds heaviest = kHeaviestHere)
      : quick_(quick), heaviest_(heaviest) {}

  // True when the work is best computed on the page's own thread.
  bool Here(const PlotWork& work) const;
  // The work was computed in that time, on the page (here) or in the background instance.
  void Computed(const PlotWork& work, Microseconds took, bool here);
  // The background instance's computation of the work overstayed its patience: its formulas
  // are not for the page.
  void Abandoned(const PlotWork& work) { Computed(work, Microseconds::max(), false); }

 private:
  // What a computation's time depends on, beside the values the meters and gestures move: the
  // formulas (whose cost has no bound), and the rest.
  struct Formulas {
    std::string typed;
    std::vector<std::string> kept;
    FormulaFamily family;
    std::optional<std::string> table;
    friend bool operator==(const Formulas&, const Formulas&) = default;
  };
  struct Kind {
    Formulas formulas;
    PlotWork::Picture picture = PlotWork::Picture::None;
    PixelSize size;
    std::array<std::uint8_t, functionCount + 1> curveOn{};
    friend bool operator==(const Kind&, const Kind&) = default;
  };
  static Kind KindOf(const PlotWork& work);
  static constexpr int kLongestBackOff = 8;

  Microseconds quick_;
  Microseconds heaviest_;
  std::optional<Kind> last_;      // of the work computed last
  Microseconds expected_{0};      // what the next work of the last kind should take
  Microseconds heaviestSeen_{0};  // in the background instance, since the formulas changed
  // After the page took long over a step, the next steps of the kind go to the background
  // instance: a step may have had to compute everything (the zoom moved far, the page's kept
  // results were cold), so the page tries again after a while, waiting twice as long each time
  // it is slow again, until it is quick.
  int skip_ = 0;     // how many more steps go to the background instance
  int backOff_ = 1;  // how many the next slow step sends there
};

}  // namespace funzioni
