#include "gui/widgets/KeyRoute.h"

#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

#include <algorithm>

#include "gui/widgets/IndicatorAccessibility.h"
#include "gui/widgets/ReadOnlyAccessibleText.h"

namespace drq::gui {

namespace {

constexpr const char* kRouteObjectName = "drqKeyRoute";
// The "Keys:" line the routes added to the tooltip, to replace it.
constexpr const char* kTipProperty = "drqKeyRouteTip";

QString keyName(Qt::Key key) {
  // "Return" is what QKeySequence calls it; the keyboards say Enter.
  if (key == Qt::Key_Return) return QStringLiteral("Enter");
  return QKeySequence(key).toString(QKeySequence::NativeText);
}

void updateToolTip(QWidget& widget);

// Lives as a child of the routed widget, under kRouteObjectName.
class KeyRouteFilter final : public QObject {
 public:
  KeyRouteFilter(QWidget& widget, QString name, std::vector<Qt::Key> keys, QString what,
                 std::function<void()> action)
      : QObject(&widget),
        name_(std::move(name)),
        keys_(std::move(keys)),
        what_(std::move(what)),
        action_(std::move(action)) {
    setObjectName(QString::fromLatin1(kRouteObjectName));
    widget.installEventFilter(this);
  }

  const QString& name() const { return name_; }
  const QString& what() const { return what_; }
  const std::vector<Qt::Key>& keys() const { return keys_; }
  void run() const {
    if (action_) action_();
  }

  // Enter on the keypad counts as Return.
  bool isRouteKey(const QKeyEvent& key) const {
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    const int k = key.key() == Qt::Key_Enter ? Qt::Key_Return : key.key();
    return std::find(keys_.begin(), keys_.end(), k) != keys_.end();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTipChange) {
      // A tooltip set after the routes (the help) gets their keys back.
      auto* widget = static_cast<QWidget*>(watched);
      if (!widget->toolTip().endsWith(widget->property(kTipProperty).toString()))
        updateToolTip(*widget);
    } else if (event->type() == QEvent::ShortcutOverride) {
      // The route's keys belong to the focused widget, not to a shortcut.
      if (isRouteKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
      }
    } else if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (isRouteKey(*key)) {
        // A held key acts once.
        if (!key->isAutoRepeat()) run();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QString name_;
  std::vector<Qt::Key> keys_;
  QString what_;
  std::function<void()> action_;
};

// The routes of `widget`, in the order they were added.
std::vector<KeyRouteFilter*> routesOf(const QWidget& widget) {
  std::vector<KeyRouteFilter*> out;
  for (QObject* child : widget.findChildren<QObject*>(QString::fromLatin1(kRouteObjectName),
                                                      Qt::FindDirectChildrenOnly))
    if (auto* route = dynamic_cast<KeyRouteFilter*>(child)) out.push_back(route);
  return out;
}

KeyRouteFilter* routeNamed(const QWidget& widget, const QString& name) {
  for (KeyRouteFilter* route : routesOf(widget))
    if (route->name() == name) return route;
  return nullptr;
}

QString keysText(const KeyRouteFilter& route) {
  QStringList keys;
  for (Qt::Key key : route.keys()) keys << keyName(key);
  return keys.join(QStringLiteral(", "));
}

// "Keys: Enter, Space", or with what each does: "Keys: A (...); F (...)".
void updateToolTip(QWidget& widget) {
  QStringList parts;
  for (const KeyRouteFilter* route : routesOf(widget)) {
    if (route->keys().empty()) continue;
    const QString keys = keysText(*route);
    parts << (route->what().isEmpty() ? keys : keys + QStringLiteral(" (") + route->what() + u')');
  }
  const QString line =
      parts.isEmpty() ? QString() : QStringLiteral("Keys: ") + parts.join(QStringLiteral("; "));
  QString tip = widget.toolTip();
  const QString old = widget.property(kTipProperty).toString();
  if (!old.isEmpty() && tip.endsWith(old)) {
    tip.chop(old.size());
    while (tip.endsWith(u'\n')) tip.chop(1);
  }
  // The line first: setting the tooltip comes back to the filters.
  widget.setProperty(kTipProperty, line);
  if (line.isEmpty()) return;
  widget.setToolTip(tip.isEmpty() ? line : tip + QStringLiteral("\n\n") + line);
}

// A routed widget without an accessible interface of the program's own. A
// line edit (the read-only status line) stays a text field a screen reader
// reads: its text through the Text interface and as its Value.
class RoutedPlainAccessible final : public RoutedAccessibleWidget, public ReadOnlyAccessibleText {
 public:
  using RoutedAccessibleWidget::RoutedAccessibleWidget;
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface && edit())
      return static_cast<QAccessibleTextInterface*>(this);
    return RoutedAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State st = RoutedAccessibleWidget::state();
    if (const QLineEdit* e = edit()) {
      st.editable = !e->isReadOnly();
      st.readOnly = e->isReadOnly();
    }
    return st;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value && edit()) return edit()->text();
    return RoutedAccessibleWidget::text(t);
  }
  using ReadOnlyAccessibleText::text;
  QString shownText() const override { return edit() ? edit()->text() : QString(); }

