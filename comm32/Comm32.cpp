#include "Comm32.h"

#include <termios.h>

#include <cerrno>
#include <new>
#include <system_error>
#include <utility>

#include "CommDevice.h"
#include "Misc.h"
#include "PortName.h"
#include "ReadThread.h"
#include "StopSignal.h"
#include "WriteThread.h"

namespace zak {

// One open port: the device, its stop event and its two threads. Members are destroyed in
// reverse order, so the threads are joined before the stop event and the device close.
struct TComm32::TSession {
    TSession(std::uint64_t id, TCommDevice device) : Id(id), Device(std::move(device)) {}

    const std::uint64_t Id;
    TCommDevice Device;
    TStopSignal Stop;
    std::unique_ptr<TReadThread> Reader;
    std::unique_ptr<TWriteThread> Writer;
    TThreadState ReaderState = TThreadState::Starting;
    TThreadState WriterState = TThreadState::Starting;
};

// The component as seen by notifications waiting in the sink. Read and cleared on the window's
// thread only, so a notification that runs after the component is gone finds nothing.
class TComm32::TReceiver {
  public:
    explicit TReceiver(TComm32* component) : Component(component) {}
    TComm32* Component;
};

// Turns a worker thread's reports into notifications run on the window's thread.
class TComm32::TWindowNotifier final : public TCommNotifier {
  public:
    TWindowNotifier(TNotificationSink& sink, std::shared_ptr<TReceiver> receiver,
                    std::uint64_t session)
        : sink_(sink), receiver_(std::move(receiver)), session_(session) {}

    bool PostData(TCommBlock block) override {
        // std::function must be copyable: the block travels behind a shared pointer, and the
        // notification is its only holder.
        auto shared = std::make_shared<TCommBlock>(std::move(block));
        return Post([shared](TComm32& c, std::uint64_t s) { c.ReceiveData(s, *shared); });
    }
    bool PostHangup() override {
        return Post([](TComm32& c, std::uint64_t s) { c.RequestHangup(s); });
    }
    bool PostReady(TCommThreadKind kind) override {
        return Post([kind](TComm32& c, std::uint64_t s) { c.ThreadReady(s, kind); });
    }
    bool PostStartFailed(TCommThreadKind kind) override {
        return Post([kind](TComm32& c, std::uint64_t s) { c.ThreadStartFailed(s, kind); });
    }

  private:
    template <class TAction>
    bool Post(TAction action) {
        return sink_.Post([receiver = receiver_, session = session_, action = std::move(action)] {
            if (receiver->Component != nullptr)
                action(*receiver->Component, session);
        });
    }

