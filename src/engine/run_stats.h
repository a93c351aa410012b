// The figures of one run. Counters are 64-bit so that logs of many gigabytes report
// exact figures.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>

namespace corvanel {

// How many good frames carried each address word. It notes which blocks of 1,024 words
// it has handed out for writing, so that adding it to a total and assigning it visit only
// those blocks: a segment of a log holds a handful of addresses, and a log is read in
// hundreds of segments.
class AddressTally {
 public:
  static constexpr std::size_t kWords = 65536;

  AddressTally() = default;
  AddressTally(const AddressTally&) = default;
  AddressTally& operator=(const AddressTally& other) {
    ClearUsedBlocks();
    ForEachUsedBlock(other.used_blocks_, [&](std::size_t first) {
      std::copy_n(other.counts_.begin() + first, kBlock, counts_.begin() + first);
    });
    used_blocks_ = other.used_blocks_;
    return *this;
  }

  std::int64_t operator[](std::size_t word) const { return counts_[word]; }
  std::int64_t& operator[](std::size_t word) {
    used_blocks_ |= std::uint64_t{1} << (word / kBlock);
    return counts_[word];
  }
  std::size_t size() const { return kWords; }
  bool operator==(const AddressTally& other) const { return counts_ == other.counts_; }

  void AddTo(AddressTally& total) const {
    ForEachUsedBlock(used_blocks_, [&](std::size_t first) {
      for (std::size_t word = first; word < first + kBlock; ++word) {
        total.counts_[word] += counts_[word];
      }
    });
    total.used_blocks_ |= used_blocks_;
  }

 private:
  static constexpr std::size_t kBlock = kWords / 64;

  template <class OnBlock>
  static void ForEachUsedBlock(std::uint64_t blocks, OnBlock&& on_block) {
    for (; blocks != 0; blocks &= blocks - 1) {
      on_block(static_cast<std::size_t>(__builtin_ctzll(blocks)) * kBlock);
    }
  }

  void ClearUsedBlocks() {
    ForEachUsedBlock(used_blocks_,
                     [&](std::size_t first) { std::fill_n(counts_.begin() + first, kBlock, 0); });
    used_blocks_ = 0;
  }

  std::array<std::int64_t, kWords> counts_{};
  std::uint64_t used_blocks_ = 0;  // bit b: a word in block b may be other than zero
};

struct RunStats {
  std::int64_t TooShortFrames = 0;
  std::int64_t TooLongFrames = 0;
  std::int64_t CrcFailures = 0;
  std::int64_t UnclosedFrames = 0;
  std::int64_t UnopenedFrames = 0;
  std::int64_t StuffingErrors = 0;
  std::int64_t GoodFrames = 0;
  std::int64_t TotalElements = 0;
  std::int64_t BadFieldLengths = 0;
  std::int64_t BadElementLengths = 0;
  std::int64_t OutsideBytes = 0;

  std::int64_t LongestFrame = 0;
  std::int64_t MaxElementsPerFrame = 0;

  std::array<std::int64_t, 256> MecCounts{};
  AddressTally AddressCounts;

  bool LogIsBinary = true;
  std::int64_t LogFileSize = 0;
  std::time_t LogFileDate = 0;  // last modification, seconds since the epoch
};

// Adds the figures of a part of a log to those of the parts before it.
inline void AddFigures(RunStats& total, const RunStats& part) {
  total.TooShortFrames += part.TooShortFrames;
  total.TooLongFrames += part.TooLongFrames;
  total.CrcFailures += part.CrcFailures;
  total.UnclosedFrames += part.UnclosedFrames;
  total.UnopenedFrames += part.UnopenedFrames;
  total.StuffingErrors += part.StuffingErrors;
  total.GoodFrames += part.GoodFrames;
  total.TotalElements += part.TotalElements;
  total.BadFieldLengths += part.BadFieldLengths;
  total.BadElementLengths += part.BadElementLengths;
  total.OutsideBytes += part.OutsideBytes;
  if (part.LongestFrame > total.LongestFrame) total.LongestFrame = part.LongestFrame;
  if (part.MaxElementsPerFrame > total.MaxElementsPerFrame) {
    total.MaxElementsPerFrame = part.MaxElementsPerFrame;
  }
  for (std::size_t i = 0; i < total.MecCounts.size(); ++i) total.MecCounts[i] += part.MecCounts[i];
  part.AddressCounts.AddTo(total.AddressCounts);
}

}  // namespace corvanel
