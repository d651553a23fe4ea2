#pragma once
// A tab bar for tabs on the left side of a tab widget whose labels read
// horizontally: nine pages fit one above the other, and every label stays
// readable.

#include <QTabBar>
#include <QTabWidget>

namespace drq::gui {

class SideTabBar final : public QTabBar {
  Q_OBJECT
 public:
  explicit SideTabBar(QWidget* parent = nullptr);

 protected:
  QSize tabSizeHint(int index) const override;
  void paintEvent(QPaintEvent* event) override;
};

// A tab widget with its tabs on the left side, labels horizontal.
class SideTabWidget final : public QTabWidget {
  Q_OBJECT
 public:
  explicit SideTabWidget(QWidget* parent = nullptr);
};

}  // namespace drq::gui
