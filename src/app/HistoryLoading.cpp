#include "app/HistoryLoading.h"

#include <chrono>
#include <system_error>

#include "app/History.h"

namespace funzioni {

namespace {

using Lines = std::vector<std::string>;

// The file read on a thread of its own (kept in threads), or here where none can be started.
std::future<Lines> ReadLater(const std::string& path, std::function<void()> read,
                             [[maybe_unused]] std::vector<std::future<void>>& threads) {
  std::promise<Lines> lines;
  std::future<Lines> future = lines.get_future();
#if !FUNZIONI_SINGLE_THREADED
  // The value is set before the wake, so that the woken thread finds it.
  auto job = [lines = std::move(lines), path, read]() mutable {
    lines.set_value(ReadHistoryLines(path));
    if (read) read();
  };
  try {
    threads.push_back(std::async(std::launch::async, std::move(job)));
    return future;
  } catch (const std::system_error&) {
    // No thread to be had: the file is read here instead (the job was not taken).
    lines = std::promise<Lines>();
    future = lines.get_future();
  }
#endif
  lines.set_value(ReadHistoryLines(path));
  if (read) read();
  return future;
}

template <typename T>
bool IsReady(const std::future<T>& future) {
  return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

}  // namespace

std::vector<std::string> ReadHistoryLines(const std::string& path) {
  return SplitHistoryLines(ReadFileBytes(path).value_or(std::string()));
}

HistoryLoader::~HistoryLoader() = default;  // each thread's future waits for its read

void HistoryLoader::Start(const std::string& path, std::function<void()> read) {
  Stop();
  reading_ = ReadLater(path, std::move(read), threads_);
}

void HistoryLoader::Stop() {
  DropFinishedReads();
  // A read under way cannot be interrupted; its thread is kept until it ends so that the window
  // never waits for it.
  reading_ = {};
  lines_ = {};
  next_ = 0;
  finished_ = false;
}

std::span<const std::string> HistoryLoader::NextLines(std::size_t most, std::size_t bytes) {
  DropFinishedReads();
  if (reading_.valid()) {
    if (!IsReady(reading_)) return {};
    lines_ = reading_.get();
    next_ = 0;
    if (lines_.empty()) finished_ = true;
  }
  const std::size_t first = next_;
  const std::size_t last = std::min(lines_.size(), first + most);
  std::size_t size = 0;
  while (next_ < last && (next_ == first || size + lines_[next_].size() <= bytes)) {
    size += lines_[next_].size();
    ++next_;
  }
  if (first < next_ && next_ == lines_.size()) finished_ = true;
  return std::span<const std::string>(lines_).subspan(first, next_ - first);
}

bool HistoryLoader::TakeFinished() {
  const bool finished = finished_;
  finished_ = false;
  if (finished) {
    lines_ = {};
    next_ = 0;
  }
  return finished;
}

void HistoryLoader::DropFinishedReads() {
  std::erase_if(threads_, [](const auto& thread) { return IsReady(thread); });
}

}  // namespace funzioni
