#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/file_system.h"
#include "engine/messages.h"
#include "engine/report_file.h"
#include "engine/run.h"
#include "gui/application_info.h"
#include "gui/export_dialog.h"
#include "gui/menu_icons.h"
#include "gui/named_widget.h"
#include "gui/report_pane.h"
#include "gui/user_dialogs.h"

namespace corvanel::gui {

namespace {

constexpr char kNoDataToSave[] = "No data to save.";
constexpr int kGaugeMin = 0;
constexpr int kGaugeMax = 100;

QString Local(const std::string& text) {
  return QString::fromLocal8Bit(text);
}
std::string Local(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

void MakeBold(QWidget* widget) {
  QFont font = widget->font();
  font.setBold(true);
  widget->setFont(font);
}

bool HasLocalFile(const QMimeData* data) {
  const QList<QUrl> urls = data->urls();
  return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

}  // namespace

TForm1::TForm1(UserDialogs& dialogs, QWidget* parent) : QMainWindow(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kApplicationTitle));
  resize(800, 560);
  CreateControls();
  CreateDialogs();
  CreateActions();
  CreateMenus();
  // Files dropped from the desktop become the current log file.
  setAcceptDrops(true);
  const QString folder = QCoreApplication::applicationDirPath();
  ProgramFolder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void TForm1::CreateControls() {
  auto* central = MakeNamed<QWidget>(this, "Central");
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(4, 4, 4, 4);
  setCentralWidget(central);

  GroupBox1 = MakeNamed<QGroupBox>(central, "GroupBox1");
  GroupBox1->setTitle(QStringLiteral("Actual UECP Log File"));
  GroupBox1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* file_row = new QHBoxLayout(GroupBox1);
  Label1 = MakeNamed<QLabel>(GroupBox1, "Label1");
  Label1->setTextFormat(Qt::PlainText);
  // A long path must not widen the window.
  Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  MakeBold(Label1);
  file_row->addWidget(Label1, 1);

  Panel1 = MakeNamed<QLabel>(GroupBox1, "Panel1");
  Panel1->setText(QStringLiteral(" Type"));
  Panel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  CBFTYP = MakeNamed<QComboBox>(Panel1, "CBFTYP");
  CBFTYP->addItems(
      {QStringLiteral("Autodetect"), QStringLiteral("Text"), QStringLiteral("Binary")});
  CBFTYP->setCurrentIndex(0);
  CBFTYP->setFocusPolicy(Qt::ClickFocus);
  const int selector_height = CBFTYP->sizeHint().height();
  const int selector_width = std::max(81, CBFTYP->sizeHint().width());
  CBFTYP->setGeometry(34, 0, selector_width, selector_height);
  Panel1->setFixedSize(34 + selector_width + 5, selector_height);
  file_row->addWidget(Panel1);
  column->addWidget(GroupBox1);

  GroupBox2 = MakeNamed<QGroupBox>(central, "GroupBox2");
  GroupBox2->setTitle(QStringLiteral("Progress"));
  GroupBox2->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  auto* progress_row = new QHBoxLayout(GroupBox2);
  Gauge1 = MakeNamed<Gauge>(GroupBox2, "Gauge1");
  Gauge1->setRange(kGaugeMin, kGaugeMax);
  Gauge1->setValue(kGaugeMin);
  Gauge1->setFormat(QStringLiteral("%p%"));
  Gauge1->setTextVisible(true);
  Gauge1->setAlignment(Qt::AlignCenter);
  QPalette gauge_colours = Gauge1->palette();
  gauge_colours.setColor(QPalette::Highlight, QColor(0, 0, 128));
  gauge_colours.setColor(QPalette::HighlightedText, Qt::white);
  Gauge1->setPalette(gauge_colours);
  MakeBold(Gauge1);
  progress_row->addWidget(Gauge1);
  column->addWidget(GroupBox2);

  GroupBox3 = MakeNamed<QGroupBox>(central, "GroupBox3");
  GroupBox3->setTitle(QStringLiteral("Results"));
  auto* results = new QVBoxLayout(GroupBox3);
  Memo1 = MakeNamed<ReportPane>(GroupBox3, "Memo1");
  Memo1->setFocusPolicy(Qt::ClickFocus);
  // Drops go to the window, not into the pane.
  Memo1->setAcceptDrops(false);
  Memo1->viewport()->setAcceptDrops(false);
  MakeBold(Memo1);
  results->addWidget(Memo1);
  column->addWidget(GroupBox3, 1);
}

void TForm1::CreateDialogs() {
  OpenDialog1 = MakeNamed<QFileDialog>(this, "OpenDialog1");
  OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  // The typed name need not exist: the run tells the user.
  OpenDialog1->setFileMode(QFileDialog::AnyFile);
  OpenDialog1->setNameFilter(QStringLiteral("UECP Log File (*)"));

  SaveDialog1 = MakeNamed<QFileDialog>(this, "SaveDialog1");
  SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog1->setFileMode(QFileDialog::AnyFile);
  SaveDialog1->setNameFilter(QStringLiteral("Plain text file (*.txt)"));
  SaveDialog1->setDefaultSuffix(QStringLiteral("txt"));
}

void TForm1::CreateActions() {
  struct ActionSpec {
    QAction*& action;
    const char* name;
    const char* caption;
    MenuIcon icon;
    void (TForm1::*handler)();
  };
  const ActionSpec specs[] = {
      {OpenUECPBinaryFile1, "OpenUECPBinaryFile1", "&Open UECP Log File...", MenuIcon::Open,
       &TForm1::OpenUECPBinaryFile1Click},
      {ExportUECPFrames1, "ExportUECPFrames1", "&Export...", MenuIcon::Export,
       &TForm1::ExportUECPFrames1Click},
      {SaveReport1, "SaveReport1", "&Save Report...", MenuIcon::SaveReport,
       &TForm1::SaveReport1Click},
      {Exit1, "Exit1", "E&xit", MenuIcon::Exit, &TForm1::Exit1Click},
      {CopyAll1, "CopyAll1", "&Copy All", MenuIcon::CopyAll, &TForm1::CopyAll1Click},
      {ClearAll1, "ClearAll1", "C&lear All", MenuIcon::ClearAll, &TForm1::ClearAll1Click},
      {Start1, "Start1", "&Start!", MenuIcon::Start, &TForm1::Button1Click},
      {Documentation1, "Documentation1", "&Documentation", MenuIcon::Documentation,
       &TForm1::Documentation1Click},
      {About1, "About1", "&About...", MenuIcon::About, &TForm1::About1Click},
  };
  for (const ActionSpec& spec : specs) {
    spec.action = new QAction(MakeMenuIcon(spec.icon), QString::fromLatin1(spec.caption), this);
    spec.action->setObjectName(QString::fromLatin1(spec.name));
    connect(spec.action, &QAction::triggered, this, spec.handler);
  }
}

void TForm1::CreateMenus() {
  menuBar()->setObjectName(QStringLiteral("MainMenu1"));
  const auto menu = [this](const char* name, const char* caption) {
    QMenu* created = menuBar()->addMenu(QString::fromLatin1(caption));
    created->setObjectName(QString::fromLatin1(name));
    return created;
  };
  const auto separator = [](QMenu* in, const char* name) {
    QAction* line = in->addSeparator();
    line->setObjectName(QString::fromLatin1(name));
    return line;
  };
  File1 = menu("File1", "&File");
  File1->addAction(OpenUECPBinaryFile1);
  N3 = separator(File1, "N3");
  File1->addAction(ExportUECPFrames1);
  N2 = separator(File1, "N2");
  File1->addAction(SaveReport1);
  N1 = separator(File1, "N1");
  File1->addAction(Exit1);
  Edit1 = menu("Edit1", "&Edit");
  Edit1->addAction(CopyAll1);
  Edit1->addAction(ClearAll1);
  Analysis1 = menu("Analysis1", "&Analysis");
  Analysis1->addAction(Start1);
  Help1 = menu("Help1", "&Help");
  Help1->addAction(Documentation1);
  N4 = separator(Help1, "N4");
  Help1->addAction(About1);
}

void TForm1::OpenFile(const QString& path) {
  Label1->setText(path);
  SetGauge(kGaugeMin);
}

void TForm1::OpenUECPBinaryFile1Click() {
  const QString path = dialogs_.RunFileDialog(*OpenDialog1);
  if (!path.isEmpty()) OpenFile(path);
}

void TForm1::ExportUECPFrames1Click() {
  if (Label1->text().isEmpty()) {
    ShowErrorBox(QString::fromLatin1(messages::kNoLogFileOpened));
    return;
  }
  if (dialogs_.RunModal(*DEXP) != QDialog::Accepted) return;
  SaveDialog1->selectFile(QString());
  const QString path = dialogs_.RunFileDialog(*SaveDialog1);
  if (path.isEmpty()) return;
  ProcessUECP(DEXP->Mode(), path);
}

void TForm1::SaveReport1Click() {
  if (Memo1->LineCount() == 0) {
    ShowErrorBox(QString::fromLatin1(kNoDataToSave));
    return;
  }
  SaveDialog1->selectFile(QString());
  const QString path = dialogs_.RunFileDialog(*SaveDialog1);
  if (path.isEmpty()) return;
  // The pane's 8-bit lines as they are, not converted to text and back.
  std::vector<std::string> report;
  report.reserve(static_cast<std::size_t>(Memo1->LineCount()));
  for (int i = 0; i < Memo1->LineCount(); ++i) report.emplace_back(Memo1->Line8Bit(i));
  try {
    WriteReportFile(report, Local(path));
  } catch (const FileError& error) {
    ShowGeneralError(dialogs_, this, Local(std::string(error.what())));
  }
}

void TForm1::Exit1Click() {
  close();
}

void TForm1::CopyAll1Click() {
  // Plain text only; the selection stays as it was.
  if (Memo1->LineCount() > 0) QApplication::clipboard()->setText(Memo1->Text());
}

void TForm1::ClearAll1Click() {
  Memo1->Clear();
  SetGauge(kGaugeMin);
}

void TForm1::Button1Click() {
  ProcessUECP(kAnalysis);
}

void TForm1::Documentation1Click() {
  dialogs_.OpenDocument(QUrl::fromLocalFile(ProgramFolder + QLatin1String(kDocumentationFile)));
}

void TForm1::About1Click() {
  dialogs_.ShowMessage(this, MessageIcon::Information, QStringLiteral("Information"),
                       QString::fromLatin1(kApplicationTitle) + QStringLiteral(" \n") +
                           QLatin1String(kVersionText) + QLatin1Char('\n') + QLatin1String(kMaker));
}

void TForm1::FilesDropped(const QList<QUrl>& urls) {
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) OpenFile(url.toLocalFile());
  }
}

