// The main window's commands, driven through the scripted dialogs: runs, reports,
// saving, exporting, drops, documentation and the progress gauge.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/export_dialog.h"
#include "gui/main_window.h"
#include "gui/report_pane.h"
#include "scripted_dialogs.h"
#include "uecp_fixture.h"

using namespace corvanel::gui;
using namespace corvanel::gui::testing;

namespace {

QStringList Lines(const std::vector<std::string>& lines) {
  QStringList result;
  for (const std::string& line : lines) result.append(QString::fromLocal8Bit(line));
  return result;
}

QByteArray CrLfText(const QStringList& lines) {
  QByteArray text;
  for (const QString& line : lines) text += line.toLocal8Bit() + "\r\n";
  return text;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startsEmptyWithItsMenu();
  void startWithoutUsableLog_data();
  void startWithoutUsableLog();
  void startTwiceAppendsTwoEqualReports();
  void openingKeepsReportsAndResetsGauge();
  void cancelledOpenChangesNothing();
  void clearAllThenStartAnalysesAgain();
  void saveReportWritesPaneWithCrLf();
  void saveReportWithoutData_data();
  void saveReportWithoutData();
  void saveReportToUncreatableFile();
  void exportStopsEarly_data();
  void exportStopsEarly();
  void exportWritesWhatEngineWrites_data();
  void exportWritesWhatEngineWrites();
  void exportKeepsCancelledOptions();
  void exportOntoLogFileTouchesNothing();
  void exportOfDeletedLog();
  void gaugeFollowsProgress_data();
  void gaugeFollowsProgress();
  void gaugeFillsItsShare_data();
  void gaugeFillsItsShare();
  void droppedFilesOpenInOrder();
  void longDroppedPathArrivesWhole();
  void copyAllCopiesPaneText();
  void paneSelectsCopiesAndScrolls();
  void documentationOpensGuideInProgramFolder();
  void aboutShowsVersion();
  void largestReportFillsPaneLineForLine();

 private:
  QString LogWithFrames(const QString& name, int frames);
  void Drop(const QStringList& paths);
  QString PaneText() const { return form->Memo1->Text(); }

  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<ScriptedDialogs> dialogs;
  std::unique_ptr<TForm1> form;
  TDEXP* dexp = nullptr;
};

void MainWindowTest::init() {
  dir = std::make_unique<QTemporaryDir>();
  QVERIFY(dir->isValid());
  dialogs = std::make_unique<ScriptedDialogs>();
  form = std::make_unique<TForm1>(*dialogs);
  dexp = new TDEXP(form.get());
  form->AttachExportDialog(*dexp);
}

void MainWindowTest::cleanup() {
  form.reset();
  dialogs.reset();
  dir.reset();
}

QString MainWindowTest::LogWithFrames(const QString& name, int frames) {
  QByteArray log("noise");
  for (int i = 0; i < frames; ++i) log += PiFrame(std::uint16_t(0x0040 + i % 3));
  const QString path = dir->filePath(name);
  WriteFile(path, log);
  return path;
}

void MainWindowTest::Drop(const QStringList& paths) {
  QList<QUrl> urls;
  for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
  QMimeData data;
  data.setUrls(urls);
  // As the desktop does it: the window must take the drag before it gets the drop.
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &drop);
}

void MainWindowTest::startsEmptyWithItsMenu() {
  QCOMPARE(form->windowTitle(), QStringLiteral("Corvanel"));
  QCOMPARE(form->size(), QSize(800, 560));
  QCOMPARE(form->Label1->text(), QString());
  QCOMPARE(form->CBFTYP->currentText(), QStringLiteral("Autodetect"));
  QCOMPARE(form->CBFTYP->count(), 3);
  QCOMPARE(form->Gauge1->value(), 0);
  QTest::keyClicks(form->Memo1, QStringLiteral("typed"));  // read-only
  QCOMPARE(PaneText(), QString());
  QVERIFY(form->ProgramFolder.endsWith(QLatin1Char('/')));
  QStringList menu;
  for (QAction* top : form->menuBar()->actions()) {
    menu.append(top->text().remove(QLatin1Char('&')) + ':');
    for (QAction* item : top->menu()->actions()) {
      menu.append(item->isSeparator() ? QStringLiteral("-") : item->text().remove('&'));
      QVERIFY2(item->isSeparator() || !item->icon().isNull(), qPrintable(item->objectName()));
    }
  }
  QCOMPARE(menu, QStringList({"File:", "Open UECP Log File...", "-", "Export...", "-",
                              "Save Report...", "-", "Exit", "Edit:", "Copy All", "Clear All",
                              "Analysis:", "Start!", "Help:", "Documentation", "-", "About..."}));
}

