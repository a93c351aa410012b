// The figures of one run. Counters are 64-bit so that logs of many gigabytes report
// exact figures.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>

namespace corvanel {

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
  std::array<std::int64_t, 65536> AddressCounts{};

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
  for (std::size_t i = 0; i < total.AddressCounts.size(); ++i) {
    total.AddressCounts[i] += part.AddressCounts[i];
  }
}

}  // namespace corvanel
