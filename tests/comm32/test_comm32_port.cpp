// TComm32 end to end, on real pseudo-terminals: the test plays the unit on the other side and
// the window's thread through a TEventQueue.

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "Comm32.h"
#include "CommTestSupport.h"
#include "CommThread.h"
#include "EventQueue.h"

namespace zak {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::TempLog;

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

const std::string ReadRequest = Bytes({0x01, 0x00, 0x1C, 0x0E, 0xEC});
const std::string BlockReply = Bytes({0x11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xE0});
const std::string NoNewKey = Bytes({0x23, 0xDC});

constexpr std::chrono::milliseconds ShortGap{20};

TEST(Comm32, StartsWithItsDocumentedSettings) {
    TEventQueue queue;
    TComm32 comm(queue);
    EXPECT_EQ(comm.BaudRate(), 9600u);
    EXPECT_EQ(comm.ByteSize(), 8);
    EXPECT_EQ(comm.Parity(), TParity::pNone);
    EXPECT_EQ(comm.StopBits(), TStopBits::sb1_0);
    EXPECT_EQ(comm.CommPort(), "COM2");
    EXPECT_EQ(comm.CommsLogFileName(), "");
    EXPECT_EQ(comm.BurstGap(), 250ms);
    EXPECT_FALSE(comm.IsOpen());
}

class Comm32Port : public ::testing::Test {
  protected:
    Comm32Port() {
        comm.SetCommPort(pty.Path());
        comm.SetLockDirectory(lockDir.Path());
        // Most tests do not depend on where bursts end; those that do put the real gap back.
        comm.SetBurstGap(ShortGap);
        comm.SetOnReceiveData([this](const std::uint8_t* buffer, std::uint16_t length) {
            EXPECT_EQ(buffer[length], 0) << "a zero byte follows the received bytes";
            received.emplace_back(reinterpret_cast<const char*>(buffer), length);
        });
        comm.SetOnRequestHangup([this](TComm32* sender) {
            EXPECT_EQ(sender, &comm);
            hungUp = true;
        });
    }
    ~Comm32Port() override { comm.StopComm(); }

    // Sends like the frame exchange does: one WriteCommData per byte.
    void SendFrame(const std::string& frame) {
        for (char c : frame) {
            const auto byte = static_cast<std::uint8_t>(c);
            ASSERT_TRUE(comm.WriteCommData(&byte, 1));
        }
    }

    bool WaitReceived(std::size_t blocks) {
        return queue.DispatchUntil([&] { return received.size() >= blocks; }, 5s);
    }
    bool WaitReceivedBytes(std::size_t bytes) {
        return queue.DispatchUntil([&] { return AllReceived().size() >= bytes; }, 5s);
    }
    std::string AllReceived() const {
        std::string all;
        for (const std::string& block : received)
            all += block;
        return all;
    }

    test::TempDir lockDir;
    PtyPair pty;
    TEventQueue queue;
    TComm32 comm{queue};
    std::vector<std::string> received;
    bool hungUp = false;
};

TEST_F(Comm32Port, OpensWritesReceivesStopsAndReopens) {
    ASSERT_TRUE(comm.StartComm());
    EXPECT_TRUE(comm.IsOpen());
    SendFrame(ReadRequest);
    EXPECT_EQ(pty.Receive(ReadRequest.size()), ReadRequest);
    pty.Send(BlockReply);
    ASSERT_TRUE(WaitReceivedBytes(BlockReply.size()));
    EXPECT_EQ(AllReceived(), BlockReply);

    comm.StopComm();
    EXPECT_FALSE(comm.IsOpen());
    comm.StopComm();  // stopping a closed port does nothing

    ASSERT_TRUE(comm.StartComm());
    SendFrame(NoNewKey);
    EXPECT_EQ(pty.Receive(NoNewKey.size()), NoNewKey);
    pty.Send(NoNewKey);
    ASSERT_TRUE(WaitReceivedBytes(BlockReply.size() + NoNewKey.size()));
    EXPECT_EQ(AllReceived(), BlockReply + NoNewKey);
}

TEST_F(Comm32Port, ComNameOpensTheDeviceItsEnvironmentVariableNames) {
    ::setenv("ZAK_COM4", pty.Path().c_str(), 1);
    comm.SetCommPort("COM4");
    const bool opened = comm.StartComm();
    ::unsetenv("ZAK_COM4");
    ASSERT_TRUE(opened);
    pty.Send(NoNewKey);
    ASSERT_TRUE(WaitReceivedBytes(NoNewKey.size()));
    EXPECT_EQ(AllReceived(), NoNewKey);
}

TEST_F(Comm32Port, StartFailuresRaiseTheirErrorAndHoldNothing) {
    char regular[] = "/tmp/zak-not-a-port-XXXXXX";
    ::close(::mkstemp(regular));
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/zak-no-such-port", "Error opening com port"},
        {"/dev/null", "File handle is not a comm handle. "},
        {regular, "File handle is not a comm handle. "},
    };
    const int descriptors = test::OpenDescriptorCount();
    for (const auto& [port, message] : cases) {
        comm.SetCommPort(port);
        try {
            comm.StartComm();
            ADD_FAILURE() << port << " opened";
        } catch (const ECommsError& e) {
            EXPECT_EQ(std::string(e.what()), message) << port;
        }
        EXPECT_FALSE(comm.IsOpen()) << port;
        EXPECT_EQ(test::OpenDescriptorCount(), descriptors) << port;
    }
    ::unlink(regular);

