// The demo's first run: the virtual sensor starts with its colours taught.
#include <gtest/gtest.h>

#include <set>

#include "core/live/LiveFrame.h"
#include "core/params/ModeRules.h"
#include "core/params/Modes.h"
#include "sim/DemoColours.h"
#include "sim/Optics.h"
#include "sim/SensorModel.h"

namespace drq::sim {
namespace {

// As the target moves along its path the sensor detects one taught row
// after the other, in both calculation families.
TEST(DemoColours, TheMovingTargetIsDetectedAsTheTaughtRows) {
  for (const std::uint16_t mode :
       {code(CalculationMode::XyInt2d), code(CalculationMode::XyInt3d)}) {
    SensorModel model;
    const RowColorArray colors = teachDemoColours(model, mode);
    const ParaSet& set = model.ramSet(0);
    const std::size_t taught = defaultTargetPath().colors.size();
    ASSERT_GE(taught, 4u);
    EXPECT_EQ(set.record[ParaWord::CalculationMode], mode);
    EXPECT_GE(set.record[ParaWord::MaxVecNo], taught);
    EXPECT_NE(colors[0], defaultRowColors()[0]);  // the target's own colour
    EXPECT_EQ(colors[taught], defaultRowColors()[taught]);

    std::set<int> detected;
    for (int step = 0; step < 400; ++step) {
      model.advanceMicros(40000);
      detected.insert(model.currentFrame()[FrameWord::Color]);
    }
    detected.erase(255);  // between two colours: none
    EXPECT_GE(detected.size(), taught / 2) << "mode " << mode;
    for (int row : detected) EXPECT_LT(row, static_cast<int>(taught));
  }
}

// The demo's set passes the tool's own rules unchanged: no "MAXCOL-No. is too
// high" at start or on a Get, nothing forced, no page switched to.
TEST(DemoColours, TheTaughtSetKeepsTheModeRules) {
  for (const std::uint16_t mode :
       {code(CalculationMode::XyInt2d), code(CalculationMode::XyInt3d)}) {
    SensorModel model;
    teachDemoColours(model, mode);
    ParaSet set = model.ramSet(0);
    const ParaSet taught = set;
    const ConsistencyResult result = applyModeRules(set, 0);
    EXPECT_TRUE(result.messages.empty()) << "mode " << mode << ": " << result.messages[0].text;
    EXPECT_TRUE(result.forced.empty()) << "mode " << mode;
    EXPECT_TRUE(result.groupCellsReset.empty()) << "mode " << mode;
    EXPECT_EQ(set.record.words, taught.record.words);
    EXPECT_GE(set.record[ParaWord::MaxVecNo], defaultTargetPath().colors.size());
  }
}

}  // namespace
}  // namespace drq::sim
