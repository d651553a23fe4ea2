#pragma once
// What the two teach panels (TEACHP1, TEACHP2) need from the rest of the
// main window: the modes of the parameter page, the teach table page, the
// teach figures and the live loop. The window (or an adapter of it)
// implements it; tests give the panels a fake.

#include <cstddef>
#include <cstdint>

#include "core/params/ParaSet.h"

namespace drq::gui {

struct TeachModes {
  std::uint16_t evaluation = 1;
  std::uint16_t calculation = 0;
  std::uint16_t power = 0;
};

class TeachPanelHost {
 public:
  virtual ~TeachPanelHost() = default;

  // The evaluation, calculation and power modes as the parameter page shows
  // them, read into the working parameter set.
  virtual TeachModes readTeachModes() = 0;

  // The teach table page: the table as its control shows it (CELL 0..4 of
  // every row), No. (0..63) and Inc.
  virtual TeachTable shownTeachTable() const = 0;
  virtual std::size_t teachRow() const = 0;
  virtual bool teachAutoIncrement() const = 0;
  // Shows `table` in the teach table control and `nextRow` in No., then
  // reads the panels into the working set and redraws the teach figures.
  virtual void showTaughtTable(const TeachTable& table, std::size_t nextRow) = 0;

  // Teach data to with X/s, Y/i and INT/M as the values shown: the teach
  // table page's teach with the default tolerances, Inc and the row-colour
  // rule (with the colour of the last live frame); then the panels are read
  // into the working set and the teach figures redrawn.
  virtual void teachShownValues(std::int16_t x, std::int16_t y, std::int16_t intensity) = 0;

  // GetPanelValues: every page into the working parameter set.
  virtual void readPanels() = 0;
  // InitGraphs: the teach figures of the display panel's graphs.
  virtual void redrawTeachFigures() = 0;

  // GetData with the per-frame updates of every live display; returns when
  // RunFlag is cleared.
  virtual void runLiveLoop() = 0;
  // The live displays show the loop's current frame now (they follow the
  // loop at the screen's pace): what is taken from it is what is seen.
  virtual void showCurrentFrame() = 0;
};

}  // namespace drq::gui
