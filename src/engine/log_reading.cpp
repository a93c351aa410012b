#include "engine/log_reading.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/frame.h"
#include "engine/messages.h"
#include "engine/progress_rule.h"

namespace corvanel {

namespace {

// Reads go to the system in large chunks. A chunk that fails is read again in the blocks
// of kDetectionBlockSize bytes counted from the start of the file, so that a run stops
// after the same bytes whatever the chunk size.
constexpr std::size_t kChunkSize = 256 * 1024;
// Logs from this size on are read in parts side by side in an analysis run.
constexpr std::int64_t kSplitMinimum = std::int64_t{32} << 20;
constexpr unsigned kMostParts = 8;
constexpr std::int64_t kToEnd = -1;

struct Chunk {
  std::size_t size = 0;
  std::optional<std::string> failure;  // a read failed right after these bytes
};

Chunk ReadChunk(LogReader& log, std::int64_t offset, std::int64_t end, std::uint8_t* buffer) {
  const std::size_t capacity =
      end == kToEnd ? kChunkSize
                    : static_cast<std::size_t>(std::min<std::int64_t>(kChunkSize, end - offset));
  Chunk chunk;
  auto at = [&] { return offset + static_cast<std::int64_t>(chunk.size); };
  try {
    while (chunk.size < capacity) {
      const std::size_t n = log.ReadAt(at(), buffer + chunk.size, capacity - chunk.size);
      if (n == 0) return chunk;
      chunk.size += n;
    }
    return chunk;
  } catch (const FileError&) {
  }
  while (chunk.size < capacity) {
    const auto block_rest =
        kDetectionBlockSize - static_cast<std::size_t>(at() % kDetectionBlockSize);
    try {
      const std::size_t n =
          log.ReadAt(at(), buffer + chunk.size, std::min(block_rest, capacity - chunk.size));
      if (n == 0) break;
      chunk.size += n;
    } catch (const FileError& error) {
      chunk.failure = error.what();
      break;
    }
  }
  return chunk;
}

struct RangeResult {
  std::int64_t handled = 0;
  std::optional<std::string> failure;
};

// Reads [begin, end) of the log chunk by chunk (end kToEnd: up to the end of the file,
// however long it has grown) and hands every chunk to on_chunk(bytes, count).
template <class OnChunk>
RangeResult ReadRange(LogReader& log, std::int64_t begin, std::int64_t end, OnChunk&& on_chunk) {
  std::vector<std::uint8_t> buffer(kChunkSize);
  RangeResult result;
  for (std::int64_t offset = begin; end == kToEnd || offset < end;) {
    const Chunk chunk = ReadChunk(log, offset, end, buffer.data());
    if (chunk.size > 0) on_chunk(buffer.data(), chunk.size);
    result.handled += static_cast<std::int64_t>(chunk.size);
    offset += static_cast<std::int64_t>(chunk.size);
    if (chunk.failure) {
      result.failure = chunk.failure;
      break;
    }
    if (chunk.size == 0 || (end == kToEnd && chunk.size < kChunkSize)) break;
  }
  return result;
}

// Hands log bytes to the assembler: text logs through the decoder, binary logs as they are.
class ByteFeeder {
 public:
  ByteFeeder(bool text, FrameAssembler& assembler)
      : decoded_(text ? kChunkSize : 0), assembler_(assembler) {}

  void Feed(const std::uint8_t* bytes, std::size_t count) {
    if (decoded_.empty()) {
      assembler_.AssembleBlock(bytes, count);
    } else {
      assembler_.AssembleBlock(decoded_.data(),
                               decoder_.DecodeBlock(bytes, count, decoded_.data()));
    }
  }

  TextDecoder& Decoder() { return decoder_; }

 private:
  TextDecoder decoder_;
  std::vector<std::uint8_t> decoded_;
  FrameAssembler& assembler_;
};

// The offset right after the first point in [from, limit) after which decoding and
// assembly start alike whatever came before: a start byte FE in a binary log; in a text
// log the pair FE after a character that is no hexadecimal digit. kToEnd when there is
// none, or when the log cannot be read there (the pass in order will meet that failure).
std::int64_t FindResumePoint(LogReader& log, bool text, std::int64_t from, std::int64_t limit) {
  constexpr std::size_t kWindow = 64 * 1024;
  std::vector<std::uint8_t> window(kWindow);
  const std::int64_t lead = text ? 2 : 0;  // the characters before 'E' that must be seen too
  for (std::int64_t start = from - lead; start + lead < limit;) {
    std::size_t n = 0;
    try {
      n = log.ReadAt(start, window.data(), kWindow);
    } catch (const FileError&) {
      return kToEnd;
    }
    if (n <= static_cast<std::size_t>(lead)) return kToEnd;
    for (std::size_t i = static_cast<std::size_t>(lead); i < n; ++i) {
      if (start + static_cast<std::int64_t>(i) >= limit) return kToEnd;
      const bool found =
          text ? window[i] == 'E' && window[i - 1] == 'F' && !TextDecoder::IsHexDigit(window[i - 2])
               : window[i] == 0xFE;
      if (found) return start + static_cast<std::int64_t>(i) + 1;
    }
    start += static_cast<std::int64_t>(n) - lead;
  }
  return kToEnd;
}

// A part of the log after the first, assembled on its own on a thread of its own.
struct Part {
  std::int64_t begin = 0;
  std::int64_t end = kToEnd;
  std::unique_ptr<RunStats> stats = std::make_unique<RunStats>();
  std::unique_ptr<Frame> frame = std::make_unique<Frame>();
  RangeResult result;
  bool open_at_end = false;
  std::thread thread;

