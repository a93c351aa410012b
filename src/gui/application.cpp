#include "gui/application.h"

#include <exception>
#include <new>

#include "engine/messages.h"
#include "gui/application_info.h"
#include "gui/user_dialogs.h"

namespace corvanel::gui {

CorvanelApplication::CorvanelApplication(int& argc, char** argv, UserDialogs& dialogs)
    : QApplication(argc, argv), dialogs_(dialogs) {
  setApplicationName(QString::fromLatin1(kApplicationTitle));
  setApplicationVersion(QString::fromLatin1(kVersionText));
  setDesktopFileName(QStringLiteral("corvanel"));
}

bool CorvanelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    ShowGeneralError(dialogs_, activeWindow(), QString::fromLatin1(messages::kOutOfMemory));
  } catch (const std::exception& error) {
    ShowGeneralError(dialogs_, activeWindow(), QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowGeneralError(dialogs_, activeWindow(), QStringLiteral("Unexpected failure"));
  }
  return false;
}

}  // namespace corvanel::gui
