#pragma once

// ZakLink: the device link of ZAK Manager, without I/O, threads or clocks of its own.
//
// It sends request frames through a LinkPort, is handed every burst the serial component
// receives (Comm321ReceiveData), logs every frame each way, and drives the download, the
// upload and the last-key query reply by reply: a command sends the first request, each
// reply that is acted upon sends the next. Nothing waits in a loop.
//
// Which replies are acted upon. The unit answers each request with exactly one reply, so the
// first burst after a request is that request's reply; it is acted upon when it passes the
// checksum, has the length of its code, and its code answers that request (0x11 a read,
// 0x10 a write, 0x13 or 0x23 a last-key request). Every other burst is only logged with its
// verdict: noise, a second burst, a part of a split reply, a reply of another code.
// A late reply (to a request sent before the one sent last) never meets a newer request:
// a command given while a request still waits for its reply does not send at once. It waits
// until that reply has come, which is then logged and, when it belongs to a download or
// upload being started again, not acted upon; or until ReplyWait has passed since that
// request, after which its reply counts as lost for good. So a lost reply delays the next
// command by ReplyWait at most, and giving the command again always gets a transfer going.
// A last-key query given during a download or upload waits until the transfer has ended
// (or has stood still for ReplyWait); it never interrupts it.
//
// Threads and reentrancy. Everything runs on the window's thread. LinkWindow::Inform and
// LinkPort::EnsureOpen may run the window's event loop, and with it Comm321ReceiveData,
// before they return; the link's state is complete before it calls them.
//
// Ownership. The window owns the key table, the memory image, the port, the window events
// and the clock; all of them must outlive the link.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "Frame.h"
#include "KeyTable.h"
#include "LinkClock.h"
#include "LinkPort.h"
#include "LinkWindow.h"
#include "MemoryImage.h"

namespace zak {

class ZakLink {
  public:
    // How long the unit may take to answer. At 2400 Bd a write request, the unit's answer and
    // the 250 ms of silence that closes a burst take about 400 ms.
    static constexpr std::chrono::milliseconds DefaultReplyWait{1500};

    ZakLink(KeyTable& klice, MemoryImage& pamet, LinkPort& port, LinkWindow& window,
            LinkClock& clock);
    ZakLink(const ZakLink&) = delete;
    ZakLink& operator=(const ZakLink&) = delete;

    // Commands. Each may throw what LinkPort::EnsureOpen throws; the link's state is then as
    // the command set it up (BlockAddr 28 and StopRequest clear for a transfer) with nothing
    // sent and nothing logged.

    // Download: BlockAddr := 28, StopRequest cleared, read request for 28. When the last block
    // has come, or StopRequest was found set, LinkWindow::DownloadFinished.
    void DownloadButtClick();
    // Upload: BlockAddr := 28, StopRequest cleared, write request for 28 with the image's
    // bytes as they are now, and the next block at each acknowledgement.
    void UploadButtClick();
    // Asks the unit for the key presented last; the reply finds the key in the table, or
    // appends it, or tells the operator that no key was presented.
    void btnSendCRClick();
    // Sets StopRequest: the next block reply ends the running download or upload.
    void StopCommButtClick();
    // Clears StopRequest (ResetAll).
    void ClearStopRequest() { stopRequest_ = false; }

    // One burst received by the serial component, with its bytes (`BufferLength` of them,
    // valid during the call). Logs it whole and acts on it when it is the reply awaited.
    // May send the next request, and so throw what LinkPort::EnsureOpen throws.
    void Comm321ReceiveData(const std::uint8_t* Buffer, std::uint16_t BufferLength);

    // Called when the time asked for by LinkClock::CallTickAfter has passed: sends a command's
    // request that waited for the line (and so may throw what LinkPort::EnsureOpen throws).
    void Tick();

    // The wait for a reply before it counts as lost (tests and end-to-end runs shorten it).
    void SetReplyWait(std::chrono::milliseconds wait) { replyWait_ = wait; }

    // State, for the window and for tests.
    using FrameBuffer = std::array<std::uint8_t, FrameBufferSize>;
    const FrameBuffer& TxBuffer() const { return txBuffer_; }
    // The last burst received, as far as it fits; bytes past it are left from earlier bursts.
    const FrameBuffer& RxBuffer() const { return rxBuffer_; }
    // A frame that passed the checksum has arrived since the last frame was sent.
    bool ReplyValid() const { return replyValid_; }
    // Image address of the block asked for or written next.
    std::uint16_t BlockAddr() const { return blockAddr_; }
    bool StopRequest() const { return stopRequest_; }
    // The ID text of the key the unit reported last.
    const std::string& LastPresentedId() const { return lastPresentedId_; }

  private:
    enum class Awaiting { Nothing, ReadBlock, WriteBlock, LastKey };
    enum class Transfer { None, Download, Upload };

    // Frame layer.
    bool SendFrame(const std::uint8_t* bytes, int n);
    void SendRequest(Awaiting request, int n);
    void RecvFrame(const std::uint8_t* burst, std::size_t n);
    bool Answers(Awaiting request, std::size_t n) const;

    // Commands given while the line is busy wait here.
    bool LineBusy();
    void SendWaiting();
    void BeginTransfer(Transfer t);
    void StartTransfer(Transfer t);

    // Requests.
    void CtiBlokPameti();
    void ZapisBlokPameti();
    void SendLastKeyRequest();

    // After a block's reply: moves BlockAddr on and shows the progress; true when the
    // transfer goes on with the block at BlockAddr, false when it has ended (its end
    // reached, or StopRequest found set, which is then cleared).
    bool AdvanceBlock(int end);

    // Reply handlers; each returns the message to show once the burst is dealt with.
    void RplBlockData();
    void RplWriteAck();
    std::optional<std::string> RplLastKey();
    std::optional<std::string> RplNoNewKey();

    KeyTable& klice_;
    MemoryImage& pamet_;
    LinkPort& port_;
    LinkWindow& window_;
    LinkClock& clock_;

    FrameBuffer txBuffer_{};
    FrameBuffer rxBuffer_{};
    bool replyValid_ = false;
    std::uint16_t blockAddr_ = 0;
    bool stopRequest_ = false;
    std::string lastPresentedId_;

    // The request sent last whose reply has not come, and when it was sent.
    Awaiting awaiting_ = Awaiting::Nothing;
    LinkClock::TimePoint sentAt_{};
    // A download or upload started again while the line was busy; its first request waits.
    Transfer waitingTransfer_ = Transfer::None;
    // A last-key query waiting for the line and for the running transfer to end.
    bool waitingLastKey_ = false;
    // The port is being opened for a frame: bursts now answer nothing the link sent.
    bool opening_ = false;
    std::optional<LinkClock::TimePoint> tickDue_;
    std::chrono::milliseconds replyWait_ = DefaultReplyWait;
};

}  // namespace zak
