// The progress gauge's rule: it moves on the 1st byte of the log and then on the first
// byte after every further LogFileSize / 100 bytes (on every byte of a log shorter than
// 100 bytes), before that byte is handled, and holds at 100.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/run_host.h"

namespace corvanel {

class ProgressRule {
 public:
  static constexpr int kEnd = 100;

  ProgressRule(std::int64_t log_size, RunHost& host) : step_(log_size / 100), host_(host) {}

  // Moves the gauge if the next byte is due to, and returns how many bytes from here on
  // can be handled before the next move (at least one). Bytes are counted in the log as
  // read, before any text decoding.
  std::int64_t Advance() {
    if (consumed_ + 1 > next_move_at_) {
      next_move_at_ += step_;
      if (position_ < kEnd) host_.SetGauge(++position_);
    }
    return std::max<std::int64_t>(1, next_move_at_ - consumed_);
  }
  void Consumed(std::int64_t count) { consumed_ += count; }

 private:
  const std::int64_t step_;
  RunHost& host_;
  std::int64_t consumed_ = 0;
  std::int64_t next_move_at_ = 0;
  int position_ = 0;
};

}  // namespace corvanel
