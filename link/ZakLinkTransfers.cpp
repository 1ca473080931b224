// The commands, requests and reply handlers of ZakLink: download, upload and last key.
#include <algorithm>

#include "LinkMessages.h"
#include "TransferRange.h"
#include "ZakLink.h"

namespace zak {

void ZakLink::DownloadButtClick() {
    BeginTransfer(Transfer::Download);
}

void ZakLink::UploadButtClick() {
    BeginTransfer(Transfer::Upload);
}

void ZakLink::BeginTransfer(Transfer t) {
    blockAddr_ = FirstBlockAddr;
    stopRequest_ = false;
    Run(state_.TransferGiven(t, clock_.Now()));
}

void ZakLink::btnSendCRClick() {
    Run(state_.LastKeyGiven(clock_.Now()));
}

void ZakLink::StopCommButtClick() {
    stopRequest_ = true;
}

void ZakLink::StartTransfer(Transfer t) {
    blockAddr_ = FirstBlockAddr;
    if (t == Transfer::Download)
        CtiBlokPameti();
    else
        ZapisBlokPameti();
}

void ZakLink::CtiBlokPameti() {
    txBuffer_[0] = static_cast<std::uint8_t>(FrameCode::CmdReadBlock);
    txBuffer_[1] = static_cast<std::uint8_t>(blockAddr_ >> 8);
    txBuffer_[2] = static_cast<std::uint8_t>(blockAddr_ & 0xFF);
    txBuffer_[3] = BlockLength;
    SendFrame(txBuffer_.data(), 4);
}

void ZakLink::ZapisBlokPameti() {
    txBuffer_[0] = static_cast<std::uint8_t>(FrameCode::CmdWriteBlock);
    txBuffer_[1] = static_cast<std::uint8_t>(blockAddr_ >> 8);
    txBuffer_[2] = static_cast<std::uint8_t>(blockAddr_ & 0xFF);
    txBuffer_[3] = BlockLength;
    for (int i = 0; i < BlockLength; ++i)
        txBuffer_[static_cast<std::size_t>(4 + i)] = pamet_[blockAddr_ + i];
    SendFrame(txBuffer_.data(), 4 + BlockLength);
}

void ZakLink::SendLastKeyRequest() {
    txBuffer_[0] = static_cast<std::uint8_t>(FrameCode::CmdLastKey);
    SendFrame(txBuffer_.data(), 1);
}

void ZakLink::RplBlockData(const Bytes& reply) {
    for (int i = 0; i < BlockLength; ++i)
        pamet_.zapis(blockAddr_ + i, reply[static_cast<std::size_t>(1 + i)]);
    window_.ImageChanged();

    // The head came with the first block; reading it again after each block costs nothing.
    TakeHead(pamet_, klice_);
    const int end = TransferEnd(klice_);
    if (AdvanceBlock(end)) {
        CtiBlokPameti();
        return;
    }
    window_.DownloadFinished();
    window_.ShowProgress(end, 0);
}

void ZakLink::RplWriteAck() {
    const int end = TransferEnd(klice_);
    if (AdvanceBlock(end)) {
        ZapisBlokPameti();
        return;
    }
    window_.ShowProgress(end, 0);
}

bool ZakLink::AdvanceBlock(int end) {
    const int next = blockAddr_ + BlockLength;
    if (next < end && !stopRequest_) {
        blockAddr_ = BlockStart(next);
        window_.ShowProgress(end, blockAddr_);
        return true;
    }
    blockAddr_ = static_cast<std::uint16_t>(next);
    stopRequest_ = false;
    return false;
}

std::optional<std::string> ZakLink::RplLastKey(const Bytes& reply) {
    const TKod kod = KodFromLastKeyReply(reply.data());
    const std::string id = Kod2ID(kod);
    lastPresentedId_ = id;
    window_.ShowPresentedId(id);

    const MistoKlice misto = UmistiKlic(klice_, kod);
    const int k = misto.Cislo;
    if (k == 0)
        return TableFullMessage(klice_);
    klice_.AktKlic = static_cast<std::uint16_t>(k);
    if (!misto.Pridan) {
        window_.ShowKey(k);
        return KeyFoundMessage();
    }
    window_.ShowKeyRow(k);
    window_.ShowKey(k);
    window_.KeysToImage();
    return std::nullopt;
}

std::optional<std::string> ZakLink::RplNoNewKey() {
    return NoNewKeyMessage();
}

}  // namespace zak
