#include "engine/frame_analysis.h"

#include "catalogue/mec_table.h"
#include "export/frame_exporter.h"

namespace corvanel {

namespace {
// Walk ends above this are codes without a length rule, not overrunning elements.
constexpr std::int32_t kLargestKnownEnd = 4999;
}  // namespace

void AnalyzeFrame(Frame& frame, RunStats& stats, FrameExporter* exporter) {
  ++stats.GoodFrames;
  if (exporter) exporter->BeginFrameExport();

  const std::int32_t length = frame.FrameLength;
  if (length + 1 > stats.LongestFrame) stats.LongestFrame = length + 1;

  const std::int32_t indicated = frame.At(4);
  const std::int32_t real = length - 7;
  if (indicated != real) {
    ++stats.BadFieldLengths;
    if (exporter) exporter->AddFieldLengthWarning(indicated, real);
  }

  const auto address = static_cast<std::uint16_t>(frame.At(1) << 8 | frame.At(2));
  ++stats.AddressCounts[address];
  if (exporter) exporter->AddAddressDetail(address);

  std::int64_t elements = 0;
  frame.ElementPos = 5;
  while (frame.ElementPos <= length - 3) {
    ++stats.TotalElements;
    if (++elements > stats.MaxElementsPerFrame) stats.MaxElementsPerFrame = elements;
    const std::uint8_t code = frame.At(frame.ElementPos);
    ++stats.MecCounts[code];
    const std::int32_t next = FindNextElement(frame, frame.ElementPos, code);
    if (exporter) exporter->AddElement(code, next - 1);
    frame.ElementPos = next;
    if (next <= kLargestKnownEnd && next > length - 2) {
      ++stats.BadElementLengths;
      if (exporter) exporter->AddElementLengthWarning();
    }
  }

  if (exporter) exporter->EndFrameExport();
}

}  // namespace corvanel
