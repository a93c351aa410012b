// The application object: an exception that escapes a command is shown in the general
// error box and the program goes on waiting for the next command.
#pragma once

#include <QApplication>

namespace corvanel::gui {

class UserDialogs;

class CorvanelApplication : public QApplication {
  Q_OBJECT

 public:
  CorvanelApplication(int& argc, char** argv, UserDialogs& dialogs);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  UserDialogs& dialogs_;
};

}  // namespace corvanel::gui
