#pragma once
// What the painted indicators (Indicators.h) tell a screen reader and UI
// automation: the value they show (a number, the colour patch's colour as
// "0xRRGGBB", an LED's "on" or "off") after their name ("RED 1152"), as
// their text (the Text interface and the Value text) and, for the numbers,
// through Qt's value interface. A change is announced (name changed, value
// changed) when it is painted, at most once per screen refresh, and only
// while an assistive technology listens.

#include <QString>

#include <cstdint>

class QObject;
class QWidget;

namespace drq::gui {

// Registers the indicators' accessible interfaces with Qt; the first call
// does it, later calls nothing. Each indicator calls it when it is made.
void registerIndicatorAccessibility();

// True for the indicators, which have the accessible interface above (a key
// route on one of them is offered there, see KeyRoute.h).
bool hasIndicatorAccessible(const QObject& object);

// How a colour (0xRRGGBB) is read out: "0x12AB0F". The colour patch and
// the tables' colour cells use it.
QString colourText(std::uint32_t rgb);

// Announces the value `widget` (an indicator) now shows.
void announceIndicatorValue(QWidget& widget);

}  // namespace drq::gui
