#pragma once
// Base of the nine pages of the main tab control. A page builds its controls
// in its constructor (installing their right-click help) and registers the
// buttons that long operations must dim in registerOperationButtons().

#include <QString>
#include <QVBoxLayout>
#include <QWidget>

#include "core/attrs/RowColors.h"
#include "core/params/ParaSet.h"
#include "gui/ShellContext.h"

namespace drq::gui {

// Indices of the main tab pages.
enum MainPage : int {
  kPageConnection = 0,
  kPageParameter = 1,
  kPageGroupHold = 2,
  kPageTeachTable = 3,
  kPageRecorder = 4,
  kPageCalibration = 5,
  kPageTableAttributes = 6,
  kPageScope = 7,
  kPageOffset = 8,
};
inline constexpr int kMainPageCount = 9;

class TabPage : public QWidget {
  Q_OBJECT
 public:
  // `tabLabel` is the text of the page's tab.
  TabPage(ShellContext& context, const QString& tabLabel, QWidget* parent = nullptr);

  const QString& tabLabel() const { return tabLabel_; }

  // Called once after every page and panel exists: add this page's
  // operation buttons to the dimmer (ButtonDimmer::Group).
  virtual void registerOperationButtons(ButtonDimmer& dimmer);

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
