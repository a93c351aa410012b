// Everything that turns log bytes into a run's figures and export records: the frame
// being assembled, the figures, the exporter of an export of frames and the assembler.
// A log read in segments side by side has one assembly per segment.
#pragma once

#include <memory>
#include <optional>

#include "engine/frame.h"
#include "engine/frame_assembler.h"
#include "engine/run_stats.h"
#include "export/export_file.h"
#include "export/export_settings.h"
#include "export/frame_exporter.h"

namespace corvanel {

// What every assembly of a run is built from.
struct AssemblyPlan {
  ExportMode Mode = kAnalysis;
  ExportSettings Export;  // modes 1 and 2
};

class Assembly {
 public:
  // `output` receives the records of an export (modes above 0); null in an analysis.
  Assembly(const AssemblyPlan& plan, ExportFile* output);

  FrameAssembler& Assembler() { return *assembler_; }
  RunStats& Stats() { return *stats_; }

  // As new: figures zero, frame zeroed, assembler outside a frame. Keeps the memory.
  void Reset();

 private:
  void MakeAssembler();

  AssemblyPlan plan_;
  ExportFile* output_;
  std::unique_ptr<RunStats> stats_ = std::make_unique<RunStats>();
  std::unique_ptr<Frame> frame_ = std::make_unique<Frame>();
  std::optional<FrameExporter> exporter_;
  std::optional<FrameAssembler> assembler_;
};

}  // namespace corvanel
