#include "engine/frame_analysis.h"

#include "catalogue/mec_table.h"
#include "export/frame_exporter.h"

namespace corvanel {

namespace {

// Walk ends above this are codes without a length rule, not overrunning elements.
constexpr std::int32_t kLargestKnownEnd = 4999;

// With kExporting false every exporter call drops out at compile time: analysis runs and
// exports of the data outside frames pay nothing for the export writer.
template <bool kExporting>
void Analyze(Frame& frame, RunStats& stats, FrameExporter* exporter) {
  ++stats.GoodFrames;
  if (kExporting) exporter->BeginFrameExport();

  const std::int32_t length = frame.FrameLength;
  if (length + 1 > stats.LongestFrame) stats.LongestFrame = length + 1;

  const std::int32_t indicated = frame.At(4);
  const std::int32_t real = length - 7;
  if (indicated != real) {
    ++stats.BadFieldLengths;
    if (kExporting) exporter->AddFieldLengthWarning(indicated, real);
  }

  const auto address = static_cast<std::uint16_t>(frame.At(1) << 8 | frame.At(2));
  ++stats.AddressCounts[address];
  if (kExporting) exporter->AddAddressDetail(address);

  // The walk keeps its position in a local and stores it in ElementPos whenever the
  // exporter may read it, so the counters' stores do not force reloads of the frame.
  std::int64_t elements = 0;
  std::int32_t pos = 5;
  frame.ElementPos = pos;
  while (pos <= length - 3) {
    ++elements;
    const std::uint8_t code = frame.At(pos);
    ++stats.MecCounts[code];
    const std::int32_t next = FindNextElement(frame, pos, code);
    if (kExporting) exporter->AddElement(code, next - 1);
    pos = next;
    frame.ElementPos = pos;
    if (next <= kLargestKnownEnd && next > length - 2) {
      ++stats.BadElementLengths;
      if (kExporting) exporter->AddElementLengthWarning();
    }
  }
  stats.TotalElements += elements;
  if (elements > stats.MaxElementsPerFrame) stats.MaxElementsPerFrame = elements;

  if (kExporting) exporter->EndFrameExport();
}

}  // namespace

void AnalyzeFrame(Frame& frame, RunStats& stats, FrameExporter* exporter) {
  if (exporter == nullptr || exporter->WritesLineOnly()) {
    Analyze<false>(frame, stats, nullptr);
    if (exporter) exporter->WriteFrameLine();
  } else {
    Analyze<true>(frame, stats, exporter);
  }
}

}  // namespace corvanel
