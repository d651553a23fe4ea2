#pragma once

#include <QVBoxLayout>
#include <QWidget>

#include "gui/ShellContext.h"

namespace drq::gui {

// TEACHP2, the graph teach panel: teaching from a position on a recorded graph. Shown in the main
// window's display area.
class GraphTeachPanel : public QWidget {
  Q_OBJECT
 public:
  explicit GraphTeachPanel(ShellContext& context, QWidget* parent = nullptr);

 protected:
  ShellContext& context() { return context_; }
  QVBoxLayout* panelLayout() { return layout_; }

 private:
  ShellContext& context_;
  QVBoxLayout* layout_;
};

}  // namespace drq::gui
