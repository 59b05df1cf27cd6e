// The page's text editor: the file's bytes through the text area and back, and the dialog held
// while the editor is open, its end reported as a waited-for program's.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "FakePage.h"
#include "drawing/DialogServices.h"
#include "drawing/web/EditorText.h"
#include "drawing/web/PageBridge.h"
#include "drawing/web/PageEditor.h"
#include "drawing/web/PageText.h"

namespace funzioni {
namespace {

using web::EditorAction;
using web::EditorBytesOf;
using web::EditorTextOf;
using web::testing::FireTimeouts;
using web::testing::Page;

TEST(EditorTextTest, TheFileShowsAsTheListsReadIt) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string text;
  };
  const Row rows[] = {
      {"empty", "", ""},
      {"CR LF lines", "x^2\r\nsin(x)\r\n", "x^2\nsin(x)\n"},
      {"last line without an end", "x\r\nx^2", "x\nx^2"},
      {"lone CR and lone LF", "a\rb\nc", "a\nb\nc"},
      {"Windows code page", "x 'pi\xF9 \x80\r\n", "x 'pi\xC3\xB9 \xE2\x82\xAC\n"},
      {"UTF-8", "x 'pi\xC3\xB9\r\n", "x 'pi\xC3\xB9\n"},
      {"each line on its own", "\xC3\xB9\r\n\xF9\r\n", "\xC3\xB9\n\xC3\xB9\n"},
      {"no byte lost", std::string("\x81\x1A\0z", 4), std::string("\xC2\x81\x1A\0z", 5)},
  };
  for (const Row& row : rows) EXPECT_EQ(EditorTextOf(row.bytes), row.text) << row.name;
}

TEST(EditorTextTest, AnUnchangedTextKeepsEveryByte) {
  const std::string files[] = {
      "x^2\r\nsin(x)\r\n",
      "a\rb\nc\r\n\r\nd",
      std::string("pi\xF9\r\n\x81\x8D\x8F\x90\x9D\r\n\x1A trailing\r", 24),
      "x 'pi\xC3\xB9\r\nx 'pi\xF9\r\n",
      "\n\n\r\r\n",
  };
  for (const std::string& bytes : files) {
    EXPECT_EQ(EditorBytesOf(bytes, EditorTextOf(bytes)), bytes) << bytes;
  }
}

TEST(EditorTextTest, AnEditedTextKeepsTheBytesOfLinesLeftAlone) {
  struct Row {
    const char* name;
    std::string original;
    std::string text;
    std::string bytes;
  };
  const Row rows[] = {
      {"a line added", "x\r\nx^2\r\n", "x\nx^2\nx^3\n", "x\r\nx^2\r\nx^3\r\n"},
      {"a line removed, no end kept", "x\r\nx^2", "x^2", "x^2"},
      {"lone ends become CR LF", "a\rb\nc", "a\nb\nc\nd\n", "a\r\nb\r\nc\r\nd\r\n"},
      {"UTF-8 line kept as it was", "pi\xC3\xB9\r\n", "pi\xC3\xB9\nx\n", "pi\xC3\xB9\r\nx\r\n"},
      {"new accented line in the code page", "", "caff\xC3\xA8\n", "caff\xE8\r\n"},
      {"outside the code page: UTF-8", "", "\xE2\x88\x9A x\n", "\xE2\x88\x9A x\r\n"},
      // In the code page these bytes would read back as UTF-8, as another text.
      {"code page bytes that read as UTF-8", "", "\xC3\x83\xC2\xA8\n", "\xC3\x83\xC2\xA8\r\n"},
  };
  for (const Row& row : rows) {
    const std::string bytes = EditorBytesOf(row.original, row.text);
    EXPECT_EQ(bytes, row.bytes) << row.name;
    EXPECT_EQ(EditorTextOf(bytes), row.text) << row.name << ": the list reads what was typed";
  }
}

// The same text twice, in UTF-8 and in the Windows code page: only where a line stands tells
// which bytes are its own.
constexpr std::string_view kUtf8 = "x^2 'parabola \xC3\xA8";
constexpr std::string_view kCodePage = "x^2 'parabola \xE8";

std::string Lines(std::initializer_list<std::string_view> lines, std::string_view end) {
  std::string joined;
  for (const std::string_view line : lines) joined.append(line).append(end);
  return joined;
}

