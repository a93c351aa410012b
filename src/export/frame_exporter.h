// Writes the good frames of an export run (keep or remove stuffing): the frame line in
// hexadecimal, filtered by address word and element codes, optionally followed by the
// decoded details of its address and elements. The frame analysis calls it at fixed
// points of every good frame.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/frame.h"
#include "export/export_file.h"
#include "export/export_settings.h"

namespace corvanel {

class FrameExporter {
 public:
  FrameExporter(Frame& frame, ExportMode mode, const ExportSettings& settings, ExportFile& file);

  // Without details and without filters, a frame's record is its line alone: the analysis
  // then calls WriteFrameLine after it instead of the calls below.
  bool WritesLineOnly() const {
    return !settings_.IncludeDetails && !settings_.FilterAddress && !settings_.FilterMecs;
  }
  void WriteFrameLine();

  void BeginFrameExport();
  void AddFieldLengthWarning(std::int32_t indicated, std::int32_t real) {
    if (WritesDetails()) AppendFieldLengthWarning(indicated, real);
  }
  void AddAddressDetail(std::uint16_t address) {
    if (WritesDetails() && !settings_.FilterAddress) AppendAddressDetail(address);
  }
  void AddElement(std::uint8_t code, std::int32_t last_index) {
    if (!ExportThisFrame) return;
    if (settings_.FilterMecs && code_listed_[code]) MecMatched = true;
    if (settings_.IncludeDetails) AppendElementDetail(code, last_index);
  }
  void AddElementLengthWarning() {
    if (WritesDetails()) AppendElementLengthWarning();
  }
  void EndFrameExport();

 private:
  bool WritesDetails() const { return ExportThisFrame && settings_.IncludeDetails; }
  // Places the stop byte after the frame's last byte and writes the frame line at `out` in
  // this export's mode; returns its end.
  char* RenderLine(char* out);
  void AppendFieldLengthWarning(std::int32_t indicated, std::int32_t real);
  void AppendAddressDetail(std::uint16_t address);
  void AppendElementDetail(std::uint8_t code, std::int32_t last_index);
  void AppendElementLengthWarning();

  Frame& frame_;
  ExportMode mode_;
  ExportSettings settings_;
  ExportFile& file_;
  // The address filter's text as a word, when it can match one at all.
  std::optional<std::uint16_t> selected_address_;
  // Whether each code's two hexadecimal digits occur in the element filter's text.
  std::array<bool, 256> code_listed_{};

  bool ExportThisFrame = false;
  bool MecMatched = false;
  // The record of a frame with details, held until the frame's end decides on it.
  // Without details the record is only the frame line, written at the end straight into
  // the file's buffer.
  std::string FrameBlock;
};

}  // namespace corvanel
