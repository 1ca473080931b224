// The burst rule with injected time, and the reader's line-error report order on a real
// pseudo-terminal with scripted error counters.

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "BurstCollector.h"
#include "CommDevice.h"
#include "CommTestSupport.h"
#include "ReadThread.h"
#include "StopSignal.h"

namespace zak {
namespace {

using namespace std::chrono_literals;
using Clock = TBurstCollector::Clock;

void Put(TBurstCollector& burst, const std::string& bytes, Clock::time_point at) {
    std::copy(bytes.begin(), bytes.end(), burst.Space());
    burst.Added(bytes.size(), at);
}

std::string Text(const TCommBlock& block) {
    return std::string(reinterpret_cast<const char*>(block.Data()), block.Count());
}

TEST(BurstCollector, EveryArrivalRenewsTheGap) {
    const Clock::time_point t0{};
    TBurstCollector burst(250ms, 2048);
    EXPECT_FALSE(burst.Due(t0));
    EXPECT_EQ(burst.PollTimeout(t0), -1);  // nothing received: wait without limit

    Put(burst, "\x11", t0);
    EXPECT_EQ(burst.PollTimeout(t0 + 100ms), 150);
    Put(burst, "\x22\x33", t0 + 249ms);
    EXPECT_FALSE(burst.Due(t0 + 498ms));
    EXPECT_TRUE(burst.Due(t0 + 499ms));
    EXPECT_EQ(burst.PollTimeout(t0 + 499ms), 0);

    const TCommBlock block = burst.Take();
    EXPECT_EQ(Text(block), "\x11\x22\x33");
    EXPECT_EQ(block.Data()[block.Count()], 0);  // one zero byte follows the bytes
    EXPECT_TRUE(burst.Empty());
    EXPECT_FALSE(burst.Due(t0 + 10s));
}

TEST(BurstCollector, AFullBurstIsDueAtOnce) {
    const Clock::time_point t0{};
    TBurstCollector burst(250ms, 4);
    Put(burst, "abc", t0);
    EXPECT_FALSE(burst.Due(t0));
    Put(burst, "d", t0);
    EXPECT_EQ(burst.Room(), 0u);
    EXPECT_TRUE(burst.Due(t0));
    EXPECT_EQ(Text(burst.Take()), "abcd");
    EXPECT_EQ(burst.Room(), 4u);
}

// Records what a worker thread posts, as text, for the test's thread to wait on.
class RecordingNotifier final : public TCommNotifier {
  public:
    bool PostData(TCommBlock block) override { return Add("data:" + Text(block)); }
    bool PostHangup() override { return Add("hangup"); }
    bool PostReady(TCommThreadKind) override { return Add("ready"); }
    bool PostStartFailed(TCommThreadKind) override { return Add("start failed"); }

    std::vector<std::string> WaitFor(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        posted_.wait_for(lock, 5s, [&] { return events_.size() >= count; });
        return events_;
    }

  private:
    bool Add(std::string event) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            events_.push_back(std::move(event));
        }
        posted_.notify_all();
        return true;
    }

    std::mutex mutex_;
    std::condition_variable posted_;
    std::vector<std::string> events_;
};

TEST(ReadThread, ALineErrorIsReportedAheadOfTheDataThatCameWithIt) {
    test::PtyPair pty;
    TCommDevice device = TCommDevice::Open(pty.Path(), TLineSettings{}, "");
    TStopSignal stop;
    auto notifier = std::make_shared<RecordingNotifier>();
    std::atomic<bool> framingError{false};
    TReadSettings settings;
    settings.BurstGap = 50ms;
    // Counters that show one framing error once the test says so, as a UART's would.
    settings.LineErrorCounts = [&framingError](int) {
        TLineErrorCounts counts;
        counts.Frame = framingError ? 1 : 0;
        return std::optional<TLineErrorCounts>(counts);
    };
    TReadThread reader({device.Handle(), stop.Handle(), notifier}, settings);
    reader.Resume();
    ASSERT_EQ(notifier->WaitFor(1), std::vector<std::string>{"ready"});

    framingError = true;
    pty.Send("\x11\xAB");
    EXPECT_EQ(notifier->WaitFor(3),
              (std::vector<std::string>{"ready", "data:Comm Event: CE_FRAME, EvtMask = 8",
                                        "data:\x11\xAB"}));

    stop.Signal();
    EXPECT_TRUE(reader.WaitFor(5s));
}

TEST(ReadThread, APseudoTerminalKeepsNoErrorCounters) {
    test::PtyPair pty;
    EXPECT_EQ(ReadLineErrorCounts(pty.Terminal()), std::nullopt);
}

}  // namespace
}  // namespace zak
