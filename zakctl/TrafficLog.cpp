#include "TrafficLog.h"

#include <cerrno>
#include <cstring>

#include "CtlError.h"

namespace zak::ctl {

TrafficLog::TrafficLog(const std::string& path) : path_(path) {
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) {
        throw CtlError(ExitStatus::FileFailed,
                       "cannot write the log " + path + ": " + std::strerror(errno));
    }
}

TrafficLog::~TrafficLog() {
    if (file_ != nullptr)
        std::fclose(file_);
}

void TrafficLog::Line(const std::string& text) {
    if (file_ == nullptr)
        return;
    if (std::fprintf(file_, "%s\n", text.c_str()) < 0 || std::fflush(file_) != 0) {
        const int error = errno;
        std::fclose(file_);
        file_ = nullptr;
        throw CtlError(ExitStatus::FileFailed,
                       "cannot write the log " + path_ + ": " + std::strerror(error));
    }
}

}  // namespace zak::ctl
