#include "gui/user_dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "gui/application_info.h"

namespace corvanel::gui {

void QtUserDialogs::ShowMessage(QWidget* parent, MessageIcon icon, const QString& title,
                                const QString& text) {
  QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                  title, text, QMessageBox::Ok, parent);
  // Paths and engine texts are shown as they are, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

QString QtUserDialogs::RunFileDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

int QtUserDialogs::RunModal(QDialog& dialog) {
  return dialog.exec();
}

void QtUserDialogs::OpenDocument(const QUrl& url) {
  // A missing file or viewer is not reported.
  QDesktopServices::openUrl(url);
}

QString GeneralErrorText(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  if (bytes.isEmpty() || static_cast<unsigned char>(bytes.back()) <= '.') return text;
  return text + '.';
}

void ShowGeneralError(UserDialogs& dialogs, QWidget* parent, const QString& text) {
  dialogs.ShowMessage(parent, MessageIcon::Error, QString::fromLatin1(kApplicationTitle),
                      GeneralErrorText(text));
}

}  // namespace corvanel::gui
