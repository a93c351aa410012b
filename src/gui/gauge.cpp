#include "gui/gauge.h"

#include <QPainter>

namespace corvanel::gui {

void Gauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  painter.setPen(palette().color(QPalette::Mid));
  painter.setBrush(palette().color(QPalette::Base));
  painter.drawRect(frame);

  const QRect inside = frame.adjusted(1, 1, 0, 0);
  const qint64 span = qint64{maximum()} - minimum();
  const qint64 done = span > 0 ? qint64{inside.width()} * (value() - minimum()) / span : 0;
  const QRect filled(inside.topLeft(), QSize(static_cast<int>(done), inside.height()));
  painter.fillRect(filled, palette().color(QPalette::Highlight));
  if (!isTextVisible()) return;

  // The text once in each colour, each clipped to its side of the fill's edge.
  const QString label = text();
  painter.setClipRect(filled);
  painter.setPen(palette().color(QPalette::HighlightedText));
  painter.drawText(inside, Qt::AlignCenter, label);
  painter.setClipRect(inside.adjusted(static_cast<int>(done), 0, 0, 0));
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(inside, Qt::AlignCenter, label);
}

}  // namespace corvanel::gui
