#pragma once

// The history file read and split into lines away from the event thread, so that a file of
// millions of lines does not hold the window; the list is then filled a run of lines at a time.

#include <cstddef>
#include <functional>
#include <future>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace funzioni {

// Files up to this size are read and listed at once, as the window expects of an ordinary
// history; larger ones are read on a thread and listed over several turns of the event loop.
inline constexpr std::size_t kHistoryInlineBytes = std::size_t{1} << 20;
// Lines handed to the list per turn: a few milliseconds of work.
inline constexpr std::size_t kHistoryLinesPerTurn = 2000;
// Characters handed to the list per turn, whatever the lines: the page lays out each line's whole
// text (about 30 ns a character at full speed), and 2000 lines of a few thousand characters took
// a tenth of a second in one turn. A line longer than this goes alone.
inline constexpr std::size_t kHistoryBytesPerTurn = std::size_t{128} << 10;

class HistoryLoader {
 public:
  HistoryLoader() = default;
  // Waits for a read still under way (it ends by itself: reading a file is never endless).
  ~HistoryLoader();
  HistoryLoader(const HistoryLoader&) = delete;
  HistoryLoader& operator=(const HistoryLoader&) = delete;

  // Starts reading the file; a read started before is dropped (Stop). Where no thread can be
  // started the file is read here. read is called once the lines are ready to be handed out,
  // from the reading thread (or from here): it must only wake the thread that lists them.
  void Start(const std::string& path, std::function<void()> read);
  // Drops the read under way and the lines not yet handed out.
  void Stop();
  // Whether lines are being read or wait to be listed.
  bool Loading() const { return reading_.valid() || next_ < lines_.size(); }
  // Whether the file is still being read, or read and not yet asked for its lines.
  bool Reading() const { return reading_.valid(); }
  // The next run of lines for the list, once the file is read: at most `most` lines, and no more
  // than `bytes` bytes unless the first line alone holds more. Empty while it is being read and
  // once every line was handed out.
  std::span<const std::string> NextLines(std::size_t most = kHistoryLinesPerTurn,
                                         std::size_t bytes = kHistoryBytesPerTurn);
  // True once, when the last run was handed out: the list is then complete.
  bool TakeFinished();

 private:
  void DropFinishedReads();

  std::future<std::vector<std::string>> reading_;
  std::vector<std::future<void>> threads_;  // each read's thread, kept until it has ended
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  bool finished_ = false;
};

// The lines of the file (none when it cannot be read).
std::vector<std::string> ReadHistoryLines(const std::string& path);

}  // namespace funzioni
