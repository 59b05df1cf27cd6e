#pragma once

// While a blocking platform service runs (a pause, a program started and waited for), the
// windows keep painting but no event reaches a dialog's handler: the handler is busy.

namespace funzioni::detail {

int& HandlerBlockDepth();

class HandlerBlock {
 public:
  HandlerBlock() { ++HandlerBlockDepth(); }
  ~HandlerBlock() { --HandlerBlockDepth(); }
  HandlerBlock(const HandlerBlock&) = delete;
  HandlerBlock& operator=(const HandlerBlock&) = delete;
};

}  // namespace funzioni::detail