    comm.SetCommPort(pty.Path());
    EXPECT_TRUE(comm.StartComm());
}

TEST_F(Comm32Port, StartWhileOpenRaisesAndLeavesThePortWorking) {
    ASSERT_TRUE(comm.StartComm());
    try {
        comm.StartComm();
        ADD_FAILURE() << "a second StartComm succeeded";
    } catch (const ECommsError& e) {
        EXPECT_STREQ(e.what(), "Already have a comm file open");
    }
    EXPECT_TRUE(comm.IsOpen());
    SendFrame(NoNewKey);
    EXPECT_EQ(pty.Receive(NoNewKey.size()), NoNewKey);
}

TEST_F(Comm32Port, NoStopEventGivesFalseAndHoldsNothing) {
    TempLog log;
    comm.SetCommsLogFileName(log.Path());
    WriteCommsLog("start");  // the log file is open before the descriptors run out

    // Leave room for the device only, so that the stop event cannot be had.
    const int next = ::open("/dev/null", O_RDONLY);
    ::close(next);
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(next) + 1;
    ::setrlimit(RLIMIT_NOFILE, &tight);
    const int descriptors = test::OpenDescriptorCount();
    bool result = true;
    EXPECT_NO_THROW(result = comm.StartComm());
    const int descriptorsAfter = test::OpenDescriptorCount();
    ::setrlimit(RLIMIT_NOFILE, &saved);

    EXPECT_FALSE(result);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(descriptorsAfter, descriptors);
    EXPECT_TRUE(log.Has("Unable to CreateEvent: GetLastError returned: \"Too many open files\""));
    EXPECT_TRUE(comm.StartComm());
}

TEST_F(Comm32Port, TheDeviceIsTakenExclusively) {
    ASSERT_TRUE(comm.StartComm());

    TComm32 second(queue);
    second.SetCommPort(pty.Path());
    try {
        second.StartComm();
        ADD_FAILURE() << "opened twice in one process";
    } catch (const ECommsError& e) {
        EXPECT_STREQ(e.what(), "Error opening com port");
    }

    // Another process cannot take it either, root included: plain system calls only in the
    // child, which shares the parent's threads' locks.
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "the other process took it";

    comm.StopComm();
    EXPECT_TRUE(second.StartComm());
    second.StopComm();
}

TEST_F(Comm32Port, AThreadFailingBeforeReadyEndsTheWaitAndLeavesItClosed) {
    // The reader's first step is a comms log line; a full disk fails it before it is ready.
    comm.SetCommsLogFileName("/dev/full");
    const int descriptors = test::OpenDescriptorCount();
    try {
        comm.StartComm();
        ADD_FAILURE() << "started with a reader that failed";
    } catch (const ECommsError& e) {
        EXPECT_STREQ(e.what(), "Unable to create Read thread");
    }
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
    EXPECT_FALSE(hungUp);  // reported by StartComm, not as a hang-up

    comm.SetCommsLogFileName("");
    EXPECT_TRUE(comm.StartComm());
}

TEST_F(Comm32Port, StartRunsTheWindowsNotificationsWhileItWaits) {
    bool ran = false;
    queue.Post([&] { ran = true; });
    ASSERT_TRUE(comm.StartComm());
    EXPECT_TRUE(ran);
}

