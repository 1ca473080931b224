#pragma once

// A ZakLink with everything around it faked: a port that records the bytes queued, a window
// that runs the real conversions on its table and image, a clock moved by hand, and the
// simulated unit's behaviour to answer the requests sent.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Frame.h"
#include "KeyConversion.h"
#include "KeyTable.h"
#include "MemoryImage.h"
#include "RequestDecoder.h"
#include "ZakLink.h"
#include "ZakUnit.h"

namespace zak::test {

using namespace std::chrono_literals;

class FakePort : public LinkPort {
  public:
    enum class Open { Works, Refuses, Throws };
    Open open = Open::Works;
    bool isOpen = false;
    // Runs inside EnsureOpen while the port is being opened (bursts that come early, commands
    // the operator gives meanwhile).
    std::function<void()> whileOpening;
    Bytes queued;

    bool EnsureOpen() override {
        if (isOpen)
            return true;
        // As the serial component does: it counts as open while it starts.
        if (opening)
            throw std::runtime_error("Already have a comm file open");
        if (whileOpening) {
            opening = true;
            struct Done {
                bool& flag;
                ~Done() { flag = false; }
            } done{opening};
            whileOpening();
        }
        if (open == Open::Throws)
            throw std::runtime_error("Error opening com port");
        isOpen = open == Open::Works;
        return isOpen;
    }
    void QueueByte(std::uint8_t b) override { queued.push_back(b); }

    Bytes take() { return std::exchange(queued, {}); }

  private:
    bool opening = false;
};

class FakeWindow : public LinkWindow {
  public:
    FakeWindow(KeyTable& t, MemoryImage& m) : klice(t), pamet(m) {}

    KeyTable& klice;
    MemoryImage& pamet;
    std::vector<std::string> log;
    std::vector<std::string> messages;
    int progressMax = 20032;
    int progressPos = 0;
    bool downloadFinished = false;
    int shownKey = 0;
    int rowShown = 0;
    std::string presentedId;

    void AppendLog(const std::string& line) override { log.push_back(line); }
    void ShowProgress(int maximum, int position) override {
        progressMax = maximum;
        progressPos = position;
    }
    void ImageChanged() override { pamet.vezmiZmeny(); }
    void DownloadFinished() override {
        downloadFinished = true;
        Mem2Keys(pamet, klice);
    }
    void KeysToImage() override { Keys2Mem(klice, pamet); }
    void ShowKey(int n) override { shownKey = n; }
    void ShowKeyRow(int n) override { rowShown = n; }
    void ShowPresentedId(const std::string& id) override { presentedId = id; }
    void Inform(const std::string& text) override { messages.push_back(text); }
};

class FakeClock : public LinkClock {
  public:
    TimePoint now{std::chrono::hours{1}};
    TimePoint Now() override { return now; }
    void CallTickAfter(std::chrono::milliseconds) override {}
};

// The link, its surroundings and a unit to talk to.
struct LinkRig {
    KeyTable klice;
    MemoryImage pamet;
    FakePort port;
    FakeWindow window{klice, pamet};
    FakeClock clock;
    ZakLink link{klice, pamet, port, window, clock};
    sim::ZakUnit unit;

    void feed(const Bytes& burst) {
        link.Comm321ReceiveData(burst.data(), static_cast<std::uint16_t>(burst.size()));
    }

    // The request queued since the last look, if it is one.
    std::optional<Request> takeRequest() {
        const Bytes sent = port.take();
        return ParseRequest(sent.data(), sent.size());
    }

    // Lets the unit answer the requests sent since the last look, in order; each chunk it
    // writes arrives as one burst, after the pause in front of it. The last request it
    // answered, or nothing when none was sent.
    std::optional<Request> answer() {
        const Bytes sent = port.take();
        sim::RequestDecoder decoder;
        std::vector<Request> requests = decoder.feed(sent.data(), sent.size());
        if (requests.empty())
            return std::nullopt;
        for (const Request& r : requests) {
            answered.push_back(r);
            for (const sim::LineChunk& chunk : unit.answer(r)) {
                advance(chunk.pauseBefore);
                feed(chunk.bytes);
            }
        }
        return requests.back();
    }

    // Answers until the link sends nothing more; the requests answered, in order.
    std::vector<Request> run() {
        const std::size_t from = answered.size();
        while (answer()) {
        }
        return {answered.begin() + static_cast<long>(from), answered.end()};
    }

    std::vector<Request> answered;

    void advance(std::chrono::milliseconds d) { clock.now += d; }
};

// Block addresses of the requests.
inline std::vector<int> Addresses(const std::vector<Request>& requests) {
    std::vector<int> a;
    for (const Request& r : requests)
        a.push_back(r.addr);
    return a;
}

// A unit memory that shows where each byte came from: no two neighbouring blocks agree.
inline void FillPattern(sim::ZakUnit::Memory& m) {
    for (std::size_t a = 0; a < m.size(); ++a)
        m[a] = static_cast<std::uint8_t>((a * 7 + a / 251) & 0xFF);
}

// The unit's head: comment marker and length, key count.
inline void SetHead(sim::ZakUnit::Memory& m, bool comments, int length, int count) {
    m[AdrZnackaKomentaru] = comments ? ZnackaKomentaru : 0x00;
    m[AdrDelkaKomentare] = static_cast<std::uint8_t>(length);
    m[AdrPocetHi] = static_cast<std::uint8_t>(count >> 8);
    m[AdrPocetLo] = static_cast<std::uint8_t>(count & 0xFF);
}

// A table of n keys with distinct IDs, floors and comments.
inline void FillKeys(KeyTable& t, int n) {
    for (int k = 1; k <= n; ++k) {
        const int got = PridejKlic(t);
        ASSERT_EQ(got, k);
        char id[15];
        std::snprintf(id, sizeof id, "%.6X%.8X", static_cast<unsigned>(k), 0xC0DE0000u + 31u * k);
        const IdAKod kod = ID2Kod(id);
        t.klic(k).ID = kod.ID;
        t.klic(k).Kod = kod.Kod;
        t.klic(k).Patra[static_cast<std::size_t>(k % 24)] = 1;
        t.klic(k).Komentar = "Klíč " + std::to_string(k);
    }
}

}  // namespace zak::test
