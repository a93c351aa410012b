// The results pane: read-only lines of 8-bit text, bold, wrapped at the pane's width, with
// a vertical scroll bar only. Lines are kept as they come, one after another in a single
// buffer, and only the lines in view are converted and laid out, so a report of any
// length shows at once. Text is selected with the mouse (or all of it with Ctrl+A) and
// copied with Ctrl+C or the context menu.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QTextLayout;

namespace corvanel::gui {

class ReportPane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit ReportPane(QWidget* parent = nullptr);
  ~ReportPane() override;

  // Adds a line at the end; ShowEnd then shows what was added. Lines are added in
  // batches, so the view follows once per batch.
  void AppendLine(std::string_view line);
  // Shows the end, as a text pane does when text is added at its end.
  void ShowEnd();
  void Clear();

  int LineCount() const { return static_cast<int>(line_ends_.size()); }
  std::string_view Line8Bit(int index) const;
  QString Line(int index) const;
  QStringList Lines() const;
  QString Text() const;  // the lines, each but the last followed by '\n'

  bool HasSelection() const { return anchor_ != caret_; }
  QString SelectedText() const;
  void SelectAll();
  void CopySelection() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // A place in the text: a line and a character in it.
  struct Position {
    int line = 0;
    int column = 0;
    auto operator<=>(const Position&) const = default;
  };

  // Line `index` laid out at the pane's width, its top at 0.
  std::unique_ptr<QTextLayout> LayOut(int index) const;
  int TextWidth() const;
  // The place under a point of the viewport; points above or below the lines in view
  // give the first or last place of those lines.
  Position PositionAt(QPoint point) const;
  void UpdateScrollBar();

  std::string text_;                    // the lines, one after another
  std::vector<std::size_t> line_ends_;  // where each line ends in text_
  Position anchor_;                     // where the selection began
  Position caret_;                      // where it ends; equal to anchor_: nothing selected
  bool selecting_ = false;
};

}  // namespace corvanel::gui
