#pragma once

#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "gui/common/RuleControls.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

// Common base of the child panels shown in the main window's display area: the
// shared context (with context().panels to switch to another child panel) and
// a vertical layout that the panel fills.
class ChildPanelWidget : public QWidget {
  Q_OBJECT
 public:
  ChildPanelWidget(ShellContext& context, const QString& panelName, QWidget* parent = nullptr);

  // Called once after every page and panel exists, as for the pages: the
  // panel's operation buttons to the dimmer, and the controls the mode rules
  // name (see TabPage).
  virtual void registerOperationButtons(ButtonDimmer& dimmer);
  virtual void registerRuleControls(RuleControls& controls);

 protected:
  ShellContext& context() { return context_; }
  QVBoxLayout* panelLayout() { return layout_; }
  // A button of the panel: caption `text` (Latin-1, "&" before the mnemonic),
  // object name `name` and right-click help `help`.
  QPushButton* addButton(const char* text, const char* name, const char* help);

 private:
  ShellContext& context_;
  QVBoxLayout* layout_;
};

}  // namespace drq::gui
