// Small UECP logs made in the tests: frames with a correct CRC and byte stuffing.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace corvanel::gui::testing {

// One frame: start byte, address word, sequence counter 0, message field length, the
// message field, the CRC, stop byte; stuffed.
QByteArray UecpFrame(std::uint16_t address, std::initializer_list<std::uint8_t> field);

// A frame with a PI element (code 01) for the given address word.
QByteArray PiFrame(std::uint16_t address);

// Writes `content` to `path`; false on an error.
bool WriteFile(const QString& path, const QByteArray& content);
QByteArray ReadFile(const QString& path);

// What the engine itself shows for an analysis run over `path`: the report lines and
// the error texts.
struct EngineRun {
  std::vector<std::string> lines;
  std::vector<std::string> errors;
};
EngineRun RunEngine(const QString& log, int mode = 0, const QString& export_path = {});

}  // namespace corvanel::gui::testing
