// The peer parser through muparser.

#include <muParser.h>

#include <string>

#include "plot_peer_parser.h"

namespace funzioni::bench {
namespace {

class Muparser final : public PeerParser {
 public:
  explicit Muparser(std::string_view expression) {
    parser_.DefineVar("x", &x_);
    parser_.SetExpr(std::string(expression));
    parser_.Eval();  // parses once; later calls run the compiled form
  }
  void Evaluate(std::span<const float> xs, std::vector<double>& values) override {
    values.resize(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
      x_ = xs[i];
      values[i] = parser_.Eval();
    }
  }

 private:
  double x_ = 0;
  mu::Parser parser_;
};

}  // namespace

std::unique_ptr<PeerParser> MakePeerParser(std::string_view expression) {
  try {
    return std::make_unique<Muparser>(expression);
  } catch (const mu::Parser::exception_type&) {
    return nullptr;
  }
}

}  // namespace funzioni::bench
