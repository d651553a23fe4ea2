#pragma once
// Help texts of the live displays and graphs, exactly as operators see them.

namespace drq::gui {

inline constexpr const char* kHelpDispRed = "Displays the calibrated value of RED.";
inline constexpr const char* kHelpDispGreen = "Displays the calibrated value of GREEN.";
inline constexpr const char* kHelpDispBlue = "Displays the calibrated value of BLUE.";
inline constexpr const char* kHelpDispRgb =
    "Displays the calibrated values of RED, GREEN and BLUE.";
inline constexpr const char* kHelpDispX =
    "Displays the color coordinate X (CALCULATION MODE X Y INT) \nor s (CALCULATION MODE s i M).";
inline constexpr const char* kHelpDispY =
    "Displays the color coordinate Y (CALCULATION MODE X Y INT) \nor i (CALCULATION MODE s i M).";
inline constexpr const char* kHelpDispInt =
    "Displays the intensity INT (CALCULATION MODE X Y INT) \nor M (CALCULATION MODE s i M).";
inline constexpr const char* kHelpDispMinMax =
    "Displays the minimum and the maximum of RED, GREEN and BLUE \nas tracked by the sensor.";
inline constexpr const char* kHelpDispDeltaC =
    "Displays the distance to a COLOR HIT. \nWhen no color is detected, delta C depends on the "
    "EVALUATION MODE as follows: \nFIRST HIT: delta C is the distance to the last enabled row in "
    "the TEACH TABLE. \nBEST HIT and MIN DIST: delta C is -1. \nWhen INT or M is lower than "
    "INTLIM, delta C is set to -1.";
inline constexpr const char* kHelpDispCol =
    "Displays the detected color (row of the TEACH TABLE). \n255: no color detected. \nDouble "
    "click opens a big display. \nClose the big display with a right mouse click.";
inline constexpr const char* kHelpDispGroup =
    "Displays the detected color group. \n255: no group detected. \nDouble click opens a big "
    "display. \nClose the big display with a right mouse click.";
inline constexpr const char* kHelpLedTrig = "LED TRIG is green when the sensor is triggered.";
inline constexpr const char* kHelpColorPatch = "Displays the measured color.";
inline constexpr const char* kHelpLedOut =
    "Displays the states of the digital outputs OUT0 to OUT4 \n(EVALUATION MODE COL5 and THD RGB).";
inline constexpr const char* kHelpGraphRgb =
    "Displays RED, GREEN and BLUE of the last 100 measurements. \nDouble click: the vertical axis "
    "scales automatically. \nClick: the vertical axis is fixed to 0...4096.";
inline constexpr const char* kHelpGraphInt1 =
    "Displays X, Y and INT (s, i and M) of the last 100 measurements. \nDouble click: the "
    "vertical axes scale automatically. \nClick: the vertical axes are fixed to the range of the "
    "CALCULATION MODE.";
inline constexpr const char* kHelpGraph2d = "The two graphs diplay the color and the intensity.";
inline constexpr const char* kHelpGraph3d =
    "The three graphs display the color space from three sides: \nX/Y, X/INT and Y/INT (s/i, s/M "
    "and i/M). \nThe fourth graph displays RED, GREEN and BLUE of the last 100 measurements.";

}  // namespace drq::gui
