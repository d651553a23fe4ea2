#pragma once
// What the painted indicators (Indicators.h) tell a screen reader and UI
// automation: besides their name, the value they show, through Qt's value
// interface (a number, or for the colour patch its colour as "0xRRGGBB")
// and as the accessible Value text. A change of the value is announced with
// a value-changed event when it is painted, at most once per screen refresh
// (Qt hands it on only while an assistive technology listens).

class QObject;
class QWidget;

namespace drq::gui {

// Registers the indicators' accessible interfaces with Qt; the first call
// does it, later calls nothing. Each indicator calls it when it is made.
void registerIndicatorAccessibility();

// True for the indicators, which have the accessible interface above (a key
// route on one of them is offered there, see KeyRoute.h).
bool hasIndicatorAccessible(const QObject& object);

// Announces the value `widget` (an indicator) now shows.
void announceIndicatorValue(QWidget& widget);

}  // namespace drq::gui
