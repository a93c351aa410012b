// The main window: the current log file, the log type selector, the progress gauge, the
// results pane and the menu from which every command is given. It is the front end of a
// run: it hands the run its inputs and shows the gauge, the errors and the report.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QUrl>
#include <string>
#include <vector>

#include "engine/run_host.h"
#include "export/export_settings.h"
#include "gui/gauge.h"

class QAction;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QMenu;

namespace corvanel::gui {

class ReportPane;
class TDEXP;
class UserDialogs;

class TForm1 : public QMainWindow, public RunHost {
  Q_OBJECT

 public:
  explicit TForm1(UserDialogs& dialogs, QWidget* parent = nullptr);

  // The export options dialog, created after the window; Export needs it.
  void AttachExportDialog(TDEXP& dialog) { DEXP = &dialog; }

  // Makes `path` the current log file and sets the gauge to 0; nothing else.
  void OpenFile(const QString& path);
  void OpenUECPBinaryFile1Click();
  void ExportUECPFrames1Click();
  void SaveReport1Click();
  void Exit1Click();
  void CopyAll1Click();
  void ClearAll1Click();
  void Button1Click();
  void Documentation1Click();
  void About1Click();
  // Each dropped local file or folder becomes the current log file in turn.
  void FilesDropped(const QList<QUrl>& urls);

  // RunHost: what a run shows.
  void RepaintWindow() override;
  void SetGauge(int position) override;
  void ShowError(const std::string& message) override;
  void AppendReportLine(const std::string& line) override;

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLabel* Panel1;
  QComboBox* CBFTYP;
  QGroupBox* GroupBox2;
  Gauge* Gauge1;
  QGroupBox* GroupBox3;
  ReportPane* Memo1;
  QFileDialog* OpenDialog1;
  QFileDialog* SaveDialog1;
  // Folder of the program's executable, with a trailing '/'.
  QString ProgramFolder;

  QMenu* File1;
  QAction* OpenUECPBinaryFile1;
  QAction* N3;
  QAction* ExportUECPFrames1;
  QAction* N2;
  QAction* SaveReport1;
  QAction* N1;
  QAction* Exit1;
  QMenu* Edit1;
  QAction* CopyAll1;
  QAction* ClearAll1;
  QMenu* Analysis1;
  QAction* Start1;
  QMenu* Help1;
  QAction* Documentation1;
  QAction* N4;
  QAction* About1;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  void CreateDialogs();
  void CreateActions();
  void CreateMenus();
  // Runs the engine over the current log file; the pane shows the report's lines once
  // they are all in.
  void ProcessUECP(ExportMode mode, const QString& export_path = {});
  void ShowErrorBox(const QString& text);

  UserDialogs& dialogs_;
  TDEXP* DEXP = nullptr;
};

}  // namespace corvanel::gui