  // Stops the part at its next chunk once the run has failed before it.
  const std::atomic<bool>* cancelled = nullptr;

  void Run(LogReader& log, bool text) {
    try {
      FrameAssembler assembler(*frame, *stats, nullptr, nullptr);
      assembler.ResumeAfterStartByte();
      ByteFeeder feeder(text, assembler);
      if (text) feeder.Decoder().ResumeAfterStartPair();
      result =
          ReadRange(log, begin, end, [this, &feeder](const std::uint8_t* bytes, std::size_t count) {
            if (cancelled->load(std::memory_order_relaxed)) throw FileError("cancelled");
            feeder.Feed(bytes, count);
          });
      open_at_end = assembler.InFrame();
    } catch (const std::bad_alloc&) {
      result.failure = messages::kOutOfMemory;
    } catch (const std::exception& error) {
      result.failure = error.what();
    }
  }
};

// Where the parts after the first begin: `count` shares of the log, each part from the
// first resume point in its share.
std::vector<std::unique_ptr<Part>> PlanParts(LogReader& log, bool text, std::int64_t size,
                                             unsigned count) {
  std::vector<std::unique_ptr<Part>> parts;
  if (size < kSplitMinimum) return parts;
  std::int64_t previous = 0;
  for (unsigned k = 1; k < count; ++k) {
    const std::int64_t from = std::max(previous, size / count * k);
    const std::int64_t begin = FindResumePoint(log, text, from, size / count * (k + 1));
    if (begin == kToEnd) continue;
    if (!parts.empty()) parts.back()->end = begin;
    parts.push_back(std::make_unique<Part>());
    parts.back()->begin = begin;
    previous = begin;
  }
  return parts;
}

void MoveGauge(ProgressRule& progress, std::int64_t count) {
  while (count > 0) {
    const std::int64_t step = std::min(progress.Advance(), count);
    progress.Consumed(step);
    count -= step;
  }
}

}  // namespace

unsigned ProcessorCount() {
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMostParts);
}

bool ReadLog(LogReader& log, LogTypeSelection type, unsigned parts_wanted, RunStats& stats,
             FrameAssembler& assembler, RunHost& host) {
  ProgressRule progress(stats.LogFileSize, host);

  // The first block decides the log type.
  std::vector<std::uint8_t> first(kDetectionBlockSize);
  const Chunk head = ReadChunk(log, 0, kDetectionBlockSize, first.data());
  if (head.failure) throw FileError(*head.failure);
  if (head.size == 0) return false;  // an empty log: no block, the type stays binary
  LogTypeDetector(type).DetectLogType(first.data(), head.size, stats.LogIsBinary);
  const bool text = !stats.LogIsBinary;

  std::vector<std::unique_ptr<Part>> parts;
  if (parts_wanted > 1) parts = PlanParts(log, text, stats.LogFileSize, parts_wanted);
  std::atomic<bool> cancelled{false};
  for (auto& part : parts) {
    part->cancelled = &cancelled;
    part->thread = std::thread([&log, text, p = part.get()] { p->Run(log, text); });
  }
  // Leaving early, by a failure here, stops the other parts instead of waiting for them.
  struct JoinAll {
    std::vector<std::unique_ptr<Part>>& parts;
    std::atomic<bool>& cancelled;
    ~JoinAll() {
      cancelled = true;
      for (auto& part : parts) {
        if (part->thread.joinable()) part->thread.join();
      }
    }
  } join_all{parts, cancelled};

  // The first part, read here with the gauge moving as its bytes go by.
  ByteFeeder feeder(text, assembler);
  const RangeResult own =
      ReadRange(log, 0, parts.empty() ? kToEnd : parts.front()->begin,
                [&](const std::uint8_t* bytes, std::size_t count) {
                  while (count > 0) {
                    const auto run = static_cast<std::size_t>(std::min<std::int64_t>(
                        progress.Advance(), static_cast<std::int64_t>(count)));
                    feeder.Feed(bytes, run);
                    progress.Consumed(static_cast<std::int64_t>(run));
                    bytes += run;
                    count -= run;
                  }
                });
  if (own.failure) throw FileError(*own.failure);

  // The other parts follow in log order, as if read here.
  bool open_at_end = assembler.InFrame();
  for (auto& part : parts) {
    part->thread.join();
    AddFigures(stats, *part->stats);
    MoveGauge(progress, part->result.handled);
    if (part->result.failure) throw FileError(*part->result.failure);
    open_at_end = part->open_at_end;
  }
  return open_at_end;
}

}  // namespace corvanel
