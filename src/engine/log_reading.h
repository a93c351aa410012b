// Reading the log once from start to end: blocks from the file, the log type chosen on
// the first block, text decoded, bytes handed to the frame assembler, the progress gauge
// moved as the bytes go by.
#pragma once

#include "engine/assembly.h"
#include "engine/file_system.h"
#include "engine/log_decoding.h"
#include "engine/run_host.h"
#include "engine/run_stats.h"

namespace corvanel {

// Reads the whole log into assemblies built from `plan`, adding their figures to `stats`
// and writing their records to `output` (null in an analysis) in log order. With
// `workers` above 1 a large log is read in segments side by side, each from a point after
// which decoding and assembly do not depend on what came before: figures, records and
// gauge are the same as from one pass. Returns whether a frame is open at the end of the
// log. A read failure throws FileError after the bytes before the failing block of
// kDetectionBlockSize bytes have been handled.
bool ReadLog(LogReader& log, LogTypeSelection type, unsigned workers, const AssemblyPlan& plan,
             ExportFile* output, RunStats& stats, RunHost& host);

// The processors this machine offers for the segments of a log (at most 8).
unsigned ProcessorCount();

}  // namespace corvanel
