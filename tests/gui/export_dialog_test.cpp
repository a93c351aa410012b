// The export options dialog: its design values, the enabling by export type, the
// ticking of the filters on edits and the upper-casing of typed letters.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "gui/export_dialog.h"

using corvanel::gui::TDEXP;

class ExportDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void startsWithDesignValues();
  void firstShowFocusesOk();
  void outsideDataDisablesOptions_data();
  void outsideDataDisablesOptions();
  void editingTicksFilter_data();
  void editingTicksFilter();
  void untickedFilterStaysUntilNextChange();
  void typedLettersBecomeUpperCase_data();
  void typedLettersBecomeUpperCase();
  void pastedTextStaysAsItIs();
  void lengthLimits_data();
  void lengthLimits();
};

void ExportDialogTest::startsWithDesignValues() {
  TDEXP dialog;
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Export"));
  // Fixed size: the design's, or larger alike when the font needs more room.
  QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
  QVERIFY(dialog.width() >= 281 && dialog.height() >= 293);
  QVERIFY(qAbs(dialog.width() * 293.0 / dialog.height() - 281) < 2);
  for (QAbstractButton* option : dialog.findChildren<QAbstractButton*>()) {
    QVERIFY2(option->sizeHint().width() <= option->width(), qPrintable(option->objectName()));
  }
  QCOMPARE(dialog.ExportTypeIndex(), 1);
  QCOMPARE(dialog.Mode(), corvanel::kFramesRemoveStuffing);
  QCOMPARE(dialog.RBEXPRemoveStuffing->text(),
           QStringLiteral("All correct UECP frames (remove stuffing)"));
  const corvanel::ExportSettings settings = dialog.Settings();
  QVERIFY(settings.IncludeDetails);
  QVERIFY(!settings.FilterAddress);
  QVERIFY(!settings.FilterMecs);
  QCOMPARE(settings.AddressText, std::string("0000"));
  QCOMPARE(settings.MecText, std::string("02,0A"));
  for (QWidget* option : std::initializer_list<QWidget*>{dialog.CBEID, dialog.CBEADR, dialog.EEADR,
                                                         dialog.CBEMEC, dialog.EEMEC}) {
    QVERIFY2(option->isEnabled(), qPrintable(option->objectName()));
  }
  QVERIFY(dialog.OKBtn->isDefault());
}

void ExportDialogTest::firstShowFocusesOk() {
  TDEXP dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&dialog));
  QCOMPARE(dialog.focusWidget(), dialog.OKBtn);
  // Tab walks OK, Cancel, the export types, then the options in their order.
  QTest::keyClick(&dialog, Qt::Key_Tab);
  QCOMPARE(dialog.focusWidget(), dialog.CancelBtn);
  QTest::keyClick(&dialog, Qt::Key_Tab);
  QCOMPARE(dialog.focusWidget()->parentWidget(), dialog.RBEXP);
  while (dialog.focusWidget()->parentWidget() == dialog.RBEXP) {
    QTest::keyClick(&dialog, Qt::Key_Tab);
  }
  QCOMPARE(dialog.focusWidget(), dialog.CBEID);
  QTest::keyClick(&dialog, Qt::Key_Tab);
  QCOMPARE(dialog.focusWidget(), dialog.CBEADR);
  QTest::keyClick(&dialog, Qt::Key_Tab);
  QCOMPARE(dialog.focusWidget(), dialog.EEADR);
}

void ExportDialogTest::outsideDataDisablesOptions_data() {
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<bool>("enabled");
  QTest::newRow("keep stuffing") << "RBEXPKeepStuffing" << true;
  QTest::newRow("remove stuffing") << "RBEXPRemoveStuffing" << true;
  QTest::newRow("outside data") << "RBEXPOutsideData" << false;
}

void ExportDialogTest::outsideDataDisablesOptions() {
  QFETCH(QString, chosen);
  QFETCH(bool, enabled);
  TDEXP dialog;
  // Change marks and texts first: switching types must leave them alone.
  dialog.CBEID->setChecked(false);
  dialog.EEADR->setText(QStringLiteral("12AB"));
  dialog.RBEXPOutsideData->setChecked(true);
  dialog.findChild<QRadioButton*>(chosen)->click();
  for (QWidget* option : std::initializer_list<QWidget*>{dialog.CBEID, dialog.CBEADR, dialog.EEADR,
                                                         dialog.CBEMEC, dialog.EEMEC}) {
    QVERIFY2(option->isEnabled() == enabled, qPrintable(option->objectName()));
  }
  QVERIFY(dialog.GroupBox1->isEnabled());
  QVERIFY(!dialog.CBEID->isChecked());
  QVERIFY(dialog.CBEADR->isChecked());
  QCOMPARE(dialog.EEADR->text(), QStringLiteral("12AB"));
}

