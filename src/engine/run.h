// One run over a log file: analysis (ending with the report) or export.
#pragma once

#include <string>

#include "engine/file_system.h"
#include "engine/log_decoding.h"
#include "engine/run_host.h"
#include "export/export_settings.h"
#include "util/regional.h"

namespace corvanel {

// What a run takes from its front end, fixed for the run's duration.
struct RunInputs {
  std::string LogPath;  // empty: no log file opened
  LogTypeSelection LogType = LogTypeSelection::Autodetect;
  ExportMode Mode = kAnalysis;
  std::string ExportPath;  // modes above 0
  ExportSettings Export;   // modes 1 and 2
};

// Reads the log once from start to end, moving the gauge from 0 to 100; in analysis mode
// appends the report, in the export modes fills the export file. Failures are shown
// through the host; a run that fails after it started reading still reports what it
// counted (analysis mode).
void ProcessUECP(const RunInputs& inputs, RunHost& host);
void ProcessUECP(const RunInputs& inputs, RunHost& host, FileSystem& files,
                 const RegionalSettings& regional);

}  // namespace corvanel
