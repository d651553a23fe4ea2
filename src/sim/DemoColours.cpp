#include "sim/DemoColours.h"

#include "core/live/LiveFrame.h"
#include "core/params/Modes.h"
#include "core/params/ParaSet.h"
#include "sim/Optics.h"
#include "sim/SensorModel.h"

namespace drq::sim {

namespace {

constexpr std::uint16_t kDemoRows = 16;
constexpr std::uint16_t kDemoColourTolerance = 90;
constexpr std::uint16_t kDemoIntensityTolerance = 220;

}  // namespace

RowColorArray teachDemoColours(SensorModel& model, std::uint16_t calculationMode) {
  RowColorArray rowColors = defaultRowColors();
  ParaSet set = model.ramSet(0);
  set.record[ParaWord::CalculationMode] = calculationMode;
  set.record[ParaWord::MaxVecNo] = kDemoRows;
  // Sixteen rows are more than the five direct outputs can tell apart: the
  // outputs carry the colour number in binary (up to 31 rows without colour
  // groups), so the set is one the tool accepts as it is.
  set.record[ParaWord::DigitalOutmode] = code(DigitalOutmode::BinaryHi);
  model.setRamSet(0, set);  // the frames below in this calculation mode
  const TargetPath path = defaultTargetPath();
  const bool threeD = is3dCalcMode(calculationMode);
  for (std::size_t row = 0; row < path.colors.size() && row < kTeachRows; ++row) {
    model.setTargetColor(path.colors[row]);
    const LiveFrame f = model.currentFrame();
    TeachVector& v = set.table[row];
    v.cell(0) = static_cast<std::uint16_t>(f[FrameWord::X]);
    v.cell(1) = static_cast<std::uint16_t>(f[FrameWord::Y]);
    if (threeD) {
      v.cell(2) = static_cast<std::uint16_t>(f[FrameWord::Int]);
      v.cell(3) = kDemoColourTolerance;
      v.cell(4) = 0;
    } else {
      v.cell(2) = kDemoColourTolerance;
      v.cell(3) = static_cast<std::uint16_t>(f[FrameWord::Int]);
      v.cell(4) = kDemoIntensityTolerance;
    }
    // The row in the target's own colour (reflectance per mille to 0..255).
    const TargetColor& c = path.colors[row];
    rowColors[row] = (std::uint32_t{c.red} * 255 / 1000) << 16 |
                     (std::uint32_t{c.green} * 255 / 1000) << 8 |
                     (std::uint32_t{c.blue} * 255 / 1000);
  }
  model.setRamSet(0, set);
  model.setTargetPath(path);
  return rowColors;
}

}  // namespace drq::sim
