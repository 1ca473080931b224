#pragma once

// Finds the tool's requests in the bytes the simulated unit receives. The unit takes a
// request by its code, its length and its checksum; it answers nothing else. A byte that
// begins no request with a good checksum is dropped, and the search goes on at the next byte,
// so a request that follows noise is still found.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Frame.h"

namespace zak::sim {

class RequestDecoder {
  public:
    // Takes received bytes and returns the requests they complete, in line order.
    std::vector<Request> feed(const std::uint8_t* bytes, std::size_t n);

    // The line has gone quiet: the bytes of a request left unfinished are noise, but a
    // request may still lie behind their first byte. Returns the requests found that way.
    std::vector<Request> lineQuiet();

    // Bytes that may begin a request are waiting for the rest of it.
    bool waiting() const { return !buffer_.empty(); }

    // Bytes dropped as noise so far.
    std::size_t dropped() const { return dropped_; }

  private:
    void scan(std::vector<Request>& found);

    Bytes buffer_;
    std::size_t dropped_ = 0;
};

}  // namespace zak::sim
