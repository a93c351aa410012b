#include "uecp_fixture.h"

#include <QFile>

#include "engine/crc.h"
#include "engine/run.h"

namespace corvanel::gui::testing {

namespace {

void AppendStuffed(QByteArray& out, std::uint8_t byte) {
  if (byte >= 0xFD) {
    out.append(char(0xFD));
    out.append(char(byte - 0xFD));
  } else {
    out.append(char(byte));
  }
}

class CollectingHost final : public RunHost {
 public:
  explicit CollectingHost(EngineRun& run) : run_(run) {}
  void SetGauge(int) override {}
  void ShowError(const std::string& message) override { run_.errors.push_back(message); }
  void AppendReportLine(const std::string& line) override { run_.lines.push_back(line); }

 private:
  EngineRun& run_;
};

}  // namespace

QByteArray UecpFrame(std::uint16_t address, std::initializer_list<std::uint8_t> field) {
  std::vector<std::uint8_t> body = {std::uint8_t(address >> 8), std::uint8_t(address & 0xFF), 0,
                                    std::uint8_t(field.size())};
  body.insert(body.end(), field.begin(), field.end());
  const std::uint16_t crc = ComputeCRC(body.data(), body.size());
  body.push_back(std::uint8_t(crc >> 8));
  body.push_back(std::uint8_t(crc & 0xFF));
  QByteArray frame(1, char(0xFE));
  for (const std::uint8_t byte : body) AppendStuffed(frame, byte);
  frame.append(char(0xFF));
  return frame;
}

QByteArray PiFrame(std::uint16_t address) {
  return UecpFrame(address, {0x01, 0, 0, 0x12, 0x34});
}

bool WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

EngineRun RunEngine(const QString& log, int mode, const QString& export_path) {
  EngineRun run;
  CollectingHost host(run);
  RunInputs inputs;
  inputs.LogPath = log.toLocal8Bit().toStdString();
  inputs.Mode = mode;
  inputs.ExportPath = export_path.toLocal8Bit().toStdString();
  ProcessUECP(inputs, host);
  return run;
}

}  // namespace corvanel::gui::testing
