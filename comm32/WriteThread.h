#pragma once

#include <deque>
#include <mutex>
#include <optional>

#include "CommThread.h"

namespace zak {

// The writer: takes the blocks queued by Post in order and writes each one whole before it
// takes the next. It ends on the stop event (a block taken after the stop is dropped, a block
// being written is abandoned) and after a write failure. A device that has gone (EIO and the
// like) ends it quietly, with a comms log line and no hang-up request: the reader reports the
// hang-up. Any other write failure brings a hang-up request.
class TWriteThread final : public TCommThread {
  public:
    // Throws std::system_error when the queue's wake-up descriptor cannot be created.
    explicit TWriteThread(TCommThreadParams params);
    // Joins the thread; blocks still queued are released unwritten.
    ~TWriteThread() override;

    // Window's thread. Queues `block` for writing; ownership passes in every case. False once
    // the thread has ended or is ending: the block is then released unwritten.
    bool Post(TCommBlock block);

  private:
    enum class TWaitResult { Writable, Stopped, Failed };

    bool Prepare() override { return true; }
    void Execute() override;
    void Shutdown() override;

    std::optional<TCommBlock> TakeBlock();
    bool HandleWriteData(const TCommBlock& block);
    TWaitResult WaitWritable();
    void CloseQueue();

    const int wake_;  // eventfd, readable while blocks may be waiting
    std::mutex mutex_;
    std::deque<TCommBlock> queue_;
    bool closed_ = false;
};

}  // namespace zak
