#pragma once
// Right-click help of the parameter controls (parameter page and group and hold
// page), exactly as operators know them. Each constant is named after the
// control callback that shows it.

namespace drq::gui::help {

inline constexpr const char* kSlidePower =
    "Select the intensity of the transmitter LED. \n"
    "0 = no intensity,  1000 = full intensity.";
inline constexpr const char* kEditPmode =
    "Select the operating mode of the transmitter unit. \n"
    "\n"
    "STAT: Transmitter power is constantly kept at the POWER-SLIDER value. \n"
    "\n"
    "DYN : Transmitter power is dynamically tuned in accordance with the amount of radiation "
    "that \n"
    "      is diffusely reflected from the target. Sensor should not exceed the dynamic "
    "range. \n"
    "      The dynamic range can be selected with DYN WIN LO and DYN WIN HI.";
inline constexpr const char* kEditLedMode =
    "Select the LED operation mode. \n"
    "DC: Light source is permanant on. \n"
    "AC: Light source is modulated. \n"
    "PULSE: Light source is pulsed. \n"
    "OFF: Light source is off.";
inline constexpr const char* kEditGain =
    "Select a amplification stage of the receicer. \n"
    "AMP1 is the lowest amplification. \n"
    "AMP8 is the highest amplification. ";
inline constexpr const char* kEditDynWinLoHi =
    "Select a window for dynamic \n"
    "regaluation when PMOD = DYNAMIC.";
inline constexpr const char* kEditAverage =
    "Select the number of scanning values (measured values) \n"
    "over which the raw signal is averaged (meanvalue!).";
inline constexpr const char* kEditIntegral =
    "Select the number (0...250) of values \n"
    "over which the raw signal is integrated.";
inline constexpr const char* kEditMaxVecNo =
    "Select the number of color vectors which should be \n"
    "checked in the TEACH TABLE beginning with row 0. \n"
    "\n"
    "Aktive rows in the TEACH TABLE are \n"
    "labelled green, inactive are labelled red.";
inline constexpr const char* kEditDigOutmode =
    "Select how to control the digital outputs. \n"
    "\n"
    "DIRECT LO: \n"
    "If color group is disabled, the maximum number of colors to be taught is 5. \n"
    "If a color (row 0-4 in the TEACH TABLE) is detected, the special digital output is set "
    "to LO, all others are HI. \n"
    "If no color is detected, C-No: is 255. The digital outputs (OUT0...OUT4) are set to HI. "
    "\n"
    "If color group is enabled, the maximum number of colors to be taught is 64, but only 5 "
    "groups are possible. \n"
    "If a group is detected, the digital output is set to LO, all others are HI. \n"
    "\n"
    "DIRECT HI: \n"
    "If color group is disabled, the maximum number of colors to be taught is 5. \n"
    "If a color (row 0-4 in the TEACH TABLE) is detected, the special digital output is set "
    "to HI, all others are LO. \n"
    "If no color is detected, C-No: is 255. The digital outputs (OUT0...OUT4) are set to LO. "
    "\n"
    "If color group is enabled, the maximum number of colors to be taught is 64, but only 5 "
    "groups are possible. \n"
    "If a group is detected, the digital output is set to HI, all others are LO. \n"
    "\n"
    "BINARY HI: \n"
    "If color group is disabled, the maximum number of colors to be taught is 31. \n"
    "If a color (row 0-30 in the TEACH TABLE) is detected, this color is displayed in C-No: "
    "\n"
    "and is set binary to the digital outputs (OUT0...OUT4). \n"
    "If no color is detected, C-No: is 255. The digital outputs (OUT0...OUT4) are set to HI. "
    "\n"
    "If color group is enabled, the maximum number of colors to be taught is 64, but only 5 "
    "groups are possible. \n"
    "\n"
    "BINARY LO: \n"
    "If color group is disabled, the maximum number of colors to be taught is 31. \n"
    "If a color (row 0-30 in the TEACH TABLE) is detected, this color is displayed in C-No: "
    "\n"
    "and is set reverse binary to the digital outputs (OUT0...OUT4). \n"
    "If no color is detected, C-No: is 255. The digital outputs (OUT0...OUT4) are set to LO. "
    "\n"
    "If color group is enabled, the maximum number of colors to be taught is 64, but only 5 "
    "groups are possible.";
inline constexpr const char* kEditIntlim =
    "Select an intensity limit. \n"
    "Color evaluation is stopped, if the current intensity INT or M falls below this limit. "
    "\n"
    "ERROR STATE is output. \n"
    "\n"
    " ATTENTION: If POWER MODE = DYN. Display INT or M shows the transmitter power. \n"
    " The sensor still calculates the real INT or M and compares it with INTLIM.";
inline constexpr const char* kEditEvalmode =
    "HIT = Current detected signal lies within a taught row in the teach table. \n"
    "\n"
    "FIRST HIT: First HIT in the teach table will be output. \n"
    "\n"
    "BEST HIT: Best HIT (shortest distance to the taught colors) will be output. \n"
    "\n"
    "MIN DIST: Shortest distance to the centre of all taught colors will be output when INT "
    "(M) lies within ITO (MTO). \n"
    "\n"
    "COL5: Multiple rows (colors) can be output simultaneously. \n"
    "\n"
    "THD RGB: \n"
    "OUT0=HI when the red signal is higher than row0/columnTHD in the teach table, otherwise "
    "OUT0=LO. \n"
    "OUT1=HI when the green signal is higher than row1/columnTHD in the teach table, "
    "otherwise OUT1=LO. \n"
    "OUT2=HI when the blue signal is higher than row2/columnTHD in the teach table, "
    "otherwise OUT2=LO. \n"
    "OUT3 is set to the state like the channel which has the highest delta of MIN and MAX "
    "when EXTEACH=ON or STAT1 or DYN1. \n"
    "OUT4 is set invers to OUT3.";
inline constexpr const char* kEditCalcmode =
    "Select a calculation mode: \n"
    "X Y INT - 2D = X/Y pairs and intensity. \n"
    "s i   M - 2D = s/i pairs and M. \n"
    "X Y INT - 3D = X/Y/INT pairs. \n"
    "s i   M - 3D = s/i/M pairs.";
inline constexpr const char* kEditExteach =
    "Select external teach mode. \n"
    "\n"
    "OFF: No external teach. \n"
    "\n"
    "ON: External teach to all rows of the teach table (See manual). \n"
    "ATTENTION! The taught values are stored into the EEPROM of the sensor. \n"
    "If you are in the GO mode during an external teach, \n"
    "you will get a TIMEOUT, because of the EEPROM transfer. \n"
    "\n"
    "STAT1: External teach to row 0 of the teach table. \n"
    "Transmitter power is the power selected with the power slider. \n"
    "The taught values are stored into the RAM of the sensor. \n"
    "\n"
    "DYN1: External teach to row 0 of the teach table. \n"
    "The transmitter power is adjusted dynamically, when IN0 goes high. \n"
    "After the power is adjusted, the sensor works on static with this detected power value. "
    "\n"
    "The taught values are stored into the RAM of the sensor. \n"
    "NOTE! DYN1 is not available in combination with LED MODE=OFF. \n"
    "\n"
    "NOTE! Colors will be taught up to MAXCOL-No: when EVALUATION MODE is FIRST HIT. \n"
    "\n"
    "NOTE! When EVALUATION MODE is THD RGB a maximum and a \n"
    "minimum for each channel will be detected while IN0 is high. \n"
    "The threshold for the single channels is set to (MAX+MIN)/2. \n"
    "The taught thresholds will be stored in the EEPROM when EXTEACH=ON. \n"
    "The taught thresholds will be stored in the RAM when EXTEACH=STAT1 or DYN1.";
inline constexpr const char* kEditTrigger =
    "Select the trigger mode for the sensor. \n"
    "\n"
    "CONT: Continuous color detection (no trigger event required). \n"
    "\n"
    "SELF: Self Trigger! 'Trigger' is given, when the actual color is anything else than "
    "color 0. \n"
    "      Color detection as long as trigger (color is not color 0). \n"
    "      When trigger goes low (redetection of color 0), the most detected color will be "
    "hold at the output. \n"
    "\n"
    "EXT1: Color detection as long as trigger (IN0) is high. \n"
    "      When trigger goes low, the most detected color will be hold at the output. \n"
    "\n"
    "EXT2: Color detection as long as trigger (IN0) is high. \n"
    "      When trigger goes low, the last detected color will be hold at the output. \n"
    "\n"
    "EXT3: Color detection as long as trigger (IN0) is high. \n"
    "      When trigger goes low, fail condition is output. \n"
    "\n"
    "TRANS: Transmitter is active when trigger (IN0) is high. \n"
    "\n"
    "PARA: Sensor works with ParaSet0 when trigger (IN0) is low. \n"
    "      Sensor works with ParaSet1 when trigger (IN0) is high. \n"
    "\n"
    "LED TRIG is green when the sensor is triggered.";
inline constexpr const char* kEditHold =
    "Select the minimum pulse length when a digital output changes.";
inline constexpr const char* kEditGridHold =
    "Select the minimum pulse length when a digital output changes.";
inline constexpr const char* kEditColorGroups =
    "Activate color groups. \n"
    "Not possible when EVALMODE=COL5.";
inline constexpr const char* kEditResetHold =
    "Table Hold will be set to this value \n"
    "when Button RESET is pressed.";

}  // namespace drq::gui::help
