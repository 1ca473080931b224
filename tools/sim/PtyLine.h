#pragma once

// The simulated unit's end of the serial line: a pseudo-terminal whose terminal side the tool
// opens as its serial port.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace zak::sim {

class PtyLine {
  public:
    // Creates the pseudo-terminal with both ends raw. The unit keeps the terminal side open
    // too, so that the line stays up while the tool closes and opens its port. Throws
    // std::runtime_error when no pseudo-terminal can be made.
    PtyLine();
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // The terminal device to give the tool, e.g. /dev/pts/5.
    const std::string& path() const { return path_; }
    // The unit's side, non-blocking, for poll().
    int fd() const { return master_; }

    // Reads what the tool sent: the count, 0 when nothing is there, -1 on an error.
    ssize_t read(std::uint8_t* buffer, std::size_t n);

    // Writes as many of the bytes as the line takes now, without waiting: the count, 0 when
    // it takes none now, -1 on an error.
    ssize_t writeSome(const std::uint8_t* bytes, std::size_t n);

  private:
    int master_ = -1;
    int terminal_ = -1;
    std::string path_;
};

}  // namespace zak::sim
