#include "KeyListIo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "CtlError.h"
#include "DiskFile.h"
#include "IniFile.h"
#include "KeyListFile.h"

namespace zak::ctl {

namespace {

CtlError fileError(const std::string& text) {
    return CtlError(ExitStatus::FileFailed, text);
}

std::string reason(int error) {
    return error == EFBIG ? "too large" : std::strerror(error);
}

}  // namespace

std::string ReadBytes(const std::string& path) {
    FileContents contents = readWholeFile(path, MaxVelikostSouboru);
    if (contents.status == FileContents::Status::Missing)
        throw fileError("cannot read " + path + ": no such file");
    if (contents.status == FileContents::Status::Unreadable)
        throw fileError("cannot read " + path + ": " + reason(contents.error));
    return std::move(contents.bytes);
}

void LoadKeyList(const std::string& path, KeyTable& keys) {
    const IniFile ini(ReadBytes(path));
    const std::optional<std::string> count = ini.value("Obecne", "PocetKlicu");
    if (!count)
        throw fileError(path + " is not a key list file: it has no [Obecne] PocetKlicu");
    const std::optional<int> n = IniFile::parseInteger(*count);
    if (!n || *n < 0 || *n > MaxKlicu) {
        throw fileError(path + ": PocetKlicu=" + *count + " is not a number of keys from 0 to " +
                        std::to_string(MaxKlicu));
    }
    for (int k = 1; k <= *n; ++k) {
        const std::string section = SekceKlice(k);
        if (!ini.value(section, "ID") && !ini.value(section, "Komentar") &&
            !ini.value(section, "Patro01")) {
            throw fileError(path + " names " + std::to_string(*n) + " keys, but has no section [" +
                            SekceKlice(k) + "]");
        }
    }
    NactiSeznam(ini, keys);
}

void SaveKeyList(const std::string& path, const KeyTable& keys) {
    if (const auto error = UlozSeznamKlicu(path, keys))
        throw fileError(*error);
}

void SaveBytes(const std::string& path, const std::string& bytes) {
    if (const int error = replaceFile(path, bytes))
        throw fileError("cannot write " + path + ": " + std::strerror(error));
}

void SaveImage(const std::string& path, const MemoryImage& image) {
    SaveBytes(path, std::string(reinterpret_cast<const char*>(image.data()), VelikostPameti));
}

void CheckCanWrite(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            throw fileError("cannot write " + path + ": not a regular file");
        if (::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)
            throw fileError("cannot write " + path + ": " + std::strerror(EACCES));
        return;
    }
    const auto slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        throw fileError("cannot write " + path + ": " + std::strerror(errno));
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0)
        return a == b;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string TimestampedName(const std::string& prefix, const std::string& extension) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    // A default name never updates a file that is already there (an earlier backup).
    std::string name = prefix + stamp + extension;
    struct stat st {};
    for (int n = 2; ::lstat(name.c_str(), &st) == 0; ++n)
        name = prefix + stamp + "-" + std::to_string(n) + extension;
    return name;
}

}  // namespace zak::ctl
