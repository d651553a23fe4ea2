#pragma once
// The demo's taught colours: the colours the virtual sensor's target moves
// through (defaultTargetPath), each taught into one row of parameter set 0, so
// that a first look at the tool (drqscope --demo, the screenshots) shows the
// taught rows in the colour graphs and the detected colour number changing as
// the target moves.

#include <cstdint>

#include "core/attrs/RowColors.h"

namespace drq::sim {

class SensorModel;

// Teaches the demo colours into RAM parameter set 0 of `model` (calculation
// mode `calculationMode`, MAX VEC NO 16 with the outputs BINARY HI, so that
// the set keeps the tool's mode rules, one row per colour, where the sensor
// sees it, with the demo's tolerances) and sets the model's target on its
// default path. Returns the rows' colours as the targets show them (the
// caller decides whether the rows are drawn in them); rows without a demo
// colour keep their default.
RowColorArray teachDemoColours(SensorModel& model, std::uint16_t calculationMode);

}  // namespace drq::sim
