#pragma once

// TComm32: the serial port of ZAK Manager.
//
// It opens one serial device by name, applies the line settings held in its properties and
// runs two worker threads: a reader, whose received bytes reach the window's thread as
// OnReceiveData calls, and a writer, which sends the byte blocks that WriteCommData queues.
// It uses no GUI library: the window hands it a TNotificationSink (NotificationSink.h), through
// which the threads' notifications are run on the window's thread.
//
// Threads. StartComm, StopComm, WriteCommData, the property accessors and the destructor run
// on the window's thread only (the thread that dispatches the sink's notifications).
// OnReceiveData and OnRequestHangup are called on the window's thread from the sink's
// dispatch, never from a worker thread, in the order the threads posted them.
//
// Sessions. Each successful StartComm begins a session that the next StopComm ends. A
// notification posted by a session's threads is acted on only while that session is the open
// one: after StopComm returns, no OnReceiveData or OnRequestHangup of the stopped session is
// called, even if its notifications are still waiting in the sink (their blocks are simply
// released).
//
// Ownership of byte blocks. WriteCommData copies the caller's bytes into a block that the
// writer thread owns from then on and releases after writing; blocks still queued when the
// port stops are released unwritten. Each received block is owned by its notification and
// released right after OnReceiveData returns (or unrun, when the sink discards it).
//
// The comms log (Misc.h) receives the component's diagnostic lines while a comms log file name
// is set; the window sets none.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "ECommsError.h"
#include "LineSettings.h"
#include "NotificationSink.h"
#include "PortLock.h"

namespace zak {

class TComm32;
class TCommBlock;
enum class TCommThreadKind;

// Received bytes: `Buffer` holds `BufferLength` (1..2048) bytes followed by one zero byte and
// is valid only during the call. A line-error report arrives the same way, as the text
// "Comm Event: <names>, EvtMask = <flags>" (LineErrors.h), ahead of the data that came with
// the error; it comes only from drivers that count line errors (real serial ports, not
// pseudo-terminals).
using TReceiveDataEvent =
    std::function<void(const std::uint8_t* Buffer, std::uint16_t BufferLength)>;
// Is the burst received so far complete? See TComm32::SetBurstCompleteTest.
using BurstCompleteTest = std::function<bool(const std::uint8_t* bytes, std::size_t n)>;
// A notification with the component as its sender.
using TNotifyEvent = std::function<void(TComm32* Sender)>;

class TComm32 {
  public:
    // The silence on the line that ends a received burst.
    static constexpr std::chrono::milliseconds DefaultBurstGap{250};
    // How long StopComm waits for a thread before it logs that the thread is not exiting
    // (it then goes on waiting).
    static constexpr std::chrono::milliseconds ThreadExitWait{10000};

    // BaudRate 9600, ByteSize 8, Parity pNone, StopBits sb1_0, CommPort "COM2", no comms log
    // (the process-wide comms log file name is cleared too), no events bound, closed.
    // `windowThread` must outlive the component.
    explicit TComm32(TNotificationSink& windowThread);
    TComm32(const TComm32&) = delete;
    TComm32& operator=(const TComm32&) = delete;
    // Stops the port if its owner has not (without throwing). Notifications of the component
    // still waiting in the sink do nothing when they run.
    ~TComm32();

    // Line settings and device name, read by StartComm only: a change while open takes effect
    // at the next StopComm and StartComm. The baud rate is bits per second; a speed the device
    // does not know leaves its speed as it was. CommPort "COM1".."COM8" and so on name the
    // device given by the environment variable ZAK_COM<n>, else /dev/ttyS<n-1>; any other
    // name is opened as it stands (PortName.h).
    std::uint32_t BaudRate() const { return settings_.BaudRate; }
    void SetBaudRate(std::uint32_t value) { settings_.BaudRate = value; }
    std::uint8_t ByteSize() const { return settings_.ByteSize; }
    void SetByteSize(std::uint8_t value) { settings_.ByteSize = value; }
    TParity Parity() const { return settings_.Parity; }
    void SetParity(TParity value) { settings_.Parity = value; }
    TStopBits StopBits() const { return settings_.StopBits; }
    void SetStopBits(TStopBits value) { settings_.StopBits = value; }
    const std::string& CommPort() const { return commPort_; }
    void SetCommPort(const std::string& value) { commPort_ = value; }

    // Where StartComm takes the port's lock file, the one other serial programs honour
    // (PortLock.h); /run/lock after construction, none when empty. Read by StartComm.
    const std::string& LockDirectory() const { return lockDirectory_; }
    void SetLockDirectory(const std::string& value) { lockDirectory_ = value; }

    // The comms log file name; setting it also sets the process-wide name (Misc.h).
    const std::string& CommsLogFileName() const { return commsLogFileName_; }
    void SetCommsLogFileName(const std::string& value);

