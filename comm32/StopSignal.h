#pragma once

namespace zak {

// The stop event of one open port: signalled once by StopComm, it then stays signalled, and
// both worker threads wait on it. An eventfd, so it can sit in a poll() beside the device.
class TStopSignal {
  public:
    // Check Valid(): the eventfd may not be available.
    TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;
    ~TStopSignal();

    bool Valid() const { return fd_ >= 0; }
    // The errno of a failed creation.
    int CreationError() const { return error_; }

    // Any thread.
    void Signal();
    // The descriptor to poll for POLLIN; valid as long as the object lives.
    int Handle() const { return fd_; }

  private:
    int fd_;
    int error_ = 0;
};

// Any thread: has the stop event behind `handle` been signalled? (A zero-time wait.)
bool StopSignalled(int handle);

}  // namespace zak
