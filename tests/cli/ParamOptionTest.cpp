// funzioni-eval --param: every mode gives what the same formula with the value written in place
// of the letter gives, and bad settings are refused with status 2.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace {

struct ToolRun {
  std::string output;
  int status;
};

// arguments are single-quoted by the caller where the shell needs it.
ToolRun RunTool(const std::string& arguments, const std::string& input = "") {
  const std::string command =
      "printf '%s' '" + input + "' | " FUNZIONI_EVAL_TOOL " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ToolRun run{"", -1};
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

struct ModeCase {
  std::string_view name;
  std::string_view withLetters;  // the --param options, the mode and its formulas
  std::string_view written;      // the same mode with the values written in place of the letters
};

// Positive and negative values (against a minus sign too), two letters, a letter inside a
// function's argument, a formula that uses no letter, and the two formulas of --intersections.
constexpr ModeCase kModeCases[] = {
    {"samples", "--param k=3 --samples 10 100 '-x^3+k*x+9'", "--samples 10 100 '-x^3+3*x+9'"},
    {"samples negative", "--param k=-2.5 --samples 10 100 'x^3-k*x'",
     "--samples 10 100 'x^3--2.5*x'"},
    {"table", "--param k=-3 --table 10 '-x^3+k*x+9'", "--table 10 '-x^3+-3*x+9'"},
    {"table two letters", "--param a=2 --param=b=-1 --table 5 '(a*x^3+b)/x^2'",
     "--table 5 '(2*x^3+-1)/x^2'"},
    {"study", "--param k=3 --study 20 '-x^3+k*x+9'", "--study 20 '-x^3+3*x+9'"},
    {"study in a function", "--param a=0.5 --study 20 'SIN(a*x)'", "--study 20 'SIN(0.5*x)'"},
    {"tangent", "--param m=2 --tangent 1 'm*x^2'", "--tangent 1 '2*x^2'"},
    {"integral", "--param n=4 --integral 0 2 'n*x'", "--integral 0 2 '4*x'"},
    {"intersections", "--param k=1 --param c=-1 --intersections 20 'x^2-k' 'c*x+1'",
     "--intersections 20 'x^2-1' '-1*x+1'"},
    {"view", "--param k=2 --view -3 3 -5 5 --table 10 'k*x'", "--view -3 3 -5 5 --table 10 '2*x'"},
    {"no letter", "--param k=3 --table 10 'x^2+2'", "--table 10 'x^2+2'"},
};

TEST(ParamOption, EachModeGivesTheFormulaWithTheValueWrittenIn) {
  for (const ModeCase& c : kModeCases) {
    const ToolRun expected = RunTool(std::string(c.written));
    const ToolRun run = RunTool(std::string(c.withLetters));
    EXPECT_EQ(expected.status, 0) << c.name;
    EXPECT_FALSE(expected.output.empty()) << c.name;
    // Byte for byte, the formula line of --table included.
    EXPECT_EQ(run.output, expected.output) << c.name;
    EXPECT_EQ(run.status, 0) << c.name;
  }
}

TEST(ParamOption, EvaluatesExpressionsWithTheValues) {
  // -x^3 + k*x + 9 at x = 2, k = 3: -8 + 6 + 9 = 7.
  EXPECT_EQ(RunTool("--param k=3 --x 2 '-x^3+k*x+9'").output, " 7\n");
  EXPECT_EQ(RunTool("--param k=3 --x 2", "-x^3+k*x+9\nk*k\n").output, " 7\n 9\n");
  // The last value of a letter given twice; 2k is no parameter (the evaluator refuses it).
  EXPECT_EQ(RunTool("--param k=1 --param k=5 'k+1'").output, " 6\n");
  EXPECT_EQ(RunTool("--param k=5 '2k'").output,
            "   Error in Expression: Cannot understand this: K Please correct. \n");
  // A letter given no value stays a letter.
  EXPECT_EQ(RunTool("--param k=5 'k+a'").output,
            "   Error in Expression: Cannot understand this: A Please correct. \n");
}

TEST(ParamOption, RefusesBadSettings) {
  constexpr std::string_view kBad[] = {
      "--param",
      "--param k",
      "--param k=",
      "--param x=1 'x'",
      "--param d=1 'd'",
      "--param K=1 'K'",
      "--param kk=1 'k'",
      "--param k=abc 'k'",
      "--param 'k=1)+(2' 'k'",
      "--param k=1 --param --table 1 x",
      "--param=k 'k'",
  };
  for (const std::string_view arguments : kBad) {
    EXPECT_EQ(RunTool(std::string(arguments)).status, 2) << arguments;
  }
  EXPECT_EQ(RunTool("--param k=2 --table 1").status, 2);  // the mode's own usage
}

}  // namespace