TEST_F(Comm32Port, AHandlerThatStopsThePortDuringTheWaitEndsIt) {
    queue.Post([&] { comm.StopComm(); });
    EXPECT_FALSE(comm.StartComm());
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(Comm32Port, AHandlerThatReopensThePortDuringTheWaitLeavesItOpen) {
    queue.Post([&] {
        comm.StopComm();
        EXPECT_TRUE(comm.StartComm());
    });
    EXPECT_TRUE(comm.StartComm());
    EXPECT_TRUE(comm.IsOpen());
    SendFrame(NoNewKey);
    EXPECT_EQ(pty.Receive(NoNewKey.size()), NoNewKey);
}

TEST_F(Comm32Port, BurstsEndAfterAQuarterSecondOfSilence) {
    comm.SetBurstGap(TComm32::DefaultBurstGap);
    ASSERT_TRUE(comm.StartComm());
    // Two frames, and bytes sent in two writes right after each other: one burst.
    pty.Send(BlockReply + NoNewKey);
    pty.Send(NoNewKey);
    ASSERT_TRUE(WaitReceived(1));
    // Sent once the burst has been delivered, so after the silence: a burst of its own.
    pty.Send(ReadRequest);
    ASSERT_TRUE(WaitReceived(2));
    EXPECT_EQ(received, (std::vector<std::string>{BlockReply + NoNewKey + NoNewKey, ReadRequest}));
}

TEST_F(Comm32Port, ALongBurstIsCutAt2048Bytes) {
    std::string burst(3000, '\0');
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<char>(i * 7);
    comm.SetBurstGap(TComm32::DefaultBurstGap);
    ASSERT_TRUE(comm.StartComm());
    pty.Send(burst);
    ASSERT_TRUE(WaitReceivedBytes(burst.size()));
    EXPECT_EQ(AllReceived(), burst);
    EXPECT_EQ(received.front().size(), 2048u);
    for (const std::string& block : received)
        EXPECT_LE(block.size(), 2048u);
}

// A burst-complete test that knows two frames by their length, as a caller that reads replies
// would, and notes the burst sizes it was asked about (on the reader thread).
class Comm32EarlyBurst : public Comm32Port {
  protected:
    Comm32EarlyBurst() {
        comm.SetBurstCompleteTest([this](const std::uint8_t* bytes, std::size_t n) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                asked.push_back(n);
            }
            askedChanged.notify_all();
            const std::size_t length = bytes[0] == 0x11 ? BlockReply.size() : NoNewKey.size();
            return (bytes[0] == 0x11 || bytes[0] == 0x23) && n == length;
        });
    }
    // The reader thread calls the test until the port is stopped: stop it while the test's
    // state is still there.
    ~Comm32EarlyBurst() override { comm.StopComm(); }

    // Waits until the test has been asked about a burst of `n` bytes.
    bool WaitAsked(std::size_t n) {
        std::unique_lock<std::mutex> lock(mutex);
        return askedChanged.wait_for(
            lock, 5s, [&] { return std::find(asked.begin(), asked.end(), n) != asked.end(); });
    }

    std::mutex mutex;
    std::condition_variable askedChanged;
    std::vector<std::size_t> asked;
};

TEST_F(Comm32EarlyBurst, ACompleteBurstEndsWithoutWaitingForTheSilence) {
    // A silence no test outlives: whatever arrives here came by the early end.
    comm.SetBurstGap(std::chrono::hours(1));
    ASSERT_TRUE(comm.StartComm());
    pty.Send(NoNewKey);
    ASSERT_TRUE(WaitReceived(1));

    // An incomplete reply stays in the burst; the rest of it completes that same burst, which
    // began afresh after the early end.
    const std::size_t half = BlockReply.size() / 2;
    pty.Send(BlockReply.substr(0, half));
    ASSERT_TRUE(WaitAsked(half));
    pty.Send(BlockReply.substr(half));
    ASSERT_TRUE(WaitReceived(2));
    EXPECT_EQ(received, (std::vector<std::string>{NoNewKey, BlockReply}));
}

TEST_F(Comm32EarlyBurst, AnIncompleteBurstEndsAfterTheSilence) {
    ASSERT_TRUE(comm.StartComm());
    pty.Send(ReadRequest);              // no frame the test knows
    pty.Send(BlockReply.substr(0, 3));  // a reply cut short
    ASSERT_TRUE(WaitReceivedBytes(ReadRequest.size() + 3));
    EXPECT_EQ(AllReceived(), ReadRequest + BlockReply.substr(0, 3));
    // A reply followed by more bytes is no complete reply either: the silence ends it.
    pty.Send(NoNewKey + NoNewKey);
    ASSERT_TRUE(WaitReceivedBytes(ReadRequest.size() + 3 + 2 * NoNewKey.size()));
    EXPECT_EQ(received.back(), NoNewKey + NoNewKey);
}

TEST_F(Comm32Port, ManyQueuedBlocksGoOutWholeAndInOrder) {
    ASSERT_TRUE(comm.StartComm());
    std::string sent;
    for (int i = 0; i < 3000; ++i) {
        // Mostly 0..16 bytes, some blocks empty; every 500th block is larger than the line's
        // buffer has room for, so that it goes out in several writes.
        const std::size_t length = i % 500 == 499 ? 30000 : static_cast<std::size_t>(i % 17);
        std::string block(length, static_cast<char>(i));
        if (!block.empty())
            block[0] = static_cast<char>(i >> 8);
        ASSERT_TRUE(comm.WriteCommData(reinterpret_cast<const std::uint8_t*>(block.data()),
                                       static_cast<std::uint16_t>(block.size())));
        sent += block;
    }
    EXPECT_EQ(pty.Receive(sent.size()), sent);
}

