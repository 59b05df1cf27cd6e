// The grapher's command line and its data directory.
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include <unistd.h>

#include "app/CommandLine.h"

namespace funzioni {
namespace {

using Action = ProgramOptions::Action;

TEST(CommandLineTest, OptionsAndTheirMistakes) {
  struct Case {
    std::vector<std::string_view> arguments;
    Action action;
    bool dataDir;
    std::string_view problem;
  };
  const Case cases[] = {
      {{}, Action::Run, false, ""},
      {{"--data-dir"}, Action::Run, true, ""},
      {{"--data-dir", "--help"}, Action::Help, true, ""},
      {{"--version", "--bogus"}, Action::Version, false, ""},
      {{"-platform", "xcb", "-reverse", "--data-dir"}, Action::Run, true, ""},
      {{"-style", "fusion", "-session", "abc"}, Action::Run, false, ""},
      {{"--bogus"}, Action::BadUsage, false, "unknown option --bogus"},
      {{"-x"}, Action::BadUsage, false, "unknown option -x"},
      {{"espressioni.txt"}, Action::BadUsage, false, "unexpected argument espressioni.txt"},
      {{"-platform"}, Action::BadUsage, false, "-platform needs a value"},
      {{"--data-dir=/tmp"}, Action::BadUsage, false, "unknown option --data-dir=/tmp"},
  };
  for (const Case& c : cases) {
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    const std::string shown = c.arguments.empty() ? "(none)" : std::string(c.arguments[0]);
    EXPECT_EQ(options.action, c.action) << shown;
    EXPECT_EQ(options.problem, c.problem) << shown;
    if (c.action == Action::Run) {
      EXPECT_EQ(options.useDataDir, c.dataDir) << shown;
    }
  }
  EXPECT_EQ(ProgramVersionLine().rfind("funzioni ", 0), 0u);
  EXPECT_EQ(ProgramUsage().rfind("Usage: funzioni [--data-dir]\n", 0), 0u);
}

TEST(CommandLineTest, WorksheetLink) {
  struct Case {
    std::string_view name;
    std::vector<std::string_view> arguments;
    std::string_view sheet;
    std::string_view problem;
  };
  const Case cases[] = {
      {"named", {"--sheet", "#f=x"}, "#f=x", ""},
      {"a whole address",
       {"https://a.example/funzioni.html#f=x"},
       "https://a.example/funzioni.html#f=x",
       ""},
      {"bare, beside other options", {"--data-dir", "#f=x", "--lang", "de"}, "#f=x", ""},
      // Refusing a malformed one is the window's: it says so in its own language.
      {"malformed, left to the window", {"--sheet", "#zzz"}, "#zzz", ""},
      {"missing value", {"--sheet"}, "", "--sheet needs a link"},
      {"empty value", {"--sheet", ""}, "", "--sheet needs a link"},
      {"two links", {"#f=x", "--sheet", "#f=y"}, "", "only one worksheet link may be given"},
      {"no # is no link", {"f=x"}, "", "unexpected argument f=x"},
      {"an option with # is no link", {"--bogus#"}, "", "unknown option --bogus#"},
  };
  for (const Case& c : cases) {
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    EXPECT_EQ(options.problem, c.problem) << c.name;
    EXPECT_EQ(options.action, c.problem.empty() ? Action::Run : Action::BadUsage) << c.name;
    if (c.problem.empty()) {
      EXPECT_EQ(options.sheet, c.sheet) << c.name;
    }
  }
}

TEST(CommandLineTest, LanguageOption) {
  struct Case {
    std::string_view name;
    std::vector<std::string_view> arguments;
    std::optional<Language> language;  // nothing: no choice, or bad usage when problem is set
    std::string_view problem;
  };
  const Case cases[] = {
      {"none", {"--data-dir"}, std::nullopt, ""},
      {"German", {"--lang", "de"}, Language::German, ""},
      {"Slovene after the data dir", {"--data-dir", "--lang", "sl"}, Language::Slovene, ""},
      {"Italian", {"--lang", "it"}, Language::Italian, ""},
      {"last one wins", {"--lang", "de", "--lang", "sl"}, Language::Slovene, ""},
      {"missing value", {"--lang"}, std::nullopt, "--lang needs a value: it, de or sl"},
      {"unknown code", {"--lang", "fr"}, std::nullopt, "--lang takes it, de or sl, not fr"},
      {"locale name", {"--lang", "de_DE"}, std::nullopt, "--lang takes it, de or sl, not de_DE"},
      {"option as value",
       {"--lang", "--data-dir"},
       std::nullopt,
       "--lang takes it, de or sl, not --data-dir"},
  };
  for (const Case& c : cases) {
    const ProgramOptions options = ParseProgramOptions(c.arguments);
    EXPECT_EQ(options.problem, c.problem) << c.name;
    EXPECT_EQ(options.action, c.problem.empty() ? Action::Run : Action::BadUsage) << c.name;
    if (c.problem.empty()) {
      EXPECT_EQ(options.language, c.language) << c.name;
    }
  }
  EXPECT_NE(ProgramUsage().find("--lang it|de|sl"), std::string_view::npos);
}

TEST(CommandLineTest, DataDirectoryFollowsTheDesktopsRules) {
  EXPECT_EQ(DataDirectory("/x/data", "/home/a"), "/x/data/funzioni");
  EXPECT_EQ(DataDirectory(nullptr, "/home/a"), "/home/a/.local/share/funzioni");
  EXPECT_EQ(DataDirectory("", "/home/a"), "/home/a/.local/share/funzioni");
  EXPECT_EQ(DataDirectory("relative", "/home/a"), "/home/a/.local/share/funzioni");
  EXPECT_EQ(DataDirectory(nullptr, nullptr), "");
  EXPECT_EQ(DataDirectory(nullptr, ""), "");
}

class DataDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_ = std::filesystem::current_path();
    root_ =
        std::filesystem::temp_directory_path() / ("funzioni-datadir-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    std::filesystem::current_path(root_);
  }
  void TearDown() override {
    std::filesystem::current_path(start_);
    std::filesystem::remove_all(root_);
  }
  std::filesystem::path start_;
  std::filesystem::path root_;
};

TEST_F(DataDirectoryTest, IsCreatedAndEntered) {
  const std::filesystem::path wanted = root_ / "data" / "funzioni";
  EXPECT_EQ(EnterDataDirectory(wanted), std::nullopt);
  EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), wanted));
  EXPECT_EQ(EnterDataDirectory(wanted), std::nullopt) << "a second start finds it there";
}

TEST_F(DataDirectoryTest, ThatCannotBeMadeIsReportedAndNothingIsWrittenAnywhere) {
  std::ofstream(root_ / "file") << "a file where a directory should be";
  for (const std::filesystem::path& wanted :
       {root_ / "file" / "funzioni", std::filesystem::path()}) {
    std::filesystem::current_path(root_);
    const std::optional<std::string> problem = EnterDataDirectory(wanted);
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find("cannot use the data directory"), std::string::npos) << *problem;
    EXPECT_FALSE(std::ofstream("espressioni.txt", std::ios::app).good());
    EXPECT_FALSE(std::filesystem::exists(root_ / "espressioni.txt"));
  }
}

}  // namespace
}  // namespace funzioni
