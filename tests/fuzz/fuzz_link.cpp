// Feeds arbitrary bursts, commands and ticks to the device link. Besides not crashing:
// a burst writes image bytes only inside the block last asked for, each byte from its own
// place in the burst (or, for a reported key, only what converting the table writes); no
// request reaches past 0x7FFF; a write request carries the image's own bytes; and the key
// table never holds more keys than it or the memory can.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "Frame.h"
#include "KeyConversion.h"
#include "TransferRange.h"
#include "ZakLink.h"

namespace zak {
namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

class Port : public LinkPort {
  public:
    Bytes queued;
    bool EnsureOpen() override { return true; }
    void QueueByte(std::uint8_t b) override { queued.push_back(b); }
};

class Window : public LinkWindow {
  public:
    Window(KeyTable& t, MemoryImage& m) : klice(t), pamet(m) {}
    KeyTable& klice;
    MemoryImage& pamet;
    bool keysToImage = false;

    void AppendLog(const std::string&) override {}
    void ShowProgress(int, int) override {}
    void ImageChanged() override {}
    void DownloadFinished() override { Mem2Keys(pamet, klice); }
    void KeysToImage() override {
        keysToImage = true;
        Keys2Mem(klice, pamet);
    }
    void ShowKey(int) override {}
    void ShowKeyRow(int) override {}
    void ShowPresentedId(const std::string&) override {}
    void Inform(const std::string&) override {}
};

class Clock : public LinkClock {
  public:
    TimePoint now{};
    TimePoint Now() override { return now; }
    void CallTickAfter(std::chrono::milliseconds) override {}
};

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    Bytes bytes(std::size_t n) {
        Bytes b;
        while (n-- > 0 && pos_ < size_)
            b.push_back(data_[pos_++]);
        return b;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

struct Rig {
    KeyTable klice;
    MemoryImage pamet;
    Port port;
    Window window{klice, pamet};
    Clock clock;
    ZakLink link{klice, pamet, port, window, clock};
    // The block of the read request sent last, while the request sent last is a read.
    std::optional<int> readBlock;
    bool lastKeyAsked = false;

    // Looks at the requests sent since the last look.
    void takeRequests() {
        std::size_t at = 0;
        const Bytes& q = port.queued;
        while (at < q.size()) {
            const std::size_t n = RequestLength(q[at]);
            check(n != 0 && at + n <= q.size());
            const std::optional<Request> r = ParseRequest(q.data() + at, n);
            check(r.has_value());
            readBlock.reset();
            lastKeyAsked = r->code == FrameCode::CmdLastKey;
            if (r->code != FrameCode::CmdLastKey)
                check(r->addr >= FirstBlockAddr && r->addr <= LastBlockAddr);
            if (r->code == FrameCode::CmdReadBlock)
                readBlock = r->addr;
            if (r->code == FrameCode::CmdWriteBlock) {
                for (int i = 0; i < BlockLength; ++i)
                    check(r->data[static_cast<std::size_t>(i)] == pamet[r->addr + i]);
            }
            at += n;
        }
        port.queued.clear();
    }

    // The last bursts that looked like block data and like a key: a reply held back as a
    // possible repeat may be acted upon later, at a tick or when a later burst finds the reply
    // wait over.
    Bytes lastBlockBurst;
    Bytes lastKeyBurst;

    // Image bytes that changed must lie in the block asked for and come from one of the
    // bursts, each byte from its own place.
    void checkImage(const std::vector<std::uint8_t>& before, const std::optional<int>& block,
                    const Bytes& b, const Bytes& held) {
        const auto from = [&](const Bytes& burst, int a) {
            return burst.size() == 16 &&
                   pamet[a] == burst[static_cast<std::size_t>(1 + a - *block)];
        };
        for (int a = 0; a < VelikostPameti; ++a) {
            if (pamet[a] == before[static_cast<std::size_t>(a)])
                continue;
            check(block && a >= *block && a < *block + BlockLength);
            check(from(b, a) || from(held, a));
        }
    }

    void burst(const Bytes& b) {
        const std::optional<int> block = readBlock;
        const bool askedKey = lastKeyAsked;
        const Bytes held = lastBlockBurst;
        const Bytes heldKey = lastKeyBurst;
        std::vector<std::uint8_t> before(pamet.data(), pamet.data() + VelikostPameti);
        window.keysToImage = false;
        link.Comm321ReceiveData(b.data(), static_cast<std::uint16_t>(b.size()));
        if (b.size() == 16 && b[0] == 0x11 && ChecksumOk(b.data(), b.size()))
            lastBlockBurst = b;
        if (b.size() == 9 && b[0] == 0x13 && ChecksumOk(b.data(), b.size()))
            lastKeyBurst = b;

        const auto keyReply = [](const Bytes& r) { return r.size() == 9 && r[0] == 0x13; };
        if (window.keysToImage)
            check(askedKey && (keyReply(b) || keyReply(heldKey)));
        else
            checkImage(before, block, b, held);
        takeRequests();
        check(klice.PocetKlicu <= MaxKlicu && klice.PocetKlicu <= KapacitaTabulky(klice));
    }

    void tick(std::chrono::milliseconds later) {
        const std::optional<int> block = readBlock;
        const bool askedKey = lastKeyAsked;
        std::vector<std::uint8_t> before(pamet.data(), pamet.data() + VelikostPameti);
        window.keysToImage = false;
        clock.now += later;
        link.Tick();
        if (window.keysToImage)
            check(askedKey && lastKeyBurst.size() == 9);
        else
            checkImage(before, block, {}, lastBlockBurst);
    }
};

// A reply with a good checksum: the fuzzer would seldom find one by chance.
Bytes GoodReply(Input& in) {
    static const std::uint8_t codes[] = {0x10, 0x11, 0x13, 0x23};
    const std::uint8_t code = codes[in.byte() % 4];
    Bytes b{code};
    const Bytes fields = in.bytes(ReplyLength(code) - 2);
    b.insert(b.end(), fields.begin(), fields.end());
    b.resize(ReplyLength(code) - 1);
    return WithChecksum(b);
}

}  // namespace
}  // namespace zak

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zak;
    Input in(data, size);
    Rig rig;
    // The table's settings decide where an upload ends and whether a reported key fits.
    const std::uint8_t setup = in.byte();
    const int keys = (setup & 0x07) == 7 ? MaxKlicu : (setup & 0x07) * 3;
    for (int k = 0; k < keys; ++k)
        PridejKlic(rig.klice);
    rig.klice.UkladatKomentare = (setup & 0x08) != 0 && keys <= Kapacita(rig.klice.DelkaKomentare);
    rig.klice.LimitNacitani = (setup & 0x10) ? 65535 : 2000;
    Keys2Mem(rig.klice, rig.pamet);

    while (!in.empty()) {
        const std::uint8_t op = in.byte();
        switch (op % 8) {
            case 0:
                rig.link.DownloadButtClick();
                break;
            case 1:
                rig.link.UploadButtClick();
                break;
            case 2:
                rig.link.btnSendCRClick();
                break;
            case 3:
                rig.link.StopCommButtClick();
                break;
            case 4:
                rig.tick(std::chrono::milliseconds(in.byte() * 16));
                break;
            case 5:
            case 6:
                rig.burst(GoodReply(in));
                continue;
            default: {
                const std::size_t high = in.byte();
                const std::size_t n = (high << 8 | in.byte()) % 2049;
                rig.burst(in.bytes(n == 0 ? 1 : n));
                continue;
            }
        }
        rig.takeRequests();
    }
    return 0;
}
