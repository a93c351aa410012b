#include "engine/frame_assembler.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/crc.h"
#include "engine/frame_analysis.h"
#include "export/export_file.h"

namespace corvanel {

namespace {
constexpr std::uint8_t kEscape = 0xFD;
constexpr std::uint8_t kStart = 0xFE;
constexpr std::uint8_t kStop = 0xFF;
constexpr std::int32_t kShortestFrame = 7;
constexpr std::int32_t kLongestFrame = 262;
static_assert(Frame::kBufferSize >= 1 + kFrameCRCReadable, "the CRC reads past short frames");

#if defined(__SSE2__)
__m128i Load16(const std::uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Bit i set where byte i is FD, FE or FF: max(b, FD) == b exactly when b >= FD.
unsigned SpecialMask(__m128i bytes) {
  const __m128i escape = _mm_set1_epi8(static_cast<char>(kEscape));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(bytes, escape), bytes)));
}
#endif
}  // namespace

const std::uint8_t* FindSpecialByteScalar(const std::uint8_t* begin, const std::uint8_t* end) {
  while (begin < end && *begin < kEscape) ++begin;
  return begin;
}

const std::uint8_t* FindSpecialByte(const std::uint8_t* begin, const std::uint8_t* end) {
#if defined(__SSE2__)
  // 32 bytes per step: most frames end within the first step.
  while (end - begin >= 32) {
    const unsigned mask = SpecialMask(Load16(begin)) | SpecialMask(Load16(begin + 16)) << 16;
    if (mask != 0) return begin + __builtin_ctz(mask);
    begin += 32;
  }
  if (end - begin >= 16) {
    const unsigned mask = SpecialMask(Load16(begin));
    if (mask != 0) return begin + __builtin_ctz(mask);
    begin += 16;
  }
#endif
  return FindSpecialByteScalar(begin, end);
}

FrameAssembler::FrameAssembler(Frame& frame, RunStats& stats, FrameExporter* exporter,
                               ExportFile* outside_data)
    : frame_(frame), stats_(stats), exporter_(exporter), outside_data_(outside_data) {}

void FrameAssembler::AssembleByte(std::uint8_t b) {
  // 1. A start byte opens a frame, cutting off one that is open.
  if (b == kStart) {
    if (in_frame_) ++stats_.UnclosedFrames;
    frame_.FrameLength = 0;
    in_frame_ = true;
  } else if (!in_frame_) {
    // 2. Outside a frame.
    ++stats_.OutsideBytes;
    if (outside_data_) outside_data_->Write(&b, 1);
  }
  // 3. A stop byte closes and judges the open frame.
  if (b == kStop) {
    if (!in_frame_) {
      ++stats_.UnopenedFrames;
      return;  // a pending escape stays pending
    }
    in_frame_ = false;
    JudgeFrame();
  }
  // 4. Destuffing, tested on the byte as it arrived.
  if (b == kEscape) {
    escape_pending_ = true;
    return;
  }
  if (escape_pending_) {
    if (b <= 0x02) {
      b = static_cast<std::uint8_t>(kEscape + b);
    } else {
      ++stats_.StuffingErrors;
    }
    escape_pending_ = false;
  }
  // 5. Store while there is room.
  if (in_frame_ && frame_.FrameLength < Frame::kCapacity) {
    frame_.FrameBuffer[frame_.FrameLength++] = b;
  }
}

void FrameAssembler::JudgeFrame() {
  const std::int32_t length = frame_.FrameLength;
  if (length < kShortestFrame) {
    ++stats_.TooShortFrames;
  } else if (length > kLongestFrame) {
    ++stats_.TooLongFrames;
  } else {
    const std::uint16_t received =
        static_cast<std::uint16_t>(frame_.At(length - 2) << 8 | frame_.At(length - 1));
    if (received != ComputeFrameCRC(frame_.FrameBuffer.data() + 1, length - 3)) {
      ++stats_.CrcFailures;
    } else {
      AnalyzeFrame(frame_, stats_, exporter_);
    }
  }
}

void FrameAssembler::TakeOrdinaryRun(const std::uint8_t* bytes, std::size_t count) {
  if (in_frame_) {
    const std::size_t room = static_cast<std::size_t>(Frame::kCapacity - frame_.FrameLength);
    const std::size_t kept = std::min(count, room);
    std::memcpy(frame_.FrameBuffer.data() + frame_.FrameLength, bytes, kept);
    frame_.FrameLength += static_cast<std::int32_t>(kept);
  } else {
    stats_.OutsideBytes += static_cast<std::int64_t>(count);
    if (outside_data_) outside_data_->Write(bytes, count);
  }
}

const std::uint8_t* FrameAssembler::TakeRegularFrame(const std::uint8_t* start,
                                                     const std::uint8_t* end) {
  std::uint8_t* const buffer = frame_.FrameBuffer.data();
  buffer[0] = kStart;
  std::int32_t held = 1;
  for (const std::uint8_t* p = start + 1;;) {
    const std::uint8_t* special;
    std::int32_t run;
#if defined(__SSE2__)
    if (end - p >= 64 && held + 64 <= Frame::kCapacity) {
      // Sixty-four bytes at a time, copied before it is known how many belong to the
      // frame: a search and a copy with no call and no length to wait for, and most
      // frames end within the first step. Bytes past the frame's end are not part of it;
      // only a real time clock detail that reaches past the frame may show them.
      std::uint64_t mask = 0;
      for (int part = 0; part < 4; ++part) {
        const __m128i bytes = Load16(p + 16 * part);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + held + 16 * part), bytes);
        mask |= std::uint64_t{SpecialMask(bytes)} << (16 * part);
      }
      if (mask == 0) {
        held += 64;
        p += 64;
        continue;
      }
      run = static_cast<std::int32_t>(__builtin_ctzll(mask));
      special = p + run;
      held += run;
    } else
#endif
    {
      special = FindSpecialByte(p, end);
      run = static_cast<std::int32_t>(special - p);
      if (special == end || held + run >= Frame::kCapacity) return nullptr;
      std::memcpy(buffer + held, p, static_cast<std::size_t>(run));
      held += run;
    }
    if (*special == kStop) {
      frame_.FrameLength = held;
      JudgeFrame();
      return special + 1;
    }
    // Only an escape followed by 00, 01 or 02 is regular.
    if (*special != kEscape || special + 1 == end || special[1] > 0x02) return nullptr;
    buffer[held++] = static_cast<std::uint8_t>(kEscape + special[1]);
    p = special + 2;
  }
}

void FrameAssembler::AssembleBlock(const std::uint8_t* bytes, std::size_t count) {
  const std::uint8_t* p = bytes;
  const std::uint8_t* const end = bytes + count;
  while (p < end) {
    if (!escape_pending_) {
      // A start byte outside a frame: a frame that ends in this block with no irregular
      // byte (only ordinary bytes and escape pairs up to its stop byte) is held and
      // judged in one go.
      if (*p == kStart && !in_frame_) {
        const std::uint8_t* after = TakeRegularFrame(p, end);
        if (after != nullptr) {
          p = after;
          continue;
        }
      }
      // Without a pending escape, bytes below FD are only stored or counted as outside.
      const std::uint8_t* special = FindSpecialByte(p, end);
      if (special != p) {
        TakeOrdinaryRun(p, static_cast<std::size_t>(special - p));
        p = special;
        if (p == end) break;
      }
    }
    AssembleByte(*p++);
  }
}

}  // namespace corvanel
