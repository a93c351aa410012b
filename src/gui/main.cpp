// The desktop program: the main window and the export options dialog, then the event
// loop until the main window is closed. Nothing is kept between starts.
#include <clocale>

#include "gui/application.h"
#include "gui/export_dialog.h"
#include "gui/main_window.h"
#include "gui/menu_icons.h"
#include "gui/user_dialogs.h"

int main(int argc, char** argv) {
  // Dates and decimal separators of the report follow the user's locale.
  std::setlocale(LC_ALL, "");
  corvanel::gui::QtUserDialogs dialogs;
  corvanel::gui::CorvanelApplication app(argc, argv, dialogs);
  QApplication::setWindowIcon(corvanel::gui::MakeApplicationIcon());
  corvanel::gui::TForm1 Form1(dialogs);
  corvanel::gui::TDEXP DEXP(&Form1);
  Form1.AttachExportDialog(DEXP);
  Form1.show();
  return app.exec();
}
