#include "gui/shell/SideTabBar.h"

#include <QStyleOptionTab>
#include <QStylePainter>

namespace drq::gui {

SideTabBar::SideTabBar(QWidget* parent) : QTabBar(parent) {
  setExpanding(false);
  setUsesScrollButtons(true);
  setElideMode(Qt::ElideNone);
}

QSize SideTabBar::tabSizeHint(int index) const {
  // The style sizes a west tab for rotated text; turn the size back.
  QSize size = QTabBar::tabSizeHint(index);
  size.transpose();
  size.setHeight(std::max(size.height(), fontMetrics().height() + 14));
  size.setWidth(size.width() + 8);
  return size;
}

void SideTabBar::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  for (int i = 0; i < count(); ++i) {
    if (!isTabVisible(i)) continue;
    QStyleOptionTab option;
    initStyleOption(&option, i);
    painter.drawControl(QStyle::CE_TabBarTabShape, option);
    // Draw the label as on a north tab: horizontal text.
    option.shape = QTabBar::RoundedNorth;
    painter.drawControl(QStyle::CE_TabBarTabLabel, option);
  }
}

SideTabWidget::SideTabWidget(QWidget* parent) : QTabWidget(parent) {
  setTabBar(new SideTabBar(this));
  setTabPosition(QTabWidget::West);
}

}  // namespace drq::gui
