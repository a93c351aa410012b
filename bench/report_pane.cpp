// Time for the largest report (27 + 256 + 65,536 lines) to appear in the results pane:
// Start over a log with every address word and element code once, next to the engine's
// own time for the same run, so the pane's share is seen on its own, and the engine's
// time over a comparison log, run by turns with the pane.
//   report_pane LOG_FOLDER COMPARISON_LOG
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "engine/run.h"
#include "gui/main_window.h"
#include "gui/report_pane.h"
#include "gui/user_dialogs.h"
#include "test_support.h"

namespace {

class NullHost final : public corvanel::RunHost {
 public:
  void SetGauge(int) override {}
  void ShowError(const std::string&) override {}
  void AppendReportLine(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LOG_FOLDER COMPARISON_LOG\n", argv[0]);
    return 2;
  }
  QByteArray log;
  for (int address = 0; address < 0x10000; ++address) {
    std::vector<std::uint8_t> field{std::uint8_t(address & 0xFF)};
    const auto wire = corvanel::testing::EncodeFrame(std::uint16_t(address), field);
    log.append(reinterpret_cast<const char*>(wire.data()), qsizetype(wire.size()));
  }
  const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath("largest-report.bin");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(log) != log.size()) return 1;
  file.close();

  corvanel::gui::QtUserDialogs dialogs;
  corvanel::gui::TForm1 form(dialogs);
  form.show();
  for (int run = 0; run < 5; ++run) {
    form.ClearAll1Click();
    form.OpenFile(path);
    QElapsedTimer timer;
    timer.start();
    form.Button1Click();
    QApplication::processEvents();
    const qint64 gui_ms = timer.elapsed();
    corvanel::RunInputs inputs;
    inputs.LogPath = path.toLocal8Bit().toStdString();
    NullHost host;
    timer.restart();
    corvanel::ProcessUECP(inputs, host);
    const qint64 engine_ms = timer.elapsed();
    inputs.LogPath = argv[2];
    timer.restart();
    corvanel::ProcessUECP(inputs, host);
    std::printf("report_pane_lines %d start_ms %lld engine_only_ms %lld comparison_log_ms %lld\n",
                form.Memo1->LineCount(), gui_ms, engine_ms, timer.elapsed());
  }
  return 0;
}