void TForm1::RepaintWindow() {
  repaint();
}

void TForm1::SetGauge(int position) {
  // The gauge repaints itself at once when the percentage it shows changes.
  Gauge1->setValue(std::clamp(position, kGaugeMin, kGaugeMax));
}

void TForm1::ShowError(const std::string& message) {
  ShowErrorBox(Local(message));
}

void TForm1::AppendReportLine(const std::string& line) {
  Memo1->AppendLine(line);
}

void TForm1::ProcessUECP(ExportMode mode, const QString& export_path) {
  RunInputs inputs;
  inputs.LogPath = Local(Label1->text());
  inputs.LogType = static_cast<LogTypeSelection>(CBFTYP->currentIndex());
  inputs.Mode = mode;
  inputs.ExportPath = Local(export_path);
  if (DEXP) inputs.Export = DEXP->Settings();
  const int lines_before = Memo1->LineCount();
  corvanel::ProcessUECP(inputs, *this);
  if (Memo1->LineCount() != lines_before) Memo1->ShowEnd();
}

void TForm1::ShowErrorBox(const QString& text) {
  dialogs_.ShowMessage(this, MessageIcon::Error, QStringLiteral("Error"), text);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (HasLocalFile(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (HasLocalFile(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  FilesDropped(event->mimeData()->urls());
  event->acceptProposedAction();
}

}  // namespace corvanel::gui
