#include "uecp_fixture.h"

#include <QFile>

#include "engine/run.h"
#include "test_support.h"

namespace corvanel::gui::testing {

QByteArray UecpFrame(std::uint16_t address, std::initializer_list<std::uint8_t> field) {
  const std::vector<std::uint8_t> wire = corvanel::testing::EncodeFrame(address, field);
  return QByteArray(reinterpret_cast<const char*>(wire.data()), qsizetype(wire.size()));
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
  corvanel::testing::RecordingHost host;
  RunInputs inputs;
  inputs.LogPath = log.toLocal8Bit().toStdString();
  inputs.Mode = mode;
  inputs.ExportPath = export_path.toLocal8Bit().toStdString();
  ProcessUECP(inputs, host);
  return {host.lines, host.errors};
}

}  // namespace corvanel::gui::testing
