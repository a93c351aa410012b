// Reading the log once from start to end: blocks from the file, the log type chosen on
// the first block, text decoded, bytes handed to the frame assembler, the progress gauge
// moved as the bytes go by.
#pragma once

#include "engine/file_system.h"
#include "engine/frame_assembler.h"
#include "engine/log_decoding.h"
#include "engine/run_host.h"
#include "engine/run_stats.h"

namespace corvanel {

// Reads the whole log into `assembler`, whose figures are `stats`. With `parts` above 1 a
// large log is read in up to that many parts side by side, each from a point after which
// decoding and assembly do not depend on what came before, and the parts' figures are
// added up: the result is the same as from one pass. Returns whether a frame is open at the end of
// the log. A read failure throws FileError after the bytes before the failing block of
// kDetectionBlockSize bytes have been handled.
bool ReadLog(LogReader& log, LogTypeSelection type, unsigned parts, RunStats& stats,
             FrameAssembler& assembler, RunHost& host);

// The processors this machine offers for the parts of a log (at most 8).
unsigned ProcessorCount();

}  // namespace corvanel