    TNotificationSink& sink_;
    const std::shared_ptr<TReceiver> receiver_;
    const std::uint64_t session_;
};

namespace {

// Writes a comms log line; a failure is kept in `failure` (the first one only) instead of
// interrupting the caller's work.
void LogKeeping(std::exception_ptr& failure, const char* text) {
    try {
        WriteCommsLog(text);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
}

}  // namespace

TComm32::TComm32(TNotificationSink& windowThread)
    : windowThread_(windowThread), receiver_(std::make_shared<TReceiver>(this)) {
    SetCommsLogName("");
}

TComm32::~TComm32() {
    receiver_->Component = nullptr;
    if (session_)
        CloseSessionQuietly();
}

void TComm32::SetCommsLogFileName(const std::string& value) {
    commsLogFileName_ = value;
    SetCommsLogName(value);
}

bool TComm32::IsCurrent(std::uint64_t session) const {
    return session_ != nullptr && session_->Id == session;
}

void TComm32::ReceiveData(std::uint64_t session, const TCommBlock& block) {
    if (!IsCurrent(session))
        return;
    // A copy, so that a handler that rebinds the event does not destroy the running one.
    const TReceiveDataEvent handler = onReceiveData_;
    if (handler)
        handler(block.Data(), static_cast<std::uint16_t>(block.Count()));
}

void TComm32::RequestHangup(std::uint64_t session) {
    if (!IsCurrent(session))
        return;
    const TNotifyEvent handler = onRequestHangup_;
    if (handler)
        handler(this);
}

void TComm32::ThreadReady(std::uint64_t session, TCommThreadKind kind) {
    if (!IsCurrent(session))
        return;
    (kind == TCommThreadKind::Reader ? session_->ReaderState : session_->WriterState) =
        TThreadState::Ready;
}

void TComm32::ThreadStartFailed(std::uint64_t session, TCommThreadKind kind) {
    if (!IsCurrent(session))
        return;
    (kind == TCommThreadKind::Reader ? session_->ReaderState : session_->WriterState) =
        TThreadState::Failed;
}

template <class TThread, class... TSettings>
std::unique_ptr<TThread> TComm32::CreateThread(const char* failureText, TSettings&&... settings) {
    int error = 0;
    try {
        TCommThreadParams params;
        params.PortHandle = session_->Device.Handle();
        params.StopEvent = session_->Stop.Handle();
        params.Notifier = std::make_shared<TWindowNotifier>(windowThread_, receiver_, session_->Id);
        auto thread =
            std::make_unique<TThread>(std::move(params), std::forward<TSettings>(settings)...);
        thread->Resume();
        return thread;
    } catch (const std::system_error& e) {
        error = e.code().value();
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    try {
        LogLastError(error, failureText);
    } catch (...) {
        // The start failure is the report that matters.
    }
    throw ECommsError(failureText);
}

bool TComm32::StartComm() {
    if (session_)
        throw ECommsError("Already have a comm file open");
    auto session = std::make_unique<TSession>(
        ++lastSessionId_, TCommDevice::Open(ResolveCommPort(commPort_), settings_, lockDirectory_));
    if (!session->Stop.Valid()) {
        LogLastError(session->Stop.CreationError(), "Unable to CreateEvent: ");
        return false;
    }
    const std::uint64_t id = session->Id;
    session_ = std::move(session);

    try {
        session_->Reader = CreateThread<TReadThread>(
            "Unable to create Read thread",
            TReadSettings{burstGap_, burstCompleteTest_, ReadLineErrorCounts});
        session_->Writer = CreateThread<TWriteThread>("Unable to create Write thread");
        for (;;) {
            // A handler run during the wait may have stopped this session (and started another).
            if (!IsCurrent(id))
                return IsOpen();
            const TThreadState reader = session_->ReaderState;
            const TThreadState writer = session_->WriterState;
            if (reader == TThreadState::Failed || writer == TThreadState::Failed) {
                const char* text = reader == TThreadState::Failed ? "Unable to create Read thread"
                                                                  : "Unable to create Write thread";
                std::exception_ptr ignored;
                LogKeeping(ignored, text);
                throw ECommsError(text);
            }
            if (reader == TThreadState::Ready && writer == TThreadState::Ready)
                return true;
            windowThread_.WaitAndDispatch();
        }
    } catch (...) {
        if (IsCurrent(id))
            CloseSessionQuietly();
        throw;
    }
}

void TComm32::StopComm() {
    if (!session_)
        return;
    std::exception_ptr logFailure;
    CloseSession(logFailure);
    if (logFailure)
        std::rethrow_exception(logFailure);
}

void TComm32::CloseSession(std::exception_ptr& logFailure) {
    LogKeeping(logFailure, "Stopping the Comm");
    std::unique_ptr<TSession> session = std::move(session_);
    CloseReadThread(*session, logFailure);
    CloseWriteThread(*session, logFailure);
    session.reset();
    if (!commsLogFileName_.empty()) {
        try {
            CloseCommsLog();
        } catch (...) {
            if (!logFailure)
                logFailure = std::current_exception();
        }
    }
}

void TComm32::CloseReadThread(TSession& session, std::exception_ptr& logFailure) {
    if (!session.Reader)
        return;
    LogKeeping(logFailure, "Closing Read Thread ");
    session.Stop.Signal();
    ::tcflush(session.Device.Handle(), TCIFLUSH);
    if (!session.Reader->WaitFor(ThreadExitWait))
        LogKeeping(logFailure, "Read thread not exiting.  Terminating it.");
    session.Reader.reset();
}

void TComm32::CloseWriteThread(TSession& session, std::exception_ptr& logFailure) {
    if (!session.Writer)
        return;
    LogKeeping(logFailure, "Closing Write Thread");
    session.Stop.Signal();
    ::tcflush(session.Device.Handle(), TCOFLUSH);
    if (!session.Writer->WaitFor(ThreadExitWait))
        LogKeeping(logFailure, "Write thread not exiting.  Terminating it.");
    session.Writer.reset();
}

void TComm32::CloseSessionQuietly() {
    std::exception_ptr ignored;
    CloseSession(ignored);
}

bool TComm32::WriteCommData(const std::uint8_t* data, std::uint16_t length) {
    if (!session_ || !session_->Writer) {
        WriteCommsLog("Write thread not created");
        return false;
    }
    TCommBlock block;
    try {
        block = TCommBlock(data, length);
    } catch (const std::bad_alloc&) {
        LogLastError(ENOMEM, "LocalAlloc: ");
        return false;
    }
    if (!session_->Writer->Post(std::move(block))) {
        WriteCommsLog("Failed to Post to Write thread. ");
        return false;
    }
    return true;
}

}  // namespace zak
