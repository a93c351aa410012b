#include "engine/run.h"

#include <memory>
#include <new>
#include <optional>

#include "engine/log_reading.h"
#include "engine/messages.h"
#include "engine/progress_rule.h"
#include "engine/report.h"
#include "engine/run_stats.h"
#include "export/export_file.h"

namespace corvanel {

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
  std::unique_ptr<ExportFile> export_file;
  std::optional<std::string> failure;
  try {
    if (exporting)
      export_file = std::make_unique<ExportFile>(files.CreateOutput(inputs.ExportPath));
    {
      std::unique_ptr<LogReader> log = files.OpenLog(inputs.LogPath);
      stats->LogFileSize = log->Size();
      // A frame still open at the end of the log was never closed.
      if (ReadLog(*log, inputs.LogType, ProcessorCount(), AssemblyPlan{inputs.Mode, inputs.Export},
                  export_file.get(), *stats, host)) {
        ++stats->UnclosedFrames;
      }
    }
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
