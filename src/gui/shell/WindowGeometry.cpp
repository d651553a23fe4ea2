#include "gui/shell/WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>

namespace drq::gui {

settings::WindowPlacement placementOf(const QWidget& window) {
  settings::WindowPlacement placement;
  placement.zoom = window.isMaximized()   ? settings::kZoomMaximized
                   : window.isMinimized() ? settings::kZoomMinimized
                                          : settings::kZoomNormal;
  const QRect area = window.geometry();
  placement.left = area.x();
  placement.top = area.y();
  placement.width = area.width();
  placement.height = area.height();
  return placement;
}

void applyPlacement(QWidget& window, const settings::WindowPlacement& placement) {
  if (placement.zoom == settings::kZoomMaximized) {
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return;
  }
  QRect area(placement.left, placement.top, placement.width, placement.height);
  bool onScreen = false;
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(area)) onScreen = true;
  }
  if (!onScreen) {
    const settings::WindowPlacement defaults;
    area.moveTo(defaults.left, defaults.top);
  }
  window.setGeometry(area);
}

void restoreSize(QWidget& window, QSize size) {
  if (window.isMaximized() || window.isMinimized() || window.isFullScreen()) window.showNormal();
  window.resize(size);
  QScreen* current = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  if (!current) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(current->availableGeometry().center());
  window.move(frame.topLeft());
}

}  // namespace drq::gui