 private:
  const QLineEdit* edit() const { return qobject_cast<const QLineEdit*>(object()); }
};

QAccessibleInterface* routedFactory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType() || hasIndicatorAccessible(*object)) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (!hasKeyRoute(*widget)) return nullptr;
  QAccessible::Role role = QAccessible::Button;
  if (qobject_cast<QLineEdit*>(widget)) role = QAccessible::EditableText;
  if (widget->inherits("QCustomPlot")) role = QAccessible::Chart;
  return new RoutedPlainAccessible(widget, role);
}

void registerRoutedAccessibility() {
  static const bool registered = [] {
    QAccessible::installFactory(&routedFactory);
    return true;
  }();
  (void)registered;
}

}  // namespace

QString keyRouteActionName(KeyRouteKind kind) {
  return kind == KeyRouteKind::Clear ? QStringLiteral("Clear")
                                     : QAccessibleActionInterface::pressAction();
}

void installKeyRoute(QWidget& widget, KeyRouteKind kind, std::function<void()> action) {
  if (kind == KeyRouteKind::Clear) {
    addKeyRoute(widget, keyRouteActionName(kind), {Qt::Key_Delete}, QString(), std::move(action));
  } else {
    addKeyRoute(widget, keyRouteActionName(kind), {Qt::Key_Return, Qt::Key_Space}, QString(),
                std::move(action));
  }
}

void addKeyRoute(QWidget& widget, const QString& actionName, std::vector<Qt::Key> keys,
                 const QString& what, std::function<void()> action) {
  registerRoutedAccessibility();
  delete routeNamed(widget, actionName);
  new KeyRouteFilter(widget, actionName, std::move(keys), what, std::move(action));
  // An interface made before the route (a name set while a screen reader
  // listens makes one) would not offer it: the next query makes a new one.
  if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
      iface && !dynamic_cast<RoutedAccessibleWidget*>(iface))
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
  if (!(widget.focusPolicy() & Qt::TabFocus))
    widget.setFocusPolicy(static_cast<Qt::FocusPolicy>(widget.focusPolicy() | Qt::TabFocus));
  updateToolTip(widget);
}

bool hasKeyRoute(const QWidget& widget) {
  return !routesOf(widget).empty();
}

// --- RoutedAccessibleWidget ----------------------------------------------------

QStringList RoutedAccessibleWidget::actionNames() const {
  QStringList names;
  for (const KeyRouteFilter* route : routesOf(*widget())) names << route->name();
  for (const QString& name : QAccessibleWidget::actionNames())
    if (!names.contains(name)) names << name;
  return names;
}

QString RoutedAccessibleWidget::localizedActionDescription(const QString& actionName) const {
  if (const KeyRouteFilter* route = routeNamed(*widget(), actionName);
      route && !route->what().isEmpty())
    return route->what();
  return QAccessibleWidget::localizedActionDescription(actionName);
}

void RoutedAccessibleWidget::doAction(const QString& actionName) {
  if (const KeyRouteFilter* route = routeNamed(*widget(), actionName)) {
    // As the keys: not while the widget is dimmed.
    if (widget()->isEnabled()) route->run();
    return;
  }
  QAccessibleWidget::doAction(actionName);
}

QStringList RoutedAccessibleWidget::keyBindingsForAction(const QString& actionName) const {
  if (const KeyRouteFilter* route = routeNamed(*widget(), actionName)) {
    QStringList keys;
    for (Qt::Key key : route->keys()) keys << QKeySequence(key).toString();
    return keys;
  }
  return QAccessibleWidget::keyBindingsForAction(actionName);
}

}  // namespace drq::gui
