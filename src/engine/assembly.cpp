#include "engine/assembly.h"

namespace corvanel {

Assembly::Assembly(const AssemblyPlan& plan, ExportFile* output) {
  if (plan.Mode == kFramesKeepStuffing || plan.Mode == kFramesRemoveStuffing) {
    exporter_.emplace(*frame_, plan.Mode, plan.Export, *output);
  }
  assembler_.emplace(*frame_, *stats_, exporter_ ? &*exporter_ : nullptr,
                     plan.Mode == kOutsideData ? output : nullptr);
}

}  // namespace corvanel
