#pragma once
// The screenshot step of the two teach panels with data (drqscope --demo
// --screenshots): teach-1-mean-value.png, a mean-value teach over a dozen
// captures of one demo colour, and teach-2-graph.png, a graph teach of a few
// seconds of the demo sensor's colour path with a sample selected.

#include "app/ScreenshotWriter.h"

namespace drq::sim {
class EmbeddedSensor;
}

namespace drq::gui {

class MainWindow;

bool renderTeachPanels(MainWindow& window, sim::EmbeddedSensor& sensor, ScreenshotWriter& shots);

}  // namespace drq::gui