TEST(EditorTextTest, LinesLeftAloneKeepTheirBytesWhateverElseReadsTheSame) {
  struct Row {
    const char* name;
    std::string original;
    std::string text;
    std::string bytes;
  };
  const std::string_view u = kUtf8, w = kCodePage, t = kUtf8;
  const Row rows[] = {
      {"another line changed, code page first", Lines({w, u, "sin(x)"}, "\r\n"),
       Lines({t, t, "cos(x)"}, "\n"), Lines({w, u, "cos(x)"}, "\r\n")},
      {"another line changed, UTF-8 first", Lines({u, w, "sin(x)"}, "\r\n"),
       Lines({t, t, "cos(x)"}, "\n"), Lines({u, w, "cos(x)"}, "\r\n")},
      {"a line added at the end", Lines({u, w}, "\r\n"), Lines({t, t, "x"}, "\n"),
       Lines({u, w, "x"}, "\r\n")},
      {"a line inserted between the two", Lines({u, w}, "\r\n"), Lines({t, "x", t}, "\n"),
       Lines({u, "x", w}, "\r\n")},
      {"a line inserted before both", Lines({"a", u, w}, "\r\n"), Lines({"a", "x", t, t}, "\n"),
       Lines({"a", "x", u, w}, "\r\n")},
      {"the neighbour between them deleted", Lines({u, "x", w}, "\r\n"), Lines({t, t}, "\n"),
       Lines({u, w}, "\r\n")},
      {"the neighbours around them deleted", Lines({"a", w, "b", u, "c"}, "\r\n"),
       Lines({t, t}, "\n"), Lines({w, u}, "\r\n")},
      {"a line moved above them", Lines({u, w, "a"}, "\r\n"), Lines({"a", t, t}, "\n"),
       Lines({"a", u, w}, "\r\n")},
      {"one of them moved down past others", Lines({w, "a", "b", u}, "\r\n"),
       Lines({"a", "b", t, t}, "\n"), Lines({"a", "b", w, u}, "\r\n")},
      {"a duplicate typed anew", Lines({u}, "\r\n"), Lines({t, t}, "\n"), Lines({u, w}, "\r\n")},
      {"lone line ends among them", std::string(u) + "\r" + std::string(w) + "\nx",
       Lines({t, t}, "\n"), Lines({u, w}, "\r\n")},
  };
  for (const Row& row : rows) {
    const std::string bytes = EditorBytesOf(row.original, row.text);
    EXPECT_EQ(bytes, row.bytes) << row.name;
    EXPECT_EQ(EditorTextOf(bytes), row.text) << row.name << ": the list reads what was typed";
  }
}

// Edits spread over a long history: more than the shortest-edit search may spend, so that the
// lines that occur once carry the matching.
TEST(EditorTextTest, AHistoryEditedThroughoutKeepsTheBytesOfItsLines) {
  struct Row {
    const char* name;
    std::function<std::vector<std::size_t>(std::size_t)> order;  // old line of each new line
  };
  const Row rows[] = {
      {"every other line deleted",
       [](std::size_t n) {
         std::vector<std::size_t> kept;
         for (std::size_t i = 0; i < n; i += 2) kept.push_back(i);
         return kept;
       }},
      {"the lines reversed",
       [](std::size_t n) {
         std::vector<std::size_t> kept;
         for (std::size_t i = n; i-- > 0;) kept.push_back(i);
         return kept;
       }},
      {"halves swapped",
       [](std::size_t n) {
         std::vector<std::size_t> kept;
         for (std::size_t i = 0; i < n; ++i) kept.push_back((i + n / 2) % n);
         return kept;
       }},
  };
  constexpr std::size_t kLines = 20000;
  std::vector<std::string> old;
  for (std::size_t i = 0; i < kLines; ++i) {
    // A few texts repeated in both encodings, and a distinct one every third line.
    const std::string_view twin = (i / 3) % 2 == 0 ? kUtf8 : kCodePage;
    old.push_back(i % 3 == 0 ? "x^" + std::to_string(i) + " '\xE8" : std::string(twin));
  }
  std::string original;
  for (const std::string& line : old) original.append(line).append("\r\n");
  for (const Row& row : rows) {
    std::string text;
    for (const std::size_t i : row.order(kLines)) {
      text.append(web::PageText(old[i])).push_back('\n');
    }
    const std::string bytes = EditorBytesOf(original, text);
    EXPECT_EQ(EditorTextOf(bytes), text) << row.name;
    const std::string_view got = bytes;
    std::size_t unique = 0, kept = 0, start = 0;
    for (const std::size_t i : row.order(kLines)) {
      const std::size_t end = got.find("\r\n", start);
      if (i % 3 == 0) {
        ++unique;
        kept += got.substr(start, end - start) == old[i];
      }
      start = end + 2;
    }
    EXPECT_EQ(kept, unique) << row.name;
  }
}

