#pragma once

#include <cstdint>

namespace zak {

// The serial port as the device link uses it. The window implements it over its serial
// component; the link calls it on the window's thread only, from a command, from Tick or
// from the handling of a received burst.
class LinkPort {
  public:
    virtual ~LinkPort() = default;

    // Makes sure the port is open before a frame goes out: opens it when the window has not
    // opened it yet. False when it cannot be opened: the frame is then neither sent nor
    // logged. May throw the serial component's error instead; the link lets it pass to its
    // caller with its own state as the command left it.
    // While the port opens, received bursts may already arrive (Comm321ReceiveData is called
    // from within this call): the link logs them and acts on none of them.
    virtual bool EnsureOpen() = 0;

    // Queues one byte for the line; bytes leave in the order queued. No result: a byte that
    // cannot be queued is simply lost, and the reply that does not come stalls the transfer.
    virtual void QueueByte(std::uint8_t byte) = 0;
};

}  // namespace zak
