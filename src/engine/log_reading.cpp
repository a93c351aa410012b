#include "engine/log_reading.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
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
// Logs from this size on are read in segments side by side.
constexpr std::int64_t kSplitMinimum = std::int64_t{32} << 20;
constexpr unsigned kMostWorkers = 8;
constexpr std::int64_t kToEnd = -1;
constexpr std::int64_t kPastEnd = -2;  // no resume point: the log ends before the place looked at

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

// The memory a reader of the log works in: the chunk read and, in a text log, its
// decoded bytes. A worker keeps its own for all the segments it reads.
struct ReadBuffers {
  explicit ReadBuffers(bool text) : chunk(kChunkSize), decoded(text ? kChunkSize : 0) {}
  std::vector<std::uint8_t> chunk;
  std::vector<std::uint8_t> decoded;  // empty in a binary log
};

// Reads [begin, end) of the log chunk by chunk (end kToEnd: up to the end of the file,
// however long it has grown) and hands every chunk to on_chunk(bytes, count).
template <class OnChunk>
RangeResult ReadRange(LogReader& log, std::int64_t begin, std::int64_t end, ReadBuffers& buffers,
                      OnChunk&& on_chunk) {
  std::uint8_t* const buffer = buffers.chunk.data();
  RangeResult result;
  for (std::int64_t offset = begin; end == kToEnd || offset < end;) {
    const Chunk chunk = ReadChunk(log, offset, end, buffer);
    if (chunk.size > 0) on_chunk(buffer, chunk.size);
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
  ByteFeeder(ReadBuffers& buffers, FrameAssembler& assembler)
      : decoded_(buffers.decoded), assembler_(assembler) {}

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
  std::vector<std::uint8_t>& decoded_;
  FrameAssembler& assembler_;
};

// The offset right after the first point in [from, limit) after which decoding and
// assembly start alike whatever came before: a start byte FE in a binary log; in a text
// log the pair FE after a character that is no hexadecimal digit. kToEnd when there is
// none, or when the log cannot be read there (the pass in order will meet that failure);
// kPastEnd when the log ends before `from`.
std::int64_t FindResumePoint(LogReader& log, bool text, std::int64_t from, std::int64_t limit) {
  // Resume points are usually a few bytes apart: the window starts small and grows.
  constexpr std::size_t kLargestWindow = 64 * 1024;
  std::vector<std::uint8_t> window(4096);
  const std::int64_t lead = text ? 2 : 0;  // the characters before 'E' that must be seen too
  for (std::int64_t start = from - lead; start + lead < limit;) {
    std::size_t n = 0;
    try {
      n = log.ReadAt(start, window.data(), window.size());
    } catch (const FileError&) {
      return kToEnd;
    }
    if (n <= static_cast<std::size_t>(lead)) return start == from - lead ? kPastEnd : kToEnd;
    for (std::size_t i = static_cast<std::size_t>(lead); i < n; ++i) {
      if (start + static_cast<std::int64_t>(i) >= limit) return kToEnd;
      const bool found =
          text ? window[i] == 'E' && window[i - 1] == 'F' && !TextDecoder::IsHexDigit(window[i - 2])
               : window[i] == 0xFE;
      if (found) return start + static_cast<std::int64_t>(i) + 1;
    }
    start += static_cast<std::int64_t>(n) - lead;
    if (window.size() < kLargestWindow) window.resize(2 * window.size());
  }
  return kToEnd;
}

// Segments: the log is cut into shares of a fixed size. Segment k begins at the first
// resume point in share k (the first segment at the start of the log), or is empty when
// its share has none, and ends where the next segment that is not empty begins.
struct SegmentPlan {
  bool text = false;
  std::int64_t share = 0;
  std::int64_t count = 0;
};

// A segment, read on a worker thread into an assembly of its own. Once handed over, its
// memory serves a later segment.
struct SegmentWork {
  explicit SegmentWork(const AssemblyPlan& plan)
      : output(plan.Mode == kAnalysis ? nullptr : std::make_unique<ExportFile>(nullptr)),
        assembly(plan, output.get()) {}

  void Reset() {
    if (output) output->Clear();
    assembly.Reset();
    result = {};
    empty = false;
    open_at_end = false;
  }

  std::unique_ptr<ExportFile> output;
  Assembly assembly;
  RangeResult result;
  bool empty = false;
  bool open_at_end = false;
};

// Exports keep a segment's records in memory until it is its turn, so their shares are
// smaller; details take several times the room of the frame line.
std::int64_t ShareSize(const AssemblyPlan& plan) {
  if (plan.Mode == kAnalysis) return std::int64_t{8} << 20;
  if (plan.Mode == kOutsideData || !plan.Export.IncludeDetails) return std::int64_t{1} << 20;
  return std::int64_t{256} << 10;
}

// Reads the segments on worker threads, at most kAheadPerWorker per worker ahead of the one whose
// turn it is, and hands them over in log order.
class SegmentReader {
 public:
  static constexpr std::int64_t kAheadPerWorker = 2;

  SegmentReader(LogReader& log, const SegmentPlan& segments, const AssemblyPlan& plan,
                unsigned workers)
      : log_(log),
        segments_(segments),
        plan_(plan),
        in_flight_(kAheadPerWorker * workers),
        done_(static_cast<std::size_t>(in_flight_)) {
    try {
      for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {  // no thread to be had: the ones started stop before the failure goes on
      Stop();
      throw;
    }
  }

  ~SegmentReader() { Stop(); }

  // Segment k, once read; segments are taken in order, each once.
  // Throws std::bad_alloc when a worker found no memory for it.
  std::unique_ptr<SegmentWork> Take(std::int64_t k) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::unique_ptr<SegmentWork>& slot = Slot(k);
    work_done_.wait(lock, [&] { return slot != nullptr || out_of_memory_; });
    if (!slot) throw std::bad_alloc();
    taken_ = k + 1;
    work_wanted_.notify_all();
    return std::move(slot);
  }

  // Gives a segment's memory back once it is handed over, so that the next segments
  // reuse it instead of claiming fresh memory from the system.
  void Recycle(std::unique_ptr<SegmentWork> work) {
    std::lock_guard<std::mutex> lock(mutex_);
    spare_work_.push_back(std::move(work));
  }

 private:
  std::unique_ptr<SegmentWork>& Slot(std::int64_t k) {
    return done_[static_cast<std::size_t>(k % in_flight_)];
  }

  // Stops the workers at their next chunk and waits for them.
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopped_ = true;
    }
    work_wanted_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  void Work() {
    try {
      WorkOnSegments();
    } catch (const std::bad_alloc&) {  // the memory of a worker or of a segment
      {
        std::lock_guard<std::mutex> lock(mutex_);
        out_of_memory_ = true;
      }
      work_done_.notify_all();
    }
  }

  void WorkOnSegments() {
    ReadBuffers buffers(segments_.text);
    for (;;) {
      std::int64_t k;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        work_wanted_.wait(lock, [&] {
          return stopped_ || next_ >= segments_.count || next_ < taken_ + in_flight_;
        });
        if (stopped_ || next_ >= segments_.count) return;
        k = next_++;
      }
      std::unique_ptr<SegmentWork> work = SpareWork();
      Read(k, *work, buffers);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        Slot(k) = std::move(work);
      }
      work_done_.notify_all();
    }
  }

  // Where segment k begins: kToEnd when its share has no resume point, kPastEnd when the
  // log ends before it. A log that ends before a share ends before every later one, which
  // is then not looked at: the size taken at opening may be far more than there is.
  std::int64_t Begin(std::int64_t k) {
    if (k == 0) return 0;
    if (k >= past_end_) return kPastEnd;
    const std::int64_t begin =
        FindResumePoint(log_, segments_.text, k * segments_.share, (k + 1) * segments_.share);
    if (begin == kPastEnd) {
      std::int64_t known = past_end_;
      while (k < known && !past_end_.compare_exchange_weak(known, k)) {
      }
    }
    return begin;
  }

  void Read(std::int64_t k, SegmentWork& work, ReadBuffers& buffers) {
    work.Reset();
    try {
      const std::int64_t begin = Begin(k);
      if (begin < 0) {
        work.empty = true;
        return;
      }
      std::int64_t end = kToEnd;
      for (std::int64_t j = k + 1; j < segments_.count; ++j) {
        const std::int64_t next = Begin(j);
        if (next == kPastEnd) break;
        if (next != kToEnd) {
          end = next;
          break;
        }
      }
      FrameAssembler& assembler = work.assembly.Assembler();
      ByteFeeder feeder(buffers, assembler);
      if (k > 0) {
        assembler.ResumeAfterStartByte();
        if (segments_.text) feeder.Decoder().ResumeAfterStartPair();
      }
      work.result = ReadRange(log_, begin, end, buffers,
                              [this, &feeder](const std::uint8_t* bytes, std::size_t n) {
                                if (stopped_) throw FileError("cancelled");
                                feeder.Feed(bytes, n);
                              });
      work.open_at_end = assembler.InFrame();
    } catch (const std::bad_alloc&) {
      work.result.failure = messages::kOutOfMemory;
    } catch (const std::exception& error) {
      work.result.failure = error.what();
    }
  }

  std::unique_ptr<SegmentWork> SpareWork() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!spare_work_.empty()) {
        std::unique_ptr<SegmentWork> work = std::move(spare_work_.back());
        spare_work_.pop_back();
        return work;
      }
    }
    return std::make_unique<SegmentWork>(plan_);
  }

  LogReader& log_;
  const SegmentPlan segments_;
  const AssemblyPlan& plan_;
  const std::int64_t in_flight_;

  std::mutex mutex_;
  std::condition_variable work_wanted_;
  std::condition_variable work_done_;
  // Segments read and not yet handed over, segment k in slot k mod in_flight_: no more
  // than in_flight_ of them are ever read ahead.
  std::vector<std::unique_ptr<SegmentWork>> done_;
  std::vector<std::unique_ptr<SegmentWork>> spare_work_;
  std::int64_t next_ = 0;   // the next segment to read
  std::int64_t taken_ = 0;  // segments handed over
  bool out_of_memory_ = false;
  std::atomic<std::int64_t> past_end_{
      std::numeric_limits<std::int64_t>::max()};  // first share past the log's end
  std::atomic<bool> stopped_{false};
  std::vector<std::thread> threads_;
};