void MainWindowTest::startWithoutUsableLog_data() {
  QTest::addColumn<QString>("opened");  // relative to the temporary folder; "" opens nothing
  QTest::addColumn<bool>("drop");
  QTest::addColumn<QString>("message");
  QTest::newRow("nothing opened") << "" << false << "No log file opened.";
  QTest::newRow("missing file") << "missing.bin" << false << "Log file not exists.";
  QTest::newRow("dropped folder") << "." << true << "Log file not exists.";
}

void MainWindowTest::startWithoutUsableLog() {
  QFETCH(QString, opened);
  QFETCH(bool, drop);
  QFETCH(QString, message);
  if (drop) {
    Drop({dir->path()});
  } else if (!opened.isEmpty()) {
    dialogs->setNextFileName(dir->filePath(opened));
    form->OpenUECPBinaryFile1->trigger();
  }
  form->Start1->trigger();
  QCOMPARE(dialogs->messages.size(), 1);
  QCOMPARE(dialogs->messages[0].title, QStringLiteral("Error"));
  QVERIFY(dialogs->messages[0].icon == MessageIcon::Error);
  QCOMPARE(dialogs->messages[0].text, message);
  QCOMPARE(form->Gauge1->value(), 0);
  QCOMPARE(PaneText(), QString());
}

void MainWindowTest::startTwiceAppendsTwoEqualReports() {
  const QString log = LogWithFrames("two.bin", 5);
  form->OpenFile(log);
  form->Start1->trigger();
  form->Start1->trigger();
  const QStringList report = Lines(RunEngine(log).lines);
  QVERIFY(report.size() > 20);
  QCOMPARE(report.first(), QString());
  QVERIFY(report.contains(QStringLiteral("2.1  Total frames analysed: 5")));
  QCOMPARE(form->Memo1->Lines(), report + report);
  QCOMPARE(form->Gauge1->value(), 100);
  QVERIFY(dialogs->messages.isEmpty());
}

void MainWindowTest::openingKeepsReportsAndResetsGauge() {
  form->OpenFile(LogWithFrames("first.bin", 1));
  form->Button1Click();
  const QString report = PaneText();
  dialogs->setNextFileName(dir->filePath("second.bin"));
  form->OpenUECPBinaryFile1->trigger();
  QCOMPARE(form->Label1->text(), dir->filePath("second.bin"));
  QCOMPARE(form->Gauge1->value(), 0);
  QCOMPARE(PaneText(), report);
}

void MainWindowTest::cancelledOpenChangesNothing() {
  const QString log = LogWithFrames("kept.bin", 1);
  form->OpenFile(log);
  form->Button1Click();
  const QString report = PaneText();
  dialogs->setNextFileName(QString());
  form->OpenUECPBinaryFile1->trigger();
  QCOMPARE(dialogs->shownDialogs, QStringList({"OpenDialog1"}));
  QCOMPARE(form->Label1->text(), log);
  QCOMPARE(form->Gauge1->value(), 100);
  QCOMPARE(PaneText(), report);
}

void MainWindowTest::clearAllThenStartAnalysesAgain() {
  const QString log = LogWithFrames("again.bin", 2);
  form->OpenFile(log);
  form->Start1->trigger();
  form->ClearAll1->trigger();
  QCOMPARE(PaneText(), QString());
  QCOMPARE(form->Gauge1->value(), 0);
  QCOMPARE(form->Label1->text(), log);
  form->Start1->trigger();
  QCOMPARE(form->Memo1->Lines(), Lines(RunEngine(log).lines));
}

void MainWindowTest::saveReportWritesPaneWithCrLf() {
  form->OpenFile(LogWithFrames("saved.bin", 3));
  form->Start1->trigger();
  const QString report = dir->filePath("report.txt");
  dialogs->setNextFileName(report);
  form->SaveReport1->trigger();
  const QByteArray saved = ReadFile(report);
  QVERIFY(saved.startsWith("\r\n"));
  QCOMPARE(saved, CrLfText(form->Memo1->Lines()));
  QCOMPARE(dialogs->shownDialogs, QStringList({"SaveDialog1"}));
  QVERIFY(dialogs->messages.isEmpty());
}

void MainWindowTest::saveReportWithoutData_data() {
  QTest::addColumn<bool>("clearFirst");
  QTest::newRow("right after start") << false;
  QTest::newRow("after Clear All") << true;
}

