#pragma once

#include <QVBoxLayout>
#include <QWidget>

#include "gui/ShellContext.h"

namespace drq::gui {

// SCOPEP, the scope graph panel: the 128-sample scope trace. Shown in the main window's display
// area.
class ScopeGraphPanel : public QWidget {
  Q_OBJECT
 public:
  explicit ScopeGraphPanel(ShellContext& context, QWidget* parent = nullptr);

 protected:
  ShellContext& context() { return context_; }
  QVBoxLayout* panelLayout() { return layout_; }

 private:
  ShellContext& context_;
  QVBoxLayout* layout_;
};

}  // namespace drq::gui
