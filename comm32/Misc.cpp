#include "Misc.h"

#include <syslog.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>

namespace zak {

namespace {

constexpr std::size_t MaxLogLine = 1023;

struct CommsLogFile {
    std::mutex mutex;
    std::string name;      // the process-wide comms log file name
    std::string openName;  // the name `file` was opened under
    std::FILE* file = nullptr;
};

CommsLogFile& TheLog() {
    static CommsLogFile log;
    return log;
}

[[noreturn]] void ThrowIoError(int error, const char* what) {
    throw std::system_error(error, std::generic_category(), what);
}

}  // namespace

void SetCommsLogName(const std::string& name) {
    CommsLogFile& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    log.name = name;
    if (log.file != nullptr && log.openName != name) {
        std::fclose(log.file);  // lines of the old name are all flushed already
        log.file = nullptr;
    }
}

std::string CommsLogName() {
    CommsLogFile& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    return log.name;
}

void WriteCommsLog(const std::string& text) {
    CommsLogFile& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    if (log.name.empty())
        return;
    if (log.file == nullptr) {
        log.file = std::fopen(log.name.c_str(), "ae");
        if (log.file == nullptr)
            ThrowIoError(errno, "Cannot open the comms log");
        log.openName = log.name;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), log.file) == text.size() &&
                         std::fputc('\n', log.file) != EOF && std::fflush(log.file) == 0;
    if (!written) {
        const int error = errno;
        // Drop what is left in the buffer so that no later line is glued to a broken one.
        std::fclose(log.file);
        log.file = nullptr;
        ThrowIoError(error, "Cannot write the comms log");
    }
}

void CloseCommsLog() {
    CommsLogFile& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    if (log.file == nullptr)
        return;
    const int result = std::fclose(log.file);
    log.file = nullptr;
    if (result != 0)
        ThrowIoError(errno, "Cannot close the comms log");
}

std::optional<std::string> FormatLastError(int errorCode) {
    try {
        if (const char* text = strerrordesc_np(errorCode))
            return std::string(text);
        return "FormatMessage failed on error " + std::to_string(errorCode) +
               " for the following reason: " + std::to_string(EINVAL);
    } catch (const std::bad_alloc&) {
        OutputDebugText("Out of memory trying to FormatLastError");
        return std::nullopt;
    }
}

void LogLastError(int errorCode, const char* prefix) {
    std::string line = prefix != nullptr ? prefix : "";
    if (const std::optional<std::string> text = FormatLastError(errorCode)) {
        line += "GetLastError returned: \"" + *text + "\"";
    } else {
        line += "Out of memory";
    }
    if (line.size() > MaxLogLine)
        line.resize(MaxLogLine);
    WriteCommsLog(line);
}

void OutputDebugText(const char* text) {
    syslog(LOG_DEBUG, "%s", text);
}

}  // namespace zak
