#pragma once
// The live displays of the main window, connected to the live monitor's
// signals: every frame, label, LED and teach-figure change the monitor emits
// reaches the displays that show it. Each connection has its display as
// context, so a display that is destroyed first is simply left out.

namespace drq::gui {

class LiveMonitor;
class DataPanel;
class CalibrationPage;
class TableAttributesPage;
class BigDisplayPanel;
class SignalGraphPanel;
class MeanTeachPanel;

// Connects: DATAP (values, LEDs, colour patch, labels, strip charts, 2D and
// 3D pages, intensity bar), the calibration page's raw and calibrated
// displays, the table attributes page's temperature, the big colour and
// group displays, the signal graph panel's labels and the mean-value teach
// panel's red, green and blue.
void connectLiveDisplays(LiveMonitor& live, DataPanel& data, CalibrationPage& calibration,
                         TableAttributesPage& tableAttributes, BigDisplayPanel& bigColor,
                         BigDisplayPanel& bigGroup, SignalGraphPanel& signalGraph,
                         MeanTeachPanel& meanTeach);

}  // namespace drq::gui
