// How TComm32 shares a device with other programs, on real pseudo-terminals: their exclusive
// mark and their lock files keep it out, and it leaves both as it found them.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>

#include "Comm32.h"
#include "CommTestSupport.h"
#include "EventQueue.h"

namespace zak {
namespace {

using namespace std::chrono_literals;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// What other serial programs write: the process id, ten characters right-aligned, a line end.
std::string LockText(pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
}

std::string OpenError(TComm32& comm) {
    try {
        comm.StartComm();
    } catch (const ECommsError& e) {
        return e.what();
    }
    return "opened";
}

class Comm32Lock : public ::testing::Test {
  protected:
    Comm32Lock() {
        comm.SetCommPort(pty.Path());
        comm.SetLockDirectory(lockDir.Path());
        comm.SetBurstGap(20ms);
        comm.SetCommsLogFileName(log.Path());
    }
    ~Comm32Lock() override { comm.StopComm(); }

    // The lock file of the pseudo-terminal: its name is that of the real device.
    std::string LockFile(const std::string& directory) const {
        return directory + "/LCK.." + pty.Path().substr(pty.Path().rfind('/') + 1);
    }

    test::TempDir lockDir;
    test::TempLog log;
    test::PtyPair pty;
    TEventQueue queue;
    TComm32 comm{queue};
};

TEST_F(Comm32Lock, AnotherProgramsExclusiveMarkRefusesTheOpenAndStaysSet) {
    // The other program's descriptor: the terminal side the test keeps open.
    ASSERT_EQ(::ioctl(pty.Terminal(), TIOCEXCL), 0);
    EXPECT_EQ(OpenError(comm), "Error opening com port");
    EXPECT_FALSE(comm.IsOpen());
    int marked = 0;
    ASSERT_EQ(::ioctl(pty.Terminal(), TIOCGEXCL, &marked), 0);
    EXPECT_EQ(marked, 1) << "the other program's mark was cleared";
    EXPECT_FALSE(Exists(LockFile(lockDir.Path())));

    // Once the other program lets go, the port opens; our own mark goes again with us.
    ASSERT_EQ(::ioctl(pty.Terminal(), TIOCNXCL), 0);
    ASSERT_TRUE(comm.StartComm());
    ASSERT_EQ(::ioctl(pty.Terminal(), TIOCGEXCL, &marked), 0);
    EXPECT_EQ(marked, 1);
    comm.StopComm();
    ASSERT_EQ(::ioctl(pty.Terminal(), TIOCGEXCL, &marked), 0);
    EXPECT_EQ(marked, 0);
}

TEST_F(Comm32Lock, TakesTheLockFileThroughALinkAndRemovesItOnStop) {
    const std::string link = lockDir.Path() + "/by-id-link";
    ASSERT_EQ(::symlink(pty.Path().c_str(), link.c_str()), 0);
    comm.SetCommPort(link);
    ASSERT_TRUE(comm.StartComm());

    const std::string lockFile = LockFile(lockDir.Path());
    EXPECT_EQ(ReadFile(lockFile), LockText(::getpid()));
    struct stat st {};
    ASSERT_EQ(::stat(lockFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    comm.StopComm();
    EXPECT_FALSE(Exists(lockFile));
    ::unlink(link.c_str());
}

TEST_F(Comm32Lock, ALockFileOfALiveProcessRefusesAStaleOneIsTakenOver) {
    // Another program that holds the port, alive until the test ends it.
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::pause();
        ::_exit(0);
    }
    // A program that has ended without removing its lock.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);

    struct Case {
        std::string lock;
        bool opens;
    };
    const Case cases[] = {
        {LockText(holder), false},
        {"     " + std::to_string(holder) + "\n", false},  // padded differently, still alive
        {"no process here\n", false},
        {LockText(gone), true},
    };
    const std::string lockFile = LockFile(lockDir.Path());
    for (const Case& c : cases) {
        WriteFile(lockFile, c.lock);
        if (c.opens) {
            EXPECT_TRUE(comm.StartComm()) << c.lock;
            EXPECT_EQ(ReadFile(lockFile), LockText(::getpid()));
            comm.StopComm();
            EXPECT_FALSE(Exists(lockFile));
        } else {
            EXPECT_EQ(OpenError(comm), "Error opening com port") << c.lock;
            EXPECT_FALSE(comm.IsOpen());
            EXPECT_EQ(ReadFile(lockFile), c.lock) << "another program's lock was touched";
        }
    }
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
}

TEST_F(Comm32Lock, AFailedStartLeavesNoLockBehind) {
    // The reader's first step is a comms log line; a full disk fails it before it is ready.
    comm.SetCommsLogFileName("/dev/full");
    EXPECT_EQ(OpenError(comm), "Unable to create Read thread");
    EXPECT_FALSE(Exists(LockFile(lockDir.Path())));
}

TEST_F(Comm32Lock, ALockDirectoryItCannotWriteDoesNotStopThePort) {
    comm.SetLockDirectory(lockDir.Path() + "/missing");
    ASSERT_TRUE(comm.StartComm());
    bool logged = false;
    for (const std::string& line : log.Lines())
        logged = logged || line.rfind("Unable to create lock file: ", 0) == 0;
    EXPECT_TRUE(logged);
}

TEST_F(Comm32Lock, UsesTheSystemsLockDirectoryByDefault) {
    TComm32 fresh(queue);
    EXPECT_EQ(fresh.LockDirectory(), "/run/lock");
    if (::access("/run/lock", W_OK) != 0)
        GTEST_SKIP() << "/run/lock is not writable here";
    comm.SetLockDirectory(fresh.LockDirectory());
    ASSERT_TRUE(comm.StartComm());
    EXPECT_EQ(ReadFile(LockFile("/run/lock")), LockText(::getpid()));
    comm.StopComm();
    EXPECT_FALSE(Exists(LockFile("/run/lock")));
}

}  // namespace
}  // namespace zak
