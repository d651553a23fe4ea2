#pragma once
// Captions and help texts of the two teach panels, as operators see them.

namespace drq::gui {

// --- TEACHP1, the mean-value teach panel ------------------------------------------------
inline constexpr const char* kHelpTeachP1 =
    "MEAN VALUE TEACH: \nCapture up to 100 measurements of the same target. \nThe mean values "
    "and the largest distance of a capture from the mean values \nare taught into the row No. of "
    "the TEACH TABLE with TEACH.";
inline constexpr const char* kHelpTp1Rgb =
    "Displays the calibrated values of RED, GREEN and BLUE \nof the current measurement.";
inline constexpr const char* kHelpTp1Counter =
    "Displays the number of captured measurements (0...100).";
inline constexpr const char* kHelpTp1Values =
    "Displays the captured measurements, one row each. \nA changed cell is taken into the mean "
    "values at once.";
inline constexpr const char* kHelpTp1Mean = "Displays the mean values of the captured rows.";
inline constexpr const char* kHelpTp1MaxDeltaXy =
    "Displays the largest color distance of a captured row \nfrom the mean values. \nIn the "
    "3D CALCULATION MODES the intensity is part of the distance.";
inline constexpr const char* kHelpTp1MaxDeltaInt =
    "Displays the largest intensity distance of a captured row \nfrom the mean intensity.";
inline constexpr const char* kHelpTp1TeachCtoWith =
    "Select how the color tolerance is taught: \nwith the VALUE, with the largest distance d, "
    "\nwith d + VALUE, or keep the tolerance of the TEACH TABLE. \nIn EVALUATION MODE MIN DIST "
    "the color tolerance is always 40.";
inline constexpr const char* kHelpTp1TeachItoWith =
    "Select how the intensity tolerance is taught: \nwith the VALUE, with the largest distance d, "
    "\nwith d + VALUE, or keep the tolerance of the TEACH TABLE.";
inline constexpr const char* kHelpTp1ValueCto = "Select the value of the color tolerance.";
inline constexpr const char* kHelpTp1ValueIto = "Select the value of the intensity tolerance.";
inline constexpr const char* kHelpTp1Capture =
    "Captures the current measurement into the next row. \nA capture beyond the 100th replaces "
    "row 100.";
inline constexpr const char* kHelpTp1Undo = "Removes the last captured measurement.";
inline constexpr const char* kHelpTp1Reset = "Resets the captured measurements.";
inline constexpr const char* kHelpTp1Teach =
    "Teaches the mean values with the selected tolerances \ninto the row No. of the TEACH TABLE.";
inline constexpr const char* kHelpTp1Close =
    "Closes the mean value teach, stops the measurement \nand shows the display panel again.";
// The fourth item of both tolerance rings.
inline constexpr const char* kKeepTableTolerance = "KEEP TABLE VALUE";

// --- TEACHP2, the graph teach panel -----------------------------------------------------
inline constexpr const char* kHelpTeachP2 =
    "GRAPH TEACH: \nSTART records the measurements while the targets pass the sensor. \nMove a "
    "cursor onto a recorded point and teach it \ninto the row No. of the TEACH TABLE with TEACH.";
inline constexpr const char* kHelpTp2Counter =
    "Displays the number of recorded measurements (0...60000).";
inline constexpr const char* kHelpTp2Values =
    "Displays the newest measurement while recording, \nthe selected measurement afterwards. "
    "\nTEACH teaches these values.";
inline constexpr const char* kHelpTp2Graph =
    "Displays every recorded measurement as a point. \nDrag the cursor onto a point to select "
    "it; \nthe cursor jumps from point to point. \nThe arrow keys step through the points.";
inline constexpr const char* kHelpTp2Start =
    "Starts recording. STOP ends it; \nit also ends at 60000 measurements.";
inline constexpr const char* kHelpTp2Reset = "Deletes the recorded measurements.";
inline constexpr const char* kHelpTp2Teach =
    "Teaches the displayed values into the row No. of the TEACH TABLE \nwith the default "
    "tolerances.";
inline constexpr const char* kHelpTp2Close =
    "Closes the graph teach and shows the display panel again.";
inline constexpr const char* kMsgTp2TableFull =
    "THE TABLE IS FULL (60000 MEASUREMENTS)! \n\nRESET empties it.";

}  // namespace drq::gui
