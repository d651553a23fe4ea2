#pragma once
// The operator tool's pages and child panels by the names the rules, the
// windows and the tests share: the nine pages of the main tab control, the
// four graph pages of the display panel DATAP, and the five child panels of
// the display area.

namespace drq {

// Indices of the main tab pages, in tab order.
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

// Indices of the display panel's graph pages, in tab order.
enum DataPage : int {
  kDataPageRgbChart = 0,
  kDataPageIntensityChart = 1,
  kDataPage2dGraph = 2,
  kDataPage3dGraph = 3,
};
inline constexpr int kDataPageCount = 4;

// The child panels of the display area.
enum class ChildPanel { DATAP, GRAPHP, TEACHP1, TEACHP2, SCOPEP };
inline constexpr int kChildPanelCount = 5;

// A child panel a page opens beside itself: the page's buttons and the
// panel's are on screen together (for the keyboard's letters).
struct PanelBesidePage {
  int page;
  ChildPanel panel;
};
inline constexpr PanelBesidePage kPanelsBesidePages[] = {
    {kPageTeachTable, ChildPanel::TEACHP1},
    {kPageTeachTable, ChildPanel::TEACHP2},
    {kPageRecorder, ChildPanel::GRAPHP},
    {kPageScope, ChildPanel::SCOPEP},
};

}  // namespace drq
