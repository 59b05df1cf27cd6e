// The funzioni-eval command-line tool: results printed unchanged, one line per expression, the
// --x substitution, and its exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct ToolRun {
  std::string output;
  int status;
};

ToolRun RunTool(const std::string& arguments, const std::string& input) {
  const std::string command =
      "printf '%s' '" + input + "' | " FUNZIONI_EVAL_TOOL " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ToolRun run{"", -1};
  if (pipe == nullptr) return run;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(EvalTool, ReadsLinesFromStandardInput) {
  const ToolRun run = RunTool("", "SIN(30)\n1/0\n2+3\r\n");
  EXPECT_EQ(run.output, " .5\n   Error in Expression: Division by zero\n 5\n");
  EXPECT_EQ(run.status, 0);
}

TEST(EvalTool, TakesExpressionsAsArguments) {
  const ToolRun run = RunTool("'2^-1' '-2^2' 'X'", "");
  EXPECT_EQ(run.output,
            " .5\n 4\n   Error in Expression: Cannot understand this: X Please correct. \n");
  EXPECT_EQ(run.status, 0);
}

TEST(EvalTool, SubstitutesLowerCaseX) {
  EXPECT_EQ(RunTool("--x -3 '1-x^2'", "").output, "-8\n");
  EXPECT_EQ(RunTool("--x=0.05 'x*100'", "").output, " 5\n");  // " .05" * 100
  EXPECT_EQ(RunTool("--x 1.5", "x*2\nSIN(x)*0\n").output, " 3\n 0\n");
}

// The sampling modes print what the window computes; each sample line must be what evaluating the
// formula with that x gives.
TEST(EvalTool, SamplesTheTypedFormulaCurve) {
  const std::string failed = "   Error in Expression: LN or LOG <= 0\n";
  const ToolRun run = RunTool("--samples 10 700 'LOG(x)*2'", "");
  EXPECT_EQ(run.output, "-2\t" + failed + "-1.3\t" + failed + "-.6\t" + failed +
                            " .1\t-4.60517024993896484\n .8\t-.446287065744400024\n"
                            " 1.5\t .810930192470550537\n");
  EXPECT_EQ(RunTool("--x .8 'LOG(x)*2'", "").output, "-.446287065744400024\n");
  const ToolRun table = RunTool("--table 1 'x^2'", "");
  EXPECT_EQ(table.output, "x^2\n \n-0.2 ; 0.0\n-0.1 ; 0.0\n 0 ; 0\n 0.1 ; 0.0\n 0.2 ; 0.0\n");
  EXPECT_EQ(RunTool("--samples 1 'x'", "").status, 2);
  EXPECT_EQ(RunTool("--table abc 'x'", "").status, 2);
}

TEST(EvalTool, RefusesBadOptions) {
  EXPECT_EQ(RunTool("--y", "").status, 2);
  EXPECT_EQ(RunTool("--x", "").status, 2);
  EXPECT_EQ(RunTool("--x abc '1'", "").status, 2);
  EXPECT_EQ(RunTool("--help", "").status, 0);
}

// The study as tab-separated lines: kinds in order, no line for a kind with nothing; a formula
// without a value anywhere gives the range and one gap; bad usage is status 2.
TEST(EvalTool, PrintsTheStudyOfAFunction) {
  const ToolRun jump = RunTool("--study 10 'x/ABS(x)'", "");
  EXPECT_EQ(jump.output,
            "range\t-2\t2\ngap\t0\t0\nsign\t-2\t0\t-\nsign\t0\t2\t+\nparity\todd\n"
            "limit\t-inf\t-1\nlimit\t0-\t-1\nlimit\t0+\t1\nlimit\t+inf\t1\n"
            "asymptote-h\t-inf\t-1\nasymptote-h\t+inf\t1\n");
  EXPECT_EQ(jump.status, 0);
  const ToolRun refused = RunTool("--study 10 'x+'", "");
  EXPECT_EQ(refused.output, "range\t-2\t2\ngap\t-2\t2\n");
  EXPECT_EQ(refused.status, 0);
  const ToolRun cubic = RunTool("--study 10 'x^3-x'", "");
  EXPECT_NE(cubic.output.find("\nzero\t-1\tcrossing\nzero\t0\tcrossing\nzero\t1\tcrossing\n"
                              "max\t-0.5773503\t0.3849002\nmin\t0.5773503\t-0.3849002\n"
                              "inflection\t0\t0\nsign\t-2\t-1\t-\n"),
            std::string::npos)
      << cubic.output;
  EXPECT_EQ(RunTool("--study 10", "").status, 2);
  EXPECT_EQ(RunTool("--study ten 'x'", "").status, 2);
}

// The tangent, the integral and the intersections as tab-separated lines against their closed
// forms; bad usage is status 2.
TEST(EvalTool, PrintsTangentsIntegralsAndIntersections) {
  EXPECT_EQ(RunTool("--tangent 2 'x^2'", "").output, "tangent\t2\t4\t4\t-4\n");
  EXPECT_EQ(RunTool("--tangent 1 'ABS(x-1)'", "").output, "corner\t1\t0\t-1\t1\n");
  EXPECT_EQ(RunTool("--tangent 0 '(x^2)^(1/3)'", "").output, "corner\t0\t0\t-inf\t+inf\n");
  EXPECT_EQ(RunTool("--tangent 0 '1/x'", "").output, "none\t0\tno value\n");
  const ToolRun integral = RunTool("--integral 0 2 'x^2-1'", "");
  EXPECT_EQ(integral.status, 0);
  EXPECT_EQ(integral.output.rfind("integral\t0\t2\t0.6666667\t", 0), 0u) << integral.output;
  EXPECT_NE(integral.output.find("\narea\t0\t2\t2\t"), std::string::npos) << integral.output;
  EXPECT_EQ(RunTool("--integral -1 2 '1/x'", "").output.rfind("none\t-1\t2\tpole at ", 0), 0u);
  EXPECT_EQ(RunTool("--intersections 10 'x^2' 'x'", "").output,
            "intersection\t0\t0\tcrossing\nintersection\t1\t1\tcrossing\n");
  EXPECT_EQ(RunTool("--intersections 10 'x^2' '0'", "").output, "intersection\t0\t0\ttouching\n");
  EXPECT_EQ(RunTool("--tangent 'x^2'", "").status, 2);
  EXPECT_EQ(RunTool("--integral 0 one 'x'", "").status, 2);
  EXPECT_EQ(RunTool("--intersections 0 'x' 'x^2'", "").status, 2);
}

// --view before --samples or --table: the samples counted from XMIN (0.05 apart at step 50
// within the seed views' widths), the table at the multiples of a degree step for an angle
// function (15 degrees for 3600 degrees), the seed's own rectangle exactly as without it.
TEST(EvalTool, SamplesAndTabulatesAView) {
  const ToolRun samples = RunTool("--view -1 1 -1 1 --samples 50 50 'x'", "");
  EXPECT_EQ(samples.status, 0);
  EXPECT_EQ(samples.output.rfind("-1\t-1\n-.95\t-.949", 0), 0u);
  EXPECT_NE(samples.output.find("\n 0\t 0\n"), std::string::npos);
  EXPECT_EQ(samples.output.substr(samples.output.size() - 6), " 1\t 1\n");
  const ToolRun sine = RunTool("--view -1800 1800 -2 2 --table 50 'SIN(x)'", "");
  EXPECT_EQ(sine.output.substr(0, 51), "SIN(x)\n \n-1800.0 ; 0.0\n-1785.0 ; 0.3\n-1770.0 ; 0.5\n");
  EXPECT_NE(sine.output.find("\n-1710.0 ; 1.0\n"), std::string::npos);  // sin 90
  EXPECT_EQ(std::count(sine.output.begin(), sine.output.end(), '\n'), 2 + 241);
  EXPECT_EQ(RunTool("--view -10 10 -10 10 --table 50 'x^2'", "").output,
            RunTool("--table 50 'x^2'", "").output);
  EXPECT_EQ(RunTool("--view 1 -1 -1 1 --table 50 'x'", "").status, 2);
  EXPECT_EQ(RunTool("--view -1 1 -1 nan --table 50 'x'", "").status, 2);
  EXPECT_EQ(RunTool("--view -1 1 -1 1 --tangent 0 'x'", "").status, 2);
  EXPECT_EQ(RunTool("--view -1 1 -1 1", "").status, 2);
}

// The numbers of the study's lines of one kind, each line's fields after the kind.
std::vector<std::vector<double>> Fields(const std::string& output, const std::string& kind) {
  std::vector<std::vector<double>> lines;
  std::size_t at = 0;
  while (at < output.size()) {
    const std::size_t end = output.find('\n', at);
    const std::string line = output.substr(at, end - at);
    at = end == std::string::npos ? output.size() : end + 1;
    if (line.rfind(kind + '\t', 0) != 0) continue;
    std::vector<double> numbers;
    for (std::size_t field = kind.size(); field != std::string::npos;
         field = line.find('\t', field + 1)) {
      numbers.push_back(std::strtod(line.c_str() + field + 1, nullptr));
    }
    lines.push_back(numbers);
  }
  return lines;
}

struct ViewStudyRow {
  const char* name;
  const char* arguments;
  std::vector<double> range;
  std::vector<std::vector<double>> zeros;  // x, then the kind's word reads as 0
  std::vector<std::vector<double>> maxima;
  std::vector<std::vector<double>> minima;
  double yIntercept;  // f(0), wherever the view lies
};

// --view before --study: the study of the view's x range, its points against their closed forms
// (to a thousandth of the half width).
TEST(EvalTool, StudiesAView) {
  const std::vector<ViewStudyRow> rows{
      {"parabola",
       "--view -3 5 -2 10 --study 10 'x^2-1'",
       {-3, 5},
       {{-1, 0}, {1, 0}},
       {},
       {{0, -1}},
       -1},
      {"zero out of view", "--view 0.5 4 -1 15 --study 10 'x^2-1'", {0.5, 4}, {{1, 0}}, {}, {}, -1},
      {"sine far out",
       "--view 1000 1400 -2 2 --study 10 'SIN(x)'",
       {1000, 1400},
       {{1080, 0}, {1260, 0}},
       {{1170, 1}},
       {{1350, -1}},
       0},
  };
  for (const ViewStudyRow& row : rows) {
    const ToolRun run = RunTool(row.arguments, "");
    EXPECT_EQ(run.status, 0) << row.name;
    const double tolerance = 1e-3 * (row.range[1] - row.range[0]) / 2;
    const auto same = [&](const std::vector<std::vector<double>>& found,
                          const std::vector<std::vector<double>>& wanted) {
      ASSERT_EQ(found.size(), wanted.size()) << row.name << '\n' << run.output;
      for (std::size_t i = 0; i < wanted.size(); ++i) {
        EXPECT_NEAR(found[i][0], wanted[i][0], tolerance) << row.name;
        EXPECT_NEAR(found[i][1], wanted[i][1], 1e-5) << row.name;
      }
    };
    ASSERT_EQ(Fields(run.output, "range").size(), 1u) << row.name;
    EXPECT_EQ(Fields(run.output, "range")[0], row.range) << row.name;
    same(Fields(run.output, "zero"), row.zeros);
    same(Fields(run.output, "max"), row.maxima);
    same(Fields(run.output, "min"), row.minima);
    EXPECT_EQ(Fields(run.output, "y-intercept"), std::vector<std::vector<double>>{{row.yIntercept}})
        << row.name;
  }
  // y moved alone leaves the seed's x range: the seed's study, byte for byte.
  EXPECT_EQ(RunTool("--view -2 2 -3 7 --study 10 'x^3-x'", "").output,
            RunTool("--study 10 'x^3-x'", "").output);
  EXPECT_EQ(RunTool("--view -1 1 -1 1 --study 10", "").status, 2);
}

// --view before --intersections: only the meetings in the view's x range.
TEST(EvalTool, IntersectsInAView) {
  EXPECT_EQ(RunTool("--view 0.5 4 -1 15 --intersections 10 'x^2' 'x'", "").output,
            "intersection\t1\t1\tcrossing\n");
  EXPECT_EQ(RunTool("--view 20 40 -1 1 --intersections 10 'x-30' '0'", "").output,
            "intersection\t30\t0\tcrossing\n");
}

}  // namespace
