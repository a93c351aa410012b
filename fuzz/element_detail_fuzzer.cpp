// Fuzzes the element detail rendering over arbitrary frames: the walk of the frame
// content analysis with the detail line of every element, the real time clock at every
// position near the end of the buffer, any code at any position, and the frame export
// with details.
//
// Input: two bytes of frame length, two bytes of element position, a code, a last index,
// then the frame's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "catalogue/element_detail.h"
#include "catalogue/mec_table.h"
#include "engine/file_system.h"
#include "engine/frame.h"
#include "engine/frame_analysis.h"
#include "engine/run_stats.h"
#include "export/export_file.h"
#include "export/frame_exporter.h"

namespace {

using corvanel::Frame;

void Require(bool condition) {
  if (!condition) std::abort();
}

// A detail is one line that begins with a blank.
void CheckDetail(const std::string& detail) {
  Require(detail.rfind(" MEC ", 0) == 0);
  Require(detail.find_first_of("\r\n") == std::string::npos);
}

void Walk(Frame& frame) {
  frame.ElementPos = 5;
  while (frame.ElementPos <= frame.FrameLength - 3) {
    const std::uint8_t code = frame.At(frame.ElementPos);
    const std::int32_t next = corvanel::FindNextElement(frame, frame.ElementPos, code);
    Require(next > frame.ElementPos);
    CheckDetail(corvanel::MECDetail(frame, code, next - 1));
    frame.ElementPos = next;
  }
}

void ExportWithDetails(Frame& frame, corvanel::ExportMode mode) {
  static auto stats = std::make_unique<corvanel::RunStats>();
  corvanel::ExportFile file(corvanel::PosixFileSystem().CreateOutput("/dev/null"));
  corvanel::ExportSettings settings;
  corvanel::FrameExporter exporter(frame, mode, settings, file);
  corvanel::AnalyzeFrame(frame, *stats, &exporter);
  file.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  auto frame = std::make_unique<Frame>();
  frame->FrameLength = (data[0] | data[1] << 8) % (Frame::kCapacity + 1);
  const std::int32_t position = (data[2] | data[3] << 8) % (Frame::kCapacity + 1);
  const std::uint8_t code = data[4];
  const std::int32_t last_index = static_cast<std::int32_t>(data[5]) * 2 - 40;
  std::memcpy(frame->FrameBuffer.data(), data + 6,
              std::min<std::size_t>(size - 6, Frame::kCapacity));

  Walk(*frame);

  // The real time clock reads eight bytes past its code, wherever the code stands.
  for (std::int32_t at = Frame::kCapacity - 12; at <= Frame::kCapacity; ++at) {
    frame->ElementPos = at;
    CheckDetail(corvanel::MECDetail(*frame, 0x0D, last_index));
  }
  frame->ElementPos = position;
  CheckDetail(corvanel::MECDetail(*frame, code, last_index));

  // The analysis and the export take frames of 7 to 262 bytes.
  if (frame->FrameLength >= 7 && frame->FrameLength <= 262) {
    ExportWithDetails(
        *frame, data[4] & 1 ? corvanel::kFramesKeepStuffing : corvanel::kFramesRemoveStuffing);
  }
  return 0;
}
