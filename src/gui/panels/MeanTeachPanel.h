#pragma once

#include <QVBoxLayout>
#include <QWidget>

#include "gui/ShellContext.h"

namespace drq::gui {

// TEACHP1, the mean-value teach panel: teaching from averaged captures. Shown in the main window's
// display area.
class MeanTeachPanel : public QWidget {
  Q_OBJECT
 public:
  explicit MeanTeachPanel(ShellContext& context, QWidget* parent = nullptr);

 protected:
  ShellContext& context() { return context_; }
  QVBoxLayout* panelLayout() { return layout_; }

 private:
  ShellContext& context_;
  QVBoxLayout* layout_;
};

}  // namespace drq::gui