    // Events; either may be left unbound (received blocks are then released unseen).
    void SetOnReceiveData(TReceiveDataEvent handler) { onReceiveData_ = std::move(handler); }
    void SetOnRequestHangup(TNotifyEvent handler) { onRequestHangup_ = std::move(handler); }

    // The silence that ends a received burst, read by StartComm; the window keeps the default.
    // Tests shorten it so that they need not wait.
    std::chrono::milliseconds BurstGap() const { return burstGap_; }
    void SetBurstGap(std::chrono::milliseconds value) { burstGap_ = value; }

    // A burst may end early: the test is called on the reader thread with the bytes of the
    // burst so far each time bytes arrive, and when it returns true the burst is delivered at
    // once instead of after BurstGap of silence; the bytes that follow begin a new burst.
    // Otherwise the silence rule applies (a burst still ends after the gap and at 2048 bytes).
    // Set it while closed (StartComm reads it); empty, the default, means the silence rule
    // only. The window never sets it.
    void SetBurstCompleteTest(BurstCompleteTest test) { burstCompleteTest_ = std::move(test); }

    // Opens the device named by CommPort, applies the line settings, starts the reader and the
    // writer and returns true once both have reported ready. While it waits it dispatches the
    // window thread's notifications (TNotificationSink::WaitAndDispatch), so other handlers,
    // and OnReceiveData for bytes that come early, may run before it returns; the component
    // counts as open during that wait.
    // Throws ECommsError:
    //   "Already have a comm file open"      when open; the open port is left untouched;
    //   "Error opening com port"             the device cannot be opened or is taken (another
    //                                        opener, in this or another process, holds it:
    //                                        its exclusive mark, its lock file or its flock);
    //   "File handle is not a comm handle. " the name is not a terminal device;
    //   "Unable to create Read thread"       the reader cannot be created, or it failed before
    //   "Unable to create Write thread"      it was ready; likewise the writer.
    // Returns false when the stop event cannot be created (comms log "Unable to CreateEvent: "
    // with the error text). After every throw but the first, and after false, the component is
    // closed and neither the device nor its lock file is held.
    // Should a handler run during the wait call StopComm (and perhaps StartComm again), the
    // wait ends at once and StartComm returns whether the component is open then.
    // An exception from a handler run during the wait propagates; the session being started
    // is stopped first.
    bool StartComm();

    // Stops both threads (each is waited for; after ThreadExitWait a not-exiting line is
    // logged and the wait goes on), closes the device, removes its lock file and, when this
    // component has a comms log file name, closes the comms log file. Does nothing when
    // closed. Bytes still queued for the writer are not written. A comms log write that fails on
    // the way does not stop the closing: its std::system_error is thrown once the component is
    // closed.
    void StopComm();

    // Copies `length` bytes from `data` (may be null when `length` is 0) and queues them for
    // the writer; true means queued, not sent: blocks go out in the order queued, each whole.
    // The caller may reuse its buffer at once. False, with a comms log line, when there is no
    // writer ("Write thread not created": closed) or it has ended ("Failed to Post to Write
    // thread. ", after a write failure such as a vanished device).
    bool WriteCommData(const std::uint8_t* data, std::uint16_t length);

    // True from the start of StartComm's wait until StopComm, also when a worker thread has
    // given up meanwhile (OnRequestHangup); only StopComm closes the component.
    bool IsOpen() const { return session_ != nullptr; }

  private:
    struct TSession;
    class TReceiver;
    class TWindowNotifier;
    enum class TThreadState { Starting, Ready, Failed };

    // The notification handlers, on the window's thread.
    void ReceiveData(std::uint64_t session, const TCommBlock& block);
    void ThreadReady(std::uint64_t session, TCommThreadKind kind);
    void ThreadStartFailed(std::uint64_t session, TCommThreadKind kind);
    void RequestHangup(std::uint64_t session);
    bool IsCurrent(std::uint64_t session) const;

    template <class TThread, class... TSettings>
    std::unique_ptr<TThread> CreateThread(const char* failureText, TSettings&&... settings);
    // Ends the open session; the first comms log failure on the way lands in `logFailure`.
    void CloseSession(std::exception_ptr& logFailure);
    // Signal the stop event, purge the thread's direction and wait for the thread to end.
    void CloseReadThread(TSession& session, std::exception_ptr& logFailure);
    void CloseWriteThread(TSession& session, std::exception_ptr& logFailure);
    void CloseSessionQuietly();

    TNotificationSink& windowThread_;
    std::shared_ptr<TReceiver> receiver_;
    std::unique_ptr<TSession> session_;
    std::uint64_t lastSessionId_ = 0;
    std::string commsLogFileName_;
    std::string commPort_ = "COM2";
    std::string lockDirectory_ = TPortLock::DefaultDirectory;
    TLineSettings settings_;
    std::chrono::milliseconds burstGap_ = DefaultBurstGap;
    BurstCompleteTest burstCompleteTest_;
    TReceiveDataEvent onReceiveData_;
    TNotifyEvent onRequestHangup_;
};

}  // namespace zak
