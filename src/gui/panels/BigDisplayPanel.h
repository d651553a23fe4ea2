#pragma once
// A top-level window that repeats one value of the display panel in large
// type, for reading from a distance: COLBIGP (colour number) and GRPBIGP
// (colour group). It shows the sensor ID text above the value. A right click
// anywhere on it, Escape while it has the keyboard, or its close box, hides
// it; it is updated while hidden. Hidden while it has the keyboard, it gives
// the keyboard back to the window that had it.

#include <QLabel>
#include <QWidget>

#include <optional>

#include "gui/widgets/ActivationReturn.h"

namespace drq::gui {

class BigDisplayPanel : public QWidget {
  Q_OBJECT
 public:
  // `name` is the panel name (object name), `title` its window title.
  BigDisplayPanel(const QString& name, const QString& title, QWidget* parent);

  void setSensorId(const QString& text);
  QString sensorId() const { return id_->text(); }
  // Shows `value` (the live loop calls it per frame; the label changes only
  // when the value does).
  void setValue(int value);
  QString valueText() const { return value_->text(); }

  // Shows the panel (not as a popup), raises it and gives it the keyboard.
  void showDisplay();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void hideByOperator();

  std::optional<ActivationReturn> giveBack_;  // while shown
  bool givingBack_ = false;
  QLabel* id_;
  QLabel* value_;
  int shown_ = 0;
};

// COLBIGP: the detected colour number (teach row).
class BigColorPanel final : public BigDisplayPanel {
  Q_OBJECT
 public:
  explicit BigColorPanel(QWidget* parent);
};

// GRPBIGP: the detected colour group.
class BigGroupPanel final : public BigDisplayPanel {
  Q_OBJECT
 public:
  explicit BigGroupPanel(QWidget* parent);
};

}  // namespace drq::gui
