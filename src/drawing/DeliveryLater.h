#pragma once

// How the dialog's event delivery comes back once its handler is free: a call after a delay, in
// the toolkit's own event loop. Private to the drawing layer.

#include <functional>

class QObject;

namespace funzioni::detail {

// Calls `call` after delayMs unless what bounds it goes first: the Qt object `context` on the
// desktop, `owner` in the browser (the dialog cancels its owner's calls when it goes).
void CallLater(QObject* context, const void* owner, int delayMs, std::function<void()> call);

// The same at once, but callable from any thread: `call` runs on the thread of the event loop.
// The caller keeps `context` alive until this has returned.
void CallFromAnyThread(QObject* context, const void* owner, std::function<void()> call);

}  // namespace funzioni::detail
