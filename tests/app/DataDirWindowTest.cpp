// A menu-started grapher (--data-dir) keeps its history in its data directory, and one whose
// data directory cannot be made still opens and says, as anywhere else, that a line was not saved.
#include <filesystem>
#include <fstream>

#include "ShellFixture.h"
#include "app/CommandLine.h"

namespace funzioni::testing {
namespace {

class ShellDataDirectory : public ShellFixture {};

TEST_F(ShellDataDirectory, EnterAppendsThereAndNowhereElse) {
  const std::filesystem::path data = DataDirectory((directory_ / "xdg").c_str(), "/nowhere");
  ASSERT_EQ(EnterDataDirectory(data), std::nullopt);
  Start();
  Type("x^2");
  Key(Qt::Key_Return);
  std::ifstream in(data / "espressioni.txt", std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(written, "x^2\r\n");
  EXPECT_FALSE(std::filesystem::exists(directory_ / "espressioni.txt"));
}

TEST_F(ShellDataDirectory, ThatCannotBeMadeLeavesTheWindowWorkingAndSavesNothing) {
  std::ofstream(directory_ / "xdg") << "a file, not a directory";
  const std::filesystem::path data = DataDirectory((directory_ / "xdg").c_str(), "/nowhere");
  EXPECT_TRUE(EnterDataDirectory(data).has_value());
  MainWindow& shell = Start();
  Type("x^2");
  Key(Qt::Key_Return);
  EXPECT_EQ(shell.state().currentFormula, "x^2");
  EXPECT_GT(CountPixels(kPlotAreaId, kYellowDot), 10);
  EXPECT_EQ(shell.helpText(), kHistoryNotSavedText);
  EXPECT_FALSE(std::filesystem::exists(directory_ / "espressioni.txt"));
}

}  // namespace
}  // namespace funzioni::testing
