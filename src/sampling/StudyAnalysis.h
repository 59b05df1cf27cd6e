#pragma once

// The study's sampling and its findings between the phases that make them, private to the
// study. The phases live in files by concern: StudyZeros.cpp (zeros, touching or crossing, and
// the stretches where f vanishes), StudyGaps.cpp (gaps, vertical asymptotes, jumps),
// StudyExtrema.cpp (extrema and the signs between the points found). Run states their order.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "sampling/FunctionStudy.h"
#include "sampling/StopToken.h"
#include "sampling/StudyRules.h"
#include "state/PlotState.h"

namespace funzioni {

class StudyProbe;

// Positions closer than this part of the half range are one position.
inline constexpr double kSamePosition = 1e-6;

// The x range studied and the plot whose samples it adds to its own. In the seed view of the
// zoom the range is [-r, r] with r the 32-bit half range, so that its numbers are the seed's own.
struct StudiedRange {
  double low = 0;
  double high = 0;
  PlotState plot;  // the zoom, the step meter's start value and the view, if moved

  double Half() const { return (high - low) / 2; }
  double Centre() const { return (low + high) / 2; }
  float LowFloat() const { return static_cast<float>(low); }
  float HighFloat() const { return static_cast<float>(high); }
};

class StudyAnalysis {
 public:
  StudyAnalysis(StudyProbe& probe, const StudiedRange& range);

  FunctionStudy Run(const StopToken& stop);

 private:
  static int Sign(double v) { return (v > 0) - (v < 0); }

  // Samples and their values (StudyAnalysis.cpp).
  bool HasValue(float x);
  bool IsZero(float x);
  double Size(float x);
  int SignAt(double x);
  void TypicalSize();
  bool Grows(float edge, int dir);
  // No break (pole, jump, gap) found so far lies between from and to.
  bool Unbroken(double from, double to) const;
  bool Continuous(std::size_t a, std::size_t b) const;

  // Chains of consecutive even samples (the plot's and the round x being too close to them for
  // the slope between them to rise above the 32-bit noise), each pair linked as linked says.
  template <typename Linked, typename Visit>
  void ForEachChain(Linked linked, Visit visit) const {
    std::vector<std::size_t> chain;
    const auto flush = [&] {
      if (chain.size() >= 3) visit(chain);
      chain.clear();
    };
    for (const std::size_t k : grid_) {
      if (!ys_[k]) {
        flush();
        continue;
      }
      if (!chain.empty() && !linked(chain.back(), k)) flush();
      chain.push_back(k);
    }
    flush();
  }

  // Values within a few units of the last place count as level: their order is noise.
  static bool Level(double a, double b) {
    return std::fabs(a - b) <= kLevelUnits * std::max(std::fabs(a), std::fabs(b));
  }

  // Runs of level values strictly inside the chain that are higher (dir +1) or lower (dir -1)
  // than both neighbours: visit gets the neighbours' sample indices and the run's most extreme
  // sample.
  template <typename Key, typename Visit>
  static void ForEachPeak(const std::vector<std::size_t>& chain, Key key, int dir, Visit visit) {
    for (std::size_t i = 1; i + 1 < chain.size(); ++i) {
      std::size_t j = i;
      std::size_t best = chain[i];
      while (j + 2 < chain.size() && Level(key(chain[j + 1]), key(chain[i]))) {
        ++j;
        if (dir * (key(chain[j]) - key(best)) > 0) best = chain[j];
      }
      const double top = key(chain[i]);
      if (dir * (top - key(chain[i - 1])) > 0 && dir * (top - key(chain[j + 1])) > 0) {
        visit(chain[i - 1], chain[j + 1], best);
      }
      i = j;
    }
  }

  // Gaps, vertical asymptotes and jumps (StudyGaps.cpp).
  bool Overflows(float edge, int dir);
  bool RisesTowards(double middle, float edge, int dir);
  void AddAsymptote(float x);
  void AddGap(float from, float to, bool valueLeft, bool valueRight);
  void FindGaps();
  void FindSignChanges();
  void SignChange(float a, float b);
  void FindJumps();

  // Zeros (StudyZeros.cpp).
  int SideSign(std::size_t i, int dir) const;
  bool Underflow(float from, float to, bool valueLeft, bool valueRight);
  int OutsideSign(float x, int dir);
  void FindZeroRuns();
  bool RoundedToZero(float from, float to, bool hasLeft, bool hasRight);
  bool OneSign(std::size_t a, std::size_t b) const;
  void FindBumps();
  void BumpsOfChain(const std::vector<std::size_t>& chain);
  bool TouchesAxis(float c, double v);
  void MergeCloseZeros();

  // Extrema, inflections and signs (StudyExtrema.cpp).
  void FindExtrema();
  void Extremum(float a, float b, float best, int dir, std::optional<float> edge = {});
  void ExtremumBesideGap(float gapEnd, int side);
  void FindInflectionPoints();
  double ReachRightOfZero() const;
  void AddOddInflection();
  std::optional<int> SignBetween(double from, double to);
  void FindSigns();

  // The lists sorted, positions near 0 snapped to it; then what lies beyond (StudyAnalysis.cpp).
  double Snapped(double x) const;
  void Tidy();
  void AddLimits();
  void AddShape();

  StudyProbe& probe_;
  double low_;
  double high_;
  double r_;  // the half width
  double c_;  // the centre
  double step_;
  double typical_ = 1;  // the median size of the values
  std::vector<float> xs_;
  std::vector<std::optional<double>> ys_;
  std::vector<std::size_t> grid_;                 // the indices of the even samples
  std::vector<double> breaks_;                    // poles and jumps, where f is not continuous
  std::vector<double> jumps_;                     // bounded jumps across 0
  std::vector<std::pair<double, double>> flats_;  // intervals where f is 0
  FunctionStudy out_;
};

}  // namespace funzioni
