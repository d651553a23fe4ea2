#pragma once
// Pictures of a panel for printouts and files, finer than the screen shows
// it, so that traces and text stay sharp on paper.

#include <QImage>
#include <QWidget>

namespace drq::gui {

// How much finer than the screen a panel picture is drawn.
inline constexpr qreal kPanelPictureScale = 3.0;

// `widget` and its children drawn into an image `scale` times as fine as the
// screen: the image's device pixel ratio is `scale`, so at its logical size
// (deviceIndependentSize) it covers what the widget covers. The charts among
// the children redraw their contents at that resolution for the picture and
// then return to the screen's. The widget need not be shown. An empty widget
// gives a null image.
QImage sharpPicture(QWidget& widget, qreal scale = kPanelPictureScale);

}  // namespace drq::gui
