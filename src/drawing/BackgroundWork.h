#pragma once

// Work done by a background instance of the program (the browser's only way to compute without
// holding up the page): the page's side posts a request as bytes and gets the reply's bytes
// through a callback on its own thread, one reply per request, in order. Restarting ends the
// instance at once, whatever it is doing, and starts a fresh one: requests posted before get no
// reply. The background side registers, for each service, the handler that turns a request into
// its reply; each instance serves the one service it was started for.
// Browser only: the desktop computes on threads of its own and has no such service.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace funzioni {

// The kinds of work done in the background, each in instances of its own.
enum class BackgroundService : std::uint8_t { Plot = 0, Study = 1 };

class BackgroundWork {
 public:
  // The reply's bytes; empty when the background instance failed (it is then unavailable).
  using ReplyHandler = std::function<void(std::vector<std::uint8_t> reply)>;

  // Starts the background instance; the replies come to onReply.
  explicit BackgroundWork(ReplyHandler onReply);  // of the plot
  BackgroundWork(BackgroundService service, ReplyHandler onReply);
  // Ends the background instance; no reply comes after.
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  // False when the page cannot run a background instance (or it failed): the caller then does
  // the work itself.
  bool Available() const;
  void Post(std::span<const std::uint8_t> request);
  void Restart();

 private:
  friend struct BackgroundWorkReplies;
  // size: of the reply waiting on the page; -1: the request failed; -2: the instance cannot run.
  void Arrived(int handle, int size);

  ReplyHandler onReply_;
  BackgroundService service_ = BackgroundService::Plot;
  int handle_ = 0;  // the page's record of the instance; 0 when there is none
};

// The background side: what each request of a service becomes. Registered once, before any
// request comes (a static initialiser serves: in the background instance main() is not run).
using BackgroundRequestHandler =
    std::function<std::vector<std::uint8_t>(std::span<const std::uint8_t> request)>;
void ServeBackgroundWork(BackgroundRequestHandler handler);  // of the plot
void ServeBackgroundWork(BackgroundService service, BackgroundRequestHandler handler);

}  // namespace funzioni
