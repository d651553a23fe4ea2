#pragma once
// A binary switch with a caption for each position: the "off" caption on the
// left, a sliding knob in the middle and the "on" caption on the right; the
// caption of the current position is drawn bold. A checkable button: a click,
// the space bar or setChecked() moves it, and toggled() follows.

#include <QAbstractButton>
#include <QString>

namespace drq::gui {

class ToggleSwitch final : public QAbstractButton {
  Q_OBJECT
 public:
  ToggleSwitch(const QString& offCaption, const QString& onCaption, QWidget* parent = nullptr);

  const QString& offCaption() const { return offCaption_; }
  const QString& onCaption() const { return onCaption_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The whole widget is the button, not only its text.
  bool hitButton(const QPoint& position) const override { return rect().contains(position); }

 private:
  QString offCaption_;
  QString onCaption_;
};

}  // namespace drq::gui
