// Fuzzes a whole run: arbitrary log bytes under every log type selection, in analysis and
// every export mode with arbitrary export settings, read whole and in short pieces, and
// with a read or write failure injected.
//
// Input: a settings byte, a fault byte, the address filter text and the element filter
// text (each a length byte and that many bytes), then the log.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/messages.h"
#include "engine/run.h"
#include "test_support.h"

namespace {

using corvanel::RunInputs;
using corvanel::testing::FaultyFileSystem;
using corvanel::testing::RecordingHost;

void Require(bool condition) {
  if (!condition) std::abort();
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string Text(std::size_t most) {
    std::string text;
    for (std::size_t n = Byte() % (most + 1); n > 0 && pos_ < size_; --n) {
      text += static_cast<char>(data_[pos_++]);
    }
    return text;
  }
  std::string Rest() {
    return std::string(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

struct Outcome {
  RecordingHost host;
  std::string exported;
};

Outcome Run(const RunInputs& inputs, FaultyFileSystem& files) {
  Outcome outcome;
  corvanel::ProcessUECP(inputs, outcome.host, files, corvanel::RegionalSettings::Classic());
  if (inputs.Mode != corvanel::kAnalysis)
    outcome.exported = corvanel::testing::ReadFile(inputs.ExportPath);
  // The gauge only moves forward, within 0 to 100.
  int last = 0;
  for (int position : outcome.host.gauge) {
    Require(position >= last && position <= 100);
    last = position;
  }
  Require(outcome.host.errors.size() <= 1);
  return outcome;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvanel::testing::TempDir dir;
  Input input(data, size);
  const std::uint8_t settings = input.Byte();
  const std::uint8_t fault = input.Byte();
  RunInputs inputs;
  inputs.ExportPath = dir.Path("export.txt").string();
  inputs.LogType = static_cast<corvanel::LogTypeSelection>(settings % 3);
  inputs.Mode = (settings >> 2) & 3;
  inputs.Export.IncludeDetails = settings & 0x10;
  inputs.Export.FilterAddress = settings & 0x20;
  inputs.Export.FilterMecs = settings & 0x40;
  inputs.Export.AddressText = input.Text(6);
  inputs.Export.MecText = input.Text(40);
  const std::string log = input.Rest();
  inputs.LogPath = dir.Write("capture.log", log);

  // A fault-free run sees no error and ends with the gauge at 100.
  FaultyFileSystem whole;
  const Outcome reference = Run(inputs, whole);
  Require(reference.host.errors.empty());
  Require(!reference.host.gauge.empty() && reference.host.gauge.back() == 100);
  Require(inputs.Mode == corvanel::kAnalysis ? !reference.host.lines.empty()
                                             : reference.host.lines.empty());

  // Read boundaries are invisible: short reads give the same report and export.
  FaultyFileSystem pieces;
  pieces.read_piece = 1 + fault % 97;
  const Outcome short_reads = Run(inputs, pieces);
  Require(short_reads.host.lines == reference.host.lines);
  Require(short_reads.exported == reference.exported);

  // A read or write failure shows the failure once, keeps the report (analysis) and leaves
  // an export that is a prefix of the complete one, ending between frames.
  FaultyFileSystem faulty;
  if (fault & 0x80) {
    faulty.fail_write_after = static_cast<std::int64_t>(fault & 0x7F) * 13;
  } else {
    faulty.fail_read_at = static_cast<std::int64_t>(log.size()) * (fault & 0x7F) / 128;
  }
  const Outcome failed = Run(inputs, faulty);
  if (!failed.host.errors.empty()) {
    Require(failed.host.errors[0].rfind(std::string(corvanel::messages::kUnableToFinish) + "\n",
                                        0) == 0);
  }
  Require(inputs.Mode == corvanel::kAnalysis ? !failed.host.lines.empty()
                                             : failed.host.lines.empty());
  Require(reference.exported.compare(0, failed.exported.size(), failed.exported) == 0);
  if ((inputs.Mode == corvanel::kFramesKeepStuffing ||
       inputs.Mode == corvanel::kFramesRemoveStuffing) &&
      !failed.exported.empty()) {
    Require(EndsWith(failed.exported, "\r\n"));
  }
  return 0;
}
