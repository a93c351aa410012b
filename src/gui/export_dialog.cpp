#include "gui/export_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "gui/named_widget.h"

namespace corvanel::gui {

namespace {

constexpr int kAddressMaxLength = 4;
// Room for 128 two-digit codes with commas between them.
constexpr int kMecMaxLength = 383;
constexpr int kOutsideDataIndex = 2;

constexpr QSize kDesignSize(281, 293);

}  // namespace

template <typename T>
T* TDEXP::Make(QWidget* parent, const char* name, const QRect& place) {
  auto* widget = MakeNamed<T>(parent, name);
  design_.push_back({widget, place});
  return widget;
}

TDEXP::TDEXP(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DEXP"));
  setWindowTitle(QStringLiteral("Export"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  CreateControls();
  SetTabOrder();
  PlaceControls();
}

void TDEXP::PlaceControls() {
  // The design places suit a small font; with a larger one everything grows alike so
  // that no caption is cut.
  double scale = 1.0;
  for (const auto& [widget, place] : design_) {
    if (!qobject_cast<QCheckBox*>(widget) && !qobject_cast<QRadioButton*>(widget)) continue;
    scale = std::max(scale, double(widget->sizeHint().width()) / place.width());
  }
  const auto scaled = [scale](int length) { return qRound(length * scale); };
  for (const auto& [widget, place] : design_) {
    widget->setGeometry(scaled(place.x()), scaled(place.y()), scaled(place.width()),
                        scaled(place.height()));
  }
  setFixedSize(scaled(kDesignSize.width()), scaled(kDesignSize.height()));
}

void TDEXP::CreateControls() {
  OKBtn = Make<QPushButton>(this, "OKBtn", {63, 260, 75, 25});
  OKBtn->setText(QStringLiteral("OK"));
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  CancelBtn = Make<QPushButton>(this, "CancelBtn", {143, 260, 75, 25});
  CancelBtn->setText(QStringLiteral("Cancel"));
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  RBEXP = Make<QGroupBox>(this, "RBEXP", {8, 8, 265, 89});
  RBEXP->setTitle(QStringLiteral("Select type of Export"));
  RBEXPKeepStuffing = Make<QRadioButton>(RBEXP, "RBEXPKeepStuffing", {8, 20, 249, 20});
  RBEXPKeepStuffing->setText(QStringLiteral("All correct UECP frames (keep stuffing)"));
  RBEXPRemoveStuffing = Make<QRadioButton>(RBEXP, "RBEXPRemoveStuffing", {8, 42, 249, 20});
  RBEXPRemoveStuffing->setText(QStringLiteral("All correct UECP frames (remove stuffing)"));
  RBEXPOutsideData = Make<QRadioButton>(RBEXP, "RBEXPOutsideData", {8, 64, 249, 20});
  RBEXPOutsideData->setText(QStringLiteral("All data outside UECP frames"));
  rbexp_items_ = new QButtonGroup(this);
  rbexp_items_->setObjectName(QStringLiteral("RBEXPItems"));
  rbexp_items_->addButton(RBEXPKeepStuffing, 0);
  rbexp_items_->addButton(RBEXPRemoveStuffing, 1);
  rbexp_items_->addButton(RBEXPOutsideData, kOutsideDataIndex);
  RBEXPRemoveStuffing->setChecked(true);
  connect(rbexp_items_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) RBEXPClick();
  });

  GroupBox1 = Make<QGroupBox>(this, "GroupBox1", {8, 104, 265, 145});
  GroupBox1->setTitle(QStringLiteral("Options"));
  CBEID = Make<QCheckBox>(GroupBox1, "CBEID", {8, 24, 161, 17});
  CBEID->setText(QStringLiteral("Include Details"));
  CBEID->setChecked(true);
  CBEADR = Make<QCheckBox>(GroupBox1, "CBEADR", {8, 48, 233, 17});
  CBEADR->setText(QStringLiteral("Export only frames with address word:"));
  EEADR = Make<QLineEdit>(GroupBox1, "EEADR", {32, 64, 49, 21});
  EEADR->setMaxLength(kAddressMaxLength);
  EEADR->setText(QStringLiteral("0000"));
  CBEMEC = Make<QCheckBox>(GroupBox1, "CBEMEC", {8, 96, 233, 17});
  CBEMEC->setText(QStringLiteral("Export only frames with some of these MECs:"));
  EEMEC = Make<QLineEdit>(GroupBox1, "EEMEC", {32, 112, 73, 21});
  EEMEC->setMaxLength(kMecMaxLength);
  EEMEC->setText(QStringLiteral("02,0A"));
  // Connected after the design texts are set, so that the filters start unticked.
  connect(EEADR, &QLineEdit::textChanged, this, &TDEXP::EEADRChange);
  connect(EEMEC, &QLineEdit::textChanged, this, &TDEXP::EEMECChange);
  EEADR->installEventFilter(this);
  EEMEC->installEventFilter(this);
}

void TDEXP::SetTabOrder() {
  QWidget* const order[] = {OKBtn,
                            CancelBtn,
                            RBEXPKeepStuffing,
                            RBEXPRemoveStuffing,
                            RBEXPOutsideData,
                            CBEID,
                            CBEADR,
                            EEADR,
                            CBEMEC,
                            EEMEC};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

int TDEXP::ExportTypeIndex() const {
  return rbexp_items_->checkedId();
}

ExportSettings TDEXP::Settings() const {
  ExportSettings settings;
  settings.IncludeDetails = CBEID->isChecked();
  settings.FilterAddress = CBEADR->isChecked();
  settings.AddressText = EEADR->text().toLocal8Bit().toStdString();
  settings.FilterMecs = CBEMEC->isChecked();
  settings.MecText = EEMEC->text().toLocal8Bit().toStdString();
  return settings;
}

void TDEXP::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* shown_on = screen()) {
    move(shown_on->availableGeometry().center() - rect().center());
  }
  if (!shown_before_) {
    shown_before_ = true;
    OKBtn->setFocus(Qt::OtherFocusReason);
  }
}

void TDEXP::RBEXPClick() {
  const bool enabled = ExportTypeIndex() != kOutsideDataIndex;
  for (QWidget* option : std::initializer_list<QWidget*>{CBEADR, CBEMEC, EEADR, EEMEC, CBEID}) {
    option->setEnabled(enabled);
  }
}

void TDEXP::EEADRChange() {
  CBEADR->setChecked(true);
}

void TDEXP::EEMECChange() {
  CBEMEC->setChecked(true);
}

bool TDEXP::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == EEADR || watched == EEMEC) && EEADRKeyPress(watched, event)) return true;
  return QDialog::eventFilter(watched, event);
}

bool TDEXP::EEADRKeyPress(QObject* edit, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const QString typed = key->text();
  if (typed.size() != 1 || typed[0] < QLatin1Char('a') || typed[0] > QLatin1Char('f')) {
    return false;
  }
  // The edit gets the same key with the upper-case letter instead.
  QKeyEvent upper(QEvent::KeyPress, key->key(), key->modifiers(), typed.toUpper(),
                  key->isAutoRepeat(), key->count());
  QCoreApplication::sendEvent(edit, &upper);
  return true;
}

}  // namespace corvanel::gui
