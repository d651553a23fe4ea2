#pragma once

#include <QVBoxLayout>
#include <QWidget>

#include "gui/ShellContext.h"

namespace drq::gui {

// GRAPHP, the signal graph panel: recorded signals over time. Shown in the main window's display
// area.
class SignalGraphPanel : public QWidget {
  Q_OBJECT
 public:
  explicit SignalGraphPanel(ShellContext& context, QWidget* parent = nullptr);

 protected:
  ShellContext& context() { return context_; }
  QVBoxLayout* panelLayout() { return layout_; }

 private:
  ShellContext& context_;
  QVBoxLayout* layout_;
};

}  // namespace drq::gui
