// The frame line of an export: the held frame, start byte to stop byte, as upper-case
// hexadecimal pairs with a blank between them.
#pragma once

#include <algorithm>
#include <cstddef>

#include "engine/frame.h"

namespace corvanel {

// Room to reserve for RenderFrameLine: "FD 0x " per byte, and a group of sixteen pairs
// more, as whole groups are written at a time, and never less than two groups. The stop
// byte must stand in the buffer at FrameLength.
inline std::size_t FrameLineRoom(const Frame& frame) {
  return std::max<std::size_t>(6 * static_cast<std::size_t>(frame.FrameLength + 1) + 48, 96);
}

// Writes the line at `out` and returns its end. With `keep_stuffing`, FD, FE and FF inside
// the frame are written as the escape pairs they were sent as.
char* RenderFrameLine(const Frame& frame, bool keep_stuffing, char* out);

// The two forms of a line without escape pairs; RenderFrameLine takes the shuffled one
// where the processor has it (kHasByteShuffle). Exposed to test them against each other.
char* RenderPlainFrameLinePortable(const Frame& frame, char* out);
char* RenderPlainFrameLineShuffled(const Frame& frame, char* out);

}  // namespace corvanel
