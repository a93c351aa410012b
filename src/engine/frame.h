// The frame being assembled, shared by the assembler, the analysis, the element
// rendering and the export writer.
#pragma once

#include <array>
#include <cstdint>

namespace corvanel {

struct Frame {
  // Bytes a frame may hold: start byte, up to 259 bytes of address, counter, length and
  // message, two CRC bytes, plus one slot that marks a frame as too long.
  static constexpr std::int32_t kCapacity = 263;
  // The real time clock rendering reads up to eight bytes after an element code that may
  // stand at index 259, so the buffer keeps a zeroed tail past the capacity.
  static constexpr std::int32_t kBufferSize = 272;

  std::array<std::uint8_t, kBufferSize> FrameBuffer{};
  std::int32_t FrameLength = 0;  // bytes held, 0 to kCapacity
  std::int32_t ElementPos = 0;   // index of the code byte of the element being walked

  // Every read of the buffer by index goes through here, so none leaves it.
  std::uint8_t At(std::int32_t index) const {
    return index >= 0 && index < kBufferSize ? FrameBuffer[index] : 0;
  }
};

}  // namespace corvanel
