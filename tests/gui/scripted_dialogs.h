// UserDialogs for tests: answers come from a script set up beforehand, and everything
// that would have been shown is recorded. Nothing ever waits for a user; a dialog that
// the script did not expect is answered with Cancel and recorded as such.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "gui/user_dialogs.h"

namespace corvanel::gui::testing {

struct ShownMessage {
  MessageIcon icon;
  QString title;
  QString text;
};

class ScriptedDialogs final : public UserDialogs {
 public:
  // The next file dialog returns `path`; an empty path cancels it.
  void setNextFileName(const QString& path) { file_names_.append(path); }
  // The next modal dialog first gets `edit` (the user's changes), then closes with
  // `result` (QDialog::Accepted or Rejected).
  void setNextAnswer(int result, std::function<void(QDialog&)> edit = {});

  void ShowMessage(QWidget* parent, MessageIcon icon, const QString& title,
                   const QString& text) override;
  QString RunFileDialog(QFileDialog& dialog) override;
  int RunModal(QDialog& dialog) override;
  void OpenDocument(const QUrl& url) override { openedDocuments.append(url); }

  // The texts of the recorded messages, in order.
  QStringList messageTexts() const;

  QList<ShownMessage> messages;
  QStringList shownDialogs;  // objectName of every file or modal dialog, in order
  QList<QUrl> openedDocuments;

 private:
  struct Answer {
    int result;
    std::function<void(QDialog&)> edit;
  };
  QStringList file_names_;
  QList<Answer> answers_;
};

}  // namespace corvanel::gui::testing
