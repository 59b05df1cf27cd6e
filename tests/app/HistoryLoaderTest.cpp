// The history read on a thread of its own and handed out in runs: every line once, in order, from
// the file of the latest Start only, and never a wait on a fixed time (the reading thread's wake
// is waited for).
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "app/HistoryLoading.h"

namespace funzioni {
namespace {

using Lines = std::vector<std::string>;

// Counts the reading thread's wakes, as the window's event loop would receive them.
class Wakes {
 public:
  std::function<void()> Callback() {
    return [this] {
      const std::lock_guard lock(mutex_);
      ++count_;
      changed_.notify_all();
    };
  }
  void WaitFor(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return count_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
};

class HistoryLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("funzioni-loader-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const Lines& lines) {
    const std::filesystem::path path = folder_ / name;
    std::ofstream file(path, std::ios::binary);
    for (const std::string& line : lines) file << line << "\r\n";
    return path.string();
  }

  std::filesystem::path folder_;
};

Lines Numbered(const std::string& prefix, int count) {
  Lines lines;
  for (int i = 0; i < count; ++i) lines.push_back(prefix + std::to_string(i));
  return lines;
}

// Every run the loader hands out after its wake, joined, and how many runs it took.
struct Handed {
  Lines lines;
  int runs = 0;
};
Handed TakeAll(HistoryLoader& loader) {
  Handed handed;
  while (!loader.TakeFinished()) {
    const std::span<const std::string> run = loader.NextLines();
    if (run.empty()) continue;
    handed.lines.insert(handed.lines.end(), run.begin(), run.end());
    ++handed.runs;
  }
  return handed;
}

TEST_F(HistoryLoaderTest, HandsOutEveryLineInOrderInRunsOfAFewThousand) {
  struct Case {
    const char* name;
    int lines;
    int runs;
  };
  const int perTurn = static_cast<int>(kHistoryLinesPerTurn);
  const Case cases[] = {
      {"one line", 1, 1},
      {"one run exactly", perTurn, 1},
      {"one line over a run", perTurn + 1, 2},
      {"many runs", 5 * perTurn + 7, 6},
  };
  for (const Case& c : cases) {
    const Lines lines = Numbered("x^", c.lines);
    HistoryLoader loader;
    Wakes wakes;
    loader.Start(Write("espressioni.txt", lines), wakes.Callback());
    wakes.WaitFor(1);
    const Handed handed = TakeAll(loader);
    EXPECT_EQ(handed.lines, lines) << c.name;
    EXPECT_EQ(handed.runs, c.runs) << c.name;
    EXPECT_FALSE(loader.Loading()) << c.name;
  }
}

TEST_F(HistoryLoaderTest, LongLinesGoInRunsOfBoundedSize) {
  // Lines of thousands of characters would make a run the list takes long to show.
  const std::string wide(kHistoryBytesPerTurn / 4, 'x');
  const std::string huge(kHistoryBytesPerTurn * 3, 'y');
  struct Case {
    const char* name;
    Lines lines;
    int runs;
  };
  const Case cases[] = {
      {"four wide lines fill a run", Lines(4, wide), 1},
      {"nine wide lines", Lines(9, wide), 3},
      {"a line over the bound goes alone", {"x^2", huge, "x^3", huge}, 4},
  };
  for (const Case& c : cases) {
    HistoryLoader loader;
    Wakes wakes;
    loader.Start(Write("espressioni.txt", c.lines), wakes.Callback());
    wakes.WaitFor(1);
    const Handed handed = TakeAll(loader);
    EXPECT_EQ(handed.lines, c.lines) << c.name;
    EXPECT_EQ(handed.runs, c.runs) << c.name;
  }
}

TEST_F(HistoryLoaderTest, AnEmptyOrMissingFileFinishesWithNoLine) {
  for (const std::string& path : {Write("empty.txt", {}), (folder_ / "missing.txt").string()}) {
    HistoryLoader loader;
    Wakes wakes;
    loader.Start(path, wakes.Callback());
    wakes.WaitFor(1);
    EXPECT_TRUE(TakeAll(loader).lines.empty()) << path;
  }
}

TEST_F(HistoryLoaderTest, ANewStartDropsTheEarlierReadAndItsLines) {
  const Lines first = Numbered("first ", 3 * static_cast<int>(kHistoryLinesPerTurn));
  const Lines second = Numbered("second ", 10);
  HistoryLoader loader;
  Wakes wakes;
  loader.Start(Write("first.txt", first), wakes.Callback());
  wakes.WaitFor(1);
  ASSERT_FALSE(loader.NextLines().empty());  // part of the first file handed out
  loader.Start(Write("second.txt", second), wakes.Callback());
  wakes.WaitFor(2);
  EXPECT_EQ(TakeAll(loader).lines, second);
}

TEST_F(HistoryLoaderTest, AStoppedReadHandsOutNothingAndEndsWithItsLoader) {
  const std::string path = Write("big.txt", Numbered("line ", 50000));
  Wakes wakes;
  {
    HistoryLoader loader;
    loader.Start(path, wakes.Callback());
    loader.Stop();  // the read may still be under way: its thread is kept, not waited for
    EXPECT_FALSE(loader.Loading());
    EXPECT_TRUE(loader.NextLines().empty());
    EXPECT_FALSE(loader.TakeFinished());
  }  // the loader's end waits for the thread it kept
  wakes.WaitFor(1);
}

}  // namespace
}  // namespace funzioni
