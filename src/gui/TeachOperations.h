#pragma once
// The teach operations that reach across panels: Teach data to (the values the
// display panel shows into a row of the teach table, with the default
// tolerances of the modes and, when the table attributes page asks for it, the
// measured colour as the row colour) and the rearrangement of the teach table
// when the calculation mode moves between the 2D and 3D families. The table
// arithmetic is the core's (core/teach/TeachTableOps.h).

#include "gui/ShellContext.h"

namespace drq::gui {

class MainWindow;

class TeachOperations {
 public:
  TeachOperations(MainWindow& window, ShellContext& context);

  // CBF_ButtonTeachDataTo: reads back the values the display panel shows,
  // teaches them into row No. (THD RGB: the red, green and blue thresholds
  // into rows 0..2), advances No. when Inc is on (up to 63), reads the panels
  // into the working set and redraws the teach figures.
  void TeachDataTo();

  // Before the rules run on a new calculation mode: reads the panels into the
  // working set and, when the mode moved between the 2D and 3D families,
  // rearranges every row's cells and writes them back into the teach table.
  // Returns true when it rearranged.
  bool SortTableTolerance();

  // After the teach table's reset: every plot of the 2D colour plane, the
  // intensity bar and the three 3D views is deleted (the next InitGraphs
  // draws the table again).
  void clearTeachFigures();

  // The table attributes page's row-colour switch: on, teaching a row gives
  // it the measured colour (ColorPatch).
  bool rowColorSwitchOn() const;

 private:
  // The values the display panel shows, into CurrentFrame: X/s, Y/i, INT/M
  // and red, green, blue.
  void readDisplayedValues();

  MainWindow& window_;
  ShellContext& context_;
};

}  // namespace drq::gui
