// The progress gauge: a framed bar filled from the left in the highlight colour by the
// share done, the percentage drawn in the middle, in the highlighted text colour where it
// stands on the filled part. A run repaints it at once at every percent it moves, so it
// draws itself with a few rectangles and one short text rather than through the style.
#pragma once

#include <QProgressBar>

namespace corvanel::gui {

class Gauge : public QProgressBar {
  Q_OBJECT

 public:
  using QProgressBar::QProgressBar;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace corvanel::gui