void MainWindowTest::saveReportWithoutData() {
  QFETCH(bool, clearFirst);
  if (clearFirst) {
    form->OpenFile(LogWithFrames("cleared.bin", 1));
    form->Start1->trigger();
    form->ClearAll1->trigger();
  }
  form->SaveReport1->trigger();
  QCOMPARE(dialogs->messageTexts(), QStringList({"No data to save."}));
  QCOMPARE(dialogs->messages[0].title, QStringLiteral("Error"));
  QVERIFY(dialogs->shownDialogs.isEmpty());
}

void MainWindowTest::saveReportToUncreatableFile() {
  form->OpenFile(LogWithFrames("log.bin", 1));
  form->Start1->trigger();
  const QString before = PaneText();
  const QString report = dir->filePath("no-such-folder/report.txt");
  dialogs->setNextFileName(report);
  form->SaveReport1->trigger();
  QCOMPARE(dialogs->messages.size(), 1);
  QCOMPARE(dialogs->messages[0].title, QStringLiteral("Corvanel"));
  QVERIFY(dialogs->messages[0].icon == MessageIcon::Error);
  QCOMPARE(dialogs->messages[0].text, QStringLiteral("Cannot create file ") + report + '.');
  QCOMPARE(PaneText(), before);
  QVERIFY(!QFile::exists(report));
}

void MainWindowTest::exportStopsEarly_data() {
  QTest::addColumn<bool>("logOpened");
  QTest::addColumn<int>("dialogAnswer");
  QTest::addColumn<QString>("saveAnswer");  // "" cancels the save dialog
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<QStringList>("messages");
  QTest::newRow("no log file") << false << int(QDialog::Accepted) << "out.txt" << QStringList()
                               << QStringList({"No log file opened."});
  QTest::newRow("options cancelled")
      << true << int(QDialog::Rejected) << "out.txt" << QStringList({"DEXP"}) << QStringList();
  QTest::newRow("file choice cancelled") << true << int(QDialog::Accepted) << ""
                                         << QStringList({"DEXP", "SaveDialog1"}) << QStringList();
}

void MainWindowTest::exportStopsEarly() {
  QFETCH(bool, logOpened);
  QFETCH(int, dialogAnswer);
  QFETCH(QString, saveAnswer);
  QFETCH(QStringList, shown);
  QFETCH(QStringList, messages);
  if (logOpened) form->OpenFile(LogWithFrames("log.bin", 2));
  dialogs->setNextAnswer(dialogAnswer);
  dialogs->setNextFileName(saveAnswer.isEmpty() ? QString() : dir->filePath(saveAnswer));
  form->ExportUECPFrames1->trigger();
  QCOMPARE(dialogs->shownDialogs, shown);
  QCOMPARE(dialogs->messageTexts(), messages);
  QCOMPARE(QDir(dir->path()).entryList(QDir::Files),
           QStringList(logOpened ? QStringList{"log.bin"} : QStringList{}));
  QCOMPARE(form->Gauge1->value(), 0);
}

void MainWindowTest::exportWritesWhatEngineWrites_data() {
  QTest::addColumn<QString>("type");
  QTest::addColumn<int>("mode");
  QTest::newRow("keep stuffing") << "RBEXPKeepStuffing" << 1;
  QTest::newRow("remove stuffing") << "RBEXPRemoveStuffing" << 2;
  QTest::newRow("outside data") << "RBEXPOutsideData" << 3;
}

void MainWindowTest::exportWritesWhatEngineWrites() {
  QFETCH(QString, type);
  QFETCH(int, mode);
  // Address word 00FE is stuffed, so the two frame kinds differ.
  QByteArray log = "before" + PiFrame(0x00FE) + "between" + PiFrame(0x0041) + "after";
  const QString path = dir->filePath("log.bin");
  WriteFile(path, log);
  form->OpenFile(path);
  dialogs->setNextAnswer(QDialog::Accepted, [&type](QDialog& shown) {
    shown.findChild<QRadioButton*>(type)->click();
  });
  const QString exported = dir->filePath("export.txt");
  dialogs->setNextFileName(exported);
  form->ExportUECPFrames1->trigger();
  const QString expected = dir->filePath("expected.txt");
  QVERIFY(RunEngine(path, mode, expected).errors.empty());
  QVERIFY(!ReadFile(expected).isEmpty());
  QCOMPARE(ReadFile(exported), ReadFile(expected));
  QCOMPARE(PaneText(), QString());
  QCOMPARE(form->Gauge1->value(), 100);
  QVERIFY(dialogs->messages.isEmpty());
}

