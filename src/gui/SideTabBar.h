#pragma once
// A tab bar for tabs on the left side of a tab widget whose labels read
// horizontally: nine pages fit one above the other, and every label stays
// readable.

#include <QTabBar>

namespace drq::gui {

class SideTabBar final : public QTabBar {
  Q_OBJECT
 public:
  explicit SideTabBar(QWidget* parent = nullptr);

 protected:
  QSize tabSizeHint(int index) const override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace drq::gui
