#pragma once
// Key routes: what a mouse gesture on a widget does (a double-click on a
// display, a right double-click on a decoration, a click on a chart),
// reachable from the keyboard and from UI automation as well.
//
// The widget becomes a Tab stop (in creation order, as every control); a
// route's keys on it run the route's action; its accessible interface offers
// the routes first among its actions (the first route is the default
// action), and its tooltip names the keys on a "Keys:" line, as the buttons'
// mnemonics do. The mouse gesture itself stays as it was: the owner keeps
// handling it. A tooltip set later (the help) gets the keys' line again.
//
//   installKeyRoute(*display, KeyRouteKind::Press, [this] { emit bigColorRequested(); });

#include <QAccessibleWidget>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

namespace drq::gui {

enum class KeyRouteKind {
  Press,  // Enter, Return and Space; the accessible "Press" action
  Clear,  // Delete; an accessible action named "Clear"
};

// Gives `widget` a key route of `kind` to `action` (called on the UI
// thread, from the key press or the accessible action).
void installKeyRoute(QWidget& widget, KeyRouteKind kind, std::function<void()> action);

// A route of the widget's own: `keys` (pressed without a modifier) and the
// accessible action `actionName` run `action`; `what` tells what it does
// (in the tooltip beside the keys, and as the action's description). A
// route with the name of one the widget has replaces it. Without keys it is
// only the accessible action (the widget's own key handling does the rest).
void addKeyRoute(QWidget& widget, const QString& actionName, std::vector<Qt::Key> keys,
                 const QString& what, std::function<void()> action);

// The name of the accessible action of a route of `kind`.
QString keyRouteActionName(KeyRouteKind kind);

// True when `widget` has a key route.
bool hasKeyRoute(const QWidget& widget);

// An accessible widget that offers its widget's key routes, if it has any,
// before the actions of QAccessibleWidget. The indicators' own accessible
// interface derives from it; a routed widget of any other kind gets one from
// the factory the routes register (a read-only line edit keeps its text as
// its value; a chart keeps the chart role; anything else is a button).
class RoutedAccessibleWidget : public QAccessibleWidget {
 public:
  RoutedAccessibleWidget(QWidget* widget, QAccessible::Role role)
      : QAccessibleWidget(widget, role) {}

  QStringList actionNames() const override;
  QString localizedActionDescription(const QString& actionName) const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;
};

}  // namespace drq::gui