void MainWindowTest::exportKeepsCancelledOptions() {
  form->OpenFile(LogWithFrames("log.bin", 1));
  dialogs->setNextAnswer(QDialog::Rejected, [](QDialog& shown) {
    shown.findChild<QRadioButton*>("RBEXPOutsideData")->click();
    shown.findChild<QLineEdit*>("EEADR")->setText(QStringLiteral("0041"));
  });
  form->ExportUECPFrames1->trigger();
  QCOMPARE(dexp->ExportTypeIndex(), 2);
  QVERIFY(dexp->Settings().FilterAddress);
  QCOMPARE(dexp->Settings().AddressText, std::string("0041"));
  QVERIFY(!dexp->CBEID->isEnabled());
}

void MainWindowTest::exportOntoLogFileTouchesNothing() {
  const QString log = LogWithFrames("log.bin", 2);
  const QByteArray content = ReadFile(log);
  form->OpenFile(log);
  dialogs->setNextAnswer(QDialog::Accepted);
  dialogs->setNextFileName(log);
  form->ExportUECPFrames1->trigger();
  QCOMPARE(dialogs->messageTexts(), QStringList({"The export file cannot be the log file."}));
  QCOMPARE(ReadFile(log), content);
  QCOMPARE(PaneText(), QString());
}

void MainWindowTest::exportOfDeletedLog() {
  const QString log = LogWithFrames("gone.bin", 1);
  form->OpenFile(log);
  QVERIFY(QFile::remove(log));
  dialogs->setNextAnswer(QDialog::Accepted);
  dialogs->setNextFileName(dir->filePath("export.txt"));
  form->ExportUECPFrames1->trigger();
  QCOMPARE(dialogs->shownDialogs, QStringList({"DEXP", "SaveDialog1"}));
  QCOMPARE(dialogs->messageTexts(), QStringList({"Log file not exists."}));
  QVERIFY(!QFile::exists(dir->filePath("export.txt")));
}

void MainWindowTest::gaugeFollowsProgress_data() {
  QTest::addColumn<int>("size");
  QTest::addColumn<QList<int>>("positions");
  QList<int> forty, hundred;
  for (int i = 1; i <= 40; ++i) forty.append(i);
  for (int i = 1; i <= 100; ++i) hundred.append(i);
  QTest::newRow("empty") << 0 << QList<int>({100});
  QTest::newRow("40 bytes") << 40 << (forty + QList<int>({100}));
  QTest::newRow("150 bytes") << 150 << hundred;
  QTest::newRow("1000 bytes") << 1000 << hundred;
}

void MainWindowTest::gaugeFollowsProgress() {
  QFETCH(int, size);
  QFETCH(QList<int>, positions);
  const QString log = dir->filePath("sized.bin");
  WriteFile(log, QByteArray(size, 'x'));
  form->OpenFile(log);
  QList<int> shown;
  connect(form->Gauge1, &QProgressBar::valueChanged, this,
          [&shown](int value) { shown.append(value); });
  form->Start1->trigger();
  QCOMPARE(shown, positions);
}

void MainWindowTest::gaugeFillsItsShare_data() {
  QTest::addColumn<int>("value");
  QTest::newRow("empty") << 0;
  QTest::newRow("under half") << 45;
  QTest::newRow("over half") << 80;
  QTest::newRow("full") << 100;
}

void MainWindowTest::gaugeFillsItsShare() {
  // The gauge draws itself: filled in the highlight colour from the left edge to its share
  // of the width, the window's base colour after it. Looked at along the top row inside
  // the frame, clear of the percentage in the middle.
  QFETCH(int, value);
  form->Gauge1->setValue(value);
  const QImage image = form->Gauge1->grab().toImage();
  const int inside = image.width() - 2;
  const int edge = 1 + inside * value / 100;
  const QColor filled = form->Gauge1->palette().color(QPalette::Highlight);
  const QColor empty = form->Gauge1->palette().color(QPalette::Base);
  for (int x = 2; x < image.width() - 2; ++x) {
    if (std::abs(x - edge) <= 1) continue;
    const QColor expected = x < edge ? filled : empty;
    QCOMPARE(image.pixelColor(x, 2).rgb(), expected.rgb());
  }
  QCOMPARE(form->Gauge1->text(), QString::number(value) + QLatin1Char('%'));
}

void MainWindowTest::droppedFilesOpenInOrder() {
  const QString a = LogWithFrames("a.bin", 1);
  const QString b = LogWithFrames("b.bin", 1);
  const QString c = LogWithFrames("c.bin", 1);
  form->OpenFile(a);
  form->Start1->trigger();
  const QString report = PaneText();
  Drop({a, b, c});
  QCOMPARE(form->Label1->text(), c);
  QCOMPARE(form->Gauge1->value(), 0);
  QCOMPARE(PaneText(), report);
  QVERIFY(dialogs->messages.isEmpty());
}