void MoveGauge(ProgressRule& progress, std::int64_t count) {
  while (count > 0) {
    const std::int64_t step = std::min(progress.Advance(), count);
    progress.Consumed(step);
    count -= step;
  }
}

}  // namespace

unsigned ProcessorCount() {
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers);
}

bool ReadLog(LogReader& log, LogTypeSelection type, unsigned workers, const AssemblyPlan& plan,
             ExportFile* output, RunStats& stats, RunHost& host) {
  ProgressRule progress(stats.LogFileSize, host);

  // The first block decides the log type.
  std::vector<std::uint8_t> first(kDetectionBlockSize);
  const Chunk head = ReadChunk(log, 0, kDetectionBlockSize, first.data());
  if (head.failure) throw FileError(*head.failure);
  if (head.size == 0) return false;  // an empty log: no block, the type stays binary
  LogTypeDetector(type).DetectLogType(first.data(), head.size, stats.LogIsBinary);
  const bool text = !stats.LogIsBinary;

  if (workers > 1 && stats.LogFileSize >= kSplitMinimum) {
    const std::int64_t share = ShareSize(plan);
    const SegmentPlan segments{text, share, (stats.LogFileSize + share - 1) / share};
    SegmentReader reader(log, segments, plan, workers);
    bool open_at_end = false;
    for (std::int64_t k = 0; k < segments.count; ++k) {
      std::unique_ptr<SegmentWork> work = reader.Take(k);
      if (!work->empty) {
        if (output && work->output) output->Append(*work->output);
        AddFigures(stats, work->assembly.Stats());
        MoveGauge(progress, work->result.handled);
        if (work->result.failure) throw FileError(*work->result.failure);
        open_at_end = work->open_at_end;
      }
      reader.Recycle(std::move(work));
    }
    return open_at_end;
  }

  // One pass, with the gauge moving as the bytes go by. A failed write ends it too, with
  // the figures counted before it.
  Assembly assembly(plan, output);
  ReadBuffers buffers(text);
  ByteFeeder feeder(buffers, assembly.Assembler());
  struct AddFiguresAtEnd {
    RunStats& total;
    Assembly& assembly;
    ~AddFiguresAtEnd() { AddFigures(total, assembly.Stats()); }
  } add_figures_at_end{stats, assembly};
  const RangeResult result =
      ReadRange(log, 0, kToEnd, buffers, [&](const std::uint8_t* bytes, std::size_t count) {
        while (count > 0) {
          const auto run = static_cast<std::size_t>(
              std::min<std::int64_t>(progress.Advance(), static_cast<std::int64_t>(count)));
          feeder.Feed(bytes, run);
          progress.Consumed(static_cast<std::int64_t>(run));
          bytes += run;
          count -= run;
        }
      });
  if (result.failure) throw FileError(*result.failure);
  return assembly.Assembler().InFrame();
}

}  // namespace corvanel
