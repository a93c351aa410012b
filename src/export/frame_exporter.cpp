#include "export/frame_exporter.h"

#include "catalogue/element_detail.h"
#include "export/frame_line.h"
#include "util/number_text.h"

namespace corvanel {

namespace {

constexpr char kLineEnd[] = "\r\n";

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
  if (!settings_.IncludeDetails) return;
  FrameBlock.clear();
  FrameBlock += '[';
  const std::size_t start = FrameBlock.size();
  FrameBlock.resize(start + FrameLineRoom(frame_));
  FrameBlock.resize(
      static_cast<std::size_t>(RenderLine(FrameBlock.data() + start) - FrameBlock.data()));
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
  WriteFrameLine();
}

void FrameExporter::WriteFrameLine() {
  char* out = RenderLine(file_.Reserve(FrameLineRoom(frame_) + 2));
  *out++ = '\r';
  *out++ = '\n';
  file_.Commit(out);
}

char* FrameExporter::RenderLine(char* out) {
  frame_.FrameBuffer[frame_.FrameLength] = 0xFF;  // the stop byte, after the second CRC byte
  return RenderFrameLine(frame_, mode_ == kFramesKeepStuffing, out);
}

}  // namespace corvanel
