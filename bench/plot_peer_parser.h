#pragma once

// A widely used compiled formula parser (muparser), to compare the typed formula's evaluation
// against. Built only when its library is installed; otherwise MakePeerParser returns nothing.

#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace funzioni::bench {

class PeerParser {
 public:
  virtual ~PeerParser() = default;
  // The expression's value at every x, in order.
  virtual void Evaluate(std::span<const float> xs, std::vector<double>& values) = 0;
};

// The parser set up for an expression of x in its own syntax; nullptr when it is not available.
std::unique_ptr<PeerParser> MakePeerParser(std::string_view expression);

}  // namespace funzioni::bench
