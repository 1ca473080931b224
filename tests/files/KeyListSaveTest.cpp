// A save replaces the key list file by a new one. These tests watch what the new file
// is given: its permission bits from the moment it exists, its group and owner, and a
// name that still fits when the file's own name is as long as the system allows.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "KeyListFile.h"
#include "TempFolder.h"

namespace zak {
namespace {

using test::readBytes;
using test::TempFolder;

// Ids that no account of a test machine has; only root can give them to a file.
constexpr uid_t OtherOwner = 4000;
constexpr uid_t Writer = 4001;
constexpr gid_t SharedGroup = 4242;

std::unique_ptr<KeyTable> keys(int count) {
    auto t = std::make_unique<KeyTable>();
    t->PocetKlicu = static_cast<std::uint16_t>(count);
    for (int k = 1; k <= count; ++k) {
        t->klic(k).ID = "0102030405060" + std::to_string(k % 10);
        t->klic(k).Kod = ID2Kod(t->klic(k).ID).Kod;
        t->klic(k).Komentar = "Klic " + std::to_string(k);
    }
    return t;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st;
}

int filesIn(const std::filesystem::path& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

// What the signal handler below saw of the file being written.
struct Seen {
    bool found = false;
    mode_t mode = 0;
    gid_t group = 0;
};
char watchedFolder[PATH_MAX];  // with a trailing slash
char oldFile[PATH_MAX];
volatile Seen seen;

// Runs inside the save's write, when the file size limit stops it: finds the
// descriptor of the new file in the watched folder and records its mode and group as
// they are while it is being written.
// Only calls that are safe in a signal handler: no formatting, no allocation.
void onFileTooLarge(int) {
    for (int fd = 3; fd < 1000; ++fd) {
        char link[] = "/proc/self/fd/000";
        char* digit = link + 14;
        if (fd >= 100)
            *digit++ = static_cast<char>('0' + fd / 100);
        if (fd >= 10)
            *digit++ = static_cast<char>('0' + fd / 10 % 10);
        *digit++ = static_cast<char>('0' + fd % 10);
        *digit = '\0';
        char target[PATH_MAX];
        const ssize_t len = readlink(link, target, sizeof target - 1);
        if (len <= 0)
            continue;
        target[len] = '\0';
        if (strncmp(target, watchedFolder, strlen(watchedFolder)) != 0 ||
            strcmp(target, oldFile) == 0)
            continue;
        struct stat st {};
        if (fstat(fd, &st) == 0) {
            seen.found = true;
            seen.mode = st.st_mode & 07777;
            seen.group = st.st_gid;
        }
    }
}

class KeyListSave : public testing::Test {
  protected:
    TempFolder folder;
    const std::string path = folder.file("seznam.ZAK");
};

TEST_F(KeyListSave, NewFileNeverGrantsMoreThanTheOldOneWhileItIsWritten) {
    const bool root = geteuid() == 0;
    for (const mode_t oldMode : {0600u, 0640u}) {
        SCOPED_TRACE(oldMode == 0600 ? "old file 0600" : "old file 0640");
        ASSERT_EQ(UlozSeznamKlicu(path, *keys(1)), std::nullopt);
        ASSERT_EQ(chmod(path.c_str(), oldMode), 0);
        if (root) {
            ASSERT_EQ(chown(path.c_str(), 0, SharedGroup), 0);
        }
        const std::string oldBytes = readBytes(path);
        const auto changed = keys(300);  // far more than the size limit lets through

        // Descriptors name the real path, whatever links the temporary folder's has.
        const std::string real = std::filesystem::canonical(folder.path()).string();
        std::snprintf(watchedFolder, sizeof watchedFolder, "%s/", real.c_str());
        std::snprintf(oldFile, sizeof oldFile, "%s/seznam.ZAK", real.c_str());
        seen.found = false;
        struct sigaction watch {
        }, before{};
        watch.sa_handler = onFileTooLarge;
        ASSERT_EQ(sigaction(SIGXFSZ, &watch, &before), 0);
        rlimit oldLimit{};
        getrlimit(RLIMIT_FSIZE, &oldLimit);
        rlimit small = oldLimit;
        small.rlim_cur = 4096;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto result = UlozSeznamKlicu(path, *changed);
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        sigaction(SIGXFSZ, &before, nullptr);

        ASSERT_TRUE(seen.found) << "the write was not caught";
        EXPECT_EQ(seen.mode & ~oldMode, 0u) << "new file had mode 0" << std::oct << seen.mode;
        if (root && (seen.mode & 070) != 0) {
            EXPECT_EQ(seen.group, SharedGroup) << "group bits given to the wrong group";
        }
        // The failed save removed its file and left the old one.
        EXPECT_EQ(result, "Unable to write to " + path);
        EXPECT_EQ(readBytes(path), oldBytes);
        EXPECT_EQ(filesIn(folder.path()), 1);
    }
}

TEST_F(KeyListSave, RootKeepsOwnerGroupAndMode) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give the file another owner";
    ASSERT_EQ(UlozSeznamKlicu(path, *keys(1)), std::nullopt);
    ASSERT_EQ(chown(path.c_str(), OtherOwner, SharedGroup), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    ASSERT_EQ(UlozSeznamKlicu(path, *keys(2)), std::nullopt);
    const struct stat st = statOf(path);
    EXPECT_EQ(st.st_uid, OtherOwner);
    EXPECT_EQ(st.st_gid, SharedGroup);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_NE(readBytes(path).find("[Klic0002]"), std::string::npos);
}

// A list shared through a group: another member saves it. The file becomes the
// writer's, but stays in the group and keeps its mode, so the others can still use it.
TEST_F(KeyListSave, GroupMemberKeepsTheSharedGroup) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    ASSERT_EQ(UlozSeznamKlicu(path, *keys(1)), std::nullopt);
    ASSERT_EQ(chown(path.c_str(), OtherOwner, SharedGroup), 0);
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    ASSERT_EQ(chown(folder.path().c_str(), Writer, Writer), 0);
    const auto changed = keys(2);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const gid_t groups[] = {SharedGroup};
        if (setgroups(1, groups) != 0 || setgid(Writer) != 0 || setuid(Writer) != 0)
            _exit(2);
        _exit(UlozSeznamKlicu(path, *changed) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the save failed";

    const struct stat st = statOf(path);
    EXPECT_EQ(st.st_uid, Writer);
    EXPECT_EQ(st.st_gid, SharedGroup);
    EXPECT_EQ(st.st_mode & 07777, 0660u);
    EXPECT_NE(readBytes(path).find("[Klic0002]"), std::string::npos);
}

TEST_F(KeyListSave, NewFileTakesTheUmask) {
    const mode_t old = umask(027);
    const auto result = UlozSeznamKlicu(path, *keys(1));
    umask(old);
    ASSERT_EQ(result, std::nullopt);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0640u);
}

TEST_F(KeyListSave, LongestNameSaves) {
    const std::string name = std::string(246, 'k') + ".ZAK";  // 250 bytes
    const std::string longPath = folder.file(name);
    ASSERT_EQ(UlozSeznamKlicu(longPath, *keys(1)), std::nullopt);
    ASSERT_EQ(UlozSeznamKlicu(longPath, *keys(3)), std::nullopt);

    auto loaded = std::make_unique<KeyTable>();
    EXPECT_EQ(NactiSeznamKlicu(longPath, *loaded), 3);
    EXPECT_EQ(loaded->klic(3).Komentar, "Klic 3");
    EXPECT_EQ(filesIn(folder.path()), 1);
}

}  // namespace
}  // namespace zak
