#include "engine/assembly.h"

#include <memory>

namespace corvanel {

Assembly::Assembly(const AssemblyPlan& plan, ExportFile* output) : plan_(plan), output_(output) {
  if (plan.Mode == kFramesKeepStuffing || plan.Mode == kFramesRemoveStuffing) {
    exporter_.emplace(*frame_, plan.Mode, plan.Export, *output);
  }
  MakeAssembler();
}

void Assembly::Reset() {
  static const RunStats kNoFigures;
  *stats_ = kNoFigures;  // clears only the address blocks used
  *frame_ = Frame{};
  MakeAssembler();
}

void Assembly::MakeAssembler() {
  assembler_.emplace(*frame_, *stats_, exporter_ ? &*exporter_ : nullptr,
                     plan_.Mode == kOutsideData ? output_ : nullptr);
}

}  // namespace corvanel
