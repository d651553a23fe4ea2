#pragma once
// The Tab order of a page is its reading order: top to bottom, and left to
// right along a row, the way the operator reads the page. A page that builds
// its controls in that order needs nothing (Tab follows creation). A page
// whose controls are created in another order (members made in the
// constructor's initializer list, whose order is the header's) states its
// order once, at the end of its constructor, with chainTabOrder.

#include <QWidget>

#include <initializer_list>

namespace drq::gui {

// Puts `stops` at the end of `page`'s Tab chain, in the order given: list
// the Tab stops from the first one created out of reading order to the
// last. Each must take the focus by Tab itself (a widget that only passes
// the focus on to a focus proxy cannot be moved). Hidden and dimmed controls
// may be listed: Tab passes over them while they are.
//
// Called while the page is still a window of its own (in its constructor),
// its chain is a ring that ends where it starts; QWidget::setTabOrder alone
// would take "b after a" as done when b only follows a round the end of that
// ring. A Tab stop kept at the end while the stops are moved in front of it
// keeps the ring's end out of the way.
inline void chainTabOrder(QWidget& page, std::initializer_list<QWidget*> stops) {
  QWidget end(&page);
  end.setFocusPolicy(Qt::TabFocus);
  for (QWidget* stop : stops) {
    Q_ASSERT(stop && (stop->focusPolicy() & Qt::TabFocus) && stop->window() == page.window());
    QWidget* last = end.previousInFocusChain();
    while (last != &end && last->focusPolicy() == Qt::NoFocus) last = last->previousInFocusChain();
    if (last != stop && last != &end) QWidget::setTabOrder(last, stop);
  }
}

}  // namespace drq::gui
