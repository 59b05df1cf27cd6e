#include "sampling/StudyFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "sampling/StudyProbe.h"

namespace funzioni {

namespace {

// The stretch where f - m x is read: m x from about 50 to 5000 (further out the values'
// 32-bit rounding outweighs what is left of f - m x; closer in the poles and bends of school
// functions, within about 10 of 0, still bend it), at non-round x.
constexpr double kFitFrom = 51.37;
constexpr double kFitRatio = 1.1031;  // 48 x spanning a factor of about 100
constexpr int kFitPoints = 48;
// What a value's rounding may be: a few units of the last 32-bit place of f or of m x.
constexpr double kFitNoise = 8 * 0x1p-24;
// f - m x settles when the fit's residuals are within this many times the values' rounding.
constexpr double kFitsWithin = 10;
// q is given when the fit with one more term agrees to this part of it (or of 1 for q near
// 0): the term more lets the values' rounding move q by about 1E-4.
constexpr double kAgreed = 1e-3;

// Weighted least squares by modified Gram-Schmidt: the coefficients of the columns.
template <std::size_t N>
std::optional<std::array<double, N>> LeastSquares(std::vector<std::array<double, N>> a,
                                                  std::vector<double> b) {
  std::array<std::array<double, N>, N> r{};
  for (std::size_t j = 0; j < N; ++j) {
    for (std::size_t i = 0; i < j; ++i) {
      double dot = 0;
      for (std::size_t k = 0; k < a.size(); ++k) dot += a[k][i] * a[k][j];
      r[i][j] = dot;
      for (std::size_t k = 0; k < a.size(); ++k) a[k][j] -= dot * a[k][i];
    }
    double norm = 0;
    for (const auto& row : a) norm += row[j] * row[j];
    norm = std::sqrt(norm);
    if (!(norm > 1e-12)) return std::nullopt;
    r[j][j] = norm;
    for (auto& row : a) row[j] /= norm;
  }
  std::array<double, N> qtb{};
  for (std::size_t j = 0; j < N; ++j) {
    double dot = 0;
    for (std::size_t k = 0; k < a.size(); ++k) dot += a[k][j] * b[k];
    qtb[j] = dot;
    for (std::size_t k = 0; k < a.size(); ++k) b[k] -= dot * a[k][j];
  }
  std::array<double, N> c{};
  for (std::size_t j = N; j-- > 0;) {
    double sum = qtb[j];
    for (std::size_t i = j + 1; i < N; ++i) sum -= r[j][i] * c[i];
    c[j] = sum / r[j][j];
  }
  return c;
}

struct Sample {
  double t;  // x over the stretch's middle
  double value;
  double noise;
};

// f = m x + q + a/x + b/x^2 + ... with N - 1 terms after m x; returns q and the residuals'
// size against the noise.
template <std::size_t N>
std::optional<std::pair<double, double>> Fit(const std::vector<Sample>& samples) {
  std::vector<std::array<double, N>> a;
  std::vector<double> b;
  for (const Sample& s : samples) {
    std::array<double, N> row{};
    row[0] = s.t / s.noise;
    for (std::size_t j = 1; j < N; ++j)
      row[j] = std::pow(s.t, -static_cast<double>(j - 1)) / s.noise;
    a.push_back(row);
    b.push_back(s.value / s.noise);
  }
  const std::optional<std::array<double, N>> c = LeastSquares<N>(a, b);
  if (!c) return std::nullopt;
  double misfit = 0;
  for (std::size_t k = 0; k < a.size(); ++k) {
    double fitted = 0;
    for (std::size_t j = 0; j < N; ++j) fitted += a[k][j] * (*c)[j];
    misfit += (fitted - b[k]) * (fitted - b[k]);
  }
  return std::pair{(*c)[1], std::sqrt(misfit / static_cast<double>(a.size() - N))};
}

}  // namespace

std::optional<double> ObliqueIntercept(StudyProbe& probe, int dir, double m) {
  const double from = kFitFrom * std::max(1.0, 1 / std::fabs(m));
  const double middle = from * std::pow(kFitRatio, 0.5 * (kFitPoints - 1));
  std::vector<Sample> samples;
  double x = from;
  for (int k = 0; k < kFitPoints; ++k, x *= kFitRatio) {
    const float at = static_cast<float>(dir * x);
    const std::optional<double> v = probe.At(at);
    if (!v || std::fabs(*v) >= kStudyHuge) return std::nullopt;
    const double noise = kFitNoise * (std::fabs(*v) + std::fabs(m * at)) + 1e-300;
    samples.push_back({at / middle, *v, noise});
  }
  const auto lower = Fit<5>(samples);
  const auto higher = Fit<6>(samples);
  if (!lower || !higher || higher->second > kFitsWithin) return std::nullopt;
  const double q = lower->first;
  const double error = std::fabs(higher->first - lower->first);
  if (error > kAgreed * std::max(1.0, std::fabs(q))) return std::nullopt;
  if (std::fabs(q) <= 2 * error || std::fabs(q) < kAgreed) return 0.0;
  const double unit =
      std::pow(10.0, std::floor(std::log10(2 * std::max(error, 1e-7 * std::fabs(q)))));
  return std::round(q / unit) * unit;
}

}  // namespace funzioni
