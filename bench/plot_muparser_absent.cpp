// Without muparser installed there is no peer to compare with.

#include "plot_peer_parser.h"

namespace funzioni::bench {

std::unique_ptr<PeerParser> MakePeerParser(std::string_view) {
  return nullptr;
}

}  // namespace funzioni::bench