TEST_F(Comm32Port, StopWithAWritePendingAndBlocksQueued) {
    TempLog log;
    comm.SetCommsLogFileName(log.Path());
    ASSERT_TRUE(comm.StartComm());
    // Far more than the line holds while the unit reads nothing: the writer waits for room.
    const std::string block(4096, 'w');
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(comm.WriteCommData(reinterpret_cast<const std::uint8_t*>(block.data()),
                                       static_cast<std::uint16_t>(block.size())));
    }
    ASSERT_TRUE(pty.WaitReadable());
    comm.StopComm();
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_TRUE(log.Has("Write thread shutting down"));
    EXPECT_TRUE(log.Has("Time to Exit"));
    EXPECT_FALSE(log.Has("Closing TAPI"));  // a stop is not a write failure
    EXPECT_LT(pty.Drain().size(), block.size() * 100);

    ASSERT_TRUE(comm.StartComm());
    pty.Drain();
    SendFrame(NoNewKey);
    EXPECT_EQ(pty.Receive(NoNewKey.size()), NoNewKey);
}

TEST_F(Comm32Port, WriteAfterStopIsRefused) {
    TempLog log;
    comm.SetCommsLogFileName(log.Path());
    ASSERT_TRUE(comm.StartComm());
    comm.StopComm();
    const std::uint8_t byte = 0x03;
    EXPECT_FALSE(comm.WriteCommData(&byte, 1));
    EXPECT_TRUE(log.Has("Write thread not created"));
}

TEST_F(Comm32Port, DataOfAStoppedSessionIsNotDelivered) {
    TempLog log;
    comm.SetCommsLogFileName(log.Path());
    ASSERT_TRUE(comm.StartComm());
    pty.Send(NoNewKey);
    // Posted by the reader, still waiting in the window's queue...
    ASSERT_TRUE(log.WaitFor("Got something from Comm port!!!"));
    comm.StopComm();
    queue.DispatchPending();
    EXPECT_TRUE(received.empty());
}

TEST_F(Comm32Port, TheOtherEndClosingEndsTheReaderWithAHangupRequest) {
    TempLog log;
    comm.SetCommsLogFileName(log.Path());
    ASSERT_TRUE(comm.StartComm());
    pty.CloseMaster();
    ASSERT_TRUE(queue.DispatchUntil([&] { return hungUp; }, 5s));
    // The reader ended by itself rather than going round on a dead line.
    EXPECT_TRUE(log.WaitFor("Read thread shutting down"));

    const std::uint8_t byte = 0x03;
    comm.WriteCommData(&byte, 1);  // goes nowhere, quietly
    EXPECT_TRUE(comm.IsOpen());
    comm.StopComm();
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(log.Has("Closing TAPI"));
}

// TIOCVHANGUP does to the terminal what the kernel does when a USB adapter is pulled out.
TEST_F(Comm32Port, AVanishedDeviceLeavesTheComponentUsableAndCanBeReopened) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "TIOCVHANGUP needs root";
    TempLog log;
    comm.SetCommsLogFileName(log.Path());
    ASSERT_TRUE(comm.StartComm());
    ASSERT_EQ(::ioctl(pty.Terminal(), TIOCVHANGUP), 0);
    ASSERT_TRUE(queue.DispatchUntil([&] { return hungUp; }, 5s));
    EXPECT_TRUE(log.WaitFor("Read thread shutting down"));

    // The first write finds the device gone and ends the writer quietly; later ones are refused.
    const std::uint8_t byte = 0x03;
    EXPECT_TRUE(comm.WriteCommData(&byte, 1));
    ASSERT_TRUE(log.WaitFor("Write thread shutting down"));
    EXPECT_FALSE(comm.WriteCommData(&byte, 1));
    EXPECT_TRUE(log.Has("Failed to Post to Write thread. "));
    EXPECT_FALSE(log.Has("Closing TAPI"));

    comm.StopComm();
    ASSERT_TRUE(comm.StartComm());
    SendFrame(NoNewKey);
    EXPECT_EQ(pty.Receive(NoNewKey.size()), NoNewKey);
    pty.Send(BlockReply);
    ASSERT_TRUE(WaitReceivedBytes(BlockReply.size()));
    EXPECT_EQ(AllReceived(), BlockReply);
}

}  // namespace
}  // namespace zak
