// The export options dialog: the type of export and the options that filter and enrich
// the exported frames. Its controls are the only store of these settings, so they stay
// as the user left them, also after Cancel, until the program ends.
#pragma once

#include <QDialog>
#include <QRect>
#include <utility>
#include <vector>

#include "export/export_settings.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace corvanel::gui {

class TDEXP : public QDialog {
  Q_OBJECT

 public:
  explicit TDEXP(QWidget* parent = nullptr);

  // The chosen export type: 0 keep stuffing, 1 remove stuffing, 2 data outside frames.
  int ExportTypeIndex() const;
  // The run's mode for the chosen type.
  ExportMode Mode() const { return ExportTypeIndex() + 1; }
  // The states of the five option controls.
  ExportSettings Settings() const;

  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QGroupBox* RBEXP;
  QRadioButton* RBEXPKeepStuffing;
  QRadioButton* RBEXPRemoveStuffing;
  QRadioButton* RBEXPOutsideData;
  QGroupBox* GroupBox1;
  QCheckBox* CBEID;
  QCheckBox* CBEADR;
  QLineEdit* EEADR;
  QCheckBox* CBEMEC;
  QLineEdit* EEMEC;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename T>
  T* Make(QWidget* parent, const char* name, const QRect& place);
  void CreateControls();
  // Puts every control at its design place, scaled up when the font needs more room.
  void PlaceControls();
  void SetTabOrder();
  void RBEXPClick();
  void EEADRChange();
  void EEMECChange();
  // Turns a typed a-f into A-F before the edit takes it; true when it did.
  bool EEADRKeyPress(QObject* edit, QEvent* event);

  QButtonGroup* rbexp_items_;
  std::vector<std::pair<QWidget*, QRect>> design_;
  bool shown_before_ = false;
};

}  // namespace corvanel::gui
