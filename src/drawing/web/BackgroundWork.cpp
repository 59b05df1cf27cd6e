// The page's Web Workers as the background instance (background.js holds the JS side): requests
// and replies cross as bytes copied in and out of the module's memory. A request's first byte
// names its service, so that one program serves each kind of work with its own handler.

#include "drawing/BackgroundWork.h"

#include <emscripten/emscripten.h>

#include "PageBridge.h"
#include "PageShared.h"

#include <array>
#include <cstdint>
#include <utility>

// The page's and the worker's side of background.js.
// clang-format off
EM_JS(int, funzioni_bg_start, (void* owner), {
  return Module['funzioniBackground'].start(owner);
});
EM_JS(void, funzioni_bg_post, (int handle, const void* data, int size), {
  Module['funzioniBackground'].post(handle, HEAPU8.subarray(data, data + size));
});
EM_JS(void, funzioni_bg_take, (int handle, void* into), {
  HEAPU8.set(Module['funzioniBackground'].take(handle), into);
});
EM_JS(void, funzioni_bg_restart, (int handle), {
  Module['funzioniBackground'].restart(handle);
});
EM_JS(void, funzioni_bg_stop, (int handle), {
  Module['funzioniBackground'].stop(handle);
});
EM_JS(void, funzioni_bg_take_request, (void* into), {
  HEAPU8.set(Module['funzioniBackground'].request, into);
});
EM_JS(void, funzioni_bg_reply, (const void* data, int size), {
  Module['funzioniBackground'].reply(HEAPU8.subarray(data, data + size));
});
// clang-format on

namespace funzioni {

namespace {

// The background side's handlers: the exported entry below finds them in the page's context.
auto& RequestHandlers() {
  return web::ThePage().backgroundHandlers;
}

// The request's service and its own bytes; no handler for a service unknown or not served.
std::vector<std::uint8_t> Serve(std::span<const std::uint8_t> request) {
  if (request.empty() || request[0] >= RequestHandlers().size()) return {};
  const BackgroundRequestHandler& handler = RequestHandlers()[request[0]];
  return handler ? handler(request.subspan(1)) : std::vector<std::uint8_t>{};
}

}  // namespace

struct BackgroundWorkReplies {
  static void Arrived(BackgroundWork& work, int handle, int size) { work.Arrived(handle, size); }
};

BackgroundWork::BackgroundWork(ReplyHandler onReply)
    : BackgroundWork(BackgroundService::Plot, std::move(onReply)) {}

BackgroundWork::BackgroundWork(BackgroundService service, ReplyHandler onReply)
    : onReply_(std::move(onReply)), service_(service), handle_(funzioni_bg_start(this)) {}

BackgroundWork::~BackgroundWork() {
  if (handle_ != 0) funzioni_bg_stop(handle_);
}

bool BackgroundWork::Available() const {
  return handle_ != 0;
}

void BackgroundWork::Post(std::span<const std::uint8_t> request) {
  if (handle_ == 0) return;
  std::vector<std::uint8_t> named;
  named.reserve(request.size() + 1);
  named.push_back(static_cast<std::uint8_t>(service_));
  named.insert(named.end(), request.begin(), request.end());
  funzioni_bg_post(handle_, named.data(), static_cast<int>(named.size()));
}

void BackgroundWork::Restart() {
  if (handle_ != 0) funzioni_bg_restart(handle_);
}

void BackgroundWork::Arrived(int handle, int size) {
  if (handle != handle_) return;
  std::vector<std::uint8_t> reply;
  if (size == web::kBackgroundUnusable) {
    funzioni_bg_stop(handle_);
    handle_ = 0;
  } else if (size > 0) {
    reply.resize(static_cast<std::size_t>(size));
    funzioni_bg_take(handle_, reply.data());
  }
  // A zero-length reply never comes from a request served: empty means failed.
  onReply_(std::move(reply));
}

void ServeBackgroundWork(BackgroundRequestHandler handler) {
  ServeBackgroundWork(BackgroundService::Plot, std::move(handler));
}

void ServeBackgroundWork(BackgroundService service, BackgroundRequestHandler handler) {
  RequestHandlers().at(static_cast<std::size_t>(service)) = std::move(handler);
}

}  // namespace funzioni

extern "C" {

// The page: a reply (or a failure) of the instance the owner started.
EMSCRIPTEN_KEEPALIVE void funzioni_background_arrived(void* owner, int handle, int size) {
  funzioni::BackgroundWorkReplies::Arrived(*static_cast<funzioni::BackgroundWork*>(owner), handle,
                                           size);
}

// The background instance: one request of size bytes, waiting in background.js.
EMSCRIPTEN_KEEPALIVE void funzioni_background_request(int size) {
  std::vector<std::uint8_t> request(static_cast<std::size_t>(size > 0 ? size : 0));
  funzioni_bg_take_request(request.data());
  const std::vector<std::uint8_t> reply = funzioni::Serve(request);
  funzioni_bg_reply(reply.data(), static_cast<int>(reply.size()));
}
}
