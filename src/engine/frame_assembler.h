// Frame assembly: finds frames between start byte FE and stop byte FF, undoes the byte
// stuffing (FD 00/01/02 for FD/FE/FF), judges each frame by its length and CRC at its
// stop byte and hands good frames to the content analysis. Every irregularity is counted.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/frame.h"
#include "engine/run_stats.h"

namespace corvanel {

class ExportFile;
class FrameExporter;

class FrameAssembler {
 public:
  // `exporter` receives good frames in an export of frames; `outside_data` receives the
  // bytes outside frames in an export of them. Either may be null.
  FrameAssembler(Frame& frame, RunStats& stats, FrameExporter* exporter, ExportFile* outside_data);

  // Handles one log byte.
  void AssembleByte(std::uint8_t b);

  // Handles `count` log bytes in order; same result as AssembleByte on each, but takes
  // runs of ordinary bytes in bulk.
  void AssembleBlock(const std::uint8_t* bytes, std::size_t count);

  bool InFrame() const { return in_frame_; }

  // Takes the state that every start byte leaves, whatever came before it: a frame open
  // with the start byte held, no escape pending. Lets a part of the log be assembled on
  // its own from the byte after a start byte.
  void ResumeAfterStartByte() {
    frame_.FrameBuffer[0] = 0xFE;
    frame_.FrameLength = 1;
    in_frame_ = true;
    escape_pending_ = false;
  }

 private:
  void TakeOrdinaryRun(const std::uint8_t* bytes, std::size_t count);
  // Holds and judges the frame whose start byte is at `start` when it ends before `end`
  // with nothing but ordinary bytes and escape pairs; returns the byte after its stop
  // byte, or nullptr (nothing counted) when the byte-by-byte path must take it.
  const std::uint8_t* TakeRegularFrame(const std::uint8_t* start, const std::uint8_t* end);
  void JudgeFrame();

  Frame& frame_;
  RunStats& stats_;
  FrameExporter* exporter_;
  ExportFile* outside_data_;
  bool in_frame_ = false;
  bool escape_pending_ = false;
};

// First byte in [begin, end) that is FD, FE or FF, or end.
const std::uint8_t* FindSpecialByte(const std::uint8_t* begin, const std::uint8_t* end);
// The same search without vector instructions; the reference for FindSpecialByte.
const std::uint8_t* FindSpecialByteScalar(const std::uint8_t* begin, const std::uint8_t* end);

}  // namespace corvanel
