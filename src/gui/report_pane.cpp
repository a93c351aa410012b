#include "gui/report_pane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>

namespace corvanel::gui {

namespace {
constexpr int kMargin = 4;  // pixels around the text, as in a text edit
}

ReportPane::ReportPane(QWidget* parent) : QAbstractScrollArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  verticalScrollBar()->setSingleStep(1);
}

ReportPane::~ReportPane() = default;

void ReportPane::AppendLine(std::string_view line) {
  text_ += line;
  line_ends_.push_back(text_.size());
}

void ReportPane::ShowEnd() {
  UpdateScrollBar();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  viewport()->update();
}

void ReportPane::Clear() {
  // Gives the memory of a large report back.
  std::string().swap(text_);
  std::vector<std::size_t>().swap(line_ends_);
  anchor_ = caret_ = {};
  UpdateScrollBar();
  viewport()->update();
}

std::string_view ReportPane::Line8Bit(int index) const {
  const auto at = static_cast<std::size_t>(index);
  const std::size_t begin = at == 0 ? 0 : line_ends_[at - 1];
  return std::string_view(text_).substr(begin, line_ends_[at] - begin);
}

QString ReportPane::Line(int index) const {
  const std::string_view line = Line8Bit(index);
  return QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
}

QStringList ReportPane::Lines() const {
  QStringList lines;
  lines.reserve(LineCount());
  for (int index = 0; index < LineCount(); ++index) lines.append(Line(index));
  return lines;
}

QString ReportPane::Text() const {
  std::string text;
  text.reserve(text_.size() + line_ends_.size());
  for (int index = 0; index < LineCount(); ++index) {
    if (index > 0) text += '\n';
    text += Line8Bit(index);
  }
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QString ReportPane::SelectedText() const {
  const Position from = std::min(anchor_, caret_);
  const Position to = std::max(anchor_, caret_);
  if (from.line == to.line) return Line(from.line).mid(from.column, to.column - from.column);
  QStringList parts{Line(from.line).mid(from.column)};
  for (int line = from.line + 1; line < to.line; ++line) parts << Line(line);
  parts << Line(to.line).left(to.column);
  return parts.join(QLatin1Char('\n'));
}

void ReportPane::SelectAll() {
  anchor_ = {};
  if (LineCount() > 0) caret_ = {LineCount() - 1, static_cast<int>(Line(LineCount() - 1).size())};
  viewport()->update();
}

void ReportPane::CopySelection() const {
  if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

std::unique_ptr<QTextLayout> ReportPane::LayOut(int index) const {
  auto layout = std::make_unique<QTextLayout>(Line(index), font());
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout->setTextOption(option);
  layout->beginLayout();
  qreal height = 0;
  for (QTextLine row = layout->createLine(); row.isValid(); row = layout->createLine()) {
    row.setLineWidth(TextWidth());
    row.setPosition(QPointF(0, height));
    height += row.height();
  }
  layout->endLayout();
  return layout;
}

int ReportPane::TextWidth() const {
  return std::max(1, viewport()->width() - 2 * kMargin);
}

void ReportPane::UpdateScrollBar() {
  // The last top line that still fills the view: lines from the end, laid out until
  // they are taller than the view.
  const int view_height = viewport()->height() - 2 * kMargin;
  int top = LineCount();
  for (qreal height = 0; top > 0;) {
    height += LayOut(top - 1)->boundingRect().height();
    if (height > view_height) break;
    --top;
  }
  const int page = std::max(1, view_height / std::max(1, fontMetrics().lineSpacing()));
  verticalScrollBar()->setRange(0, std::min(top, std::max(0, LineCount() - 1)));
  verticalScrollBar()->setPageStep(page);
}

void ReportPane::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  const Position from = std::min(anchor_, caret_);
  const Position to = std::max(anchor_, caret_);
  QTextCharFormat selected;
  selected.setBackground(palette().brush(QPalette::Highlight));
  selected.setForeground(palette().brush(QPalette::HighlightedText));
  qreal y = kMargin;
  for (int index = verticalScrollBar()->value(); index < LineCount(); ++index) {
    if (y >= viewport()->height()) break;
    const auto layout = LayOut(index);
    QList<QTextLayout::FormatRange> selections;
    if (HasSelection() && index >= from.line && index <= to.line) {
      const int begin = index == from.line ? from.column : 0;
      const int end = index == to.line ? to.column : layout->text().size();
      selections.append({begin, end - begin, selected});
    }
    layout->draw(&painter, QPointF(kMargin, y), selections);
    y += layout->boundingRect().height();
  }
}

ReportPane::Position ReportPane::PositionAt(QPoint point) const {
  qreal y = kMargin;
  Position last{std::max(0, verticalScrollBar()->value()), 0};
  if (LineCount() == 0) return {};
  if (point.y() < y) return last;
  for (int index = verticalScrollBar()->value(); index < LineCount(); ++index) {
    const auto layout = LayOut(index);
    const qreal height = layout->boundingRect().height();
    if (point.y() < y + height) {
      for (int row = 0; row < layout->lineCount(); ++row) {
        const QTextLine line = layout->lineAt(row);
        if (point.y() < y + line.y() + line.height() || row == layout->lineCount() - 1) {
          return {index, line.xToCursor(point.x() - kMargin)};
        }
      }
    }
    last = {index, int(layout->text().size())};
    y += height;
    if (y >= viewport()->height()) break;
  }
  return last;
}

void ReportPane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBar();
}

void ReportPane::scrollContentsBy(int, int) {
  viewport()->update();
}

void ReportPane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  caret_ = PositionAt(event->position().toPoint());
  if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = caret_;
  selecting_ = true;
  viewport()->update();
}

void ReportPane::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_) return;
  // Dragging past the top or the bottom scrolls a line at a time.
  const QPoint at = event->position().toPoint();
  if (at.y() < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  if (at.y() > viewport()->height()) {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  }
  caret_ = PositionAt(at);
  viewport()->update();
}

void ReportPane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  selecting_ = false;
  if (HasSelection() && QApplication::clipboard()->supportsSelection()) {
    QApplication::clipboard()->setText(SelectedText(), QClipboard::Selection);
  }
}

void ReportPane::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Copy) {
    CopySelection();
  } else if (event == QKeySequence::SelectAll) {
    SelectAll();
  } else if (event == QKeySequence::MoveToStartOfDocument) {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
  } else if (event == QKeySequence::MoveToEndOfDocument) {
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  } else {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
}

void ReportPane::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(tr("&Copy"), this, &ReportPane::CopySelection);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(HasSelection());
  QAction* select_all = menu.addAction(tr("Select &All"), this, &ReportPane::SelectAll);
  select_all->setShortcut(QKeySequence::SelectAll);
  select_all->setEnabled(LineCount() > 0);
  menu.exec(event->globalPos());
}

}  // namespace corvanel::gui
