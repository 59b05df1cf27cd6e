#include "app/History.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace funzioni {
namespace {

using Lines = std::vector<std::string>;

TEST(ShellHistoryLines, SplitsAtCarriageReturnsWithOptionalLineFeed) {
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"a.x+b\r\n", {"a.x+b"}},
      {"a.x+b\r\nSIN(x)", {"a.x+b", "SIN(x)"}},
      {"one\rtwo\r\n\r\nfour\r\n", {"one", "two", "", "four"}},
      {"lone\nfeed\r\nnext", {"lone\nfeed", "next"}},
      {"\n\r\n", {"\n"}},
      {"\r\n\r\n", {"", ""}},
      {"x^2 ' parabola\r\n", {"x^2 ' parabola"}},
      // 0x1A ends the file: at the start of a line, or in the middle of one.
      {"one\r\ntwo\r\n\x1Athree\r\nfour\r\n", {"one", "two"}},
      {"one\r\ntwo\r\nth\x1Aree\r\nfour\r\n", {"one", "two", "th"}},
      {"\x1A", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitHistoryLines(c.bytes), c.lines) << "bytes: " << c.bytes;
  }
}

TEST(ShellHistoryLines, PickedFormulaStopsAtTheFirstApostrophe) {
  EXPECT_EQ(FormulaOfHistoryLine("a.x^2+b 'parabola"), "a.x^2+b ");
  EXPECT_EQ(FormulaOfHistoryLine("x'a'b"), "x");
  EXPECT_EQ(FormulaOfHistoryLine("  SIN(x)  "), "  SIN(x)  ");
  EXPECT_EQ(FormulaOfHistoryLine("'only a comment"), "");
}

TEST(ShellHistoryAppend, AddsALineEndFirstOnlyWhenTheLastLineHasNone) {
  const std::map<std::string, std::string> cases = {
      {"", "s\r\n"},
      {"a\r\n", "s\r\n"},
      {"a\r", "s\r\n"},
      {"a", "\r\ns\r\n"},
      // A lone LF is an ordinary character of the last line: the line is still open.
      {"a\n", "\r\ns\r\n"},
  };
  for (const auto& [existing, appended] : cases) {
    EXPECT_EQ(HistoryAppendBytes(existing, "s"), appended) << "after: " << existing;
  }
}

class ShellHistoryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("funzioni-history-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    path_ = (directory_ / kHistoryFileName).string();
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::filesystem::path directory_;
  std::string path_;
};

TEST_F(ShellHistoryFile, AppendCreatesTheFileAndNeverRewritesIt) {
  EXPECT_FALSE(ReadFileBytes(path_).has_value());
  ASSERT_TRUE(AppendHistoryLine(path_, "a.x+b"));
  EXPECT_EQ(ReadFileBytes(path_), "a.x+b\r\n");
  ASSERT_TRUE(AppendHistoryLine(path_, "a.x+b"));
  ASSERT_TRUE(AppendHistoryLine(path_, ""));
  EXPECT_EQ(ReadFileBytes(path_), "a.x+b\r\na.x+b\r\n\r\n");
  EXPECT_EQ(SplitHistoryLines(*ReadFileBytes(path_)), (Lines{"a.x+b", "a.x+b", ""}));
}

TEST_F(ShellHistoryFile, AppendAfterAnEditorLeftNoFinalLineEndKeepsBothLines) {
  {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    std::fputs("x^2\r\nLOG10(x)", file);
    std::fclose(file);
  }
  ASSERT_TRUE(AppendHistoryLine(path_, "SIN(x)"));
  EXPECT_EQ(SplitHistoryLines(*ReadFileBytes(path_)), (Lines{"x^2", "LOG10(x)", "SIN(x)"}));
}

TEST_F(ShellHistoryFile, FailedAppendsAreReported) {
  EXPECT_FALSE(AppendHistoryLine("/dev/full", "x"));  // the disk is full
  std::filesystem::create_directories(path_);         // a directory where the file should be
  EXPECT_FALSE(AppendHistoryLine(path_, "x"));
  EXPECT_FALSE(AppendHistoryLine((directory_ / "missing" / "file.txt").string(), "x"));
}

TEST(ShellHistoryEditor, ChoosesTheConfiguredEditorThenTheDesktopOnes) {
  std::map<std::string, std::string> variables;
  std::vector<std::string> installed;
  EditorEnvironment environment;
  environment.getEnv = [&](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
  environment.isExecutable = [&](std::string_view program) {
    return std::find(installed.begin(), installed.end(), program) != installed.end();
  };

  EXPECT_EQ(ChooseEditorCommand("espressioni.txt", environment), "");
  installed = {"mousepad", "kate"};
  EXPECT_EQ(ChooseEditorCommand("espressioni.txt", environment), "kate --block espressioni.txt");
  installed = {"xedit"};
  EXPECT_EQ(ChooseEditorCommand("espressioni.txt", environment), "xedit espressioni.txt");
  variables["FUNZIONI_EDITOR"] = "";
  EXPECT_EQ(ChooseEditorCommand("espressioni.txt", environment), "xedit espressioni.txt");
  variables["FUNZIONI_EDITOR"] = "/bin/sh /tmp/edit.sh";
  EXPECT_EQ(ChooseEditorCommand("espressioni.txt", environment),
            "/bin/sh /tmp/edit.sh espressioni.txt");
  variables.clear();
  environment.windows = true;
  EXPECT_EQ(ChooseEditorCommand("espressioni.txt", environment), "notepad.exe espressioni.txt");
}

TEST(ShellHistoryEditor, FindsProgramsOnTheRealPath) {
  const EditorEnvironment environment = ProcessEditorEnvironment();
  EXPECT_TRUE(environment.isExecutable("sh"));
  EXPECT_FALSE(environment.isExecutable("no-such-editor-here"));
}

}  // namespace
}  // namespace funzioni
