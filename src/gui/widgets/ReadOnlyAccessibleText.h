#pragma once
// The accessible Text interface of a control that shows a short text the
// operator cannot edit (a value display, a status line): a screen reader
// reads it, and UI automation gets it, as it gets a label's or a read-only
// field's text. No selection, no cursor beyond the start.

#include <QAccessible>
#include <QRect>
#include <QString>

namespace drq::gui {

class ReadOnlyAccessibleText : public QAccessibleTextInterface {
 public:
  // The text the control shows now.
  virtual QString shownText() const = 0;

  void selection(int, int* startOffset, int* endOffset) const override {
    *startOffset = 0;
    *endOffset = 0;
  }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override {
    const QString all = shownText();
    if (startOffset < 0 || endOffset < startOffset || startOffset > all.size()) return {};
    return all.mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(shownText().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    *startOffset = offset;
    *endOffset = offset;
    return {};
  }
};

}  // namespace drq::gui