using Edit = void (*)(QLineEdit*);

void ExportDialogTest::editingTicksFilter_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("filter");
  QTest::addColumn<Edit>("edit");
  const Edit type = [](QLineEdit* e) { QTest::keyClicks(e, "1"); };
  const Edit erase = [](QLineEdit* e) { QTest::keyClick(e, Qt::Key_Backspace); };
  const Edit paste = [](QLineEdit* e) { e->insert(QStringLiteral("7")); };
  const Edit replace = [](QLineEdit* e) { e->setText(QStringLiteral("5")); };
  QTest::newRow("address typed") << "EEADR"
                                 << "CBEADR" << type;
  QTest::newRow("address deleted") << "EEADR"
                                   << "CBEADR" << erase;
  QTest::newRow("address pasted") << "EEADR"
                                  << "CBEADR" << paste;
  QTest::newRow("address set") << "EEADR"
                               << "CBEADR" << replace;
  QTest::newRow("codes typed") << "EEMEC"
                               << "CBEMEC" << type;
  QTest::newRow("codes deleted") << "EEMEC"
                                 << "CBEMEC" << erase;
  QTest::newRow("codes pasted") << "EEMEC"
                                << "CBEMEC" << paste;
}

void ExportDialogTest::editingTicksFilter() {
  QFETCH(QString, field);
  QFETCH(QString, filter);
  QFETCH(Edit, edit);
  TDEXP dialog;
  auto* line = dialog.findChild<QLineEdit*>(field);
  auto* box = dialog.findChild<QCheckBox*>(filter);
  line->setSelection(0, 1);  // a full field takes a typed character only over a selection
  edit(line);
  QVERIFY(box->isChecked());
  // Only its own filter.
  const int ticked = int(dialog.CBEADR->isChecked()) + int(dialog.CBEMEC->isChecked());
  QCOMPARE(ticked, 1);
}

void ExportDialogTest::untickedFilterStaysUntilNextChange() {
  TDEXP dialog;
  QTest::keyClick(dialog.EEADR, Qt::Key_Backspace);
  dialog.CBEADR->setChecked(false);
  dialog.EEADR->setCursorPosition(0);  // moving the cursor changes no text
  QVERIFY(!dialog.CBEADR->isChecked());
  QTest::keyClicks(dialog.EEADR, "1");
  QVERIFY(dialog.CBEADR->isChecked());
}

void ExportDialogTest::typedLettersBecomeUpperCase_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("expected");
  QTest::newRow("ff") << "EEADR"
                      << "ff"
                      << "FF";
  QTest::newRow("g stays") << "EEADR"
                           << "g"
                           << "g";
  QTest::newRow("a to f, 4 kept") << "EEADR"
                                  << "abcdef"
                                  << "ABCD";
  QTest::newRow("digits and upper case") << "EEADR"
                                         << "0aF9"
                                         << "0AF9";
  QTest::newRow("codes") << "EEMEC"
                         << "0a,1f,2g"
                         << "0A,1F,2g";
}

void ExportDialogTest::typedLettersBecomeUpperCase() {
  QFETCH(QString, field);
  QFETCH(QString, typed);
  QFETCH(QString, expected);
  TDEXP dialog;
  auto* line = dialog.findChild<QLineEdit*>(field);
  line->clear();
  QTest::keyClicks(line, typed);
  QCOMPARE(line->text(), expected);
}

void ExportDialogTest::pastedTextStaysAsItIs() {
  TDEXP dialog;
  dialog.EEADR->clear();
  dialog.EEADR->insert(QStringLiteral("ab"));
  QCOMPARE(dialog.EEADR->text(), QStringLiteral("ab"));
  dialog.EEMEC->setText(QStringLiteral("0a,1b"));
  QCOMPARE(dialog.Settings().MecText, std::string("0a,1b"));
}

void ExportDialogTest::lengthLimits_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<int>("limit");
  QTest::newRow("address") << "EEADR" << 4;
  QTest::newRow("codes") << "EEMEC" << 383;
}

void ExportDialogTest::lengthLimits() {
  QFETCH(QString, field);
  QFETCH(int, limit);
  TDEXP dialog;
  auto* line = dialog.findChild<QLineEdit*>(field);
  line->clear();
  QTest::keyClicks(line, QString(limit, QLatin1Char('1')));
  QCOMPARE(line->text().size(), limit);
  QTest::keyClicks(line, "2");
  QCOMPARE(line->text(), QString(limit, QLatin1Char('1')));
  line->insert(QStringLiteral("3"));
  QCOMPARE(line->text().size(), limit);
}

QTEST_MAIN(ExportDialogTest)
#include "export_dialog_test.moc"
