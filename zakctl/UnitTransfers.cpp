#include "UnitTransfers.h"

#include "TransferRange.h"

namespace zak::ctl {

namespace {

BlockData blockOf(const MemoryImage& image, std::uint16_t addr) {
    BlockData data{};
    for (int i = 0; i < BlockLength; ++i)
        data[static_cast<std::size_t>(i)] = image[addr + i];
    return data;
}

void store(MemoryImage& image, std::uint16_t addr, const BlockData& data) {
    for (int i = 0; i < BlockLength; ++i)
        image.zapis(addr + i, data[static_cast<std::size_t>(i)]);
}

}  // namespace

int ReadHead(UnitSession& unit, KeyTable& keys, MemoryImage& image) {
    store(image, FirstBlockAddr, unit.ReadBlock(FirstBlockAddr));
    TakeHead(image, keys);
    return image[AdrPocetHi] * 256 + image[AdrPocetLo];
}

int DownloadUnit(UnitSession& unit, KeyTable& keys, MemoryImage& image, ProgressBar& progress) {
    progress.Start("read ");
    const int headCount = ReadHead(unit, keys, image);
    const std::vector<std::uint16_t> blocks = TransferBlocks(TransferEnd(keys));
    const int total = static_cast<int>(blocks.size());
    progress.Update(1, total, BlockLength);
    for (int i = 1; i < total; ++i) {
        store(image, blocks[static_cast<std::size_t>(i)],
              unit.ReadBlock(blocks[static_cast<std::size_t>(i)]));
        progress.Update(i + 1, total, long{BlockLength} * (i + 1));
    }
    progress.Finish();
    return headCount;
}

void UploadImage(UnitSession& unit, const KeyTable& keys, const MemoryImage& image,
                 ProgressBar& progress) {
    progress.Start("write");
    const std::vector<std::uint16_t> blocks = TransferBlocks(TransferEnd(keys));
    const int total = static_cast<int>(blocks.size());
    for (int i = 0; i < total; ++i) {
        const std::uint16_t addr = blocks[static_cast<std::size_t>(i)];
        unit.WriteBlock(addr, blockOf(image, addr));
        progress.Update(i + 1, total, long{BlockLength} * (i + 1));
    }
    progress.Finish();
}

std::vector<ByteDifference> ReadBack(UnitSession& unit, const KeyTable& keys,
                                     const MemoryImage& image, ProgressBar& progress) {
    progress.Start("check");
    std::vector<ByteDifference> differences;
    const std::vector<std::uint16_t> blocks = TransferBlocks(TransferEnd(keys));
    const int total = static_cast<int>(blocks.size());
    for (int i = 0; i < total; ++i) {
        const std::uint16_t addr = blocks[static_cast<std::size_t>(i)];
        const BlockData found = unit.ReadBlock(addr);
        for (int j = 0; j < BlockLength; ++j) {
            const auto expected = image[addr + j];
            const auto got = found[static_cast<std::size_t>(j)];
            // The block at 32754 repeats bytes of the one before it; report each address once.
            if (expected != got && (differences.empty() || differences.back().addr < addr + j))
                differences.push_back({addr + j, expected, got});
        }
        progress.Update(i + 1, total, long{BlockLength} * (i + 1));
    }
    progress.Finish();
    return differences;
}

}  // namespace zak::ctl
