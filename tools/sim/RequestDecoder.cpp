#include "RequestDecoder.h"

namespace zak::sim {

std::vector<Request> RequestDecoder::feed(const std::uint8_t* bytes, std::size_t n) {
    buffer_.insert(buffer_.end(), bytes, bytes + n);
    std::vector<Request> found;
    scan(found);
    return found;
}

std::vector<Request> RequestDecoder::lineQuiet() {
    std::vector<Request> found;
    while (!buffer_.empty()) {
        buffer_.erase(buffer_.begin());
        ++dropped_;
        scan(found);
    }
    return found;
}

void RequestDecoder::scan(std::vector<Request>& found) {
    std::size_t start = 0;
    while (start < buffer_.size()) {
        const std::size_t length = RequestLength(buffer_[start]);
        if (length != 0 && buffer_.size() - start < length)
            break;  // perhaps a request, not yet whole
        if (length != 0) {
            if (auto r = ParseRequest(buffer_.data() + start, length)) {
                found.push_back(*r);
                start += length;
                continue;
            }
        }
        ++start;
        ++dropped_;
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start));
}

}  // namespace zak::sim
