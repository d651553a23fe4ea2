#pragma once

#include <QVBoxLayout>
#include <QWidget>

#include "gui/ShellContext.h"

namespace drq::gui {

// Common base of the child panels shown in the main window's display area: the
// shared context and a vertical layout that the panel fills.
class ChildPanelWidget : public QWidget {
  Q_OBJECT
 public:
  ChildPanelWidget(ShellContext& context, const QString& panelName, QWidget* parent = nullptr);

 protected:
  ShellContext& context() { return context_; }
  QVBoxLayout* panelLayout() { return layout_; }

 private:
  ShellContext& context_;
  QVBoxLayout* layout_;
};

}  // namespace drq::gui
