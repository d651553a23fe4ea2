#pragma once
// Base of the nine pages of the main tab control. A page builds its controls
// in its constructor (installing their right-click help), registers the
// buttons that long operations must dim in registerOperationButtons() and the
// controls the mode rules name in registerRuleControls().

#include <QString>
#include <QVBoxLayout>
#include <QWidget>

#include "core/attrs/RowColors.h"
#include "core/params/ModeRules.h"
#include "core/params/PanelIds.h"
#include "core/params/ParaSet.h"
#include "gui/common/RuleControls.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class TabPage : public QWidget {
  Q_OBJECT
 public:
  // `tabLabel` is the text of the page's tab.
  TabPage(ShellContext& context, const QString& tabLabel, QWidget* parent = nullptr);

  const QString& tabLabel() const { return tabLabel_; }

  // Called once after every page and panel exists: add this page's
  // operation buttons to the dimmer (ButtonDimmer::Group).
  virtual void registerOperationButtons(ButtonDimmer& dimmer);

  // Called once after every page and panel exists: map the controls of this
  // page that the mode rules name (RuleControls::add / addWidget) and the
  // record words they may force onto its controls (addValue).
  virtual void registerRuleControls(RuleControls& controls);

  // Colours the labels of the teach rows where this page lists teach rows
  // (MAX VEC NO: active rows green, the others red).
  virtual void colorRowLabels(const RowLabelPlan& plan);

  // Paints the teach rows' colours where this page lists teach rows.
  virtual void applyRowColors(const RowColorArray& colors);

  // GetPanelValues / SetPanelValues: copy this page's parameter controls into
  // the working parameter set and back. Pages without parameters do nothing.
  virtual void GetPanelValues(ParaSet& working);
  virtual void SetPanelValues(const ParaSet& working);

 protected:
  ShellContext& context() { return context_; }
  // The page's layout; controls are added top to bottom.
  QVBoxLayout* pageLayout() { return layout_; }

 private:
  ShellContext& context_;
  QString tabLabel_;
  QVBoxLayout* layout_;
};

}  // namespace drq::gui
