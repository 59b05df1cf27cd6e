// funzioni-eval built without the plotting code: the sampling modes are not available.
#include "evaluator/EvalSampleModes.h"

namespace funzioni {

int RunSamplesMode(std::span<const std::string_view>, std::ostream&, std::ostream& err) {
  err << "funzioni-eval: --samples needs the plotting code, which this build leaves out\n";
  return 2;
}

int RunTableMode(std::span<const std::string_view>, std::ostream&, std::ostream& err) {
  err << "funzioni-eval: --table needs the plotting code, which this build leaves out\n";
  return 2;
}

}  // namespace funzioni
