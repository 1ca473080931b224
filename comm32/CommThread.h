#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "CommBlock.h"

namespace zak {

enum class TCommThreadKind { Reader = 0, Writer = 1 };

// Where a worker thread's notifications go: the component's side, on the window's thread.
// Called on the worker threads. Each call queues one notification and returns false when it
// cannot be queued.
class TCommNotifier {
  public:
    virtual ~TCommNotifier() = default;
    // Received bytes or a line-error report; the block's ownership passes with the call.
    virtual bool PostData(TCommBlock block) = 0;
    // The thread has given up after a failure and ends.
    virtual bool PostHangup() = 0;
    // The thread is ready: the port is being read (reader) or queued blocks are taken (writer).
    virtual bool PostReady(TCommThreadKind kind) = 0;
    // The thread failed before it was ready and ends; it posts nothing else.
    virtual bool PostStartFailed(TCommThreadKind kind) = 0;
};

// The three values a worker thread gets from StartComm. It owns none of them: the port and
// the stop event stay open, and the notifier alive, until the thread has been joined.
struct TCommThreadParams {
    int PortHandle = -1;
    int StopEvent = -1;  // see StopSignal.h
    std::shared_ptr<TCommNotifier> Notifier;
};

// A worker thread of the component: created without running, started by Resume, and joined
// when destroyed. Its body, on its own thread: Prepare; then either PostReady, Execute and
// Shutdown, or PostStartFailed and Shutdown. An exception escaping Prepare or Execute (say,
// the comms log cannot be written) ends the thread the same way, with PostStartFailed before
// ready and PostHangup after, so a thread never ends unannounced after a failure.
class TCommThread {
  public:
    TCommThread(const TCommThread&) = delete;
    TCommThread& operator=(const TCommThread&) = delete;
    virtual ~TCommThread();

    // Window's thread, once. Starts the thread; throws std::system_error when it cannot be
    // created.
    void Resume();
    // Window's thread. Waits up to `limit` for the thread to end; true when it has ended.
    bool WaitFor(std::chrono::milliseconds limit);
    // Window's thread. Waits for the thread to end, without a limit.
    void Join();

    TCommThreadKind Kind() const { return kind_; }

  protected:
    TCommThread(TCommThreadKind kind, TCommThreadParams params);

    // The steps of the body, on the thread. Prepare returns false when the thread cannot start;
    // Execute returns when the thread ends (stop event or failure); Shutdown always runs last.
    virtual bool Prepare() = 0;
    virtual void Execute() = 0;
    virtual void Shutdown() = 0;

    const TCommThreadParams& Params() const { return params_; }
    int Port() const { return params_.PortHandle; }
    int StopEvent() const { return params_.StopEvent; }
    TCommNotifier& Notifier() const { return *params_.Notifier; }
    void PostHangupRequest() const { params_.Notifier->PostHangup(); }

  private:
    void Run();

    const TCommThreadKind kind_;
    const TCommThreadParams params_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable endedSignal_;
    bool ended_ = false;
};

// Does this errno mean that the device has gone (a pulled USB adapter, a hung-up terminal,
// the other end of a pseudo-terminal closed) or the handle is no longer valid?
bool IsDeviceGone(int error);

// The comms log line for a device that has gone or a handle no longer valid.
extern const char* const DeviceGoneLine;

}  // namespace zak
