#include "app/HistoryLoading.h"

#include <chrono>
#include <system_error>

#include "app/History.h"

namespace funzioni {

namespace {

std::future<std::vector<std::string>> ReadLater(const std::string& path) {
#if FUNZIONI_SINGLE_THREADED
  std::promise<std::vector<std::string>> read;
  read.set_value(ReadHistoryLines(path));
  return read.get_future();
#else
  try {
    return std::async(std::launch::async, ReadHistoryLines, path);
  } catch (const std::system_error&) {
    // No thread to be had: the file is read here instead.
    std::promise<std::vector<std::string>> read;
    read.set_value(ReadHistoryLines(path));
    return read.get_future();
  }
#endif
}

bool IsReady(const std::future<std::vector<std::string>>& future) {
  return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

}  // namespace

std::vector<std::string> ReadHistoryLines(const std::string& path) {
  return SplitHistoryLines(ReadFileBytes(path).value_or(std::string()));
}

HistoryLoader::~HistoryLoader() = default;  // each future waits for its own read

void HistoryLoader::Start(const std::string& path) {
  Stop();
  reading_ = ReadLater(path);
}

void HistoryLoader::Stop() {
  DropFinishedReads();
  // A read under way cannot be interrupted; it is kept until it ends so that the window never
  // waits for it.
  if (reading_.valid()) dropped_.push_back(std::move(reading_));
  lines_ = {};
  next_ = 0;
  finished_ = false;
}

std::span<const std::string> HistoryLoader::NextLines(std::size_t most) {
  DropFinishedReads();
  if (reading_.valid()) {
    if (!IsReady(reading_)) return {};
    lines_ = reading_.get();
    next_ = 0;
    if (lines_.empty()) finished_ = true;
  }
  const std::size_t first = next_;
  next_ = std::min(lines_.size(), first + most);
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
  std::erase_if(dropped_, [](const auto& read) { return IsReady(read); });
}

}  // namespace funzioni
