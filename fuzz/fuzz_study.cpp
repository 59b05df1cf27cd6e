// The study of a function on any formula and zoom: the first four bytes are the float zoom, the
// fifth says whether a stop is requested at once (otherwise after a second), the rest is the
// formula. It must not crash, must end soon after a stop, and its lists must be sorted, inside
// the range and consistent with each other.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "Require.h"
#include "evaluator/ExpressionEvaluator.h"
#include "sampling/FunctionStudy.h"
#include "sampling/StopToken.h"

namespace {

using funzioni::fuzz::Require;

// Formulas longer than this take the text engine long enough to slow the search to a crawl.
constexpr std::size_t kLongestFormula = 160;

template <typename Item, typename X>
void RequireSorted(const std::vector<Item>& items, X x, double from, double to,
                   std::string_view what, std::string_view formula) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    Require(x(items[i]) >= from && x(items[i]) <= to, what, formula);
    if (i > 0) Require(x(items[i - 1]) <= x(items[i]), what, formula);
  }
}

void RequireIntervals(const std::vector<funzioni::StudyInterval>& list, double from, double to,
                      std::string_view what, std::string_view formula) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    Require(list[i].from < list[i].to && list[i].from >= from && list[i].to <= to, what, formula);
    if (i > 0) Require(list[i - 1].to <= list[i].from, what, formula);
  }
}

// No stretch is both rising and falling, nor both concave up and down.
void RequireDisjoint(const std::vector<funzioni::StudyInterval>& a,
                     const std::vector<funzioni::StudyInterval>& b, std::string_view what,
                     std::string_view formula) {
  for (const auto& p : a) {
    for (const auto& q : b) Require(p.to <= q.from || q.to <= p.from, what, formula);
  }
}

void RequireConsistent(const funzioni::FunctionStudy& s, std::string_view formula) {
  const double lo = s.xMin;
  const double hi = s.xMax;
  const auto x = [](const auto& item) { return item.x; };
  RequireSorted(
      s.gaps, [](const auto& g) { return g.from; }, lo, hi, "gaps", formula);
  for (const auto& g : s.gaps) Require(g.from <= g.to, "gap ends", formula);
  RequireSorted(s.zeros, x, lo, hi, "zeros", formula);
  RequireSorted(
      s.asymptotes, [](double a) { return a; }, lo, hi, "asymptotes", formula);
  RequireSorted(s.maxima, x, lo, hi, "maxima", formula);
  RequireSorted(s.minima, x, lo, hi, "minima", formula);
  RequireSorted(s.inflections, x, lo, hi, "inflections", formula);
  RequireSorted(s.corners, x, lo, hi, "corners", formula);
  RequireIntervals(s.increasing, lo, hi, "increasing", formula);
  RequireIntervals(s.decreasing, lo, hi, "decreasing", formula);
  RequireIntervals(s.concaveUp, lo, hi, "concave up", formula);
  RequireIntervals(s.concaveDown, lo, hi, "concave down", formula);
  RequireDisjoint(s.increasing, s.decreasing, "rising and falling", formula);
  RequireDisjoint(s.concaveUp, s.concaveDown, "concave up and down", formula);
  // Limits: -inf first, then the points by x (left before right), +inf last.
  using Where = funzioni::StudyLimit::Where;
  const auto rank = [](const funzioni::StudyLimit& l) {
    return l.where == Where::MinusInfinity ? 0 : l.where == Where::PlusInfinity ? 2 : 1;
  };
  for (std::size_t i = 1; i < s.limits.size(); ++i) {
    const auto& p = s.limits[i - 1];
    const auto& q = s.limits[i];
    Require(rank(p) < rank(q) || (rank(p) == 1 && rank(q) == 1 && p.at <= q.at),
            "limits out of order", formula);
  }
  for (const auto& a : s.horizontalAsymptotes) {
    Require(std::isfinite(a.q) && (a.side == -1 || a.side == 1), "horizontal", formula);
  }
  for (const auto& a : s.obliqueAsymptotes) {
    Require(std::isfinite(a.m) && a.m != 0 && std::isfinite(a.q), "oblique", formula);
  }
  Require(!funzioni::StudyText(s).empty(), "no text", formula);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHead = sizeof(float) + 1;
  if (size < kHead || size - kHead > kLongestFormula) return 0;
  float zoom = 0;
  std::memcpy(&zoom, data, sizeof zoom);
  if (!std::isfinite(zoom) || !(zoom > 0)) return 0;
  zoom = std::clamp(zoom, 1e-2f, 1e5f);
  const bool stopped = (data[sizeof zoom] & 1) != 0;
  const std::string formula(reinterpret_cast<const char*>(data) + kHead, size - kHead);
  funzioni::StopSource stop;
  auto study = std::async(std::launch::async, [&] {
    funzioni::ExpressionEvaluator evaluator;
    return funzioni::StudyFunction(evaluator, formula, zoom, stop.get_token());
  });
  // A slow study (a formula the text engine answers at every x, as the window may be given) is
  // stopped as newer work would stop it; it must then end promptly.
  const auto patience = stopped ? std::chrono::milliseconds(2) : std::chrono::milliseconds(1000);
  if (study.wait_for(patience) != std::future_status::ready) {
    stop.request_stop();
    Require(study.wait_for(std::chrono::seconds(3)) == std::future_status::ready,
            "the study went on after a stop", formula);
  }
  const funzioni::FunctionStudy result = study.get();
  RequireConsistent(result, formula);
  return 0;
}
