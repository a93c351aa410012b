// What an export run writes: the export type and the five options of the export dialog.
#pragma once

#include <cstdint>
#include <string>

namespace corvanel {

// The argument of a run: analysis, or one of the three kinds of export.
using ExportMode = std::int32_t;
inline constexpr ExportMode kAnalysis = 0;
inline constexpr ExportMode kFramesKeepStuffing = 1;
inline constexpr ExportMode kFramesRemoveStuffing = 2;
inline constexpr ExportMode kOutsideData = 3;

// The export dialog's option controls, with their initial states.
struct ExportSettings {
  bool IncludeDetails = true;  // "Include Details"
  bool FilterAddress = false;  // "Export only frames with address word:"
  std::string AddressText = "0000";
  bool FilterMecs = false;  // "Export only frames with some of these MECs:"
  std::string MecText = "02,0A";
};

}  // namespace corvanel
