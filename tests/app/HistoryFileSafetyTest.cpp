// The history file under hostile conditions: any bytes, huge files, a directory or a pipe in its
// place, no permission, no current directory. Reading gives lines or nothing, appending succeeds
// or says it failed, and an append never changes a byte that was already there.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/History.h"

namespace funzioni {
namespace {

using Lines = std::vector<std::string>;

class ShellHistorySafety : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("funzioni-history-safety-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    path_ = (directory_ / kHistoryFileName).string();
  }
  void TearDown() override {
    std::filesystem::permissions(directory_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
    std::filesystem::remove_all(directory_);
  }

  void Write(const std::string& bytes) const {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string Contents() const { return ReadFileBytes(path_).value_or("<unreadable>"); }

  std::filesystem::path directory_;
  std::string path_;
};

// Runs the check in a child process without the administrator's rights (as "nobody" when the
// tests run as root), so that file permissions apply. Nothing when the rights cannot be dropped.
std::optional<bool> WithoutPrivileges(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  constexpr int kCannotDrop = 2;
  const pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(kCannotDrop);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return false;
  if (WEXITSTATUS(status) == kCannotDrop) return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

TEST_F(ShellHistorySafety, LinesOfAnyBytesReadBackUnchanged) {
  const std::string megabyteLine(1 << 20, 'x');
  const std::string everyByte = [] {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
      if (b != '\r' && b != 0x1A) bytes += static_cast<char>(b);
    }
    return bytes;
  }();
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const std::vector<Case> cases = {
      {std::string("a\0b\r\n\0\r\n", 8), {std::string("a\0b", 3), std::string(1, '\0')}},
      {"\xC3\x28 \xFF\xFE\r\n\xE2\x82\r\n", {"\xC3\x28 \xFF\xFE", "\xE2\x82"}},
      {everyByte + "\r\n" + everyByte, {everyByte, everyByte}},
      {megabyteLine + "\r\nSIN(x)", {megabyteLine, "SIN(x)"}},
      {"\x1A" + megabyteLine, {}},
  };
  for (const Case& c : cases) {
    Write(c.bytes);
    EXPECT_EQ(SplitHistoryLines(Contents()), c.lines) << "bytes: " << c.bytes.substr(0, 40);
    // Appending keeps every byte that was there and adds the formula as the last line.
    ASSERT_TRUE(AppendHistoryLine(path_, "x^2"));
    const std::string after = Contents();
    EXPECT_EQ(after.substr(0, c.bytes.size()), c.bytes);
    if (c.bytes.find('\x1A') == std::string::npos) {
      Lines expected = c.lines;
      expected.push_back("x^2");
      EXPECT_EQ(SplitHistoryLines(after), expected);
    }
  }
}

TEST_F(ShellHistorySafety, AHundredThousandLinesReadAndGrowByOne) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += "SIN(x)*" + std::to_string(i) + "\r\n";
  Write(bytes);
  const Lines lines = SplitHistoryLines(Contents());
  ASSERT_EQ(lines.size(), 100000u);
  EXPECT_EQ(lines.back(), "SIN(x)*99999");
  ASSERT_TRUE(AppendHistoryLine(path_, "LOG10(x)+1"));
  EXPECT_EQ(Contents(), bytes + "LOG10(x)+1\r\n");
}

TEST_F(ShellHistorySafety, AnEndOfFileMarkHidesLaterAppendsButKeepsThem) {
  // A file ended the old way, with 0x1A: the new line is stored after it, where the reader
  // does not look; nothing before it is touched.
  Write("a.x+b\r\n\x1A");
  ASSERT_TRUE(AppendHistoryLine(path_, "x^2"));
  EXPECT_EQ(Contents(), "a.x+b\r\n\x1A\r\nx^2\r\n");
  EXPECT_EQ(SplitHistoryLines(Contents()), Lines{"a.x+b"});
}

TEST_F(ShellHistorySafety, NoFileInPlaceGivesNothingAndAFailedAppend) {
  std::filesystem::create_directories(path_);
  EXPECT_FALSE(ReadFileBytes(path_).has_value());
  EXPECT_FALSE(AppendHistoryLine(path_, "x"));
  std::filesystem::remove(path_);

  // A pipe of that name has no end and, without a reader, takes no line: neither call waits.
  ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
  EXPECT_FALSE(ReadFileBytes(path_).has_value());
  EXPECT_FALSE(AppendHistoryLine(path_, "x"));
}

TEST_F(ShellHistorySafety, PermissionsAreRespected) {
  using std::filesystem::perms;
  Write("a.x+b\r\n");
  std::filesystem::permissions(path_, perms::owner_read | perms::group_read | perms::others_read);
  // A read-only file is read but not appended to.
  const auto readOnly = WithoutPrivileges(
      [&] { return ReadFileBytes(path_) == "a.x+b\r\n" && !AppendHistoryLine(path_, "x^2"); });
  if (!readOnly.has_value()) GTEST_SKIP() << "cannot give up the administrator's rights";
  EXPECT_TRUE(*readOnly);
  EXPECT_EQ(Contents(), "a.x+b\r\n");

  std::filesystem::permissions(path_, perms::none);
  EXPECT_EQ(WithoutPrivileges([&] { return !ReadFileBytes(path_).has_value(); }), true);

  // A directory that nobody may write to: the file cannot be created.
  std::filesystem::remove(path_);
  std::filesystem::permissions(directory_,
                               perms::owner_read | perms::owner_exec | perms::others_exec);
  EXPECT_EQ(WithoutPrivileges([&] { return !AppendHistoryLine(path_, "x"); }), true);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(ShellHistorySafety, MissingCurrentDirectory) {
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::filesystem::path gone = directory_ / "gone";
  std::filesystem::create_directories(gone);
  ASSERT_EQ(::chdir(gone.c_str()), 0);
  std::filesystem::remove(gone);
  const std::string name(kHistoryFileName);
  const bool read = ReadFileBytes(name).has_value();
  const bool appended = AppendHistoryLine(name, "x");
  ASSERT_EQ(::chdir(previous.c_str()), 0);
  EXPECT_FALSE(read);
  EXPECT_FALSE(appended);
}

TEST(ShellHistoryAppendBytes, FoundByTheFuzzer) {
  // A formula starting with LF after a file ending in a lone CR kept its LF.
  EXPECT_EQ(SplitHistoryLines("a\r" + HistoryAppendBytes("a\r", "\nb")), (Lines{"a", "\nb"}));
}

}  // namespace
}  // namespace funzioni
