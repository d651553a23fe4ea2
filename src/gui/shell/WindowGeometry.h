#pragma once
// The main window's placement as the panel settings file stores it.

#include <QSize>
#include <QWidget>

#include "core/settings/PanelSettings.h"

namespace drq::gui {

// Zoom state and the frame's position and size.
settings::WindowPlacement placementOf(const QWidget& window);
// Applies a stored placement. A maximised one maximises; one that would lie
// off every screen (another screen set-up) keeps its size at the default
// position.
void applyPlacement(QWidget& window, const settings::WindowPlacement& placement);
// Normal state, `size`, centred on the window's screen.
void restoreSize(QWidget& window, QSize size);

}  // namespace drq::gui
