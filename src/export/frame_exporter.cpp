#include "export/frame_exporter.h"

#include <array>
#include <cstring>

#include "catalogue/element_detail.h"
#include "util/number_text.h"

namespace corvanel {

namespace {

constexpr char kLineEnd[] = "\r\n";

// "XX " and a spare byte for every byte value, to be copied four bytes at a time.
struct PairAndBlank {
  char text[4];
};
constexpr auto kPairAndBlank = [] {
  std::array<PairAndBlank, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    table[b] = {{detail::kHexPairs[2 * b], detail::kHexPairs[2 * b + 1], ' ', ' '}};
  }
  return table;
}();

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
  FrameBlock.clear();
  if (settings_.FilterAddress) {
    const auto address = static_cast<std::uint16_t>(frame_.At(1) << 8 | frame_.At(2));
    if (address != selected_address_) {
      ExportThisFrame = false;
      return;
    }
  }
  frame_.FrameBuffer[frame_.FrameLength] = 0xFF;  // the stop byte, after the second CRC byte
  if (settings_.IncludeDetails) FrameBlock += '[';
  AppendFrameLine();
  if (settings_.IncludeDetails) {
    FrameBlock += ']';
    FrameBlock += kLineEnd;
  }
}

void FrameExporter::AppendFrameLine() {
  const std::int32_t stop = frame_.FrameLength;  // the stop byte's slot, inside the buffer
  const std::uint8_t* bytes = frame_.FrameBuffer.data();
  const bool keep_stuffing = mode_ == kFramesKeepStuffing;
  // Written through a pointer into room for the longest line: "FD 0x " per byte, and one
  // byte more, as every pair is stored as four bytes of which three are kept.
  const std::size_t start = FrameBlock.size();
  FrameBlock.resize(start + 6 * static_cast<std::size_t>(stop + 1) + 1);
  char* out = FrameBlock.data() + start;
  auto put_pair = [&out](std::uint8_t value) {
    std::memcpy(out, &kPairAndBlank[value], 4);
    out += 3;
  };
  for (std::int32_t i = 0; i <= stop; ++i) {
    const std::uint8_t b = bytes[i];
    if (keep_stuffing && b >= 0xFD && i > 0 && i < stop) {
      put_pair(0xFD);
      put_pair(static_cast<std::uint8_t>(b - 0xFD));
    } else {
      put_pair(b);
    }
  }
  FrameBlock.resize(static_cast<std::size_t>(out - FrameBlock.data()) - 1);  // no last blank
}

void FrameExporter::AddFieldLengthWarning(std::int32_t indicated, std::int32_t real) {
  if (!WritesDetails()) return;
  FrameBlock += " Warning: Invalid Message Field Length (indicated: ";
  AppendDecimal(FrameBlock, indicated);
  FrameBlock += ", real: ";
  AppendDecimal(FrameBlock, real);
  FrameBlock += ").";
  FrameBlock += kLineEnd;
}

void FrameExporter::AddAddressDetail(std::uint16_t address) {
  if (!WritesDetails() || settings_.FilterAddress) return;
  FrameBlock += ' ';
  AppendADD(FrameBlock, address, true);
  FrameBlock += kLineEnd;
}

void FrameExporter::AddElement(std::uint8_t code, std::int32_t last_index) {
  if (!ExportThisFrame) return;
  if (settings_.FilterMecs && code_listed_[code]) MecMatched = true;
  if (settings_.IncludeDetails) {
    AppendMECDetail(FrameBlock, frame_, code, last_index);
    FrameBlock += kLineEnd;
  }
}

void FrameExporter::AddElementLengthWarning() {
  if (!WritesDetails()) return;
  FrameBlock += " Warning: Invalid Message Element Length.";
  FrameBlock += kLineEnd;
}

void FrameExporter::EndFrameExport() {
  if (!ExportThisFrame || (settings_.FilterMecs && !MecMatched)) return;
  FrameBlock += kLineEnd;
  file_.Write(FrameBlock);
}

}  // namespace corvanel
