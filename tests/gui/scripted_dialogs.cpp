#include "scripted_dialogs.h"

#include <QDialog>
#include <QFileDialog>

namespace corvanel::gui::testing {

void ScriptedDialogs::setNextAnswer(int result, std::function<void(QDialog&)> edit) {
  answers_.append({result, std::move(edit)});
}

void ScriptedDialogs::ShowMessage(QWidget*, MessageIcon icon, const QString& title,
                                  const QString& text) {
  messages.append({icon, title, text});
}

QString ScriptedDialogs::RunFileDialog(QFileDialog& dialog) {
  shownDialogs.append(dialog.objectName());
  return file_names_.isEmpty() ? QString() : file_names_.takeFirst();
}

int ScriptedDialogs::RunModal(QDialog& dialog) {
  shownDialogs.append(dialog.objectName());
  if (answers_.isEmpty()) return QDialog::Rejected;
  const Answer answer = answers_.takeFirst();
  if (answer.edit) answer.edit(dialog);
  return answer.result;
}

QStringList ScriptedDialogs::messageTexts() const {
  QStringList texts;
  for (const ShownMessage& message : messages) texts.append(message.text);
  return texts;
}

}  // namespace corvanel::gui::testing
