// The application-level safety net: a failure that escapes a command is shown in the
// general error box titled "Corvanel", and the program goes on handling events.
#include <QtTest>
#include <stdexcept>

#include "gui/application.h"
#include "gui/user_dialogs.h"
#include "scripted_dialogs.h"

using namespace corvanel::gui;
using namespace corvanel::gui::testing;

namespace {

ScriptedDialogs* g_dialogs = nullptr;

// Throws from its event handler the first time, then handles events normally.
class FailingReceiver : public QObject {
 public:
  int handled = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    if (handled++ == 0) throw std::runtime_error("Disk on fire");
    return true;
  }
};

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { g_dialogs->messages.clear(); }
  void generalErrorText_data();
  void generalErrorText();
  void escapedFailureIsShownAndProgramGoesOn();
};

void ApplicationTest::generalErrorText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("shown");
  QTest::newRow("plain") << "Cannot create file /x/r.txt"
                         << "Cannot create file /x/r.txt.";
  QTest::newRow("full stop") << "Done."
                             << "Done.";
  QTest::newRow("below full stop") << "Really!"
                                   << "Really!";
  QTest::newRow("comma") << "a,"
                         << "a,";
  QTest::newRow("slash is above") << "folder/"
                                  << "folder/.";
  QTest::newRow("non-ASCII") << QString::fromUtf8("Datei \xc3\xbc")
                             << QString::fromUtf8("Datei \xc3\xbc.");
  QTest::newRow("empty") << ""
                         << "";
}

void ApplicationTest::generalErrorText() {
  QFETCH(QString, text);
  QFETCH(QString, shown);
  QCOMPARE(GeneralErrorText(text), shown);
}

void ApplicationTest::escapedFailureIsShownAndProgramGoesOn() {
  FailingReceiver receiver;
  QEvent first(QEvent::User);
  QCoreApplication::sendEvent(&receiver, &first);
  QCOMPARE(g_dialogs->messages.size(), 1);
  QCOMPARE(g_dialogs->messages[0].title, QStringLiteral("Corvanel"));
  QVERIFY(g_dialogs->messages[0].icon == MessageIcon::Error);
  QCOMPARE(g_dialogs->messages[0].text, QStringLiteral("Disk on fire."));
  QEvent second(QEvent::User);
  QCoreApplication::sendEvent(&receiver, &second);
  QCOMPARE(receiver.handled, 2);
  QCOMPARE(g_dialogs->messages.size(), 1);
}

int main(int argc, char** argv) {
  ScriptedDialogs dialogs;
  g_dialogs = &dialogs;
  CorvanelApplication app(argc, argv, dialogs);
  ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