void MainWindowTest::longDroppedPathArrivesWhole() {
  QString folder = dir->path();
  while (folder.size() < 300) folder += QStringLiteral("/a-rather-long-folder-name-for-testing");
  QVERIFY(QDir().mkpath(folder));
  const QString log = folder + QStringLiteral("/log.bin");
  WriteFile(log, PiFrame(0x0041));
  QVERIFY(log.size() > 254);
  Drop({log});
  QCOMPARE(form->Label1->text(), log);
  form->Start1->trigger();
  QVERIFY(dialogs->messages.isEmpty());
  QVERIFY(PaneText().contains(QStringLiteral("*** Results for file ") + log + " ***"));
}

void MainWindowTest::copyAllCopiesPaneText() {
  form->OpenFile(LogWithFrames("copied.bin", 1));
  form->Start1->trigger();
  const QString report = PaneText();
  form->CopyAll1->trigger();
  QCOMPARE(QGuiApplication::clipboard()->text(), report);
  QCOMPARE(PaneText(), report);
  QVERIFY(!form->Memo1->HasSelection());
}

void MainWindowTest::paneSelectsCopiesAndScrolls() {
  ReportPane* pane = form->Memo1;
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  QStringList lines;
  for (int i = 0; i < 1000; ++i) {
    lines << QStringLiteral("line %1").arg(i);
    pane->AppendLine(lines.back().toStdString());
  }
  pane->ShowEnd();
  QCOMPARE(pane->Lines(), lines);
  // The end is in view after an append, and the top can be scrolled back to.
  QScrollBar* bar = pane->verticalScrollBar();
  QVERIFY(bar->maximum() > 900);
  QCOMPARE(bar->value(), bar->maximum());
  QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
  QCOMPARE(bar->value(), 0);

  // A drag from the start of the first line in view to the second line selects across.
  const int row = pane->fontMetrics().lineSpacing();
  QTest::mousePress(pane->viewport(), Qt::LeftButton, {}, QPoint(1, row / 2));
  QTest::mouseMove(pane->viewport(), QPoint(pane->viewport()->width() - 2, row + row / 2));
  QTest::mouseRelease(pane->viewport(), Qt::LeftButton, {},
                      QPoint(pane->viewport()->width() - 2, row + row / 2));
  QCOMPARE(pane->SelectedText(), QStringLiteral("line 0\nline 1"));
  QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("line 0\nline 1"));

  QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(pane->SelectedText(), pane->Text());
  QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, QPoint(1, row / 2));
  QVERIFY(!pane->HasSelection());

  form->ClearAll1->trigger();
  QCOMPARE(pane->LineCount(), 0);
  QCOMPARE(bar->maximum(), 0);
}

void MainWindowTest::documentationOpensGuideInProgramFolder() {
  QCOMPARE(form->ProgramFolder, QCoreApplication::applicationDirPath() + '/');
  QDir::setCurrent(dir->path());  // the program's folder does not follow the current folder
  form->Documentation1->trigger();
  QCOMPARE(dialogs->openedDocuments,
           QList<QUrl>({QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                                            QStringLiteral("/corvanel.pdf"))}));
  QVERIFY(dialogs->messages.isEmpty());
}

void MainWindowTest::aboutShowsVersion() {
  form->About1->trigger();
  QCOMPARE(dialogs->messages.size(), 1);
  QVERIFY(dialogs->messages[0].icon == MessageIcon::Information);
  QCOMPARE(dialogs->messages[0].title, QStringLiteral("Information"));
  QCOMPARE(dialogs->messages[0].text.split('\n'),
           QStringList({"Corvanel ", "v. 0.94", "Corvanel developers"}));
}

void MainWindowTest::largestReportFillsPaneLineForLine() {
  // Every address word and every element code once: the longest report there is.
  QByteArray log;
  for (int address = 0; address < 0x10000; ++address) {
    log += address < 256 ? UecpFrame(std::uint16_t(address), {std::uint8_t(address)})
                         : PiFrame(std::uint16_t(address));
  }
  const QString path = dir->filePath("largest.bin");
  WriteFile(path, log);
  form->OpenFile(path);
  QElapsedTimer timer;
  timer.start();
  form->Start1->trigger();
  qInfo("Start over %lld bytes with %d report lines took %lld ms", qint64(log.size()),
        form->Memo1->LineCount(), timer.elapsed());
  const QStringList report = Lines(RunEngine(path).lines);
  QCOMPARE(report.size(), 27 + 256 + 65536);
  QCOMPARE(form->Memo1->Lines(), report);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
