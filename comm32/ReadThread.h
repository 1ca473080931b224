#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "BurstCollector.h"
#include "CommThread.h"
#include "LineErrors.h"

namespace zak {

// How the reader cuts bursts and where it learns of line errors.
struct TReadSettings {
    // The silence that ends a burst.
    std::chrono::milliseconds BurstGap{250};
    // Asked with the burst so far whenever bytes arrive; true ends the burst at once. Empty:
    // the silence rule only.
    std::function<bool(const std::uint8_t* bytes, std::size_t n)> BurstComplete;
    // The port's line-error counters; nullopt where the driver keeps none. Called on the
    // reader's thread.
    std::function<std::optional<TLineErrorCounts>(int port)> LineErrorCounts = ReadLineErrorCounts;
};

// The reader: keeps one read of up to 2048 bytes outstanding on the port and posts every
// burst (see TBurstCollector) as one data block, in line order; a burst that the settings'
// BurstComplete accepts goes out without waiting for the silence. When the driver's line-error
// counters have risen, it posts the "Comm Event: ..." report first, ahead of the bytes that
// came with the error. When the device goes away (poll reports hang-up or error, a read gives
// 0 bytes or EIO) it posts what it had received, then the hang-up request, and ends. It ends
// on the stop event too, dropping an unfinished burst.
class TReadThread final : public TCommThread {
  public:
    static constexpr std::size_t BlockSize = 2048;

    explicit TReadThread(TCommThreadParams params, TReadSettings settings = {});
    ~TReadThread() override;

  private:
    enum class TReadResult { Continue, Ended };

    bool Prepare() override;
    void Execute() override;
    void Shutdown() override;

    TReadResult ReadInto(TBurstCollector& burst, short events);
    // Posts a received burst; false when it is empty or cannot be posted (the reader ends).
    bool HandleReadData(TCommBlock block);
    void ReportLineErrors();

    const TReadSettings settings_;
    std::optional<TLineErrorCounts> counts_;
};

}  // namespace zak
