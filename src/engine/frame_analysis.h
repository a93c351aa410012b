// Content analysis of a good frame: counts it, checks its message field length, counts
// its address word and walks its message elements by the catalogue's length rule.
#pragma once

#include "engine/frame.h"
#include "engine/run_stats.h"

namespace corvanel {

class FrameExporter;

// Analyses the frame in `frame` (7 to 262 bytes held, CRC checked). In an export of
// frames, `exporter` is called at fixed points; it is null otherwise.
void AnalyzeFrame(Frame& frame, RunStats& stats, FrameExporter* exporter);

}  // namespace corvanel
