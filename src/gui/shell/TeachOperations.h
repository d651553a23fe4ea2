#pragma once
// The teach operations that reach across panels: Teach data to (the values the
// display panel shows into a row of the teach table, with the default
// tolerances of the modes and, when the table attributes page asks for it, the
// measured colour as the row colour) and the rearrangement of the teach table
// when the calculation mode moves between the 2D and 3D families. The table
// arithmetic is the core's (core/teach/TeachTableOps.h).
//
// The operations work on the teach table page they are given and reach
// everything else through their TeachHost.

#include <cstdint>

#include "core/live/LiveFrame.h"
#include "core/params/ParaSet.h"
#include "gui/common/ShellContext.h"

namespace drq::gui {

class TeachTablePage;

// What teaching needs from the window.
class TeachHost {
 public:
  virtual ~TeachHost() = default;
  // The values the display panel shows now (X/s, Y/i, INT/M, red, green,
  // blue) into `frame`.
  virtual void readShownValues(LiveFrame& frame) const = 0;
  // The value a parameter control shows (the modes teaching depends on).
  virtual std::uint16_t parameterControlValue(ParaWord word) const = 0;
  // Reads every page into the working parameter set.
  virtual void GetPanelValues() = 0;
  // Paints the session's row colours into every table that lists teach rows.
  virtual void applyRowColors() = 0;
  // The teach figures and taught bounds from the working set (InitGraphs).
  virtual void InitGraphs() = 0;
  // The table attributes page's row-colour switch is on (automatic).
  virtual bool automaticRowColors() const = 0;
};

class TeachOperations {
 public:
  TeachOperations(TeachHost& host, TeachTablePage& teachTable, ShellContext& context);

  // CBF_ButtonTeachDataTo: reads back the values the display panel shows,
  // teaches them into row No. (THD RGB: the red, green and blue thresholds
  // into rows 0..2), advances No. when Inc is on (up to 63), reads the panels
  // into the working set and redraws the teach figures.
  void TeachDataTo();
  // The same teach for the values CurrentFrame holds now (the graph teach
  // puts its selected sample there first).
  void TeachCurrentFrame();

  // Before the rules run on a new calculation mode: reads the panels into the
  // working set and, when the mode moved between the 2D and 3D families,
  // rearranges every row's cells and writes them back into the teach table.
  // Returns true when it rearranged.
  bool SortTableTolerance();

  // The table attributes page's row-colour switch: on, teaching a row gives
  // it the measured colour (ColorPatch).
  bool rowColorSwitchOn() const;

 private:
  TeachHost& host_;
  TeachTablePage& teach_;
  ShellContext& context_;
};

}  // namespace drq::gui
