#include "export/frame_exporter.h"

#include <endian.h>

#include <array>
#include <cstring>

#include "catalogue/element_detail.h"
#include "engine/frame_assembler.h"
#include "util/number_text.h"

namespace corvanel {

namespace {

constexpr char kLineEnd[] = "\r\n";

// "XX " of every byte value as the low three bytes of a word (little-endian order).
constexpr auto kPairAndBlank = [] {
  std::array<std::uint32_t, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    table[b] = static_cast<std::uint8_t>(detail::kHexPairs[2 * b]) |
               static_cast<std::uint8_t>(detail::kHexPairs[2 * b + 1]) << 8 |
               std::uint32_t{' '} << 16;
  }
  return table;
}();

void Store(char* out, std::uint64_t bytes, std::size_t count) {
  bytes = htole64(bytes);
  std::memcpy(out, &bytes, count);
}

// Room for the longest frame line: "FD 0x " per byte, and more than the last group of
// four pairs that the plain line writes in one go.
std::size_t FrameLineRoom(const Frame& frame) {
  return 6 * static_cast<std::size_t>(frame.FrameLength + 1) + 12;
}

// Writes the frame line, start byte to stop byte, as hexadecimal pairs with a blank
// between them; with `keep_stuffing`, FD, FE and FF inside the frame are written as the
// escape pairs they were sent as. Returns the end of the line.
char* RenderFrameLine(const Frame& frame, bool keep_stuffing, char* out) {
  const std::int32_t stop = frame.FrameLength;  // the stop byte's slot, inside the buffer
  const std::uint8_t* bytes = frame.FrameBuffer.data();
  if (keep_stuffing && FindSpecialByte(bytes + 1, bytes + stop) != bytes + stop) {
    auto put_pair = [&out](std::uint8_t value) {
      Store(out, kPairAndBlank[value], 4);
      out += 3;
    };
    put_pair(bytes[0]);
    for (std::int32_t i = 1; i < stop; ++i) {
      const std::uint8_t b = bytes[i];
      if (b >= 0xFD) {
        put_pair(0xFD);
        put_pair(static_cast<std::uint8_t>(b - 0xFD));
      } else {
        put_pair(b);
      }
    }
    put_pair(bytes[stop]);
    return out - 1;  // no blank after the last pair
  }
  // Four pairs (twelve characters) at a time; the last group may run past the stop byte
  // into the frame buffer's tail and the room reserved, and is cut back below.
  const auto count = static_cast<std::size_t>(stop + 1);
  static_assert(Frame::kCapacity + 3 <= Frame::kBufferSize);
  for (std::size_t i = 0; i < count; i += 4, out += 12) {
    const std::uint64_t a = kPairAndBlank[bytes[i]];
    const std::uint64_t b = kPairAndBlank[bytes[i + 1]];
    const std::uint64_t c = kPairAndBlank[bytes[i + 2]];
    const std::uint64_t d = kPairAndBlank[bytes[i + 3]];
    Store(out, a | b << 24 | c << 48, 8);
    Store(out + 8, c >> 16 | d << 8, 4);
  }
  return out - 12 * ((count + 3) / 4) + 3 * count - 1;  // no blank after the last pair
}

// The word whose four-digit upper-case hexadecimal text equals `text`, if any.
std::optional<std::uint16_t> AddressOfText(const std::string& text) {
  if (text.size() != 4) return std::nullopt;
  unsigned word = 0;
  for (char ch : text) {
    int digit;
    if (ch >= '0' && ch <= '9') {
      digit = ch - '0';
    } else if (ch >= 'A' && ch <= 'F') {
      digit = ch - 'A' + 10;
    } else {
      return std::nullopt;
    }
    word = word * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<std::uint16_t>(word);
}

}  // namespace

FrameExporter::FrameExporter(Frame& frame, ExportMode mode, const ExportSettings& settings,
                             ExportFile& file)
    : frame_(frame),
      mode_(mode),
      settings_(settings),
      file_(file),
      selected_address_(AddressOfText(settings.AddressText)) {
  for (unsigned code = 0; code < 256; ++code) {
    const std::string_view digits(Hex2Digits(static_cast<std::uint8_t>(code)), 2);
    code_listed_[code] = settings.MecText.find(digits) != std::string::npos;
  }
  FrameBlock.reserve(4096);
}

void FrameExporter::BeginFrameExport() {
  ExportThisFrame = true;
  MecMatched = false;
  if (settings_.FilterAddress) {
    const auto address = static_cast<std::uint16_t>(frame_.At(1) << 8 | frame_.At(2));
    if (address != selected_address_) {
      ExportThisFrame = false;
      return;
    }
  }
  frame_.FrameBuffer[frame_.FrameLength] = 0xFF;  // the stop byte, after the second CRC byte
  if (!settings_.IncludeDetails) return;
  FrameBlock.clear();
  FrameBlock += '[';
  const std::size_t start = FrameBlock.size();
  FrameBlock.resize(start + FrameLineRoom(frame_));
  FrameBlock.resize(static_cast<std::size_t>(
      RenderFrameLine(frame_, mode_ == kFramesKeepStuffing, FrameBlock.data() + start) -
      FrameBlock.data()));
  FrameBlock += ']';
  FrameBlock += kLineEnd;
}

void FrameExporter::AppendFieldLengthWarning(std::int32_t indicated, std::int32_t real) {
  FrameBlock += " Warning: Invalid Message Field Length (indicated: ";
  AppendDecimal(FrameBlock, indicated);
  FrameBlock += ", real: ";
  AppendDecimal(FrameBlock, real);
  FrameBlock += ").";
  FrameBlock += kLineEnd;
}

void FrameExporter::AppendAddressDetail(std::uint16_t address) {
  FrameBlock += ' ';
  AppendADD(FrameBlock, address, true);
  FrameBlock += kLineEnd;
}

void FrameExporter::AppendElementDetail(std::uint8_t code, std::int32_t last_index) {
  AppendMECDetail(FrameBlock, frame_, code, last_index);
  FrameBlock += kLineEnd;
}

void FrameExporter::AppendElementLengthWarning() {
  FrameBlock += " Warning: Invalid Message Element Length.";
  FrameBlock += kLineEnd;
}

void FrameExporter::EndFrameExport() {
  if (!ExportThisFrame || (settings_.FilterMecs && !MecMatched)) return;
  if (settings_.IncludeDetails) {
    FrameBlock += kLineEnd;
    file_.Write(FrameBlock);
    return;
  }
  char* out = file_.Reserve(FrameLineRoom(frame_) + 2);
  out = RenderFrameLine(frame_, mode_ == kFramesKeepStuffing, out);
  *out++ = '\r';
  *out++ = '\n';
  file_.Commit(out);
}

}  // namespace corvanel
