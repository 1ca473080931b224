#pragma once

// ZakLink: the device link of ZAK Manager, without I/O, threads or clocks of its own.
//
// It sends request frames through a LinkPort, is handed every burst the serial component
// receives (Comm321ReceiveData), logs every frame each way, and drives the download, the
// upload and the last-key query reply by reply: a command sends the first request, each
// reply that is acted upon sends the next. Nothing waits in a loop.
//
// Which replies are acted upon (LinkState.h has the whole rule as a table). At most one
// request is out at a time. A burst is acted upon only when it is the whole, well-formed reply
// to that request (JudgeBurst); every other burst is logged with its verdict and changes
// nothing, so noise never uses up a reply and never lets a waiting command go.
// A command given while a request is out does not send at once. A download or upload given
// again abandons the running one: its first request goes out when the reply still on its way
// has come (logged, not acted upon), or when the reply wait (the longest the unit may take,
// LongestReplyTime) has passed with the line quiet (QuietTime without a burst). A last-key
// query waits until the transfer running has ended or stalled; it never interrupts it. A
// request whose reply has not come within the reply wait, with the line quiet, has stalled:
// a reply that comes after that is not acted upon, and giving the command again starts over.
// A reply that repeats the one before it is held back until it is clear whether it was a
// repeat. So no block of the unit's memory ever lands at another address in the image, and no
// image block is written to another address in the unit, whatever arrives when, as long as
// the unit answers within its reply wait and noise does not forge a whole reply (the checksum
// is one byte).
//
// Threads and reentrancy. Everything runs on the window's thread. LinkWindow::Inform and
// LinkPort::EnsureOpen may run the window's event loop, and with it Comm321ReceiveData and
// the operator's commands, before they return; the link's state is complete before it calls
// them, and a command given while the port opens for a frame waits as it would for a reply.
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
#include "LinkState.h"
#include "LinkWindow.h"
#include "MemoryImage.h"
#include "ReplyRule.h"

namespace zak {

class ZakLink {
  public:
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

    // The line as the serial component sees it (2400 Bd and a burst gap of 250 ms unless
    // set) and how soon the unit answers; the reply wait and the quiet time follow from them.
    void SetLineTiming(const LineTiming& line,
                       std::chrono::milliseconds unitTurnaround = UnitTurnaround);
    // The longest the reply to `request` may take; after it, with the line quiet, the request
    // has stalled.
    std::chrono::milliseconds ReplyWait(FrameCode request) const {
        return state_.ReplyWait(request);
    }

    // A download waits for a block: the image is the download's until it ends or stalls. An
    // edit of the key table meanwhile must not rewrite the image (Keys2Mem), or the keys the
    // download ends with would be converted from a mix of the unit's blocks and the table's.
    bool DownloadHoldsImage() const { return state_.DownloadWaiting(clock_.Now()); }

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
    // Frame layer.
    bool SendFrame(const std::uint8_t* bytes, int n);
    void RecvFrame(const std::uint8_t* burst, std::size_t n);
    // Does the steps the state gives, from `first` on, then shows the message a reply left.
    void Run(LinkState::Step first);
    std::optional<std::string> ActOn(FrameCode request, const Bytes& reply);
    void ScheduleTick();

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

    // Reply handlers, given the whole reply; each returns the message to show once the burst
    // is dealt with.
    void RplBlockData(const Bytes& reply);
    void RplWriteAck();
    std::optional<std::string> RplLastKey(const Bytes& reply);
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

    LinkState state_;
    std::optional<LinkClock::TimePoint> tickDue_;
};

}  // namespace zak
