// Everything that waits for the user: message boxes, file dialogs, modal dialogs, and
// handing a document to the desktop. The window talks to this interface only, so tests
// can answer it without blocking.
#pragma once

#include <QString>

class QDialog;
class QFileDialog;
class QUrl;
class QWidget;

namespace corvanel::gui {

enum class MessageIcon { Error, Information };

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // A modal box with one OK button.
  virtual void ShowMessage(QWidget* parent, MessageIcon icon, const QString& title,
                           const QString& text) = 0;
  // Shows a file dialog modally; the chosen path, or an empty string when cancelled.
  virtual QString RunFileDialog(QFileDialog& dialog) = 0;
  // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
  virtual int RunModal(QDialog& dialog) = 0;
  // Asks the desktop to open the document with its associated program.
  virtual void OpenDocument(const QUrl& url) = 0;
};

// The real thing: QMessageBox, QFileDialog::exec, QDialog::exec, QDesktopServices.
class QtUserDialogs final : public UserDialogs {
 public:
  void ShowMessage(QWidget* parent, MessageIcon icon, const QString& title,
                   const QString& text) override;
  QString RunFileDialog(QFileDialog& dialog) override;
  int RunModal(QDialog& dialog) override;
  void OpenDocument(const QUrl& url) override;
};

// The text of the general error box: a full stop is added unless the text ends in one
// or in a character below it.
QString GeneralErrorText(const QString& text);

// Shows a failure that no command handled in the general error box, titled with the
// application's name.
void ShowGeneralError(UserDialogs& dialogs, QWidget* parent, const QString& text);

}  // namespace corvanel::gui
