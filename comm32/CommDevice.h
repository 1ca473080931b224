#pragma once

#include <sys/types.h>

#include <string>

#include "LineSettings.h"
#include "PortLock.h"

namespace zak {

// An open serial device, owned: closing it gives the device back to others, its lock file
// included.
class TCommDevice {
  public:
    // Window's thread. Opens the terminal device at `path` read-write and non-blocking, without
    // making it the controlling terminal, and takes it exclusively: the lock file in
    // `lockDirectory` (TPortLock; none when empty), an advisory flock, and TIOCEXCL, which keeps
    // out other users' plain opens. Then puts it in raw mode with `settings` (see
    // ApplyLineSettings).
    // Throws ECommsError "Error opening com port" when the device cannot be opened or is taken:
    // another program holds its exclusive mark (root may open such a device; we do not), its
    // lock file or its flock. "File handle is not a comm handle. " when it is not a terminal.
    // No descriptor and no lock are left after a throw.
    static TCommDevice Open(const std::string& path, const TLineSettings& settings,
                            const std::string& lockDirectory);

    TCommDevice(TCommDevice&& other) noexcept;
    TCommDevice& operator=(TCommDevice&& other) noexcept;
    TCommDevice(const TCommDevice&) = delete;
    TCommDevice& operator=(const TCommDevice&) = delete;
    ~TCommDevice();

    int Handle() const { return fd_; }

  private:
    explicit TCommDevice(int fd) : fd_(fd) {}
    void Close();
    void ClearOwnMarkAfterHangup() const;

    int fd_ = -1;
    std::string path_;
    dev_t device_ = 0;
    // We set the exclusive mark (it was not set before), so we take it off again.
    bool exclusive_ = false;
    TPortLock lock_;
};

// Raw mode (no line editing, echo, signals, character translation or software flow
// control: frames are binary, and XON/XOFF would swallow the reply codes 0x11 and 0x13),
// receiver on, modem lines ignored; then the speed, data bits, parity and stop bits of
// `settings`. Hardware flow control and everything else stay as the device had them. A speed
// the device does not know leaves the speed as it was, a byte size outside 5..8 gives 8.
// Failures are not reported: the device then keeps its previous settings.
void ApplyLineSettings(int fd, const TLineSettings& settings);

}  // namespace zak