// Lines past the limit in characters, as the text area shows them: their first 40 and last 12
// characters around an ellipsis, then their length.
std::string LongShown(std::string_view head, std::string_view tail, std::size_t characters) {
  return std::string(head) + "\xE2\x80\xA6" + std::string(tail) + " (" +
         std::to_string(characters) + " caratteri)";
}

std::string Repeated(std::string_view piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text.append(piece);
  return text;
}

TEST(EditorTextTest, ALongLineShowsAsItsEnds) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string text;
  };
  const std::string e = "\xC3\xA8";  // è in UTF-8
  const Row rows[] = {
      {"at the limit: whole", std::string(2000, 'x') + "\r\n", std::string(2000, 'x') + "\n"},
      {"one past it", "a" + std::string(2000, 'x') + "\r\n",
       LongShown("a" + std::string(39, 'x'), std::string(12, 'x'), 2001) + "\n"},
      {"characters, not bytes, count: UTF-8", Repeated(e, 2000), Repeated(e, 2000)},
      {"characters, not bytes, count: code page", std::string(2001, '\xE8'),
       LongShown(Repeated(e, 40), Repeated(e, 12), 2001)},
      {"among short lines", "x\r\n" + std::string(3000, 'y') + "z\r\nx^2",
       "x\n" + LongShown(std::string(40, 'y'), std::string(11, 'y') + "z", 3001) + "\nx^2"},
  };
  for (const Row& row : rows) EXPECT_EQ(EditorTextOf(row.bytes), row.text) << row.name;
  EXPECT_EQ(EditorTextOf("a" + std::string(2000, 'x'), "[{0}]"),
            "a" + std::string(39, 'x') + "\xE2\x80\xA6" + std::string(12, 'x') + " [2001]")
      << "the length in the program's language";
}

TEST(EditorTextTest, ALongLineKeepsItsBytesUnlessDeleted) {
  // Two long lines of the same length, in the code page, and the same text as the first in UTF-8.
  const std::string one = std::string(3000, 'x') + "1 '\xE8";
  const std::string two = std::string(3000, 'x') + "2 '\xE8";
  const std::string oneUtf8 = std::string(3000, 'x') + "1 '\xC3\xA8";
  const std::string shownOne = EditorTextOf(one);
  const std::string shownTwo = EditorTextOf(two);
  ASSERT_LT(shownOne.size(), 100u);
  ASSERT_NE(shownOne, shownTwo);
  struct Row {
    const char* name;
    std::string original;
    std::string text;
    std::string bytes;
  };
  const std::string_view s1 = shownOne, s2 = shownTwo;
  const Row rows[] = {
      {"another line edited", Lines({one, "sin(x)", two}, "\r\n"), Lines({s1, "cos(x)", s2}, "\n"),
       Lines({one, "cos(x)", two}, "\r\n")},
      {"a line added", Lines({one}, "\r\n"), Lines({s1, "x"}, "\n"), Lines({one, "x"}, "\r\n")},
      {"deleted", Lines({one, "sin(x)", two}, "\r\n"), Lines({"sin(x)", s2}, "\n"),
       Lines({"sin(x)", two}, "\r\n")},
      {"replaced by a line typed", Lines({one, two}, "\r\n"), Lines({"x^2", s2}, "\n"),
       Lines({"x^2", two}, "\r\n")},
      {"both moved", Lines({one, "a", two}, "\r\n"), Lines({s2, "a", s1}, "\n"),
       Lines({two, "a", one}, "\r\n")},
      {"copied", Lines({one, "a"}, "\r\n"), Lines({s1, "a", s1}, "\n"),
       Lines({one, "a", one}, "\r\n")},
      {"its short line edited: still the line", Lines({one, "a", two}, "\r\n"),
       Lines({s1, "a", "zz" + std::string(s2) + "zz"}, "\n"), Lines({one, "a", two}, "\r\n")},
      {"the first edited, the second alike left alone", Lines({one, two}, "\r\n"),
       Lines({std::string(s1.substr(5)), s2}, "\n"), Lines({one, two}, "\r\n")},
      {"next to its twin in UTF-8", Lines({one, oneUtf8}, "\r\n"), Lines({s1, s1, "x"}, "\n"),
       Lines({one, oneUtf8, "x"}, "\r\n")},
      {"its twin deleted", Lines({oneUtf8, one, "a"}, "\r\n"), Lines({s1, "a"}, "\n"),
       Lines({oneUtf8, "a"}, "\r\n")},
  };
  for (const Row& row : rows)
    EXPECT_EQ(EditorBytesOf(row.original, row.text), row.bytes) << row.name;
}

