// funzioni-eval: evaluates expressions from the command line or from standard input, one per
// line, and prints each result exactly as the evaluator returns it.
#include <algorithm>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramInfo.h"
#include "cli/CliModes.h"
#include "evaluator/ExpressionEvaluator.h"
#include "evaluator/NumberReading.h"
#include "evaluator/NumberText.h"
#include "state/FormulaParameters.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: funzioni-eval [--param L=VALUE]... [--x VALUE] [--] [EXPRESSION...]\n"
    "       funzioni-eval [--param L=VALUE]... MODE ...\n"
    "  where MODE ... is one of\n"
    "       funzioni-eval --samples ZOOM STEP FORMULA\n"
    "       funzioni-eval --table ZOOM FORMULA\n"
    "       funzioni-eval --study ZOOM FORMULA\n"
    "       funzioni-eval --tangent X0 FORMULA\n"
    "       funzioni-eval --integral A B FORMULA\n"
    "       funzioni-eval --intersections ZOOM F G\n"
    "       funzioni-eval --view XMIN XMAX YMIN YMAX (--samples ZOOM STEP | --table ZOOM) FORMULA\n"
    "       funzioni-eval --view XMIN XMAX YMIN YMAX --study ZOOM FORMULA\n"
    "       funzioni-eval --view XMIN XMAX YMIN YMAX --intersections ZOOM F G\n"
    "       funzioni-eval --help | --version\n"
    "Evaluates each EXPRESSION, or each line of standard input when none is given, and prints\n"
    "one result per line: the value (with a blank in front when it is not negative) or an\n"
    "error text containing \"Error\".\n"
    "  --param L=VALUE  L is one of the parameter letters a, b, c, k, m, n: first write VALUE\n"
    "              (a plain number, as --x takes it) in place of L wherever L stands alone\n"
    "              (no letter, digit or point next to it) in each EXPRESSION or in the\n"
    "              FORMULA, F and G of a mode.\n"
    "              Repeatable, one letter each time, before the mode; a letter given twice\n"
    "              takes its last value, a letter given none stays as typed\n"
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
    "              YMIN..YMAX as the window does once its picture was panned or zoomed there;\n"
    "              --study and --intersections work over XMIN..XMAX\n"
    "  --          take every following argument as an expression\n"
    "  --help      show this text\n"
    "  --version   show the version\n";

struct Options {
  funzioni::FormulaParameterTexts parameters;
  std::optional<float> x;
  std::vector<std::string> expressions;
};

int BadUsage(std::string_view problem) {
  std::cerr << "funzioni-eval: " << problem << "\n" << kUsage;
  return 2;
}

std::string Prepare(std::string line, const Options& options) {
  if (!line.empty() && line.back() == '\r') line.pop_back();  // lines of a CR LF file
  line = funzioni::SubstituteFormulaParameters(line, options.parameters);
  return options.x ? funzioni::SubstituteX(line, *options.x) : line;
}

// "L=VALUE" of --param into the texts; the problem when it is not one.
std::optional<std::string> ReadParameter(std::string_view setting,
                                         funzioni::FormulaParameterTexts& texts) {
  const std::size_t equals = setting.find('=');
  if (equals == std::string_view::npos) {
    return "--param needs L=VALUE: " + std::string(setting);
  }
  const std::string_view letter = setting.substr(0, equals);
  const std::optional<std::size_t> index =
      letter.size() == 1 ? funzioni::FormulaParameterIndex(letter[0]) : std::nullopt;
  if (!index) {
    return "--param: not a parameter letter (a, b, c, k, m, n): " + std::string(letter);
  }
  const std::string_view value = setting.substr(equals + 1);
  // Only a plain number goes into the formula, never other text.
  if (!funzioni::ReadArgumentNumber(value, funzioni::ArgumentSyntax::Plain)) {
    return "not a number for --param " + std::string(letter) + ": " + std::string(value);
  }
  texts[*index] = std::string(value);
  return std::nullopt;
}

// How many of a mode's last arguments are formulas: --intersections has two, also after --view
// and its four edges.
std::size_t FormulaArguments(std::string_view mode, std::span<const std::string> args) {
  constexpr std::size_t kViewEdges = 4;
  if (mode == "--view" && args.size() > kViewEdges) mode = args[kViewEdges];
  return mode == "--intersections" ? 2 : 1;
}

int RunMode(std::string_view mode, std::span<char* const> argsAfter,
            const funzioni::FormulaParameterTexts& parameters) {
  // The formulas get the parameters' values first; the values live as long as the mode runs.
  std::vector<std::string> owned(argsAfter.begin(), argsAfter.end());
  const std::size_t formulas = std::min(FormulaArguments(mode, owned), owned.size());
  for (std::size_t i = owned.size() - formulas; i < owned.size(); ++i) {
    owned[i] = funzioni::SubstituteFormulaParameters(owned[i], parameters);
  }
  const std::vector<std::string_view> rest(owned.begin(), owned.end());
  if (mode == "--samples") return funzioni::RunSamplesMode(rest, std::cout, std::cerr);
  if (mode == "--table") return funzioni::RunTableMode(rest, std::cout, std::cerr);
  if (mode == "--study") return funzioni::RunStudyMode(rest, std::cout, std::cerr);
  if (mode == "--tangent") return funzioni::RunTangentMode(rest, std::cout, std::cerr);
  if (mode == "--integral") return funzioni::RunIntegralMode(rest, std::cout, std::cerr);
  if (mode == "--intersections") {
    return funzioni::RunIntersectionsMode(rest, std::cout, std::cerr);
  }
  return funzioni::RunViewMode(rest, std::cout, std::cerr);
}

bool IsMode(std::string_view arg) {
  for (const std::string_view mode : {"--samples", "--table", "--study", "--tangent", "--integral",
                                      "--intersections", "--view"}) {
    if (arg == mode) return true;
  }
  return false;
}

// --param L=VALUE or --param=L=VALUE at argv[i]; i moves past what it took.
std::optional<std::string> TakeParameter(int argc, char** argv, int& i,
                                         funzioni::FormulaParameterTexts& texts) {
  const std::string_view arg = argv[i];
  if (arg != "--param")
    return ReadParameter(arg.substr(std::string_view("--param=").size()), texts);
  if (i + 1 >= argc) return "--param needs L=VALUE";
  return ReadParameter(argv[++i], texts);
}

bool IsParameterOption(std::string_view arg) {
  return arg == "--param" || arg.substr(0, 8) == "--param=";
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int first = 1;
  for (; first < argc && IsParameterOption(argv[first]); ++first) {
    const std::optional<std::string> problem = TakeParameter(argc, argv, first, options.parameters);
    if (problem) return BadUsage(*problem);
  }
  if (first < argc && IsMode(argv[first])) {
    return RunMode(argv[first], std::span<char* const>(argv + first + 1, argv + argc),
                   options.parameters);
  }
  bool optionsDone = false;
  for (int i = first; i < argc; ++i) {
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
    } else if (IsParameterOption(arg)) {
      const std::optional<std::string> problem = TakeParameter(argc, argv, i, options.parameters);
      if (problem) return BadUsage(*problem);
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
