// funzioni-eval: evaluates expressions from the command line or from standard input, one per
// line, and prints each result exactly as the evaluator returns it.
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramInfo.h"
#include "cli/CliModes.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberText.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: funzioni-eval [--x VALUE] [--] [EXPRESSION...]\n"
    "       funzioni-eval --samples ZOOM STEP FORMULA\n"
    "       funzioni-eval --table ZOOM FORMULA\n"
    "       funzioni-eval --study ZOOM FORMULA\n"
    "       funzioni-eval --tangent X0 FORMULA\n"
    "       funzioni-eval --integral A B FORMULA\n"
    "       funzioni-eval --intersections ZOOM F G\n"
    "       funzioni-eval --view XMIN XMAX YMIN YMAX (--samples ZOOM STEP | --table ZOOM) FORMULA\n"
    "       funzioni-eval --help | --version\n"
    "Evaluates each EXPRESSION, or each line of standard input when none is given, and prints\n"
    "one result per line: the value (with a blank in front when it is not negative) or an\n"
    "error text containing \"Error\".\n"
    "  --x VALUE   first replace every lower-case \"x\" by VALUE, taken as a 32-bit float and\n"
    "              written with 7 significant digits, as the plot does\n"
    "  --samples   sample FORMULA as the plot's typed-formula curve does at that zoom and step:\n"
    "              one line per sample, in the curve's order: the text put in place of x, a\n"
    "              tab, and the result\n"
    "  --table     the results table of FORMULA at that zoom, as the window shows it (the\n"
    "              formula, a blank line, then one \"x ;y\" row per sample with a value)\n"
    "  --study     the study of FORMULA over the range at that zoom: one line of tab-separated\n"
    "              fields per item (range, y-intercept, gap, zero, asymptote, max, min,\n"
    "              inflection, sign, parity, limit, asymptote-h, asymptote-o, corner,\n"
    "              increasing, decreasing, concave-up, concave-down)\n"
    "  --tangent   the tangent of FORMULA at X0: \"tangent X0 Y0 M Q\" (y = M x + Q), or\n"
    "              \"corner X0 Y0 LEFT RIGHT\" (the one-sided slopes), or \"none X0 REASON\"\n"
    "  --integral  the integral of FORMULA from A to B and its area, each with an error bound\n"
    "              (\"integral A B VALUE ERROR\", \"area A B VALUE ERROR\"), or \"none A B "
    "REASON\"\n"
    "              when a gap or a pole lies between or the bound is not below 1E-4 of the value\n"
    "  --intersections  where F and G meet over the range at that zoom, one\n"
    "              \"intersection X Y crossing|touching\" line each\n"
    "  --view      sample (--samples) or tabulate (--table) the rectangle XMIN..XMAX by\n"
    "              YMIN..YMAX as the window does once its picture was panned or zoomed there\n"
    "  --          take every following argument as an expression\n"
    "  --help      show this text\n"
    "  --version   show the version\n";

struct Options {
  std::optional<float> x;
  std::vector<std::string> expressions;
};

int BadUsage(std::string_view problem) {
  std::cerr << "funzioni-eval: " << problem << "\n" << kUsage;
  return 2;
}

std::string Prepare(std::string line, const Options& options) {
  if (!line.empty() && line.back() == '\r') line.pop_back();  // lines of a CR LF file
  return options.x ? funzioni::SubstituteX(line, *options.x) : line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) {
    const std::string_view mode = argv[1];
    const std::vector<std::string_view> rest(argv + 2, argv + argc);
    if (mode == "--samples") return funzioni::RunSamplesMode(rest, std::cout, std::cerr);
    if (mode == "--table") return funzioni::RunTableMode(rest, std::cout, std::cerr);
    if (mode == "--study") return funzioni::RunStudyMode(rest, std::cout, std::cerr);
    if (mode == "--tangent") return funzioni::RunTangentMode(rest, std::cout, std::cerr);
    if (mode == "--integral") return funzioni::RunIntegralMode(rest, std::cout, std::cerr);
    if (mode == "--intersections") {
      return funzioni::RunIntersectionsMode(rest, std::cout, std::cerr);
    }
    if (mode == "--view") return funzioni::RunViewMode(rest, std::cout, std::cerr);
  }
  Options options;
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsDone || arg.size() < 2 || arg.substr(0, 2) != "--") {
      options.expressions.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsDone = true;
    } else if (arg == "--help") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--version") {
      std::cout << "funzioni-eval " << funzioni::kProgramVersion << '\n';
      return 0;
    } else if (arg == "--x" || arg.substr(0, 4) == "--x=") {
      std::string_view value;
      if (arg == "--x") {
        if (i + 1 >= argc) return BadUsage("--x needs a value");
        value = argv[++i];
      } else {
        value = arg.substr(4);
      }
      options.x = funzioni::ReadArgumentNumber(value, funzioni::ArgumentSyntax::Plain);
      if (!options.x) return BadUsage("not a number for --x: " + std::string(value));
    } else {
      return BadUsage("unknown option " + std::string(arg));
    }
  }

  funzioni::ExpressionEvaluator evaluator;
  if (!options.expressions.empty()) {
    for (const std::string& expression : options.expressions) {
      std::cout << evaluator.EvaluateExpressionText(Prepare(expression, options)) << '\n';
    }
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    std::cout << evaluator.EvaluateExpressionText(Prepare(line, options)) << '\n';
  }
  return 0;
}