TEST(PageEditorTest, OnlyThePagesEditorIsStarted) {
  struct Row {
    const char* command;
    std::optional<std::string> file;
  };
  const Row rows[] = {
      {"funzioni-page-editor espressioni.txt", "espressioni.txt"},
      {"funzioni-page-editor  a b.txt", "a b.txt"},
      {"funzioni-page-editor", std::nullopt},
      {"funzioni-page-editorx f", std::nullopt},
      {"gedit --wait espressioni.txt", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(web::PageEditor::FileOfCommand(row.command), row.file) << row.command;
  }
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

class PageEditorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    web::testing::ResetPage();
    dir_ = std::filesystem::temp_directory_path() /
           ("funzioni-page-editor-" +
            std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    file_ = dir_ / "espressioni.txt";
    std::ofstream(file_, std::ios::binary) << kBytes;
    dialog_.AddControl(ControlKind::Surface, 5, "", 0, 0, 100, 100);
    dialog_.SetEventHandler([this](const DialogEvent& e) {
      if (e.kind == EventKind::Command || e.kind == EventKind::Timer) ++events_;
    });
    dialog_.Show();
    FireTimeouts();
  }
  void TearDown() override {
    web::testing::ResetPage();
    std::filesystem::remove_all(dir_);
  }

  void Start() {
    dialog_.RunThen("funzioni-page-editor " + file_.string(),
                    [this](bool started) { ends_.push_back(started); });
  }
  bool Act(EditorAction action, std::string_view input) {
    web::PageEditor& editor = web::ShownDialog()->Editor();
    std::memcpy(editor.Input(input.size()), input.data(), input.size());
    return editor.Act(action);
  }

  static constexpr std::string_view kBytes = "x\r\npi\xF9";
  Dialog dialog_{"prova", 0, 0, 400, 300, true};
  std::filesystem::path dir_;
  std::filesystem::path file_;
  std::vector<bool> ends_;
  int events_ = 0;
};

TEST_F(PageEditorDialogTest, TheDialogIsHeldUntilTheEditorEnds) {
  Start();
  EXPECT_EQ(Page().editorName, "espressioni.txt");
  EXPECT_EQ(Page().editorText, "x\npi\xC3\xB9");
  EXPECT_TRUE(ends_.empty());
  dialog_.StartTimer(3, 100);
  FireTimeouts();
  web::ShownDialog()->OnPointer({web::PointerAction::Press, {10, 10}, 0, 1, 1, -1});
  web::ShownDialog()->OnCommandKey(kCommandOk);
  EXPECT_EQ(events_, 0);
  EXPECT_EQ(web::ShownDialog()->PageState() & 2, 2);  // waiting for the user is no work
  EXPECT_TRUE(Act(EditorAction::Cancel, ""));
  // The editor goes, and the program goes on, in the page's next task; until then it holds.
  EXPECT_TRUE(ends_.empty());
  EXPECT_EQ(Page().editorName, "espressioni.txt");
  web::ShownDialog()->OnCommandKey(kCommandOk);
  EXPECT_EQ(events_, 0);
  FireTimeouts();
  EXPECT_EQ(ends_, std::vector<bool>{true});
  EXPECT_EQ(Page().editorName, "");
  web::ShownDialog()->OnCommandKey(kCommandOk);
  EXPECT_EQ(events_, 1);
}

TEST_F(PageEditorDialogTest, AClosingEditorTakesNoMoreButtons) {
  // A second click before the editor has gone writes nothing and ends nothing twice.
  Start();
  EXPECT_TRUE(Act(EditorAction::Save, "x\n"));
  EXPECT_TRUE(Act(EditorAction::Save, "altro\n"));
  EXPECT_TRUE(Act(EditorAction::Replace, "altro"));
  EXPECT_TRUE(Act(EditorAction::Cancel, ""));
  FireTimeouts();
  EXPECT_EQ(ReadAll(file_), "x\r\n");
  EXPECT_EQ(ends_, std::vector<bool>{true});
  // Closed, the buttons still do nothing.
  EXPECT_TRUE(Act(EditorAction::Save, "altro\n"));
  EXPECT_EQ(ReadAll(file_), "x\r\n");
}

TEST_F(PageEditorDialogTest, AnEditorGoneWhileClosingEndsNothing) {
  bool ended = false;
  {
    web::PageEditor editor;
    editor.Start(file_.string(), [&ended] { ended = true; });
    EXPECT_TRUE(editor.Act(EditorAction::Cancel));
  }
  FireTimeouts();
  EXPECT_FALSE(ended);
}

TEST_F(PageEditorDialogTest, TheButtonsWriteWhatTheyShould) {
  struct Row {
    const char* name;
    std::vector<std::pair<EditorAction, std::string>> actions;
    std::string file;
  };
  const Row rows[] = {
      {"Annulla of an edited text", {{EditorAction::Cancel, "altro\n"}}, std::string(kBytes)},
      {"Salva of the text unchanged", {{EditorAction::Save, "x\npi\xC3\xB9"}}, std::string(kBytes)},
      {"Salva of an edited text",
       {{EditorAction::Save, "x\npi\xC3\xB9\nx^2\n"}},
       "x\r\npi\xF9\r\nx^2\r\n"},
      {"a file picked, then Salva",
       {{EditorAction::Replace, "a\rb\xE8"}, {EditorAction::Save, "a\nb\xC3\xA8"}},
       "a\rb\xE8"},
      {"a file picked, then Annulla",
       {{EditorAction::Replace, "a\rb"}, {EditorAction::Cancel, ""}},
       std::string(kBytes)},
  };
  for (const Row& row : rows) {
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << kBytes;
    ends_.clear();
    Start();
    for (const auto& [action, input] : row.actions) EXPECT_TRUE(Act(action, input)) << row.name;
    FireTimeouts();
    EXPECT_EQ(ReadAll(file_), row.file) << row.name;
    EXPECT_EQ(ends_, std::vector<bool>{true}) << row.name;
  }
}

TEST_F(PageEditorDialogTest, ADownloadGivesTheBytesAndLeavesTheEditorOpen) {
  Start();
  EXPECT_TRUE(Act(EditorAction::Download, "x\npi\xC3\xB9"));
  EXPECT_TRUE(Act(EditorAction::Download, "x\n"));
  EXPECT_EQ(Page().downloads, (std::vector<std::string>{"espressioni.txt:" + std::string(kBytes),
                                                        "espressioni.txt:x\r\n"}));
  EXPECT_TRUE(ends_.empty());
  EXPECT_EQ(ReadAll(file_), kBytes);
}

TEST_F(PageEditorDialogTest, AFileThatCannotBeWrittenKeepsTheEditorOpen) {
  std::filesystem::remove(file_);
  std::filesystem::create_directory(file_);  // not writable as a file, even by root
  Start();
  EXPECT_FALSE(Act(EditorAction::Save, "nuovo\n"));
  EXPECT_TRUE(ends_.empty());
  EXPECT_EQ(Page().editorName, "espressioni.txt");
  EXPECT_TRUE(Act(EditorAction::Cancel, ""));
  FireTimeouts();
  EXPECT_EQ(ends_, std::vector<bool>{true});
}

TEST_F(PageEditorDialogTest, AnotherProgramCannotBeStarted) {
  dialog_.RunThen("gedit espressioni.txt", [this](bool started) { ends_.push_back(started); });
  EXPECT_EQ(ends_, std::vector<bool>{false});
  EXPECT_EQ(Page().editorName, "");
}

}  // namespace
}  // namespace funzioni
