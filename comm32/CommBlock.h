#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zak {

// A block of bytes that crosses between threads: Count() bytes followed by one zero byte.
// It can only be moved, so exactly one place owns it at any time; its owner's end releases it.
class TCommBlock {
  public:
    TCommBlock() : bytes_(1, 0) {}
    // Copies `count` bytes; `data` may be null when `count` is 0. Throws std::bad_alloc.
    TCommBlock(const std::uint8_t* data, std::size_t count) : bytes_(count + 1, 0) {
        if (count > 0)
            std::copy_n(data, count, bytes_.begin());
    }
    explicit TCommBlock(const std::string& text)
        : TCommBlock(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) {}

    TCommBlock(TCommBlock&&) = default;
    TCommBlock& operator=(TCommBlock&&) = default;
    TCommBlock(const TCommBlock&) = delete;
    TCommBlock& operator=(const TCommBlock&) = delete;

    const std::uint8_t* Data() const { return bytes_.data(); }
    std::size_t Count() const { return bytes_.size() - 1; }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace zak
