#include "gui/menu_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace corvanel::gui {

namespace {

// Every picture is drawn on a 16 x 16 grid and rendered at 16 and 32 pixels.
using Drawing = void (*)(QPainter&);

void Page(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(80, 80, 80), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
}

void DrawCopy(QPainter& p) {
  Page(p, {1.5, 1.5, 8, 10});
  Page(p, {6.5, 4.5, 8, 10});
}

void DrawSave(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 110), 1));
  p.setBrush(QColor(50, 90, 170));
  p.drawRect(QRectF(1.5, 1.5, 13, 13));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void DrawExport(QPainter& p) {
  Page(p, {1.5, 1.5, 9, 13});
  p.setPen(QPen(QColor(0, 130, 0), 2));
  p.drawLine(QPointF(6, 8), QPointF(14, 8));
  p.drawLine(QPointF(11, 5), QPointF(14, 8));
  p.drawLine(QPointF(11, 11), QPointF(14, 8));
}

void DrawOpen(QPainter& p) {
  p.setPen(QPen(QColor(150, 110, 20), 1));
  p.setBrush(QColor(240, 200, 90));
  QPainterPath folder;
  folder.moveTo(1.5, 3.5);
  folder.lineTo(6.5, 3.5);
  folder.lineTo(7.5, 5.5);
  folder.lineTo(14.5, 5.5);
  folder.lineTo(14.5, 13.5);
  folder.lineTo(1.5, 13.5);
  folder.closeSubpath();
  p.drawPath(folder);
}

void DrawExit(QPainter& p) {
  p.setPen(QPen(QColor(90, 60, 30), 1));
  p.setBrush(QColor(170, 120, 70));
  p.drawRect(QRectF(2.5, 1.5, 7, 13));
  p.setPen(QPen(QColor(200, 0, 0), 2));
  p.drawLine(QPointF(8, 8), QPointF(15, 8));
  p.drawLine(QPointF(12, 5), QPointF(15, 8));
  p.drawLine(QPointF(12, 11), QPointF(15, 8));
}

void Disc(QPainter& p, const QColor& colour, const QString& mark) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(QRectF(1, 1, 14, 14));
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(11);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, mark);
}

void DrawAbout(QPainter& p) {
  Disc(p, QColor(30, 90, 190), QStringLiteral("i"));
}

void DrawDocumentation(QPainter& p) {
  Disc(p, QColor(30, 140, 80), QStringLiteral("?"));
}

void DrawStart(QPainter& p) {
  p.setPen(QPen(QColor(0, 100, 0), 1));
  p.setBrush(QColor(40, 170, 40));
  p.drawPolygon(QPolygonF({QPointF(3.5, 1.5), QPointF(14, 8), QPointF(3.5, 14.5)}));
}

void DrawClear(QPainter& p) {
  Page(p, {1.5, 1.5, 10, 13});
  p.setPen(QPen(QColor(200, 0, 0), 2));
  p.drawLine(QPointF(7, 7), QPointF(14, 14));
  p.drawLine(QPointF(14, 7), QPointF(7, 14));
}

void DrawApplication(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 128));
  p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
  p.setPen(QPen(QColor(255, 200, 0), 1.5));
  p.setBrush(Qt::NoBrush);
  QPainterPath wave;
  wave.moveTo(2, 8);
  wave.cubicTo(4, 2, 6, 2, 8, 8);
  wave.cubicTo(10, 14, 12, 14, 14, 8);
  p.drawPath(wave);
}

QIcon Drawn(Drawing draw) {
  QIcon icon;
  for (const int size : {16, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

struct IconSource {
  const char* theme_name;
  Drawing fallback;
};

// In the order of MenuIcon.
constexpr IconSource kMenuIcons[] = {
    {"edit-copy", DrawCopy},
    {"document-save", DrawSave},
    {"document-send", DrawExport},
    {"document-open", DrawOpen},
    {"application-exit", DrawExit},
    {"help-about", DrawAbout},
    {"media-playback-start", DrawStart},
    {"help-contents", DrawDocumentation},
    {"edit-clear", DrawClear},
};

}  // namespace

QIcon MakeMenuIcon(MenuIcon icon) {
  const IconSource& source = kMenuIcons[static_cast<int>(icon)];
  const QString name = QString::fromLatin1(source.theme_name);
  return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : Drawn(source.fallback);
}

QIcon MakeApplicationIcon() {
  const QString name = QStringLiteral("corvanel");
  return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : Drawn(DrawApplication);
}

}  // namespace corvanel::gui
