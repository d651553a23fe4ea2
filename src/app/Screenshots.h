#pragma once
// drqscope --screenshots: the window's pages and panels rendered to PNG files,
// and with --demo the display panel's graph pages with live data from the
// demo sensor. Operators never see this; developers look at the pictures after
// changing a page, and the README shows some of them.
//
// renderScreenshots runs its steps in order (main window and the nine pages,
// the child panels and DATAP's graph pages, the top-level panels, the live
// pages). A new panel's pictures are a step of their own in Screenshots.cpp
// (or an entry in the group they belong to), written with ScreenshotWriter.

#include <QDir>
#include <QStringList>

namespace drq::sim {
class EmbeddedSensor;
}

namespace drq::gui {

class MainWindow;
class ScriptedPopups;

// Renders the window with every main tab page active in turn, every child
// panel in the display area, the graph pages of the display panel and the
// top-level panels, each to a PNG file in `dir`. With the demo sensor
// connected it also renders the four graph pages of the display panel with
// live data (datap-N-*.png), teaching the sensor's demo colours first, a
// recording (recorder.png), the two teach panels with data (teach-N-*.png) and
// a scope capture (scope-capture.png) with its printout (scope-printout.pdf).
// The recording needs `answers`, the scripted popups the window was built on
// (the window itself hands its popups through a wrapper): without them it is
// left out. Returns the files written; empty on a failure.
QStringList renderScreenshots(MainWindow& window, const QDir& dir,
                              sim::EmbeddedSensor* demo = nullptr,
                              ScriptedPopups* answers = nullptr);

}  // namespace drq::gui
