// Saves pictures of the main window after a run and of the Export dialog:
//   corvanel_screenshots LOG OUTPUT_FOLDER
// Runs under any Qt platform (e.g. xvfb-run or QT_QPA_PLATFORM=offscreen).
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QRadioButton>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "gui/export_dialog.h"
#include "gui/main_window.h"
#include "gui/menu_icons.h"
#include "scripted_dialogs.h"

using namespace corvanel::gui;

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LOG OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  QApplication::setWindowIcon(MakeApplicationIcon());
  const QDir out(QString::fromLocal8Bit(argv[2]));
  testing::ScriptedDialogs dialogs;
  TForm1 form(dialogs);
  TDEXP dexp(&form);
  form.AttachExportDialog(dexp);
  form.show();
  form.OpenFile(QString::fromLocal8Bit(argv[1]));
  form.Button1Click();
  QTimer::singleShot(300, [&] {
    form.grab().save(out.filePath(QStringLiteral("main-window.png")));
    form.File1->popup(form.mapToGlobal(QPoint(0, 0)));
    QTimer::singleShot(300, [&] {
      form.File1->grab().save(out.filePath(QStringLiteral("file-menu.png")));
      form.File1->hide();
      dexp.show();
      QTimer::singleShot(300, [&] {
        dexp.grab().save(out.filePath(QStringLiteral("export-dialog.png")));
        dexp.RBEXPOutsideData->click();
        dexp.grab().save(out.filePath(QStringLiteral("export-dialog-outside.png")));
        QApplication::quit();
      });
    });
  });
  const int status = QApplication::exec();
  for (const auto& message : dialogs.messages) {
    std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
  }
  return status;
}
