#include "engine/run.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "engine/frame.h"
#include "engine/frame_assembler.h"
#include "engine/messages.h"
#include "engine/progress_rule.h"
#include "engine/report.h"
#include "engine/run_stats.h"
#include "export/export_file.h"
#include "export/frame_exporter.h"

namespace corvanel {

namespace {

// Reads go to the system in large chunks; a failed chunk is read again in blocks of
// kDetectionBlockSize so that a run stops after the same bytes as with small blocks.
constexpr std::size_t kChunkSize = 256 * 1024;

struct Chunk {
  std::size_t size = 0;
  std::optional<std::string> failure;  // a read failed right after these bytes
};

Chunk ReadChunk(LogReader& log, std::int64_t offset, std::uint8_t* buffer) {
  Chunk chunk;
  try {
    while (chunk.size < kChunkSize) {
      const std::size_t n = log.ReadAt(offset + static_cast<std::int64_t>(chunk.size),
                                       buffer + chunk.size, kChunkSize - chunk.size);
      if (n == 0) return chunk;
      chunk.size += n;
    }
    return chunk;
  } catch (const FileError&) {
  }
  while (chunk.size < kChunkSize) {
    try {
      const std::size_t n =
          log.ReadAt(offset + static_cast<std::int64_t>(chunk.size), buffer + chunk.size,
                     std::min(kDetectionBlockSize, kChunkSize - chunk.size));
      if (n == 0) break;
      chunk.size += n;
    } catch (const FileError& error) {
      chunk.failure = error.what();
      break;
    }
  }
  return chunk;
}

// Reads the whole log and feeds its bytes to the assembler; throws on a failure.
void ReadLog(LogReader& log, const RunInputs& inputs, RunStats& stats, FrameAssembler& assembler,
             RunHost& host) {
  ProgressRule progress(stats.LogFileSize, host);
  LogTypeDetector detector(inputs.LogType);
  TextDecoder decoder;
  std::vector<std::uint8_t> chunk(kChunkSize);
  std::vector<std::uint8_t> decoded;
  std::int64_t offset = 0;
  bool first_chunk = true;
  for (;;) {
    const Chunk read = ReadChunk(log, offset, chunk.data());
    if (read.size > 0) {
      if (first_chunk) {
        detector.DetectLogType(chunk.data(), std::min(read.size, kDetectionBlockSize),
                               stats.LogIsBinary);
        first_chunk = false;
        if (!stats.LogIsBinary) decoded.resize(kChunkSize);
      }
      const std::uint8_t* p = chunk.data();
      std::size_t left = read.size;
      while (left > 0) {
        const auto count =
            static_cast<std::size_t>(std::min<std::int64_t>(progress.Advance(), left));
        if (stats.LogIsBinary) {
          assembler.AssembleBlock(p, count);
        } else {
          assembler.AssembleBlock(decoded.data(), decoder.DecodeBlock(p, count, decoded.data()));
        }
        progress.Consumed(static_cast<std::int64_t>(count));
        p += count;
        left -= count;
      }
      offset += static_cast<std::int64_t>(read.size);
    }
    if (read.failure) throw FileError(*read.failure);
    if (read.size < kChunkSize) return;
  }
}

}  // namespace

void ProcessUECP(const RunInputs& inputs, RunHost& host) {
  ProcessUECP(inputs, host, PosixFileSystem(), RegionalSettings::FromEnvironment());
}

void ProcessUECP(const RunInputs& inputs, RunHost& host, FileSystem& files,
                 const RegionalSettings& regional) {
  host.SetGauge(0);
  host.RepaintWindow();
  if (inputs.LogPath.empty()) {
    host.ShowError(messages::kNoLogFileOpened);
    return;
  }
  const std::optional<std::time_t> log_date = files.RegularFileTime(inputs.LogPath);
  if (!log_date) {
    host.ShowError(messages::kLogFileNotExists);
    return;
  }
  const bool exporting = inputs.Mode > kAnalysis;
  // Creating the export file would empty the log before it is read.
  if (exporting && files.SameFile(inputs.LogPath, inputs.ExportPath)) {
    host.ShowError(messages::kExportIsLogFile);
    return;
  }

  auto stats = std::make_unique<RunStats>();
  stats->LogFileDate = *log_date;
  auto frame = std::make_unique<Frame>();
  std::unique_ptr<ExportFile> export_file;
  std::optional<std::string> failure;
  try {
    if (exporting)
      export_file = std::make_unique<ExportFile>(files.CreateOutput(inputs.ExportPath));
    std::optional<FrameExporter> exporter;
    if (inputs.Mode == kFramesKeepStuffing || inputs.Mode == kFramesRemoveStuffing) {
      exporter.emplace(*frame, inputs.Mode, inputs.Export, *export_file);
    }
    FrameAssembler assembler(*frame, *stats, exporter ? &*exporter : nullptr,
                             inputs.Mode == kOutsideData ? export_file.get() : nullptr);
    {
      std::unique_ptr<LogReader> log = files.OpenLog(inputs.LogPath);
      stats->LogFileSize = log->Size();
      ReadLog(*log, inputs, *stats, assembler, host);
    }
    // A frame still open at the end of the log was never closed.
    if (assembler.InFrame()) ++stats->UnclosedFrames;
    host.SetGauge(ProgressRule::kEnd);
    if (export_file) {
      auto file = std::move(export_file);
      file->Close();
    }
  } catch (const std::bad_alloc&) {
    failure = messages::kOutOfMemory;
  } catch (const std::exception& error) {
    failure = error.what();
  }
  if (failure) {
    if (export_file) export_file->CloseAfterFailure();
    host.ShowError(std::string(messages::kUnableToFinish) + "\n" + *failure);
  }
  if (!exporting) AppendReport(*stats, inputs.LogPath, regional, host);
}

}  // namespace corvanel
